// @ENTITIZE's scan: copying the text that needs no rule, and the protocol
// between the scan and the rules (entitize.cpp). Everything about how the
// scan decides where a rule applies is in this file.
//
// - One table per setting of the options that matters to the scan says,
//   in one load per unit below U+0100, whether the unit takes its rule and
//   which units after it would make it take one. The scan copies the unit
//   itself and stops only where a rule applies.
// - Candidates are units that need their rule only when a follower comes
//   right after them: under best-guess spaces a blank (white space by class
//   after it is swallowed; a hyphen, ampersand or em dash makes it
//   "nbsp;"), under dashes a hyphen (a second one may start an em dash).
//   The scan writes a candidate at once; when its follower comes, the
//   candidate is taken back out of the result and handed to its rule.
// - Where the processor has SSSE3 (convert/vector_paths.h), blocks of
//   sixteen units are classed at once and stored whole; only a block's
//   first unit that may need a rule goes to the one-unit scan, which
//   decides exactly. The class test may stop where nothing is needed,
//   never the other way round.
#pragma once

#include <cstdint>

#include "convert/conversion.h"
#include "convert/vector_paths.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"

namespace entitize_scan {

constexpr char16_t EM_DASH = 0x2014;
constexpr int ABOVE_LATIN1 = 0x100;

// A table entry: the unit's own bits in the low byte; in the high byte
// the bits that stop the scan at the unit after it.
constexpr uint32_t SCAN_STOP = 0x01;                // takes its rule under the options
constexpr uint32_t SCAN_FOLLOWS_SPACE = 0x02;       // swallowed after a best-guess blank
constexpr uint32_t SCAN_FOLLOWS_SPACE_NBSP = 0x04;  // makes a best-guess blank "nbsp;"
constexpr uint32_t SCAN_FOLLOWS_HYPHEN = 0x08;      // may make a hyphen an em dash
constexpr int SCAN_WATCH_SHIFT = 8;

constexpr char16_t AlwaysConverted[] = {u'\0', u'\x18', u'\x19', u'\x1A', u'\x1B', u'&', u'<', u'>', u'|'};
constexpr char16_t LineBreaksAndTab[] = {u'\t', u'\n', u'\r'};
constexpr char16_t Latin1WhiteSpace[] = {u'\t', u'\n', u'\v', u'\f', u'\r', u' ', u'\u00A0'};

template <int N>
constexpr bool IsOneOf(char16_t c, const char16_t (&set)[N]) {
  for (char16_t s : set) {
    if (c == s) return true;
  }
  return false;
}

// The entry of a unit below U+0100 under one setting of the options as
// far as the scan is concerned: the Spaces option, whether "--" may become
// an em dash, whether '"' and '\'' take rules.
constexpr uint16_t ScanEntryOf(char16_t c, Spaces spaces, bool dash, bool quoteRule, bool aposRule) {
  // Under best-guess spaces a tab or line break always takes its rule
  // (it is written as a blank); a blank only before a follower.
  const bool spaceRule =
      (spaces == Spaces::Always && (c == u' ' || IsOneOf(c, LineBreaksAndTab))) ||
      (spaces == Spaces::BestGuess && IsOneOf(c, LineBreaksAndTab));
  const bool stops = IsOneOf(c, AlwaysConverted) || (c == u'"' && quoteRule) ||
                     (c == u'\'' && aposRule) || spaceRule;
  uint32_t own = stops ? SCAN_STOP : 0;
  if (IsOneOf(c, Latin1WhiteSpace)) own |= SCAN_FOLLOWS_SPACE;
  if (c == u'&' || c == u'-') own |= SCAN_FOLLOWS_SPACE_NBSP;
  if (c == u'-') own |= SCAN_FOLLOWS_HYPHEN;
  uint32_t watch = SCAN_STOP;
  // A tab or line break takes its rule when the scan meets it, but blocks
  // write it as a blank, after which it waits as a blank does.
  if (spaces == Spaces::BestGuess && (c == u' ' || IsOneOf(c, LineBreaksAndTab))) {
    watch |= SCAN_FOLLOWS_SPACE | SCAN_FOLLOWS_SPACE_NBSP;
  }
  if (dash && c == u'-') watch |= SCAN_FOLLOWS_HYPHEN;
  return static_cast<uint16_t>(own | watch << SCAN_WATCH_SHIFT);
}

// One table for each such setting: [spaces][dash][quote rule][apostrophe rule].
constexpr int SCAN_TABLE_COUNT = 3 * 2 * 2 * 2;

constexpr int ScanTableIndex(int spaces, bool dash, bool quoteRule, bool aposRule) {
  return ((spaces * 2 + (dash ? 1 : 0)) * 2 + (quoteRule ? 1 : 0)) * 2 + (aposRule ? 1 : 0);
}

struct ScanTableSet {
  uint16_t entry[SCAN_TABLE_COUNT][ABOVE_LATIN1];
};

constexpr ScanTableSet BuildScanTables() {
  ScanTableSet tables{};
  for (int spaces = 0; spaces < 3; ++spaces) {
    for (int flags = 0; flags < 8; ++flags) {
      const bool dash = (flags & 4) != 0, quoteRule = (flags & 2) != 0, aposRule = (flags & 1) != 0;
      for (int c = 0; c < ABOVE_LATIN1; ++c) {
        tables.entry[ScanTableIndex(spaces, dash, quoteRule, aposRule)][c] =
            ScanEntryOf(static_cast<char16_t>(c), static_cast<Spaces>(spaces), dash, quoteRule, aposRule);
      }
    }
  }
  return tables;
}

inline constexpr ScanTableSet ScanTables = BuildScanTables();

// The table for the options; a value out of range counts as Never.
inline const uint16_t* ScanTableFor(const Options& o) {
  const int spaces = o.spaces == Spaces::Always ? 1 : o.spaces == Spaces::BestGuess ? 2 : 0;
  const bool quoteRule = o.quotes == Quotes::Always || o.quotes == Quotes::BestGuess;
  const bool aposRule = o.apos == Apos::Numeric || o.apos == Apos::Named || o.apos == Apos::BestGuess;
  return ScanTables.entry[ScanTableIndex(spaces, o.dash == Dash::EmDash, quoteRule, aposRule)];
}

// Above U+00FF only the arrows, the euro sign and the opening tag marker
// have a rule of their own; white space and the em dash are followers.
inline uint32_t ScanEntryAbove(char16_t c) {
  uint32_t entry = SCAN_STOP << SCAN_WATCH_SHIFT;
  if (static_cast<unsigned>(c - 0x2190) < 4u || c == 0x20AC || c == MARK_LT) entry |= SCAN_STOP;
  if (c == EM_DASH) entry |= SCAN_FOLLOWS_SPACE_NBSP;
  if (IsWhiteSpaceChar(c)) entry |= SCAN_FOLLOWS_SPACE;
  return entry;
}

inline uint32_t ScanEntry(const uint16_t* table, uint32_t c) {
  return c < ABOVE_LATIN1 ? table[c] : ScanEntryAbove(static_cast<char16_t>(c));
}

#if KELVO_SSE2

constexpr int SCAN_BLOCK = 16;

// The block class test looks each unit's byte up in two sixteen-entry
// tables, one by its low four bits and one by its high four, with a byte
// shuffle (SSSE3), and ands the two: a class bit is set for the bytes whose
// low half is among its low halves and whose high half among its high
// halves. Bits 0 to 5 mark stops, bits 6 and 7 candidates, which are their
// followers too:
//   0  00..0F but a tab or line break under best-guess spaces
//   1  10..1F
//   2  '"', '&', '\'', and the blank under spaces always
//   3  '<', '>'
//   4  '|'
//   5  A0, AF, F0, FF: 0xFF is every unit above U+00FF narrowed; no-break
//      space is a follower of a blank, and a stop serves for that
//   6  the hyphen, and the blank under best-guess spaces
//   7  tab, line feed, carriage return under best-guess spaces
// Every other control code is a stop, the terminator among them; a tab or
// line break that is no candidate is a stop. The hyphen is a candidate
// whatever the dash setting, and the quotes and the apostrophe are stops
// whatever theirs: the one-unit scan decides.
constexpr uint8_t CLASS_STOPS = 0x3F;

struct ClassTables {
  alignas(16) uint8_t low[16];
  alignas(16) uint8_t high[16];
};

constexpr ClassTables BuildClassTables(Spaces spaces) {
  ClassTables t{};
  const bool bestGuess = spaces == Spaces::BestGuess;
  // Sets bit in the tables for the bytes 16 * h + l, h in highs, l in lows.
  auto mark = [&t](uint8_t bit, uint32_t highs, uint32_t lows) {
    for (int i = 0; i < 16; ++i) {
      if ((highs >> i & 1) != 0) t.high[i] |= bit;
      if ((lows >> i & 1) != 0) t.low[i] |= bit;
    }
  };
  constexpr uint32_t ALL = 0xFFFF;
  constexpr uint32_t BREAKS = 1u << 0x9 | 1u << 0xA | 1u << 0xD;
  mark(0x01, 1u << 0x0, bestGuess ? ALL & ~BREAKS : ALL);
  mark(0x02, 1u << 0x1, ALL);
  mark(0x04, 1u << 0x2, 1u << 0x2 | 1u << 0x6 | 1u << 0x7 | (spaces == Spaces::Always ? 1u << 0x0 : 0));
  mark(0x08, 1u << 0x3, 1u << 0xC | 1u << 0xE);
  mark(0x10, 1u << 0x7, 1u << 0xC);
  mark(0x20, 1u << 0xA | 1u << 0xF, 1u << 0x0 | 1u << 0xF);
  mark(0x40, 1u << 0x2, 1u << 0xD | (bestGuess ? 1u << 0x0 : 0));
  if (bestGuess) mark(0x80, 1u << 0x0, BREAKS);
  return t;
}

// By the Spaces option; a value out of range counts as Never.
inline constexpr ClassTables BlockClassTables[3] = {
    BuildClassTables(Spaces::Never), BuildClassTables(Spaces::Always), BuildClassTables(Spaces::BestGuess)};

struct BlockSettings {
  const ClassTables* tables;
};

inline BlockSettings BlockSettingsFor(Spaces spaces) {
  return {&BlockClassTables[spaces == Spaces::Always ? 1 : spaces == Spaces::BestGuess ? 2 : 0]};
}

// Lane masks of a block, bit i for unit i.
struct BlockLanes {
  uint32_t stops;       // may take a rule of its own
  uint32_t candidates;  // may wait for the unit after it, or complete a wait
};

// The sixteen units are narrowed to bytes first: up to U+7FFF a unit
// above U+00FF becomes 0xFF, from U+8000 on it becomes 0; both are stops.
// Other white space and the em dash lie above U+00FF, '&' is a stop, so
// the followers need only the blank, the hyphen and the line breaks.
[[gnu::target("ssse3")]] inline BlockLanes ClassifyBlock(__m128i low, __m128i high, __m128i lowTable,
                                                         __m128i highTable) {
  const __m128i bytes = _mm_packus_epi16(low, high);
  const __m128i halfByte = _mm_set1_epi8(0x0F);
  const __m128i classes =
      _mm_and_si128(_mm_shuffle_epi8(lowTable, _mm_and_si128(bytes, halfByte)),
                    _mm_shuffle_epi8(highTable, _mm_and_si128(_mm_srli_epi16(bytes, 4), halfByte)));
  const __m128i plain = _mm_cmpeq_epi8(_mm_and_si128(classes, _mm_set1_epi8(CLASS_STOPS)), _mm_setzero_si128());
  return {~static_cast<uint32_t>(_mm_movemask_epi8(plain)) & 0xFFFF,
          static_cast<uint32_t>(_mm_movemask_epi8(classes) | _mm_movemask_epi8(_mm_add_epi8(classes, classes)))};
}

// Copies whole blocks from *p to *o while a block can be read (the
// input's storage ends at inputEnd, past its terminator) and written
// (before end), and leaves *p at the first unit that may need a rule.
// Each block is stored whole: the units past that first one are written
// again later or lie past the result, so that units before it are the
// only ones stored as they must be. Those hold no control code but the
// tabs and line breaks that best-guess spaces write as blanks, so raising
// every unit to at least a blank writes them. waitsBefore tells whether
// the unit before *p may wait for a follower.
[[gnu::target("ssse3")]] inline void CopyBlocks(const char16_t** p, char16_t** o, const char16_t* inputEnd,
                                                const char16_t* end, const BlockSettings& settings,
                                                bool waitsBefore) {
  const __m128i lowTable = _mm_load_si128(reinterpret_cast<const __m128i*>(settings.tables->low));
  const __m128i highTable = _mm_load_si128(reinterpret_cast<const __m128i*>(settings.tables->high));
  const __m128i blank = _mm_set1_epi16(' ');
  const char16_t* read = *p;
  char16_t* write = *o;
  uint32_t carry = waitsBefore ? 1 : 0;
  while (inputEnd - read >= SCAN_BLOCK && end - write >= SCAN_BLOCK) {
    const __m128i low = LoadUnits(read);
    const __m128i high = LoadUnits(read + SCAN_BLOCK / 2);
    const BlockLanes lanes = ClassifyBlock(low, high, lowTable, highTable);
    const uint32_t maybe = lanes.stops | (((lanes.candidates << 1) | carry) & lanes.candidates);
    StoreUnits(write, _mm_max_epi16(low, blank));
    StoreUnits(write + SCAN_BLOCK / 2, _mm_max_epi16(high, blank));
    if (maybe == 0) {
      carry = lanes.candidates >> (SCAN_BLOCK - 1);
      read += SCAN_BLOCK;
      write += SCAN_BLOCK;
      continue;
    }
    const int copied = __builtin_ctz(maybe);
    read += copied;
    write += copied;
    break;
  }
  *p = read;
  *o = write;
}

#else

// Without SSE2 the scan goes one unit at a time.
struct BlockSettings {};

inline BlockSettings BlockSettingsFor(Spaces) { return {}; }

#endif

// Copies unit k from p to o when it needs no rule and sets *watch to the
// bits that stop the scan at the unit after it; false when it stops the
// scan. Either way *entry is its table entry.
[[gnu::always_inline]] inline bool CopiesUnit(const char16_t* p, char16_t* o, int k,
                                              const uint16_t* table, uint32_t* watch,
                                              uint32_t* entry) {
  const uint32_t c = p[k];
  *entry = ScanEntry(table, c);
  if ((*entry & *watch) != 0) return false;
  o[k] = static_cast<char16_t>(c);
  *watch = *entry >> SCAN_WATCH_SHIFT;
  return true;
}

// Units copied one by one after a block stopped at a unit that needed
// nothing, before blocks are tried again: text above U+00FF (which
// blocks always stop at) goes on one unit at a time.
constexpr int SCAN_UNITS_BETWEEN_BLOCKS = 16;

struct RunEnd {
  int read;          // input units consumed
  int written;       // result units written
  uint32_t waiting;  // follower bits the last unit written waits for
};

// Copies the units that need no rule from input to output, at most `room`
// of them, and stops before the first one that needs a rule. White space
// swallowed after a blank is read but not written. With Blocks (only
// where the processor has SSSE3), blocks read ahead of the terminator, up
// to inputEnd, where the input's storage ends; units are read up to the
// terminator. Always inlined: a call per run costs short lines a third of
// their time.
template <bool Blocks>
[[gnu::always_inline]] inline RunEnd CopyPlainRun(const char16_t* input, const char16_t* inputEnd,
                                                  char16_t* output, int room, const uint16_t* table,
                                                  const BlockSettings& blockSettings) {
  const char16_t* p = input;
  char16_t* o = output;
  char16_t* const end = output + room;
  uint32_t watch = SCAN_STOP;  // bits that stop the scan at *p
  for (;;) {
    char16_t* unitsEnd = end;
#if KELVO_SSE2
    if constexpr (Blocks) {
      const char16_t* const blocksFrom = p;
      CopyBlocks(&p, &o, inputEnd, end, blockSettings, (watch & ~SCAN_STOP) != 0);
      // Every unit copied by a block lies below U+00FF.
      if (p != blocksFrom) watch = static_cast<uint32_t>(table[p[-1]]) >> SCAN_WATCH_SHIFT;
      if (end - o > SCAN_UNITS_BETWEEN_BLOCKS) unitsEnd = o + SCAN_UNITS_BETWEEN_BLOCKS;
    }
#endif
    (void)inputEnd;
    (void)blockSettings;
    // Four at a time while they fit: a unit copied is no terminator, so
    // the one after it is still within the input.
    char16_t* const lastFour = unitsEnd - o >= 4 ? unitsEnd - 3 : o;
    uint32_t entry;
    bool stopped = true;
    for (;;) {
      if (o < lastFour) {
        int copied;
        if (!CopiesUnit(p, o, 0, table, &watch, &entry)) {
          copied = 0;
        } else if (!CopiesUnit(p, o, 1, table, &watch, &entry)) {
          copied = 1;
        } else if (!CopiesUnit(p, o, 2, table, &watch, &entry)) {
          copied = 2;
        } else if (!CopiesUnit(p, o, 3, table, &watch, &entry)) {
          copied = 3;
        } else {
          p += 4;
          o += 4;
          continue;
        }
        p += copied;
        o += copied;
        break;
      }
      if (o == unitsEnd) {
        stopped = false;
        break;
      }
      if (!CopiesUnit(p, o, 0, table, &watch, &entry)) break;
      ++p;
      ++o;
    }
    if (!stopped) {
      if (unitsEnd == end) break;  // the result is full
      continue;                    // blocks again
    }
    // *p stops the scan: a rule applies, or it is white space to swallow.
    if ((entry & SCAN_FOLLOWS_SPACE) == 0 || (watch & SCAN_FOLLOWS_SPACE) == 0) break;
    do ++p;
    while ((ScanEntry(table, *p) & SCAN_FOLLOWS_SPACE) != 0);
    watch = SCAN_STOP;
  }
  return {static_cast<int>(p - input), static_cast<int>(o - output), watch & ~SCAN_STOP};
}

// What the scan needs for one call: the table for the options, what
// blocks need of them, and where the input's storage ends.
struct Scan {
  const uint16_t* table;
  BlockSettings blocks;
  const char16_t* inputEnd;
};

inline Scan ScanFor(const Options& options, const char16_t* inputEnd) {
  return {ScanTableFor(options), BlockSettingsFor(options.spaces), inputEnd};
}

// Copies the text from p that needs no rule into out and returns the unit
// where a rule applies, with *prev set to the last unit written when the
// scan wrote any; null when the text has ended, or when the result is full
// (it is then cut cleanly). When the scan stops at a follower of the
// candidate it wrote last, that candidate is taken back out of the result
// and returned: its rule decides after all.
template <bool Blocks>
[[gnu::always_inline]] inline const char16_t* ScanToRule(const char16_t* p, const Scan& scan,
                                                         ResultBuffer* out, char16_t* prev) {
  const int room = ResultRoom(out);
  const RunEnd run = CopyPlainRun<Blocks>(p, scan.inputEnd, ResultCursor(out), room, scan.table, scan.blocks);
  ResultCommit(out, run.written);
  const char16_t* at = p + run.read;
  if (*at == 0) return nullptr;  // the terminator, and no candidate waits for it
  int written = run.written;
  if (run.waiting != 0 && (ScanEntry(scan.table, *at) & run.waiting) != 0) {
    ResultTakeBack(out, 1);
    --at;
    --written;
  } else if (written == room) {
    ResultCut(out, *at);
    return nullptr;
  }
  if (written > 0) *prev = out->text[out->length - 1];
  return at;
}

}  // namespace entitize_scan
