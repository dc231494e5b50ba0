// Every conversion on a few hundred kilobytes of generated prose (lines
// and chunks up to the buffer's size), once through its export and once
// through the plain reading of its rules in tests/support/models.h. The
// fast paths skip runs, look characters up in tables and hash entity
// names; whatever they do, their results must be the same.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corpus_text.h"
#include "function_call.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "models.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

const std::vector<std::u16string>& Plain() {
  static const std::vector<std::u16string> pieces = PlainCorpus();
  return pieces;
}

// The encoded forms, at most one ArgBuffer of text each.
std::vector<std::u16string> Encoded(std::u16string (*encode)(const std::u16string&, TextGenerator&)) {
  TextGenerator gen(77);
  std::vector<std::u16string> pieces;
  for (const std::u16string& p : Plain()) {
    std::u16string e = encode(p, gen);
    if (e.size() > size_t(MAX_TEXT_LEN)) e.resize(MAX_TEXT_LEN);
    pieces.push_back(e);
  }
  return pieces;
}

size_t TotalUnits(const std::vector<std::u16string>& pieces) {
  size_t n = 0;
  for (const std::u16string& p : pieces) n += p.size();
  return n;
}

std::string Where(size_t index, const std::u16string& input) {
  return "piece " + std::to_string(index) + " (" + std::to_string(input.size()) + " units): " +
         Printable(input.substr(0, 160));
}

class CorpusConsistency : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    StandInSetEnvironment("HEXENC_KEEP", nullptr);
  }
  void TearDown() override {
    StandInSetEnvironment("HEXENC_KEEP", nullptr);
    HostFixture::TearDown();
  }

  // Both ways on every piece; the first difference fails the test.
  template <class Reference>
  static void ExpectSame(ExportedFunction function, const std::vector<std::u16string>& pieces,
                         Reference reference, const std::string& label) {
    for (size_t i = 0; i < pieces.size(); ++i) {
      const FunctionCall call = CallFunction(function, pieces[i]);
      ASSERT_EQ(0, call.result) << label << ", " << Where(i, pieces[i]);
      const std::u16string expected = reference(pieces[i]);
      ASSERT_TRUE(SameText(expected, call.text)) << label << ", " << Where(i, pieces[i]);
      ASSERT_TRUE(call.err.empty()) << label << ", " << Where(i, pieces[i]);
    }
  }

  // For the functions that refuse some arguments: a refusal leaves the
  // buffer as it was and says why.
  template <class Reference>
  static void ExpectSameOutcome(ExportedFunction function, const std::vector<std::u16string>& pieces,
                                Reference reference, const std::string& label) {
    for (size_t i = 0; i < pieces.size(); ++i) {
      const FunctionCall call = CallFunction(function, pieces[i]);
      const ModelOutcome expected = reference(pieces[i]);
      if (expected.refusal != nullptr) {
        ASSERT_EQ(-1, call.result) << label << ", " << Where(i, pieces[i]);
        ASSERT_TRUE(pieces[i] == call.text) << label << ", " << Where(i, pieces[i]);
        ASSERT_FALSE(call.err.empty()) << label << ", " << Where(i, pieces[i]);
        continue;
      }
      ASSERT_EQ(0, call.result) << label << ", " << Where(i, pieces[i]);
      ASSERT_TRUE(SameText(expected.text, call.text)) << label << ", " << Where(i, pieces[i]);
      ASSERT_TRUE(call.err.empty()) << label << ", " << Where(i, pieces[i]);
    }
  }
};

TEST_F(CorpusConsistency, CorpusIsLargeAndHoldsEveryFeature) {
  const std::vector<std::u16string>& plain = Plain();
  EXPECT_GT(TotalUnits(plain), size_t(150000));
  // Each feature the rules treat specially occurs many times.
  struct Feature {
    const char16_t* text;
    int atLeast;
  };
  const Feature features[] = {
      {u"\"", 200}, {u"'", 200},  {u"--", 100}, {u"---", 20},   {u"&", 100},   {u"<", 30},
      {u"\r\n", 50}, {u"\t", 50}, {u"  ", 30},  {u"\xFF1C", 30}, {u"\xFF1E", 30}, {u"'tis", 10},
      {u"'99", 10}, {u"\x00A0", 30}, {u"\xD800", 5}, {u"\U0001F600", 5}, {u"\x2190", 5}, {u"\x0018", 5},
  };
  for (const Feature& f : features) {
    int count = 0;
    for (const std::u16string& p : plain)
      for (size_t at = p.find(f.text); at != std::u16string::npos; at = p.find(f.text, at + 1)) ++count;
    EXPECT_GE(count, f.atLeast) << Printable(f.text);
  }
}

TEST_F(CorpusConsistency, EntitizeWithTheDefaultOptions) {
  const Options defaults;
  ExpectSame(f_entitize, Plain(), [&](const std::u16string& s) { return ModelEntitize(s, defaults, MAX_TEXT_LEN); },
             "defaults");
}

TEST_F(CorpusConsistency, EntitizeUnderEverySettingOfTheOptions) {
  // Every combination, 72 settings, on 600 lines joined into pieces of
  // about 2000 units (a call per line would cost more in setting up the
  // buffer than in converting) and on one chunk.
  std::vector<std::u16string> pieces(1);
  for (size_t i = 0; i < 600; ++i) {
    if (pieces.back().size() > 2000) pieces.emplace_back();
    pieces.back() += Plain()[i] + u"\r\n";
  }
  pieces.push_back(Plain()[Plain().size() - 4]);
  for (int quotes = 0; quotes <= 2; ++quotes) {
    for (int spaces = 0; spaces <= 2; ++spaces) {
      for (int dash = 0; dash <= 1; ++dash) {
        for (int apos = 0; apos <= 3; ++apos) {
          const Options o = {static_cast<Quotes>(quotes), static_cast<Spaces>(spaces), static_cast<Dash>(dash),
                             static_cast<Apos>(apos)};
          PluginOptions = o;
          const std::string label = "Quotes " + std::to_string(quotes) + " Spaces " + std::to_string(spaces) +
                                    " Dash " + std::to_string(dash) + " Apos " + std::to_string(apos);
          ExpectSame(f_entitize, pieces, [&](const std::u16string& s) { return ModelEntitize(s, o, MAX_TEXT_LEN); }, label);
        }
      }
    }
  }
}

TEST_F(CorpusConsistency, EntagWrapsTheEntitizedString) {
  const Options defaults;
  const char16_t* const tags[] = {u"p", u"  b ", u"a href=\"x,y\"", u"div class=x", u"td\t"};
  std::vector<std::u16string> arguments;
  for (size_t i = 0; i < Plain().size(); ++i) {
    if (Plain()[i].size() > 9000) continue;  // the result must fit whole
    arguments.push_back(std::u16string(tags[i % 5]) + u"," + Plain()[i]);
  }
  ExpectSameOutcome(f_entag, arguments, [&](const std::u16string& s) { return ModelEntag(s, defaults); },
                    "@ENTAG");
}

TEST_F(CorpusConsistency, MakeEntityOfNamesAndOfSingleCharacters) {
  std::vector<std::u16string> arguments;
  for (const std::u16string& p : Plain()) {
    if (p.size() >= 2 && p.size() < 400) arguments.push_back(p);
    if (p.size() < 100) arguments.push_back(u"&" + p);
  }
  // Every character of the lines on its own, and every Latin-1 one.
  for (size_t i = 0; i < 40; ++i)
    for (char16_t c : Plain()[i]) arguments.push_back(std::u16string(1, c));
  for (char16_t c = 1; c < 0x100; ++c) arguments.push_back(std::u16string(1, c));
  ExpectSameOutcome(f_makeentity, arguments, ModelMakeEntity, "@MAKEENTITY");
}

TEST_F(CorpusConsistency, DeentitizeNamedAndNumericReferences) {
  const std::vector<std::u16string> encoded = Encoded(EncodeEntities);
  EXPECT_GT(TotalUnits(encoded), size_t(150000));
  ExpectSame(f_deentitize, encoded, [](const std::u16string& s) { return ModelDeentitize(s.c_str(), true); },
             "approximations on");
  PluginOptions.approximate = false;
  ExpectSame(f_deentitize, encoded, [](const std::u16string& s) { return ModelDeentitize(s.c_str(), false); },
             "approximations off");
  // Plain text holds ampersands that start no entity.
  PluginOptions.approximate = true;
  ExpectSame(f_deentitize, Plain(), [](const std::u16string& s) { return ModelDeentitize(s.c_str(), true); },
             "plain text");
}

TEST_F(CorpusConsistency, TagAndComment) {
  // The longest pieces are refused: their tag or comment would not fit.
  ExpectSameOutcome(f_tag, Plain(), ModelTag, "@TAG");
  ExpectSameOutcome(f_hcomment, Plain(), ModelComment, "@HCOMMENT");
}

TEST_F(CorpusConsistency, DocTypeTakesOnlyTheNumbersOfItsTable) {
  // The declarations of the table are checked elsewhere; here every
  // number from 0 to 40, written in decimal and hexadecimal, with and
  // without leading white space, gives a declaration exactly when it is
  // in the table, and prose is always refused.
  const int known[] = {0, 1, 2, 3, 4, 5, 16, 17, 18, 19, 20};
  for (int n = 0; n <= 40; ++n) {
    bool inTable = false;
    for (int k : known) inTable = inTable || k == n;
    char hex[16];
    snprintf(hex, sizeof hex, "0x%X", n);
    for (const std::string& text : {std::to_string(n), std::string(hex), " " + std::to_string(n)}) {
      const FunctionCall call = CallFunction(f_doctype, std::u16string(text.begin(), text.end()));
      EXPECT_EQ(inTable ? 0 : -1, call.result) << text;
      if (inTable) {
        EXPECT_EQ(MARK_LT, call.text.front()) << text;
      }
    }
  }
  for (size_t i = 0; i < 200; ++i) {
    if (Plain()[i].find_first_not_of(u" \t0123456789") == std::u16string::npos) continue;
    EXPECT_EQ(-1, CallFunction(f_doctype, Plain()[i]).result) << Where(i, Plain()[i]);
  }
}

TEST_F(CorpusConsistency, HexEncodeWithTheDefaultAndOwnKeepSets) {
  ExpectSame(f_hexenc, Plain(), [](const std::u16string& s) { return ModelHexencWithKeep(s, u""); },
             "default keep-set");
  // A keep-set of the URI marks, one character above U+00FF and unusable
  // characters that must be left out.
  StandInSetEnvironment("HEXENC_KEEP", "!*'() %ab\xE2\x80\x94\xC3\x97");
  ExpectSame(f_hexenc, Plain(),
             [](const std::u16string& s) { return ModelHexencWithKeep(s, u"!*'() %ab\x2014\x00D7"); },
             "own keep-set");
  StandInSetEnvironment("HEXENC_KEEP", "abc");
  ExpectSame(f_hexenc, Plain(), [](const std::u16string& s) { return ModelHexencWithKeep(s, u"abc"); },
             "empty keep-set");
}

TEST_F(CorpusConsistency, HexDecode) {
  const std::vector<std::u16string> encoded = Encoded(EncodePercent);
  EXPECT_GT(TotalUnits(encoded), size_t(150000));
  ExpectSame(f_hexdec, encoded, [](const std::u16string& s) { return ModelHexdec(s.c_str()); }, "@HEXDEC");
  ExpectSame(f_hexdec, Plain(), [](const std::u16string& s) { return ModelHexdec(s.c_str()); }, "plain text");
}

}  // namespace
