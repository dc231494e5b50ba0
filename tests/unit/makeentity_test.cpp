// @MAKEENTITY: a single character's entity or decimal reference, a name
// argument composed into an entity, the four options restored after the
// call, and names too long to get their ';'.
#include <gtest/gtest.h>

#include <string>

#include "function_call.h"
#include "kelvo/limits.h"
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

const char16_t Missing[] = u"Kelvo plugin: Missing argument\r\n";

// ＆ is written \uFF06 below.
const FunctionRow MakeEntityRows[] = {
    {u"copy", {}, u"\uFF06copy;"},
    {u"&copy", {}, u"\uFF06copy;"},
    {u"&copy;", {}, u"\uFF06copy;"},
    {u"amp;", {}, u"\uFF06amp;"},
    {u"#169", {}, u"\uFF06#169;"},
    {u"@", {}, u"\uFF06#64;"},
    {u"<", {}, u"\uFF06lt;"},
    {u">", {}, u"\uFF06gt;"},
    {u"|", {}, u"\uFF06brvbar;"},
    {u"&", {}, u"\uFF06amp;"},
    {u"\"", {}, u"\uFF06quot;"},
    {u"\"", {{.quotes = Quotes::Never}}, u"\uFF06quot;"},
    {u"\"", {{.quotes = Quotes::Always}}, u"\uFF06quot;"},
    {u"'", {}, u"\uFF06#39;"},
    {u"'", {{.apos = Apos::Never}}, u"\uFF06#39;"},
    {u"'", {{.apos = Apos::Named}}, u"\uFF06#39;"},
    {u"-", {}, u"\uFF06#45;"},
    {u"-", {{.dash = Dash::Never}}, u"\uFF06#45;"},
    {u" ", {}, u"\uFF06nbsp;"},
    {u" ", {{.spaces = Spaces::Never}}, u"\uFF06nbsp;"},
    {u"\t", {}, u"\uFF06nbsp;"},
    {u"\n", {}, u"\uFF06nbsp;"},
    {u"\r", {{.spaces = Spaces::Always}}, u"\uFF06nbsp;"},
    {u"\x18", {}, u"\uFF06uarr;"},
    {u"\x19", {}, u"\uFF06darr;"},
    {u"\x1A", {}, u"\uFF06rarr;"},
    {u"\x1B", {}, u"\uFF06larr;"},
    {u"\u2191", {}, u"\uFF06uarr;"},
    {u"\u2193", {}, u"\uFF06darr;"},
    {u"\u2192", {}, u"\uFF06rarr;"},
    {u"\u2190", {}, u"\uFF06larr;"},
    {u"\u20AC", {}, u"\uFF06euro;"},
    {u"\u00E9", {}, u"\uFF06#233;"},
    {u"\uFF1C", {}, u"\uFF06#65308;"},
    {u"\uFF1E", {}, u"\uFF06#65310;"},
    {u"\uFF06", {}, u"\uFF06#65286;"},
    {u"\u2014", {}, u"\uFF06#8212;"},
    {u"\u00A0", {}, u"\uFF06#160;"},  // white space, but not one of the four
    {u"\x01", {}, u"\uFF06#1;"},
    {u"\xD800", {}, u"\uFF06#55296;"},  // a lone surrogate: its code as a number
    {u"\xFFFF", {}, u"\uFF06#65535;"},
    {u"\U0001F600", {}, u"\uFF06\U0001F600;"},  // two code units: a name
    {u"&&x", {}, u"\uFF06&x;"},
    {u"&;", {}, u"\uFF06;"},
    {u"ab", {}, u"\uFF06ab;"},
    {u"a b", {}, u"\uFF06a b;"},  // names are not checked
    {u"", {}, u"", -1, Missing},
    {u"x", {.unicodeOutput = 1}, u"x", -2, UnicodeRefused},
    {u"copy", {.unicodeOutput = 1}, u"copy", -2, UnicodeRefused},
    {u"", {.unicodeOutput = 1}, u"", -2, UnicodeRefused},
};

class MakeEntityTest : public HostFixture {};

TEST_F(MakeEntityTest, Table) {
  ExpectRows(f_makeentity, MakeEntityRows, [](const FunctionRow& row) {
    // The options are the user's again, whatever the call did.
    EXPECT_EQ(row.settings.options.quotes, PluginOptions.quotes);
    EXPECT_EQ(row.settings.options.spaces, PluginOptions.spaces);
    EXPECT_EQ(row.settings.options.dash, PluginOptions.dash);
    EXPECT_EQ(row.settings.options.apos, PluginOptions.apos);
  });
}

TEST_F(MakeEntityTest, NullBuffer) { EXPECT_EQ(-1, f_makeentity(nullptr)); }

// Every single code unit: the result is always one whole entity, and the
// options come back unchanged.
TEST_F(MakeEntityTest, EverySingleCharacterGivesOneEntity) {
  PluginOptions.quotes = Quotes::Never;
  PluginOptions.spaces = Spaces::Never;
  PluginOptions.dash = Dash::Never;
  PluginOptions.apos = Apos::Never;
  for (unsigned c = 1; c <= 0xFFFF; ++c) {
    char16_t buffer[MAX_ARG_LEN] = {static_cast<char16_t>(c), 0};
    ASSERT_EQ(0, f_makeentity(buffer)) << c;
    const std::u16string result(buffer);
    ASSERT_GE(result.size(), 3u) << c;
    ASSERT_EQ(u'\uFF06', result.front()) << c;
    ASSERT_EQ(u';', result.back()) << c;
    ASSERT_EQ(std::u16string::npos, result.find(u'\uFF06', 1)) << c;
  }
  EXPECT_EQ(Quotes::Never, PluginOptions.quotes);
  EXPECT_EQ(Spaces::Never, PluginOptions.spaces);
  EXPECT_EQ(Dash::Never, PluginOptions.dash);
  EXPECT_EQ(Apos::Never, PluginOptions.apos);
}

// A name whose entity, ';' included, would outgrow the buffer is refused
// rather than cut into an entity without its end.
TEST_F(MakeEntityTest, LongNames) {
  const char16_t TooLong[] = u"Kelvo plugin: Entity name too long\r\n";
  const std::u16string x = u"x";
  const FunctionRow rows[] = {
      {Repeat(x, MAX_TEXT_LEN - 2), {}, u"\uFF06" + Repeat(x, MAX_TEXT_LEN - 2) + u";", 0, u""},
      {Repeat(x, MAX_TEXT_LEN - 2) + u";", {}, u"\uFF06" + Repeat(x, MAX_TEXT_LEN - 2) + u";", 0, u""},
      {u"&" + Repeat(x, MAX_TEXT_LEN - 2), {}, u"\uFF06" + Repeat(x, MAX_TEXT_LEN - 2) + u";", 0, u""},
      {u"&" + Repeat(x, MAX_TEXT_LEN - 2) + u";", {}, u"\uFF06" + Repeat(x, MAX_TEXT_LEN - 2) + u";", 0,
       u""},
      {Repeat(x, MAX_TEXT_LEN - 1), {}, Repeat(x, MAX_TEXT_LEN - 1), -1, TooLong},
      {Repeat(x, MAX_TEXT_LEN), {}, Repeat(x, MAX_TEXT_LEN), -1, TooLong},
      {Repeat(x, MAX_TEXT_LEN - 1) + u";", {}, Repeat(x, MAX_TEXT_LEN - 1) + u";", -1, TooLong},
      {Repeat(x, MAX_TEXT_LEN - 2) + u";;", {}, Repeat(x, MAX_TEXT_LEN - 2) + u";;", -1, TooLong},
      {u"&" + Repeat(x, MAX_TEXT_LEN - 1), {}, u"&" + Repeat(x, MAX_TEXT_LEN - 1), -1, TooLong},
      // A buffer whose text fills all 16384 slots is read as 16383.
      {Repeat(x, MAX_ARG_LEN), {}, Repeat(x, MAX_ARG_LEN), -1, TooLong},
  };
  ExpectRows(f_makeentity, rows);
}

}  // namespace
