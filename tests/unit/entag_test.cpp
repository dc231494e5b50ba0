// @ENTAG: the split at the first comma outside double quotes, the tag
// name, the entitized string between the tags, and results that would
// outgrow the buffer: the string is cut cleanly, both tags stay whole.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "function_call.h"
#include "kelvo/limits.h"
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

const char16_t MissingTag[] = u"Kelvo plugin: Missing tag name\r\n";

// ＆ ＜ ＞ are written \uFF06 \uFF1C \uFF1E below.
const FunctionRow EntagRows[] = {
    {u"p,Short test.", {}, u"\uFF1Cp\uFF1EShort test.\uFF1C/p\uFF1E"},
    {u"b,Fish & Chips", {}, u"\uFF1Cb\uFF1EFish\uFF06nbsp;\uFF06amp; Chips\uFF1C/b\uFF1E"},
    {u"p,Fish & Chips", {}, u"\uFF1Cp\uFF1EFish\uFF06nbsp;\uFF06amp; Chips\uFF1C/p\uFF1E"},
    {u"b, x", {}, u"\uFF1Cb\uFF1E x\uFF1C/b\uFF1E"},
    {u"a href=\"x,y\",Link", {}, u"\uFF1Ca href=\"x,y\"\uFF1ELink\uFF1C/a\uFF1E"},
    {u"  b ,text", {}, u"\uFF1Cb \uFF1Etext\uFF1C/b\uFF1E"},
    {u"b", {}, u"\uFF1Cb\uFF1E\uFF1C/b\uFF1E"},
    {u"a \"x,y", {}, u"\uFF1Ca \"x,y\uFF1E\uFF1C/a\uFF1E"},
    {u"div class=x,Hi", {}, u"\uFF1Cdiv class=x\uFF1EHi\uFF1C/div\uFF1E"},
    {u"p,\uFF1Cb\uFF1Ebold\uFF1C/b\uFF1E & co",
     {},
     u"\uFF1Cp\uFF1E\uFF1Cb\uFF1Ebold\uFF1C/b\uFF1E\uFF06nbsp;\uFF06amp; co\uFF1C/p\uFF1E"},
    {u"a&b,x", {}, u"\uFF1Ca&b\uFF1Ex\uFF1C/a&b\uFF1E"},
    {u",text", {}, u",text", -1, MissingTag},
    {u"", {}, u"", -1, MissingTag},
    {u"   ", {}, u"   ", -1, MissingTag},
    {u" \t,x", {}, u" \t,x", -1, MissingTag},

    // Further splits and names.
    {u"p,a,b", {}, u"\uFF1Cp\uFF1Ea,b\uFF1C/p\uFF1E"},  // only the first comma splits
    {u"p,", {}, u"\uFF1Cp\uFF1E\uFF1C/p\uFF1E"},
    {u"p\tclass=x,y", {}, u"\uFF1Cp\tclass=x\uFF1Ey\uFF1C/p\uFF1E"},
    {u"div class=x id=y ,Hi", {}, u"\uFF1Cdiv class=x id=y \uFF1EHi\uFF1C/div\uFF1E"},
    {u"\"a b\" c,x", {}, u"\uFF1C\"a b\" c\uFF1Ex\uFF1C/\"a b\"\uFF1E"},  // quoted blank
    {u"\u00A0\u3000p,x", {}, u"\uFF1Cp\uFF1Ex\uFF1C/p\uFF1E"},            // white space by class
    {u"p\u00A0x,y", {}, u"\uFF1Cp\u00A0x\uFF1Ey\uFF1C/p\uFF1E"},
    {u"\",\",x", {}, u"\uFF1C\",\"\uFF1Ex\uFF1C/\",\"\uFF1E"},
    {u"\",x", {}, u"\uFF1C\",x\uFF1E\uFF1C/\",x\uFF1E"},  // unclosed quote: no split
    {u"\"\",x", {}, u"\uFF1C\"\"\uFF1Ex\uFF1C/\"\"\uFF1E"},
    {u"p,'Twas \"so\"",
     {},
     u"\uFF1Cp\uFF1E\uFF06rsquo;Twas \uFF06ldquo;so\uFF06rdquo;\uFF1C/p\uFF1E"},
    // The string is entitized under the current options.
    {u"q,\"hi\"", {{.quotes = Quotes::Always}}, u"\uFF1Cq\uFF1E\uFF06quot;hi\uFF06quot;\uFF1C/q\uFF1E"},
    {u"q,a  b", {{.spaces = Spaces::Never}}, u"\uFF1Cq\uFF1Ea  b\uFF1C/q\uFF1E"},
    {u"q,a--b", {{.dash = Dash::Never}}, u"\uFF1Cq\uFF1Ea--b\uFF1C/q\uFF1E"},
    {u"q,it's", {{.apos = Apos::Named}}, u"\uFF1Cq\uFF1Eit\uFF06apos;s\uFF1C/q\uFF1E"},
    // The tag text is never entitized, the markers of the string pass.
    {u"p <x>,\uFF1E\"", {}, u"\uFF1Cp <x>\uFF1E\uFF1E\uFF06rdquo;\uFF1C/p\uFF1E"},

    {u"p,x", {.unicodeOutput = 1}, u"p,x", -2, UnicodeRefused},
    {u"", {.unicodeOutput = 1}, u"", -2, UnicodeRefused},
};

class EntagTest : public HostFixture {};

TEST_F(EntagTest, Table) { ExpectRows(f_entag, EntagRows); }

TEST_F(EntagTest, NullBuffer) { EXPECT_EQ(-1, f_entag(nullptr)); }

std::u16string Times(char16_t c, int n) { return std::u16string(static_cast<size_t>(n), c); }

// Near the buffer's end the two tags stay whole and the entitized string
// is cut between them: plain characters one by one, entities whole;
// tags that alone outgrow the buffer are refused.
TEST_F(EntagTest, ResultsAtTheBuffersEnd) {
  const char16_t TooLong[] = u"Kelvo plugin: Tag name too long\r\n";
  const std::u16string open = u"\uFF1Cp\uFF1E";
  const std::u16string close = u"\uFF1C/p\uFF1E";
  const std::u16string amp = u"\uFF06amp;";
  // Room for the string between <p> and </p>.
  const int room = MAX_TEXT_LEN - 7;
  const std::u16string longName = Times(u'n', 8189);  // 8189 + 2 + 8189 + 3 = 16383
  const FunctionRow rows[] = {
      {u"p," + Times(u'x', MAX_TEXT_LEN - 2), {}, open + Times(u'x', room) + close, 0, u""},
      {u"p," + Times(u'&', MAX_TEXT_LEN - 2), {}, open + Repeat(amp, room / 5) + close, 0, u""},
      {u"p," + Times(u'x', room - 4) + u"&", {}, open + Times(u'x', room - 4) + close, 0, u""},
      {u"p," + Times(u'x', room - 5) + u"&y", {}, open + Times(u'x', room - 5) + amp + close, 0, u""},
      {u"p," + Times(u'x', room - 6) + u"&yz", {}, open + Times(u'x', room - 6) + amp + u"y" + close, 0,
       u""},
      // The whole buffer: an unterminated argument is read as 16383.
      {u"p," + Times(u'x', MAX_ARG_LEN - 2), {}, open + Times(u'x', room) + close, 0, u""},
      {longName, {}, u"\uFF1C" + longName + u"\uFF1E\uFF1C/" + longName + u"\uFF1E", 0, u""},
      {longName + u"n", {}, longName + u"n", -1, TooLong},
      {longName + u"n,x", {}, longName + u"n,x", -1, TooLong},
      // Attributes make the opening tag long: the string gets what is left.
      {Times(u'a', 5000) + u" " + Times(u'b', 3000) + u"," + Times(u'&', 5000), {},
       u"\uFF1C" + Times(u'a', 5000) + u" " + Times(u'b', 3000) + u"\uFF1E" +
           Repeat(amp, (MAX_TEXT_LEN - 8003 - 5003) / 5) + u"\uFF1C/" + Times(u'a', 5000) +
           u"\uFF1E",
       0, u""},
      // Tag text and name of 12378 + 4000: the two tags fill the buffer.
      {Times(u'a', 4000) + u" " + Times(u'b', 8377) + u",x", {},
       u"\uFF1C" + Times(u'a', 4000) + u" " + Times(u'b', 8377) + u"\uFF1E\uFF1C/" +
           Times(u'a', 4000) + u"\uFF1E",
       0, u""},
      {Times(u'a', 4000) + u" " + Times(u'b', 8378) + u",x", {},
       Times(u'a', 4000) + u" " + Times(u'b', 8378) + u",x", -1, TooLong},
      // Short tags at the very end of the buffer, and tags around the
      // eight units that are moved at once.
      {Times(u' ', MAX_TEXT_LEN - 2) + u"ab", {}, u"\uFF1Cab\uFF1E\uFF1C/ab\uFF1E", 0, u""},
      {Times(u' ', MAX_TEXT_LEN - 7) + u"abcdefg", {}, u"\uFF1Cabcdefg\uFF1E\uFF1C/abcdefg\uFF1E", 0, u""},
      // Unterminated: the unit in the last slot is not read.
      {Times(u' ', MAX_ARG_LEN - 8) + u"abcdefgh", {}, u"\uFF1Cabcdefg\uFF1E\uFF1C/abcdefg\uFF1E", 0, u""},
      {u"abcdefgh,x", {}, u"\uFF1Cabcdefgh\uFF1Ex\uFF1C/abcdefgh\uFF1E", 0, u""},
      {u"abcdefghi j,", {}, u"\uFF1Cabcdefghi j\uFF1E\uFF1C/abcdefghi\uFF1E", 0, u""},
  };
  ExpectRows(f_entag, rows);
}

// Every length of tag text and of tag name from 1 to 20 units, with and
// without attributes: the short tags are moved in pieces of a fixed size
// that overlap, so each length must come out whole and nothing else
// changes.
TEST_F(EntagTest, EveryShortTagLength) {
  const std::u16string letters = u"abcdefghijklmnopqrst";
  for (int nameLength = 1; nameLength <= 20; ++nameLength) {
    const std::u16string name = letters.substr(0, static_cast<size_t>(nameLength));
    for (const std::u16string& attributes : {std::u16string(), std::u16string(u" c=\"1\"")}) {
      const std::u16string tag = name + attributes;
      SCOPED_TRACE(Printable(tag));
      const FunctionCall call = CallFunction(f_entag, tag + u",x&y");
      EXPECT_EQ(0, call.result);
      EXPECT_EQ(u"\uFF1C" + tag + u"\uFF1Ex\uFF06amp;y\uFF1C/" + name + u"\uFF1E", call.text);
    }
  }
}

// Any code units at the longest length: both tags whole around whatever
// of the string fits, and nothing read or written outside the buffer.
TEST_F(EntagTest, AnyCodeUnitsAtTheLongestLength) {
  const char16_t units[] = {u'a', u' ',   u'\t',  u'"',   u'\'',  u'-',   u'&',   u'<',
                            u',', 0xFF1C, 0xFF1E, 0xD800, 0xDFFF, 0x3000, 0x2014, 0x01};
  unsigned seed = 12345;
  for (int n = 0; n < 30; ++n) {
    std::u16string input = u"p class=\"a,b\",";
    while (input.size() < static_cast<size_t>(MAX_TEXT_LEN)) {
      seed = seed * 1103515245u + 12345u;
      input += units[(seed >> 16) % std::size(units)];
    }
    const FunctionCall call = CallFunction(f_entag, input);
    ASSERT_EQ(0, call.result);
    ASSERT_LE(call.text.size(), static_cast<size_t>(MAX_TEXT_LEN));
    EXPECT_EQ(u"\uFF1Cp class=\"a,b\"\uFF1E", call.text.substr(0, 15));
    EXPECT_EQ(u"\uFF1C/p\uFF1E", call.text.substr(call.text.size() - 4));
  }
}

}  // namespace
