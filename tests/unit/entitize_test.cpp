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
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "kelvo/result_buffer.h"
#include "models.h"
#include "test_support.h"

namespace {

using Opts = ConversionSettings;

// ＆ is written \uFF06 below.
const FunctionRow EntitizeRows[] = {
    {u"", {}, u""},
    {u"\"Quick & Silver's\"",
     {},
     u"\uFF06ldquo;Quick\uFF06nbsp;\uFF06amp; Silver\uFF06rsquo;s\uFF06rdquo;"},
    {u"don't", {}, u"don\uFF06rsquo;t"},
    {u"it's 5 o'clock", {}, u"it\uFF06rsquo;s 5 o\uFF06rsquo;clock"},
    {u"'Hello,' she said.", {}, u"\uFF06lsquo;Hello,\uFF06rsquo; she said."},
    {u"'Twas the night", {}, u"\uFF06rsquo;Twas the night"},
    {u"rock 'n' roll", {}, u"rock \uFF06rsquo;n\uFF06rsquo; roll"},
    {u"'tis'", {}, u"\uFF06lsquo;tis\uFF06rsquo;"},
    {u"'99 was a year", {}, u"\uFF06rsquo;99 was a year"},
    {u"the '80s", {}, u"the \uFF06lsquo;80s"},
    {u"5' tall", {}, u"5\uFF06rsquo; tall"},
    {u"\"", {}, u"\uFF06rdquo;"},
    {u"'", {}, u"\uFF06rsquo;"},
    {u"\"\"", {}, u"\uFF06ldquo;\uFF06rdquo;"},
    {u"\u2018\"", {}, u"\u2018\uFF06ldquo;"},
    {u"\u201C'", {}, u"\u201C\uFF06lsquo;"},
    {u"\"'", {}, u"\uFF06ldquo;\uFF06lsquo;"},
    {u"'\"", {}, u"\uFF06lsquo;\uFF06ldquo;"},
    {u"x''", {}, u"x\uFF06rsquo;\uFF06rsquo;"},
    {u"'TWAS", {}, u"\uFF06rsquo;TWAS"},
    {u"'twas2", {}, u"\uFF06rsquo;twas2"},
    {u"a--b", {}, u"a\uFF06mdash;b"},
    {u"a---b", {}, u"a---b"},
    {u"a----b", {}, u"a----b"},
    {u"--start", {}, u"\uFF06mdash;start"},
    {u"end--", {}, u"end\uFF06mdash;"},
    {u"a--b", {{.dash = Dash::Never}}, u"a--b"},
    {u"a -- b", {}, u"a\uFF06nbsp;\uFF06mdash; b"},
    {u"a --b", {}, u"a\uFF06nbsp;\uFF06mdash;b"},
    {u"x \u2014y", {}, u"x\uFF06nbsp;\u2014y"},
    {u"a & b", {}, u"a\uFF06nbsp;\uFF06amp; b"},
    {u"a  & b", {}, u"a \uFF06amp; b"},
    {u"line1\r\nline2", {}, u"line1 line2"},
    {u"line1\r\nline2", {{.spaces = Spaces::Always}}, u"line1\uFF06nbsp;\uFF06nbsp;line2"},
    {u"line1\r\nline2", {{.spaces = Spaces::Never}}, u"line1\r\nline2"},
    {u"a\tb", {}, u"a b"},
    {u"a\tb", {{.spaces = Spaces::Always}}, u"a\uFF06nbsp;b"},
    {u"a\u00A0b", {}, u"a\u00A0b"},
    {u"a \u00A0 b", {}, u"a b"},
    {u" a ", {}, u" a "},
    {u"\x18\x19\x1A\x1B", {}, u"\uFF06uarr;\uFF06darr;\uFF06rarr;\uFF06larr;"},
    {u"\u2191\u2193\u2192\u2190", {}, u"\uFF06uarr;\uFF06darr;\uFF06rarr;\uFF06larr;"},
    {u"\u2014\u201C\u2019", {}, u"\u2014\u201C\u2019"},
    {u"\uFF1Ca href=\"x\"\uFF1E\"", {}, u"\uFF1Ca href=\"x\"\uFF1E\uFF06rdquo;"},
    {u"\uFF1C\"a", {}, u"\uFF1C\"a"},
    {u"\"", {{.quotes = Quotes::Always}}, u"\uFF06quot;"},
    {u"\"", {{.quotes = Quotes::Never}}, u"\""},
    {u"'", {{.apos = Apos::Numeric}}, u"\uFF06#39;"},
    {u"'", {{.apos = Apos::Named}}, u"\uFF06apos;"},
    {u"'", {{.apos = Apos::Never}}, u"'"},
    {u"1 < 2 > 0 | \u20AC5", {}, u"1 \uFF06lt; 2 \uFF06gt; 0 \uFF06brvbar; \uFF06euro;5"},

    // The look-back after each kind of step.
    {u"\"'", {{.quotes = Quotes::Never}}, u"\"\uFF06rsquo;"},  // a copied quote is graphic
    {u"\"'", {{.quotes = Quotes::Always}}, u"\uFF06quot;\uFF06rsquo;"},
    {u"a\t\"", {{.spaces = Spaces::Never}}, u"a\t\uFF06rdquo;"},  // copied tab, then end
    {u"\t'x", {{.spaces = Spaces::Never}}, u"\t\uFF06lsquo;x"},
    {u"a \"\r", {}, u"a \uFF06rdquo; "},  // white space, quote, line end
    {u"a '\n", {}, u"a \uFF06rsquo; "},
    {u"\"a\" \"b\"", {}, u"\uFF06ldquo;a\uFF06rdquo; \uFF06ldquo;b\uFF06rdquo;"},
    {u"(\"x\")", {}, u"(\uFF06rdquo;x\uFF06rdquo;)"},  // '(' is graphic
    {u"a\uFF1E\"", {}, u"a\uFF1E\uFF06rdquo;"},        // lone closing marker copied
    {u".'a", {}, u".\uFF06rsquo;a"},
    {u"('tis)", {}, u"(\uFF06rsquo;tis)"},
    {u"'em'", {}, u"\uFF06lsquo;em\uFF06rsquo;"},
    {u"'tisn\uFF07t", {}, u"\uFF06rsquo;tisn\uFF07t"},
    {u"'tisn\u2019t", {}, u"\uFF06rsquo;tisn\u2019t"},
    {u"'tis\u2019", {}, u"\uFF06lsquo;tis\u2019"},
    {u"x'tis", {}, u"x\uFF06rsquo;tis"},  // apostrophe inside a word
    {u"\u00B2'tis", {}, u"\u00B2\uFF06rsquo;tis"},
    {u"'\u00B2\u00B3 x", {}, u"\uFF06rsquo;\u00B2\u00B3 x"},
    {u"'99a", {}, u"\uFF06lsquo;99a"},
    {u"'999", {}, u"\uFF06lsquo;999"},
    {u"'9", {}, u"\uFF06lsquo;9"},
    {u"'99", {}, u"\uFF06rsquo;99"},
    {u"a'99", {}, u"a\uFF06rsquo;99"},  // closing after a letter
    {u"\u201C'99", {}, u"\u201C\uFF06rsquo;99"},
    {u"'\u0663\u0664 ", {}, u"\uFF06rsquo;\u0663\u0664 "},  // Arabic-Indic digits
    {u"a--b--c", {}, u"a\uFF06mdash;b\uFF06mdash;c"},
    {u"a-- --b", {}, u"a\uFF06mdash;\uFF06nbsp;\uFF06mdash;b"},
    {u"----", {}, u"----"},
    {u"-", {}, u"-"},
    {u"a-b", {}, u"a-b"},
    {u"\u2014--", {}, u"\u2014--"},
    {u"--\u2014", {}, u"\uFF06mdash;\u2014"},
    {u"a --b", {{.spaces = Spaces::Never}}, u"a \uFF06mdash;b"},
    {u"a -", {}, u"a\uFF06nbsp;-"},
    {u"a\t&b", {}, u"a\uFF06nbsp;\uFF06amp;b"},
    {u"a\n", {}, u"a "},
    {u"a ", {}, u"a "},
    {u"a \u3000\u2028\u00A0\v\fb", {}, u"a b"},  // white space by class is swallowed
    {u"a\u3000b", {}, u"a\u3000b"},              // but does not start a run
    {u"a \u3000&", {}, u"a \uFF06amp;"},
    {u"a\r\n\r\n-", {{.spaces = Spaces::Always}}, u"a\uFF06nbsp;\uFF06nbsp;\uFF06nbsp;\uFF06nbsp;-"},
    {u"\uFF1Ca\uFF1Cb\uFF1E&", {}, u"\uFF1Ca\uFF1Cb\uFF1E\uFF06amp;"},
    {u"x\uFF1C& 'q' \"--\"", {}, u"x\uFF1C& 'q' \"--\""},
    {u"\uFF1C\uFF1E'", {}, u"\uFF1C\uFF1E\uFF06rsquo;"},
    {u"\x01\x7F\xD800\xDFFF\xFFFF", {}, u"\x01\x7F\xD800\xDFFF\xFFFF"},
    {u"\"x\"", {{.quotes = Quotes(7), .spaces = Spaces(9), .dash = Dash(3), .apos = Apos(-1)}}, u"\"x\""},

    {u"a&b", {.unicodeOutput = 1}, u"a&b", -2, UnicodeRefused},
    {u"a&b", {.unicodeOutput = 2}, u"a\uFF06amp;b"},
};

class EntitizeTest : public HostFixture {};

TEST_F(EntitizeTest, Table) { ExpectRows(f_entitize, EntitizeRows); }

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

TEST_F(EntitizeBoundaryTest, LongInputs) {
  const std::u16string amp = u"\uFF06amp;";
  const std::u16string nbsp = u"\uFF06nbsp;";
  const FunctionRow rows[] = {
      {Times(u'x', MAX_TEXT_LEN), {}, Times(u'x', MAX_TEXT_LEN)},
      {Times(u'&', MAX_TEXT_LEN), {}, Repeat(amp, MAX_TEXT_LEN / 5)},
      {Times(u' ', MAX_TEXT_LEN), {}, u" "},
      {Times(u'\t', MAX_TEXT_LEN), {}, u" "},
      {Times(u' ', MAX_TEXT_LEN), {{.spaces = Spaces::Always}}, Repeat(nbsp, MAX_TEXT_LEN / 6)},
      {Times(u' ', MAX_TEXT_LEN), {{.spaces = Spaces::Never}}, Times(u' ', MAX_TEXT_LEN)},
      {Times(u'-', MAX_TEXT_LEN), {}, Times(u'-', MAX_TEXT_LEN)},
      {Times(u'"', MAX_TEXT_LEN),
       {},
       u"\uFF06ldquo;" + Repeat(u"\uFF06rdquo;", MAX_TEXT_LEN / 7 - 1)},
      {Times(u'\'', MAX_TEXT_LEN),
       {},
       u"\uFF06lsquo;" + Repeat(u"\uFF06rsquo;", MAX_TEXT_LEN / 7 - 1)},
      {Times(u'"', MAX_TEXT_LEN), {{.quotes = Quotes::Never}}, Times(u'"', MAX_TEXT_LEN)},
      {Times(0xD800, MAX_TEXT_LEN), {}, Times(0xD800, MAX_TEXT_LEN)},
      {Times(0xDC00, MAX_TEXT_LEN), {}, Times(0xDC00, MAX_TEXT_LEN)},
      {Times(0xFF1E, MAX_TEXT_LEN), {}, Times(0xFF1E, MAX_TEXT_LEN)},
      // Unclosed tag marker: everything after it is copied as it stands.
      {u"\uFF1C" + Times(u'&', MAX_TEXT_LEN - 1), {}, u"\uFF1C" + Times(u'&', MAX_TEXT_LEN - 1)},
      {Times(u'a', 100) + u"\uFF1C" + Times(u'"', MAX_TEXT_LEN - 101),
       {},
       Times(u'a', 100) + u"\uFF1C" + Times(u'"', MAX_TEXT_LEN - 101)},
      // A hyphen pair at the last positions a dash can take.
      {u"x" + Times(u' ', MAX_TEXT_LEN - 3) + u"--", {}, u"x \uFF06mdash;"},
      {u"x" + Times(u' ', MAX_TEXT_LEN - 2) + u"-", {}, u"x -"},
      // 16383 units of which only the last two survive the blanks.
      {Times(u'\t', MAX_TEXT_LEN - 2) + u"&'", {}, u" \uFF06amp;\uFF06rsquo;"},
      {Times(u'x', MAX_TEXT_LEN - 2) + u" &", {}, Times(u'x', MAX_TEXT_LEN - 2)},
  };
  ExpectRows(f_entitize, rows);
}

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
const std::u16string kPieces[] = {
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
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  std::u16string text;
  for (int n = count(rng); n > 0; --n) text += kPieces[pick(rng)];
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
