// Error prefix, Unicode-output check, bounded appends and number parsing.
#include <gtest/gtest.h>

#include <string>

#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"
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

TEST_F(ServicesTest, UnicodeCheckStopsOnlyOnExactlyOne) {
  const struct {
    int query;
    int expected;
  } rows[] = {{0, 0}, {2, 0}, {-1, 0}, {1, 2}};
  for (const auto& row : rows) {
    StandInClearCaptured();
    StandInSetUnicodeOutput(row.query);
    EXPECT_EQ(row.expected, CheckUnicodeOutput()) << row.query;
    EXPECT_U16EQ(row.expected ? u"Kelvo plugin: Unicode output not supported\r\n" : u"", Err());
  }
}

TEST_F(ServicesTest, UnicodeCheckSwitchedOffLetsEverythingThrough) {
  StandInSetUnicodeOutput(1);
  PluginOptions.unicodeCheck = false;
  EXPECT_EQ(0, CheckUnicodeOutput());
  EXPECT_U16EQ(u"", Err());
}

std::u16string Filled(int n) { return std::u16string(static_cast<size_t>(n), u'x'); }

TEST(Append, AppendCharStopsAtTheLastTextSlot) {
  static char16_t buffer[MAX_ARG_LEN];
  std::u16string text = Filled(MAX_TEXT_LEN - 1);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = 0;
  EXPECT_EQ(0, AppendChar(buffer, u'y'));
  EXPECT_EQ(u'y', buffer[MAX_TEXT_LEN - 1]);
  EXPECT_EQ(0, buffer[MAX_TEXT_LEN]);
  EXPECT_EQ(-1, AppendChar(buffer, u'z'));
  EXPECT_EQ(u'y', buffer[MAX_TEXT_LEN - 1]);
  EXPECT_EQ(0, buffer[MAX_TEXT_LEN]);
  EXPECT_EQ(-1, AppendChar(nullptr, u'z'));
}

TEST(Append, EntityAndTagGoInWhole) {
  char16_t buffer[MAX_ARG_LEN] = {0};
  EXPECT_EQ(0, AppendEntity(buffer, u"amp;"));
  EXPECT_EQ(std::u16string(u"\uFF06amp;"), std::u16string(buffer));
  buffer[0] = 0;
  EXPECT_EQ(0, AppendTag(buffer, u"p"));
  EXPECT_EQ(std::u16string(u"\uFF1Cp\uFF1E"), std::u16string(buffer));
  EXPECT_EQ(-1, AppendEntity(nullptr, u"amp;"));
  EXPECT_EQ(-1, AppendEntity(buffer, nullptr));
  EXPECT_EQ(-1, AppendTag(nullptr, u"p"));
  EXPECT_EQ(-1, AppendTag(buffer, nullptr));
}

// Near the end of the buffer an entity or tag that does not fit whole
// leaves the text as it was, never a broken piece.
TEST(Append, PiecesThatDoNotFitLeaveTheBufferUnchanged) {
  static char16_t buffer[MAX_ARG_LEN];
  for (int room = 0; room <= 6; ++room) {
    std::u16string text = Filled(MAX_TEXT_LEN - room);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    AppendEntity(buffer, u"nbsp;");  // needs 6
    std::u16string expected = room >= 6 ? text + u"\uFF06nbsp;" : text;
    EXPECT_EQ(expected, std::u16string(buffer)) << room;

    buffer[text.size()] = 0;
    AppendTag(buffer, u"div");  // needs 5
    expected = room >= 5 ? text + u"\uFF1Cdiv\uFF1E" : text;
    EXPECT_EQ(expected, std::u16string(buffer)) << room;
  }
}

TEST(ResultBufferTest, ClosedAfterAPieceDidNotFit) {
  char16_t storage[8];
  ResultBuffer rb;
  ResultInit(&rb, storage, 8);
  EXPECT_TRUE(ResultAppendRun(&rb, u"abcd", 4));
  EXPECT_FALSE(ResultAppendEntity(&rb, u"amp;", 4));  // needs 5, room 3
  EXPECT_FALSE(ResultAppendChar(&rb, u'e'));          // nothing after a cut piece
  EXPECT_EQ(std::u16string(u"abcd"), std::u16string(storage));

  ResultInit(&rb, storage, 8);
  EXPECT_FALSE(ResultAppendRun(&rb, u"abcdefghij", 10));  // plain text cut one by one
  EXPECT_EQ(std::u16string(u"abcdefg"), std::u16string(storage));
  EXPECT_EQ(7, rb.length);
}

struct NumberRow {
  const char16_t* text;
  bool withEnd;
  int result;
  uint32_t value;
  int endOffset;  // where parsing stopped, when withEnd
};

const NumberRow kNumbers[] = {
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
  for (const NumberRow& row : kNumbers) {
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
