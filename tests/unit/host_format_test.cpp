// The stand-in host's formatter and output operations.

#include <gtest/gtest.h>

#include <string>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "standin.h"
#include "test_support.h"

namespace {

template <typename... Args>
std::u16string Format(const char16_t* format, Args... args) {
  static char16_t buffer[MAX_ARG_LEN];
  Sprintf(buffer, format, args...);
  return buffer;
}

struct FormatCase {
  const char* what;
  std::u16string got;
  const char16_t* want;
};

TEST(HostFormat, Conversions) {
  const FormatCase cases[] = {
      {"plain text", Format(u"abc"), u"abc"},
      {"string", Format(u"<%s>", u"x y"), u"<x y>"},
      {"null string", Format(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)"},
      {"negative int", Format(u"%d", -42), u"-42"},
      {"int minimum", Format(u"%d", INT32_MIN), u"-2147483648"},
      {"unsigned maximum", Format(u"%u", 4294967295u), u"4294967295"},
      {"unsigned of -1", Format(u"%u", -1), u"4294967295"},
      {"char", Format(u"[%c]", int(u'A')), u"[A]"},
      {"fullwidth char", Format(u"%c", 0xFF1C), u"\uFF1C"},
      {"percent", Format(u"100%%"), u"100%"},
      {"width right", Format(u"%5d|", 42), u"   42|"},
      {"width left", Format(u"%-5s|", u"ab"), u"ab   |"},
      {"zero pad", Format(u"%05d", -42), u"-0042"},
      {"precision", Format(u"%.2s", u"abcdef"), u"ab"},
      {"long", Format(u"%ld %lu", 5000000000L, 6000000000UL), u"5000000000 6000000000"},
      {"hex", Format(u"%x %X", 255, 255), u"ff FF"},
      {"unknown conversion kept", Format(u"a%qb"), u"a%qb"},
      {"format ends in %", Format(u"abc%"), u"abc%"},
      {"several", Format(u"%s plugin v%d.%d.%d loaded.\n", u"Kelvo", 0, 60, 4),
       u"Kelvo plugin v0.60.4 loaded.\n"},
      {"query text", Format(u"%%@arrayinfo[%s,%d]", u"FRUIT", 2), u"%@arrayinfo[FRUIT,2]"},
      {"element text", Format(u"%%%s[%d,%d]", u"A", 1, 0), u"%A[1,0]"},
  };
  for (const FormatCase& c : cases) EXPECT_U16EQ(c.want, c.got) << c.what;
}

TEST(HostFormat, SprintfStopsAtTheBufferLimit) {
  std::u16string longText(20000, u'x');
  static char16_t buffer[MAX_ARG_LEN + 8];
  for (char16_t& c : buffer) c = u'#';
  int n = Sprintf(buffer, u"%s%s", longText.c_str(), u"tail");
  EXPECT_EQ(MAX_TEXT_LEN, n);
  EXPECT_EQ(u'x', buffer[MAX_TEXT_LEN - 1]);
  EXPECT_EQ(0, buffer[MAX_TEXT_LEN]);
  for (int i = MAX_ARG_LEN; i < MAX_ARG_LEN + 8; ++i) EXPECT_EQ(u'#', buffer[i]);
  // Padding is bounded the same way.
  n = Sprintf(buffer, u"%99999d", 1);
  EXPECT_EQ(MAX_TEXT_LEN, n);
  EXPECT_EQ(u'#', buffer[MAX_ARG_LEN]);
}

class HostOutput : public HostFixture {};

TEST_F(HostOutput, EachOperationWritesToItsStream) {
  HostHandle err = reinterpret_cast<HostHandle>(intptr_t(2));
  HostHandle out = reinterpret_cast<HostHandle>(intptr_t(1));
  EXPECT_EQ(5, Qprintf(err, u"e%s\r\n", u"rr"));
  EXPECT_EQ(2, Qprintf(out, u"o%d", 1));
  EXPECT_EQ(-1, Qprintf(reinterpret_cast<HostHandle>(intptr_t(7)), u"lost"));
  EXPECT_EQ(-1, Qprintf(nullptr, u"lost"));
  Printf(u"[%u]", 7u);
  QPuts(u"a\uFF06b");
  CrLf();
  EXPECT_U16EQ(u"err\r\n", Err());
  EXPECT_U16EQ(u"o1[7]a\uFF06b\r\n", Out());
  EXPECT_U16EQ(u"", Boxes());
  StandInClearCaptured();
  EXPECT_U16EQ(u"", Out());
}

TEST_F(HostOutput, QueryUnicodeOutputReportsTheSwitch) {
  EXPECT_EQ(0, QueryUnicodeOutput());
  for (int value : {1, 2, 0}) {
    StandInSetUnicodeOutput(value);
    EXPECT_EQ(value, QueryUnicodeOutput());
  }
}

}  // namespace
