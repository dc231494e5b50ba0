// @DEENTITIZE: named entities, numeric references, fullwidth folding.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "function_call.h"
#include "models.h"
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

class DeentitizeTest : public HostFixture {};

TEST_F(DeentitizeTest, Examples) {
  const FunctionRow rows[] = {
      {u"a&lt;b", {}, u"a\uFF1Cb"},
      {u"&quot;&amp;&lt;&gt;", {}, u"\uFF02\uFF06\uFF1C\uFF1E"},
      {u"x&hellip;y&copy;", {}, u"x...y(C)"},
      {u"&hellip;&copy;&reg;&trade;&mdash;&OElig;&oelig;", {}, u"...(C)(R)TM--OEoe"},
      {u"&#65;&#x42;&#X43;&#x6a;", {}, u"ABCj"},
      {u"&#xfF;", {}, u"\u00FF"},
      {u"&#0;", {}, u"?"},
      {u"&#x0;", {}, u"?"},
      {u"&#00065;", {}, u"A"},
      {u"&#x00041;", {}, u"A"},
      {u"&#12a;", {}, u"\uFF06#12a;"},
      {u"&#;", {}, u"?"},
      {u"&#x;", {}, u"?"},
      {u"&#xZ;", {}, u"?"},
      {u"&#-5;", {}, u"?"},
      {u"&#\u00B2;", {}, u"?"},
      {u"&#x41 ", {}, u"\uFF06#x41 "},
      {u"Fish & Chips", {}, u"Fish \uFF06 Chips"},
      {u"AT&T; x", {}, u"AT? x"},
      {u"&&amp;", {}, u"?"},
      {u"& amp;", {}, u"?"},
      {u"&amp x;", {}, u"?"},
      {u"&amp", {}, u"\uFF06amp"},
      {u"&abcdefghijk;", {}, u"?"},
      {u"&abcdefghijkl;", {}, u"\uFF06abcdefghijkl;"},
      {u"&;", {}, u"\uFF06;"},
      {u"a&", {}, u"a\uFF06"},
      {u"&", {}, u"\uFF06"},
      {u"&&&", {}, u"\uFF06\uFF06\uFF06"},
      {u"&am&amp;", {}, u"?"},
      {u"&Alpha;&alpha;&AMP;", {}, u"\u0391\u03B1?"},
      {u"&nbsp;", {}, u"\u00A0"},
      {u"&thetasym;", {}, u"\u03D1"},
      {u"&sub;", {}, u"?"},
      {u"&apos;", {}, u"'"},
      {u"\uFF1Cp\uFF1E", {}, u"<p>"},
      {u"\uFF06lt;", {}, u"\uFF1C"},
      {u"\uFF06#65;", {}, u"A"},
      {u"&lt\uFF1B", {}, u"\uFF06lt;"},
      {u"&\uFF0365;", {}, u"?"},
      {u"&#\uFF16\uFF15;", {}, u"?"},
      {u"&#x\uFF14\uFF11;", {}, u"?"},
      {u"\uFF01\uFF1F\uFF00\uFF20\uFF3C", {}, u"!?\uFF00\uFF20\uFF3C"},
      {u"plain text stays", {}, u"plain text stays"},
      {u"", {}, u""},
      // Any code unit qualifies, markup and lone surrogates included.
      {u"&#38;&#60;&#x3E;", {}, u"&<>"},
      {u"&#55296;x&#xDFFF;", {}, u"\xD800x\xDFFF"},
      {u"\xD800&amp;\xDC00", {}, u"\xD800\uFF06\xDC00"},
      {u"\t&#9;\r\n", {}, u"\t\t\r\n"},
  };
  ExpectRows(f_deentitize, rows);
}

// Beyond the Basic Multilingual Plane: a surrogate pair up to U+10FFFF,
// '?' above it however long the digit run, never a wrapped value.
TEST_F(DeentitizeTest, ValuesBeyondTheBasicPlane) {
  const FunctionRow rows[] = {
      {u"&#65536;", {}, u"\xD800\xDC00"},
      {u"&#x10000;", {}, u"\xD800\xDC00"},
      {u"&#x1F600;", {}, u"\xD83D\xDE00"},
      {u"&#1114111;", {}, u"\xDBFF\xDFFF"},
      {u"&#x10FFFF;", {}, u"\xDBFF\xDFFF"},
      {u"&#1114112;", {}, u"?"},
      {u"&#x110000;", {}, u"?"},
      {u"&#4294967361;", {}, u"?"},   // 2^32 + 65: 'A' if the value wrapped
      {u"&#x100000041;", {}, u"?"},
      {u"&#99999999999999999999999999999;", {}, u"?"},
      {u"&#xFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF;", {}, u"?"},
      {u"&#0000000000000000000000000065;", {}, u"A"},
      {u"&#99999999999999999999", {}, u"\uFF06#99999999999999999999"},
  };
  ExpectRows(f_deentitize, rows);
}

TEST_F(DeentitizeTest, ApproximateOffGivesTheCharacters) {
  const FunctionRow rows[] = {
      {u"&hellip;&copy;&reg;&trade;&mdash;&OElig;&oelig;", {{.approximate = false}},
       u"\u2026\u00A9\u00AE\u2122\u2014\u0152\u0153"},
      {u"&amp;", {{.approximate = false}}, u"\uFF06"},
  };
  ExpectRows(f_deentitize, rows);
}

TEST_F(DeentitizeTest, WorksWhateverTheOutputMode) {
  const FunctionRow rows[] = {
      {u"&lt;p&gt; &copy;", {.unicodeOutput = 1}, u"\uFF1Cp\uFF1E (C)"},
      {u"&lt;p&gt; &copy;", {{.unicodeCheck = false}, 1}, u"\uFF1Cp\uFF1E (C)"},
  };
  ExpectRows(f_deentitize, rows);
}

TEST_F(DeentitizeTest, NullBuffer) { EXPECT_EQ(-1, f_deentitize(nullptr)); }

TEST_F(DeentitizeTest, InputBoundIsTheLastSlot) {
  const std::u16string fill(MAX_TEXT_LEN - 5, u'a');
  // 16383 characters, ending in an entity.
  FunctionCall full = CallFunction(f_deentitize, fill + u"&amp;");
  EXPECT_EQ(0, full.result);
  EXPECT_U16EQ(fill + u"\uFF06", full.text);

  // No terminator in the buffer: the ';' in the last slot is never read,
  // so the entity is not closed.
  const std::u16string lead(MAX_TEXT_LEN - 4, u'a');
  FunctionCall cut = CallFunction(f_deentitize, lead + u"&amp;");
  EXPECT_EQ(0, cut.result);
  EXPECT_U16EQ(lead + u"\uFF06amp", cut.text);

  // A digit run across the whole buffer: closed by a ';' in the last text
  // slot it is one (saturated) reference; with the ';' in the last slot
  // of all it is not closed.
  const std::u16string digits(MAX_TEXT_LEN - 3, u'9');
  EXPECT_U16EQ(u"?", CallFunction(f_deentitize, u"&#" + digits + u";").text);
  FunctionCall open = CallFunction(f_deentitize, u"&#" + digits + u"9;");
  EXPECT_TRUE(open.text == u"\uFF06#" + digits + u"9") << open.text.size();
}

TEST_F(DeentitizeTest, LongTextsDecodeThroughout) {
  FunctionCall amps = CallFunction(f_deentitize, std::u16string(MAX_TEXT_LEN, u'&'));
  EXPECT_U16EQ(std::u16string(MAX_TEXT_LEN, u'\uFF06'), amps.text);

  // 2730 six-unit entities and three spare characters.
  std::u16string text = Repeat(u"&#x41;", 2730) + u"xyz";
  FunctionCall refs = CallFunction(f_deentitize, text);
  EXPECT_U16EQ(std::u16string(2730, u'A') + u"xyz", refs.text);

  std::u16string mixed = Repeat(u"Fish &amp; Chips &#8364;5 \uFF1Cb\uFF1E ", 400);
  std::u16string expected = Repeat(u"Fish \uFF06 Chips \u20AC5 <b> ", 400);
  EXPECT_U16EQ(expected, CallFunction(f_deentitize, mixed).text);
}

// The decoding against its plain model (tests/support/models.h), which
// scans every table row and has no index: they must agree on any text.
TEST_F(DeentitizeTest, AgreesWithThePlainModelOnRandomTexts) {
  const std::u16string pieces[] = {
      u"&",    u"\uFF06", u"#",      u"x",     u"X",  u";",      u"\uFF1B", u"\uFF03", u"amp",
      u"lt",   u"copy",   u"hellip", u"Alpha", u"1",  u"65",     u"F",      u"a",      u" ",
      u"\xD800", u"\xDC00", u"\uFF1C", u"q",   u"99999999999", u"10FFFF", u"\u00B2", u"thetasym",
  };
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    // Mostly short texts; every hundredth fills the buffer, terminator
    // slot included, with some arbitrary code units mixed in.
    std::u16string text;
    bool full = round % 100 == 0;
    while (text.size() < (full ? size_t(MAX_ARG_LEN) : random() % 100)) {
      if (full && random() % 8 == 0) {
        text += static_cast<char16_t>(1 + random() % 0xFFFF);
      } else {
        text += pieces[random() % std::size(pieces)];
      }
    }
    if (full) text.resize(MAX_ARG_LEN);
    bool approximate = (round & 1) == 0;
    PluginOptions.approximate = approximate;
    FunctionCall call = CallFunction(f_deentitize, text);
    ASSERT_EQ(Printable(ModelDeentitize(text.c_str(), approximate)), Printable(call.text))
        << "input " << Printable(text.substr(0, 200));
    EXPECT_LE(call.text.size(), std::min<size_t>(text.size(), MAX_TEXT_LEN));
  }
}

}  // namespace
