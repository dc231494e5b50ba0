// The KELVO command: display, changes, defaults, usage and every message.
#include <gtest/gtest.h>

#include <string>

#include "kelvo/plugin.h"
#include "kelvo/version.h"
#include "test_support.h"

namespace {

const std::u16string DefaultDisplay =
    u"\nKelvo plugin options:\n\n"
    u"  Quotes : 2  (Best guess)\n"
    u"  Spaces : 2  (Best guess)\n"
    u"  Dash   : 1  (Yes)\n"
    u"  Apos   : 3  (Best guess)\n"
    u"\nPlugin version: " PLUGIN_VERSION_TEXT u"\n";

// The four options by their numbers, as KELVO shows them.
constexpr Options Set(int quotes, int spaces, int dash, int apos) {
  return {static_cast<Quotes>(quotes), static_cast<Spaces>(spaces), static_cast<Dash>(dash),
          static_cast<Apos>(apos)};
}

struct CommandRow {
  const char16_t* arguments;
  int result;
  Options after;
  const char16_t* error;  // after "Kelvo plugin: "; null for none
};

const Options D = Set(2, 2, 1, 3);

const CommandRow Rows[] = {
    {u"/q:1 /s:0", 0, Set(1, 0, 1, 3), nullptr},
    {u"q=1", 0, Set(1, 2, 1, 3), nullptr},
    {u"quotes:01", 0, Set(1, 2, 1, 3), nullptr},
    {u"Quote:0 SPACE=1 d:0 apostrophes:2", 0, Set(0, 1, 0, 2), nullptr},
    {u"Apostrophe:1 apos:0 A:3", 0, Set(2, 2, 1, 3), nullptr},
    {u"Dashes:0", 0, Set(2, 2, 0, 3), nullptr},
    {u"\tq:0\r\n", 0, Set(0, 2, 1, 3), nullptr},
    {u"q:3", 1, D, u"Option value out of range \"Q:3\"\r\n"},
    {u"dash=2", 1, D, u"Option value out of range \"DASH:2\"\r\n"},
    {u"q:1 x:1", 1, Set(1, 2, 1, 3), u"Unknown option \"X\"\r\n"},
    {u"Defaults:1", 1, D, u"Unknown option \"DEFAULTS\"\r\n"},
    {u"q:1:2", 1, D, u"Unknown option \"Q:1\"\r\n"},
    {u":1", 1, D, u"Option with no value \":1\"\r\n"},
    {u"quotes", 1, D, u"Option with no value \"QUOTES\"\r\n"},
    {u"q:", 1, D, u"Bad option value \"\"\r\n"},
    {u"q:+1", 1, D, u"Bad option value \"+1\"\r\n"},
    {u"q:-1", 1, D, u"Bad option value \"-1\"\r\n"},
    {u"dash:1x", 1, D, u"Bad option value \"1x\"\r\n"},
    {u"foo:x", 1, D, u"Bad option value \"x\"\r\n"},
    {u"q:\u00B2", 1, D, u"Bad option value \"\u00B2\"\r\n"},
    {u"q:99999999999999", 1, D, u"Option value out of range \"Q:99999999999999\"\r\n"},
    {u"q=2147483648", 1, D, u"Option value out of range \"Q:2147483648\"\r\n"},
    {u"//q:1", 1, D, u"Unknown option \"//Q\"\r\n"},
    {u"/:1", 1, D, u"Unknown option \"/\"\r\n"},
    {u"UnicodeCheck:0", 1, D, u"Unknown option \"UNICODECHECK\"\r\n"},
    {u"approximate:0", 1, D, u"Unknown option \"APPROXIMATE\"\r\n"},
    {u"s:0 q:9 d:0", 1, Set(2, 0, 1, 3), u"Option value out of range \"Q:9\"\r\n"},
    {u"defaults q:0", 0, D, nullptr},
    {u"q:0 s:0 d:0 a:0 defaults", 0, D, nullptr},
    {u"DEFAULTS", 0, D, nullptr},
};

class KelvoCommandTest : public HostFixture {};

TEST_F(KelvoCommandTest, ArgumentTable) {
  for (const CommandRow& row : Rows) {
    SCOPED_TRACE(Printable(row.arguments));
    PluginOptions = Options{};
    StandInClearCaptured();
    std::u16string args(row.arguments);
    EXPECT_EQ(row.result, kelvo(args.data()));
    EXPECT_EQ(row.after.quotes, PluginOptions.quotes);
    EXPECT_EQ(row.after.spaces, PluginOptions.spaces);
    EXPECT_EQ(row.after.dash, PluginOptions.dash);
    EXPECT_EQ(row.after.apos, PluginOptions.apos);
    EXPECT_TRUE(PluginOptions.approximate);
    EXPECT_TRUE(PluginOptions.unicodeCheck);
    EXPECT_U16EQ(row.error ? u"Kelvo plugin: " + std::u16string(row.error) : u"", Err());
    EXPECT_U16EQ(u"", Out());
    // The host's buffer is never changed, whatever is upper-cased for a message.
    EXPECT_EQ(std::u16string(row.arguments), args);
  }
}

TEST_F(KelvoCommandTest, EmptyOrBlankArgumentShowsTheSettings) {
  for (const char16_t* text : {u"", u"   ", u"\t \u00A0"}) {
    StandInClearCaptured();
    std::u16string args(text);
    EXPECT_EQ(0, kelvo(args.data()));
    EXPECT_U16EQ(DefaultDisplay, Out());
  }
}

TEST_F(KelvoCommandTest, DisplayNamesEveryValue) {
  char16_t set[] = u"q:1 s:1 d:0 a:1";
  ASSERT_EQ(0, kelvo(set));
  char16_t none[] = u"";
  kelvo(none);
  EXPECT_U16EQ(
      u"\nKelvo plugin options:\n\n"
      u"  Quotes : 1  (&quot; always)\n"
      u"  Spaces : 1  (&nbsp; always)\n"
      u"  Dash   : 0  (No)\n"
      u"  Apos   : 1  (&#39;)\n"
      u"\nPlugin version: " PLUGIN_VERSION_TEXT u"\n",
      Out());
  StandInClearCaptured();
  char16_t more[] = u"q:0 s:0 a:2";
  kelvo(more);
  kelvo(none);
  EXPECT_NE(std::u16string::npos, Out().find(u"  Quotes : 0  (Never)\n  Spaces : 0  (Never)\n"));
  EXPECT_NE(std::u16string::npos, Out().find(u"  Apos   : 2  (&apos;)\n"));
}

TEST_F(KelvoCommandTest, HelpAfterAnAppliedOptionStillApplies) {
  char16_t args[] = u"q:1 /? s:0";
  EXPECT_EQ(0, kelvo(args));
  EXPECT_EQ(Quotes::Always, PluginOptions.quotes);
  EXPECT_EQ(Spaces::BestGuess, PluginOptions.spaces);
  std::u16string out = Out();
  EXPECT_EQ(0u, out.find(u"\r\nKELVO:  Display or change plugin options.\n\nKELVO QUOTES:n"));
  const std::u16string tail = u"version will be displayed.\r\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(tail, out.substr(out.size() - tail.size()));
}

TEST_F(KelvoCommandTest, NullArgument) { EXPECT_EQ(-1, kelvo(nullptr)); }

TEST_F(KelvoCommandTest, BatchFileLocationInMessages) {
  StandInSetVariable("_batch", "1");
  StandInSetVariable("_batchname", "/home/u/page.btm");
  StandInSetVariable("_batchline", "3");
  char16_t args[] = u"q:7";
  EXPECT_EQ(1, kelvo(args));
  EXPECT_U16EQ(u"Kelvo plugin: /home/u/page.btm [3]  Option value out of range \"Q:7\"\r\n", Err());
}

TEST_F(KelvoCommandTest, OverlongTokenStaysInsideItsBuffer) {
  std::u16string args = u"q:" + std::u16string(20000, u'1');
  EXPECT_EQ(1, kelvo(args.data()));
  EXPECT_EQ(Quotes::BestGuess, PluginOptions.quotes);
  EXPECT_EQ(0u, Err().find(u"Kelvo plugin: Option value out of range \"Q:111"));
}

}  // namespace
