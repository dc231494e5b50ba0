// @ENTITIZE: the character rules, the best-guess quote, apostrophe, dash
// and white-space rules with their look-back, protected tag text, the
// contraction list, clean cuts at the buffer's end, and the fast path
// checked against a character-by-character reading of the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "convert/contraction.h"
#include "convert/conversion.h"
#include "function_call.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "kelvo/result_buffer.h"
#include "models.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

using Opts = ConversionSettings;

class EntitizeTest : public HostFixture {};

TEST_F(EntitizeTest, NullBuffer) { EXPECT_EQ(-1, f_entitize(nullptr)); }

// A buffer whose text fills all 16384 slots is read as its first 16383.
TEST_F(EntitizeTest, UnterminatedBufferIsReadAsTheLongestText) {
  const FunctionCall call = CallFunction(f_entitize, std::u16string(MAX_ARG_LEN, u'x'));
  EXPECT_EQ(0, call.result);
  EXPECT_EQ(std::u16string(MAX_TEXT_LEN, u'x'), call.text);
}

TEST(Contraction, Table) {
  const struct {
    const char16_t* text;
    bool expected;
  } rows[] = {
      {u"'cos", true},         {u"'cus", true},         {u"'em", true},
      {u"'mid", true},         {u"'mongst", true},      {u"'n", true},
      {u"'n'", true},          {u"'neath", true},       {u"'tain't", true},
      {u"'til", true},         {u"'tis", true},         {u"'tisn't", true},
      {u"'twas", true},        {u"'twasn't", true},     {u"'tween", true},
      {u"'twere", true},       {u"'twern't", true},     {u"'twixt", true},
      {u"'twould", true},      {u"'twouldn't", true},   {u"'un", true},
      {u"'tis,", true},        {u"'Tis.", true},        {u"'TWAS the", true},
      {u"'tis'", false},       {u"'tisn\u2019t", true}, {u"'tisn\u2018t", true},
      {u"'tisn\uFF07t", true}, {u"'n\u2019", true},     {u"'twas2", true},
      {u"'tis-", true},        {u"'tis\u00A0", true},   {u"'tis\uFF1E", true},
      {u"'ti", false},         {u"'tiss", false},       {u"'", false},
      {u"''", false},          {u"'n''", false},        {u"'twouldn'ts", false},
      {u"'twouldn't'", false}, {u"x'tis", false},       {u"\u2019tis", true},
      {u"\uFF07tis", true},    {u"'t\u00EFs", false},   {u"'\u00E9m", false},
      {u"'tw\u0430s", false},  // Cyrillic a is a letter, not a
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, IsContraction(row.text)) << Printable(row.text);
  }
}

// Past the longest entry nothing can match, however long the word runs;
// and the word ends at the terminator.
TEST(Contraction, LongWordsAndTheTerminator) {
  std::u16string word = u"'tis" + std::u16string(2000, u'x');
  EXPECT_FALSE(IsContraction(word.c_str()));
  std::u16string apostrophes(1500, u'\'');
  EXPECT_FALSE(IsContraction(apostrophes.c_str()));
  // The word ends at the terminator, the last unit of its allocation, so
  // that the address sanitizer sees any read past it.
  const char16_t word10[] = u"'twouldn't";
  std::unique_ptr<char16_t[]> heap(new char16_t[std::size(word10)]);
  std::copy(std::begin(word10), std::end(word10), heap.get());
  EXPECT_TRUE(IsContraction(heap.get()));
}

// ---------------------------------------------------------------------
// The buffer's end: plain characters are cut one by one, an entity goes
// in whole or closes the result.

std::u16string Times(char16_t c, int n) { return std::u16string(static_cast<size_t>(n), c); }

class EntitizeBoundaryTest : public HostFixture {};


// Every entity at every offset around the end: the result is the plain
// prefix and then the entity either whole or not at all, and nothing
// after a refused entity.
TEST_F(EntitizeBoundaryTest, EntityNeverBroken) {
  const struct {
    const char16_t* input;
    const char16_t* entity;
  } kinds[] = {{u"&", u"\uFF06amp;"},       {u"<", u"\uFF06lt;"},      {u"|", u"\uFF06brvbar;"},
               {u"\u20AC", u"\uFF06euro;"}, {u"\x18", u"\uFF06uarr;"}, {u"'", u"\uFF06rsquo;"},
               {u"--", u"\uFF06mdash;"},    {u"\"", u"\uFF06rdquo;"}};
  for (const auto& kind : kinds) {
    const std::u16string entity = kind.entity;
    for (int prefix = MAX_TEXT_LEN - 12; prefix <= MAX_TEXT_LEN - 2; ++prefix) {
      const std::u16string input = Times(u'x', prefix) + kind.input + u"yz";
      if (input.size() > static_cast<size_t>(MAX_TEXT_LEN)) continue;
      const FunctionCall call = CallFunction(f_entitize, input);
      std::u16string expected = Times(u'x', prefix);
      if (prefix + static_cast<int>(entity.size()) <= MAX_TEXT_LEN) {
        expected += entity;
        expected += std::u16string(u"yz").substr(
            0, static_cast<size_t>(MAX_TEXT_LEN - static_cast<int>(expected.size())));
      }
      EXPECT_EQ(expected, call.text) << Printable(entity) << " after " << prefix;
    }
  }
}

// ---------------------------------------------------------------------
// The rules read one character at a time, straight from their
// description (tests/support/models.h), with the same clean cut at a
// given capacity. The fast path must give exactly the same text.

std::u16string ReferenceEntitize(const std::u16string& input, const Opts& o, int capacity) {
  return ModelEntitize(input, o.options, capacity - 1);
}

// Pieces chosen to meet every rule and every look-back and look-ahead.
const std::u16string Pieces[] = {
    u"a",      u"Z",      u"e",      u"0",      u"9",      u" ",      u" ",      u"  ",
    u"\t",     u"\n",     u"\r",     u"\r\n",   u"\v",     u"\f",     u"\u00A0", u"\u3000",
    u"\"",     u"\"",     u"'",      u"'",      u"-",      u"--",     u"&",      u"<",
    u">",      u"|",      u"\x18",   u"\x1B",   u"\u2190", u"\u2193", u"\u20AC", u"\u2014",
    u"\u2018", u"\u2019", u"\u201C", u"\u201D", u"\uFF07", u"\uFF1C", u"\uFF1E", u"\u00B2",
    u"\u0663", u"\u00E9", u"\u4E00", u"\xD800", u"\xDFFF", u".",      u",",      u"(",
    u"tis",    u"Twas",   u"n",      u"n'",     u"em",     u"99",     u"80s",    u"twouldn",
    u"\u00FF", u"\u0100", u"\u2028", u"#",
    // Units at the edges of what blocks narrow to bytes, and plain runs
    // long enough to fill blocks of sixteen.
    u"\u7FFF", u"\u8000", u"\uFFFF", u"\u00AD", u"\u00A1", u"\u001F", u"\u007F",
    u"Plain words run on for a block.", u"abcdefghijklmnop",
};

std::u16string RandomText(std::mt19937& rng, int maxPieces) {
  std::uniform_int_distribution<int> count(0, maxPieces);
  std::uniform_int_distribution<size_t> pick(0, std::size(Pieces) - 1);
  std::u16string text;
  for (int n = count(rng); n > 0; --n) text += Pieces[pick(rng)];
  return text;
}

Opts RandomOpts(std::mt19937& rng) {
  std::uniform_int_distribution<int> three(0, 2), two(0, 1), four(0, 3);
  Opts o;
  o.options.quotes = static_cast<Quotes>(three(rng));
  o.options.spaces = static_cast<Spaces>(three(rng));
  o.options.dash = static_cast<Dash>(two(rng));
  o.options.apos = static_cast<Apos>(four(rng));
  return o;
}

// The input's storage ends a few units after its terminator, at the end
// of its own allocation, so that the address sanitizer sees any read
// past it; those units hold characters that take rules, which must not
// change the result.
std::u16string FastEntitize(const std::u16string& input, const Opts& o, int capacity) {
  const char16_t afterText[] = {u'"', u' ', u' ', u'-', u'-', u'&', 0xFF1C, u'\t', u'\'', 0x2014};
  const size_t storageLength = input.size() + 1 + input.size() % 23;
  std::unique_ptr<char16_t[]> exact(new char16_t[storageLength]);
  std::copy(input.begin(), input.end(), exact.get());
  exact[input.size()] = 0;
  for (size_t i = input.size() + 1; i < storageLength; ++i) {
    exact[i] = afterText[i % std::size(afterText)];
  }
  std::vector<char16_t> storage(static_cast<size_t>(capacity));
  ResultBuffer rb;
  ResultInit(&rb, storage.data(), capacity);
  EXPECT_EQ(Status::Converted, Entitize({exact.get(), exact.get() + storageLength}, o.options, &rb));
  EXPECT_LE(rb.length, capacity - 1);
  ResultFinish(&rb);
  return std::u16string(storage.data(), static_cast<size_t>(rb.length));
}

std::string Describe(const std::u16string& input, const Opts& o, int capacity) {
  const Options& s = o.options;
  return Printable(input) + " Q" + std::to_string(int(s.quotes)) + " S" + std::to_string(int(s.spaces)) +
         " D" + std::to_string(int(s.dash)) + " A" + std::to_string(int(s.apos)) + " capacity " +
         std::to_string(capacity);
}

TEST_F(EntitizeTest, FastPathMatchesTheRulesReadOneByOne) {
  std::mt19937 rng(20240611);
  for (int n = 0; n < 40000; ++n) {
    const std::u16string input = RandomText(rng, 12);
    const Opts o = RandomOpts(rng);
    const std::u16string expected = ReferenceEntitize(input, o, MAX_ARG_LEN);
    ASSERT_EQ(expected, FastEntitize(input, o, MAX_ARG_LEN)) << Describe(input, o, MAX_ARG_LEN);
  }
}

TEST_F(EntitizeTest, CutResultIsACleanPrefixAtEveryCapacity) {
  std::mt19937 rng(7);
  for (int n = 0; n < 3000; ++n) {
    const std::u16string input = RandomText(rng, 10);
    const Opts o = RandomOpts(rng);
    const std::u16string full = ReferenceEntitize(input, o, MAX_ARG_LEN);
    for (int capacity = 1; capacity <= static_cast<int>(full.size()) + 1; ++capacity) {
      const std::u16string cut = FastEntitize(input, o, capacity);
      ASSERT_EQ(ReferenceEntitize(input, o, capacity), cut) << Describe(input, o, capacity);
      ASSERT_EQ(full.substr(0, cut.size()), cut);
    }
  }
}

// Blocks class every unit below U+0100 (and every unit above, narrowed)
// with a table lookup: each of them, at each place in a block and beside
// each unit that may wait for it, must come out as the rules say.
TEST_F(EntitizeTest, BlocksClassEveryUnitAsTheRulesDo) {
  std::vector<char16_t> units;
  for (char16_t c = 1; c <= 0x100; ++c) units.push_back(c);
  for (char16_t c : {0x2014, 0x2190, 0x20AC, 0x3000, 0x7FFF, 0x8000, 0xFF1C, 0xFF1E, 0xFFFF}) units.push_back(c);
  const std::u16string neighbours[] = {u"", u" ", u"-", u"\t"};
  for (int spaces = 0; spaces < 3; ++spaces) {
    for (int dash = 0; dash < 2; ++dash) {
      Opts o;
      o.options.spaces = static_cast<Spaces>(spaces);
      o.options.dash = static_cast<Dash>(dash);
      for (char16_t c : units) {
        for (const std::u16string& before : neighbours) {
          for (const std::u16string& after : neighbours) {
            for (int lane : {1, 7, 15}) {
              const std::u16string input = std::u16string(static_cast<size_t>(lane), u'a') + before + c + after +
                                           std::u16string(20, u'b');
              ASSERT_EQ(ReferenceEntitize(input, o, MAX_ARG_LEN), FastEntitize(input, o, MAX_ARG_LEN))
                  << Describe(input, o, MAX_ARG_LEN);
            }
          }
        }
      }
    }
  }
}

// Random texts of the longest length, through the export: the
// terminator is the buffer's last unit, so the address sanitizer sees
// any read past it.
TEST_F(EntitizeTest, LongTextsMatchTheRules) {
  std::mt19937 rng(99);
  for (int n = 0; n < 40; ++n) {
    std::u16string input;
    while (input.size() < static_cast<size_t>(MAX_TEXT_LEN)) input += RandomText(rng, 1000);
    input.resize(MAX_TEXT_LEN);
    const Opts o = RandomOpts(rng);
    ApplySettings(o);
    const FunctionCall call = CallFunction(f_entitize, input);
    ASSERT_EQ(ReferenceEntitize(input, o, MAX_ARG_LEN), call.text)
        << "length " << input.size() << Describe(u"", o, MAX_ARG_LEN);
  }
}

}  // namespace
