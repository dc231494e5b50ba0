// The character classes at the boundaries that decide conversions.
#include <gtest/gtest.h>

#include "kelvo/charclass.h"

namespace {

struct ClassRow {
  char16_t ch;
  bool space, digit, alpha, graphic;
};

const ClassRow Rows[] = {
    {0x0009, true, false, false, false},  {0x000D, true, false, false, false},
    {0x0020, true, false, false, false},  {0x0021, false, false, false, true},
    {0x0030, false, true, false, true},   {0x0041, false, false, true, true},
    {0x007E, false, false, false, true},  {0x007F, false, false, false, false},
    {0x0085, false, false, false, false}, {0x00A0, true, false, false, false},
    {0x00A1, false, false, false, true},  {0x00AA, false, false, false, true},
    {0x00B2, false, true, false, true},   {0x00B3, false, true, false, true},
    {0x00B5, false, false, false, true},   {0x00B9, false, true, false, true},
    {0x00BA, false, false, false, true},   {0x00C0, false, false, true, true},
    {0x00D7, false, false, false, true},   {0x00F7, false, false, false, true},
    {0x00FF, false, false, true, true},   {0x0391, false, false, true, true},
    {0x0660, false, true, false, true},   {0x2014, false, false, false, true},
    {0x2018, false, false, false, true},   {0x2019, false, false, false, true},
    {0x201C, false, false, false, true},   {0x201D, false, false, false, true},
    {0x3000, true, false, false, false},  {0xD800, false, false, false, false},
    {0xDFFF, false, false, false, false}, {0xE000, false, false, false, false},
    {0xFF10, false, true, false, true},   {0xFF1C, false, false, false, true},
    {0xFF1E, false, false, false, true},   {0xFEFF, false, false, false, false},
    {0x4E00, false, false, true, true},   {0x0301, false, false, true, true},
    {0x2028, true, false, false, false},  {0xFFFF, false, false, false, false},
};

TEST(CharClass, BoundaryCharacters) {
  for (const ClassRow& row : Rows) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(row.ch));
    EXPECT_EQ(row.space, IsWhiteSpaceChar(row.ch));
    EXPECT_EQ(row.digit, IsDigitChar(row.ch));
    EXPECT_EQ(row.alpha, IsAlphaChar(row.ch));
    EXPECT_EQ(row.digit || row.alpha, IsAlnumChar(row.ch));
    EXPECT_EQ(row.graphic, IsGraphicChar(row.ch));
  }
}

// The Latin-1 half follows a fixed table; check every code against it.
TEST(CharClass, Latin1RangeIsExactlyTheFixedTable) {
  for (unsigned c = 0; c <= 0xFF; ++c) {
    bool space = (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0;
    bool digit = (c >= 0x30 && c <= 0x39) || c == 0xB2 || c == 0xB3 || c == 0xB9;
    bool alpha = (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) ||
                 (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || c >= 0xF8;
    bool graphic = (c >= 0x21 && c <= 0x7E) || c >= 0xA1;
    char16_t ch = static_cast<char16_t>(c);
    ASSERT_EQ(space, IsWhiteSpaceChar(ch)) << c;
    ASSERT_EQ(digit, IsDigitChar(ch)) << c;
    ASSERT_EQ(alpha, IsAlphaChar(ch)) << c;
    ASSERT_EQ(graphic, IsGraphicChar(ch)) << c;
  }
}

TEST(CharClass, NoCodeUnitIsBothWhiteSpaceAndGraphic) {
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    char16_t ch = static_cast<char16_t>(c);
    ASSERT_FALSE(IsWhiteSpaceChar(ch) && IsGraphicChar(ch)) << c;
  }
}

TEST(CharClass, HexDigitsAreAsciiOnly) {
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    char16_t ch = static_cast<char16_t>(c);
    bool expected = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    ASSERT_EQ(expected, IsHexDigitChar(ch)) << c;
    if (expected) {
      unsigned value = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
      ASSERT_EQ(static_cast<int>(value), HexDigitValue(ch));
    }
  }
}

}  // namespace
