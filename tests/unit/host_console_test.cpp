// Console conversion, capture and the message box of the stand-in host.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "kelvo/host.h"
#include "standin.h"
#include "test_support.h"

namespace {

std::string ConsoleBytes(const std::u16string& text) {
  char out[256];
  int n = StandInConsoleBytes(text.c_str(), out, sizeof out);
  return std::string(out, n < 0 ? 0 : size_t(n));
}

struct ConsoleCase {
  const char* what;
  int unicodeOutput;
  std::u16string text;
  std::string bytes;
};

class HostConsole : public HostFixture {};

TEST_F(HostConsole, ConvertsTextAsTheConsoleWritesIt) {
  const ConsoleCase cases[] = {
      {"ascii and line ends unchanged", 0, u"a\r\nb\n\tc", "a\r\nb\n\tc"},
      {"latin-1 as utf-8", 0, u"\u00E9\u00A0", "\xC3\xA9\xC2\xA0"},
      {"fullwidth markup folds", 0, u"\uFF06amp;\uFF1Cp\uFF1E\uFF05\uFF02", "&amp;<p>%\""},
      {"first and last fullwidth form", 0, u"\uFF01\uFF5E", "!~"},
      {"neighbours do not fold", 0, u"\uFF00\uFF5F", "\xEF\xBC\x80\xEF\xBD\x9F"},
      {"unicode output keeps fullwidth", 1, u"\uFF1C", "\xEF\xBC\x9C"},
      {"only exactly 1 is unicode output", 2, u"\uFF1C", "<"},
      {"surrogate pair is one code point", 0, u"\U0001F600", "\xF0\x9F\x98\x80"},
      {"lone high surrogate", 0, u"a\xD800" u"b", "a\xEF\xBF\xBD" "b"},
      {"lone low surrogate", 0, u"\xDC00", "\xEF\xBF\xBD"},
      {"reversed pair", 0, u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"high surrogate at the end", 0, u"x\xDBFF", "x\xEF\xBF\xBD"},
      {"three-byte maximum", 0, u"\uFFFF", "\xEF\xBF\xBF"},
  };
  for (const ConsoleCase& c : cases) {
    StandInSetUnicodeOutput(c.unicodeOutput);
    EXPECT_EQ(c.bytes, ConsoleBytes(c.text)) << c.what;
  }
}

TEST_F(HostConsole, ConsoleBytesIsBoundedByItsBuffer) {
  char out[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(3, StandInConsoleBytes(u"abcdef", out, 4));
  EXPECT_EQ(std::string("abc"), std::string(out));
  EXPECT_EQ(-1, StandInConsoleBytes(u"a", out, 0));
  EXPECT_EQ(-1, StandInConsoleBytes(nullptr, out, 4));
}

TEST_F(HostConsole, CaptureKeepsTheRawUnits) {
  QPuts(u"\uFF1Cp\uFF1E\xD800");
  Qprintf(reinterpret_cast<HostHandle>(intptr_t(2)), u"%s", u"\uFF06");
  EXPECT_U16EQ(u"\uFF1Cp\uFF1E\xD800", Out());
  EXPECT_U16EQ(u"\uFF06", Err());
}

// While capturing, redirected output is captured apart (stream 4) and no
// file is made: the fuzz targets run the shell's redirections this way.
TEST_F(HostConsole, RedirectedOutputIsCapturedApartWhileCapturing) {
  const char16_t* path = u"kelvo-capture-test-never-created.txt";
  ASSERT_EQ(0, StandInRedirect(1, path, 0));
  QPuts(u"to the file ");
  Qprintf(reinterpret_cast<HostHandle>(intptr_t(2)), u"%s", u"still standard error ");
  StandInRedirectErrorToOutput();
  Qprintf(reinterpret_cast<HostHandle>(intptr_t(2)), u"%s", u"now the file too");
  StandInEndRedirection();
  QPuts(u"standard output again");
  EXPECT_U16EQ(u"to the file now the file too", Captured(4));
  EXPECT_U16EQ(u"standard output again", Out());
  EXPECT_U16EQ(u"still standard error ", Err());
  EXPECT_EQ(nullptr, std::fopen("kelvo-capture-test-never-created.txt", "rb"));

  EXPECT_EQ(-1, StandInRedirect(3, path, 0));
  EXPECT_EQ(-1, StandInRedirect(1, u"", 0));
  EXPECT_EQ(-1, StandInRedirect(1, nullptr, 0));
}

TEST_F(HostConsole, ResetStopsCaptureAndEmptiesIt) {
  QPuts(u"x");
  StandInSetUnicodeOutput(1);
  StandInReset();
  EXPECT_EQ(0, QueryUnicodeOutput());
  EXPECT_U16EQ(u"", Out());
  StandInCapture(1);
}

TEST_F(HostConsole, MessageBoxIsRecordedAndAnswersOk) {
  EXPECT_EQ(1, StandInMessageBox(u"line 1\r\nline\t2", u"Kelvo Plugin Help"));
  EXPECT_EQ(1, StandInMessageBox(nullptr, nullptr));
  EXPECT_U16EQ(u"Kelvo Plugin Help\nline 1\r\nline\t2\n\n\n", Boxes());
  // While captured, nothing is drawn on standard output.
  EXPECT_U16EQ(u"", Out());
}

}  // namespace
