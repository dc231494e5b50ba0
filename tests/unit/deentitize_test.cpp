// @DEENTITIZE: named entities, numeric references, fullwidth folding.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "function_call.h"
#include "kelvo/plugin.h"
#include "models.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

class DeentitizeTest : public HostFixture {};





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
