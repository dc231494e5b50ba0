// Error prefix and number parsing.
#include <gtest/gtest.h>

#include <string>

#include "kelvo/services.h"
#include "test_support.h"

namespace {

class ServicesTest : public HostFixture {};

TEST_F(ServicesTest, ErrorPrefixAtThePromptNamesOnlyThePlugin) {
  StandInSetVariable("_batch", "0");
  EXPECT_EQ(0, ErrorPrefix());
  EXPECT_U16EQ(u"Kelvo plugin: ", Err());
}

TEST_F(ServicesTest, ErrorPrefixInsideABatchFileAddsNameAndLine) {
  StandInSetVariable("_batch", "1");
  StandInSetVariable("_batchname", "C:\\work\\page%1.btm");
  StandInSetVariable("_batchline", "12");
  ErrorPrefix();
  // The expanded name is written as text, so its '%' stays.
  EXPECT_U16EQ(u"Kelvo plugin: C:\\work\\page%1.btm [12]  ", Err());
}

TEST_F(ServicesTest, ReportErrorFollowsThePrefix) {
  ReportError(u"Unknown option \"%s\"\r\n", u"X");
  EXPECT_U16EQ(u"Kelvo plugin: Unknown option \"X\"\r\n", Err());
}

struct NumberRow {
  const char16_t* text;
  bool withEnd;
  int result;
  uint32_t value;
  int endOffset;  // where parsing stopped, when withEnd
};

const NumberRow NumberRows[] = {
    {u"0", false, 0, 0, 0},
    {u"31", false, 0, 31, 0},
    {u"0x1F", false, 0, 31, 0},
    {u"0X1f", false, 0, 31, 0},
    {u"4294967295", false, 0, 4294967295u, 0},
    {u"4294967296", false, -1, 0, 0},
    {u"0xFFFFFFFF", false, 0, 4294967295u, 0},
    {u"0x100000000", false, -1, 0, 0},
    {u"99999999999999999999999", true, -1, 0, 0},
    {u"", false, -1, 0, 0},
    {u" 1", false, -1, 0, 0},
    {u"+1", false, -1, 0, 0},
    {u"-1", false, -1, 0, 0},
    {u"12abc", false, -1, 0, 0},
    {u"12abc", true, 0, 12, 2},
    {u"0x", false, -1, 0, 0},
    {u"0x", true, 0, 0, 1},
    {u"0xg", false, -1, 0, 0},
    {u"0xg", true, 0, 0, 1},
    {u"0x0x5", false, 0, 5, 0},
    {u"0x0xg", true, 0, 0, 3},
    {u"\u00B2", false, -1, 0, 0},
    {u"\u00B2", true, 0, 0, 0},
    {u"\uFF11", true, 0, 0, 0},
    {u"007", false, 0, 7, 0},
    {u"1 ", false, -1, 0, 0},
    {u"1 ", true, 0, 1, 1},
};

TEST(ParseNumberTest, Table) {
  for (const NumberRow& row : NumberRows) {
    SCOPED_TRACE(Printable(row.text) + (row.withEnd ? " with end" : ""));
    uint32_t value = 0xDEADBEEF;
    const char16_t* end = nullptr;
    int result = ParseNumber(row.text, &value, row.withEnd ? &end : nullptr);
    EXPECT_EQ(row.result, result);
    if (result == 0) {
      EXPECT_EQ(row.value, value);
      if (row.withEnd) {
        EXPECT_EQ(row.endOffset, end - row.text);
      }
    } else {
      EXPECT_EQ(0xDEADBEEFu, value);  // untouched on failure
      EXPECT_EQ(nullptr, end);
    }
  }
}

TEST(ParseNumberTest, NullArguments) {
  uint32_t value;
  EXPECT_EQ(-1, ParseNumber(nullptr, &value, nullptr));
  EXPECT_EQ(-1, ParseNumber(u"1", nullptr, nullptr));
}

TEST(LeadingInteger, ReadsLikeASignedDecimalConversion) {
  const struct {
    const char16_t* text;
    int32_t value;
  } rows[] = {{u"33.0", 33},       {u"16.03", 16},          {u"  -5", -5},
              {u"+9", 9},          {u"abc", 0},             {u"", 0},
              {u"2147483647", 2147483647},                  {u"99999999999", 2147483647},
              {u"-99999999999", INT32_MIN},                 {u"\u00A010", 10}};
  for (const auto& row : rows) EXPECT_EQ(row.value, ReadLeadingInteger(row.text)) << Printable(row.text);
}

TEST(ValueSeparator, OnlyColonAndEquals) {
  for (unsigned c = 0; c < 0x10000; ++c) {
    ASSERT_EQ(c == ':' || c == '=' ? 1 : 0, IsValueSeparator(static_cast<char16_t>(c)));
  }
}

}  // namespace
