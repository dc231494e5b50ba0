// The fast part of @ENTITIZE: copying the characters that need no rule.
// One table load per character below U+0100 says whether it may need a
// rule under the current options and what to write for it; the scan
// stops only where a rule applies. Used by entitize.cpp alone.
#pragma once

#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/markup.h"

namespace entitize_scan {

constexpr char16_t kEmDash = 0x2014;
constexpr int kAboveLatin1 = 0x100;

// A table entry: the character's bits in the low byte, the follower bits
// it waits for in the next byte, the character to write in the high half.
constexpr uint32_t SCAN_ALWAYS = 0x01;  // terminator, arrow control codes, & < > |
constexpr uint32_t SCAN_QUOTE = 0x02;
constexpr uint32_t SCAN_APOS = 0x04;
constexpr uint32_t SCAN_SPACE_ENTITY = 0x08;  // tab, line feed, carriage return, blank
// Candidates are characters that need their rule only when a follower
// comes right after them; the scan writes them at once and stops at the
// follower. Best-guess spaces: after a tab, line feed, carriage return or
// blank (written as a blank), white space by class is swallowed, while a
// hyphen, ampersand or em dash makes the blank "nbsp;". Dashes: a hyphen
// followed by another may start an em dash.
constexpr uint32_t SCAN_FOLLOWS_SPACE = 0x10;
constexpr uint32_t SCAN_FOLLOWS_SPACE_NBSP = 0x20;
constexpr uint32_t SCAN_FOLLOWS_HYPHEN = 0x40;
constexpr int SCAN_WAITS_SHIFT = 8;
constexpr int SCAN_OUTPUT_SHIFT = 16;

constexpr char16_t kAlwaysConverted[] = {u'\0', u'\x18', u'\x19', u'\x1A', u'\x1B',
                                         u'&',  u'<',    u'>',    u'|'};
constexpr char16_t kSpaceRuleStarters[] = {u'\t', u'\n', u'\r', u' '};
constexpr char16_t kLatin1WhiteSpace[] = {u'\t', u'\n', u'\v', u'\f', u'\r', u' ', u'\u00A0'};

constexpr bool IsOneOf(char16_t c, const char16_t* set, int n) {
  for (int i = 0; i < n; ++i) {
    if (c == set[i]) return true;
  }
  return false;
}

template <int N>
constexpr bool IsOneOf(char16_t c, const char16_t (&set)[N]) {
  return IsOneOf(c, set, N);
}

constexpr uint32_t ScanBitsOf(char16_t c) {
  uint32_t bits = 0;
  if (IsOneOf(c, kAlwaysConverted)) bits |= SCAN_ALWAYS;
  if (IsOneOf(c, kSpaceRuleStarters)) bits |= SCAN_SPACE_ENTITY;
  if (IsOneOf(c, kLatin1WhiteSpace)) bits |= SCAN_FOLLOWS_SPACE;
  if (c == u'"') bits |= SCAN_QUOTE;
  if (c == u'\'') bits |= SCAN_APOS;
  if (c == u'&') bits |= SCAN_FOLLOWS_SPACE_NBSP;
  if (c == u'-') bits |= SCAN_FOLLOWS_HYPHEN | SCAN_FOLLOWS_SPACE_NBSP;
  return bits;
}

// One table for each way the Spaces and Dash options make candidates:
// [best-guess spaces][dashes].
struct ScanTables {
  uint32_t entry[2][2][kAboveLatin1];
};

constexpr ScanTables BuildScanTables() {
  ScanTables tables{};
  for (int spaces = 0; spaces < 2; ++spaces) {
    for (int dash = 0; dash < 2; ++dash) {
      for (int c = 0; c < kAboveLatin1; ++c) {
        const char16_t ch = static_cast<char16_t>(c);
        const bool spaceCandidate = spaces != 0 && IsOneOf(ch, kSpaceRuleStarters);
        const bool hyphenCandidate = dash != 0 && ch == u'-';
        const uint32_t waits = (spaceCandidate ? SCAN_FOLLOWS_SPACE | SCAN_FOLLOWS_SPACE_NBSP : 0) |
                               (hyphenCandidate ? SCAN_FOLLOWS_HYPHEN : 0);
        const uint32_t output = spaceCandidate ? u' ' : ch;
        tables.entry[spaces][dash][c] =
            ScanBitsOf(ch) | waits << SCAN_WAITS_SHIFT | output << SCAN_OUTPUT_SHIFT;
      }
    }
  }
  return tables;
}

inline constexpr ScanTables kScanTables = BuildScanTables();

// Above U+00FF only the arrows, the euro sign and the opening tag marker
// have a rule of their own; white space and the em dash are followers.
inline uint32_t ScanEntryAbove(char16_t c) {
  uint32_t entry = static_cast<uint32_t>(c) << SCAN_OUTPUT_SHIFT;
  if (static_cast<unsigned>(c - 0x2190) < 4u || c == 0x20AC || c == MARK_LT) entry |= SCAN_ALWAYS;
  if (c == kEmDash) entry |= SCAN_FOLLOWS_SPACE_NBSP;
  if (IsWhiteSpaceChar(c)) entry |= SCAN_FOLLOWS_SPACE;
  return entry;
}

inline uint32_t ScanEntry(const uint32_t* table, char16_t c) {
  return c < kAboveLatin1 ? table[c] : ScanEntryAbove(c);
}

// What the options make of the table.
struct ScanMasks {
  const uint32_t* table;
  uint32_t stop;  // bits of the characters that need their rule
};

inline ScanMasks MasksFor(int quotes, int spaces, int dash, int apos) {
  ScanMasks m = {kScanTables.entry[spaces == 2 ? 1 : 0][dash == 1 ? 1 : 0], SCAN_ALWAYS};
  if (quotes == 1 || quotes == 2) m.stop |= SCAN_QUOTE;
  if (apos >= 1 && apos <= 3) m.stop |= SCAN_APOS;
  if (spaces == 1) m.stop |= SCAN_SPACE_ENTITY;
  return m;
}

// True when c is a follower that the candidate before it waits for.
inline bool FollowsCandidate(char16_t c, uint32_t waiting) {
  return (ScanEntry(kScanTables.entry[0][0], c) & waiting) != 0;
}

struct RunEnd {
  int read;          // input characters consumed
  int written;       // result characters written
  uint32_t waiting;  // follower bits the last character written waits for
};

// Copies the characters that need no rule from input to output, at most
// `room` of them, and stops before the first one that may need a rule.
// White space swallowed after a blank is read but not written. The
// terminator always stops the scan, so nothing past the input is read.
// Always inlined: a call per run costs short lines a third of their time.
[[gnu::always_inline]] inline RunEnd CopyPlainRun(const char16_t* input, char16_t* output, int room,
                                                  const ScanMasks& m) {
  const uint32_t* const table = m.table;
  const uint32_t stop = m.stop;
  const char16_t* p = input;
  char16_t* o = output;
  char16_t* const end = output + room;
  uint32_t watch = stop;  // bits that stop the scan at *p
  for (;;) {
    // Two at a time while both fit: a character copied is no terminator,
    // so the one after it is still within the input.
    uint32_t entry;
    if (end - o >= 2) {
      entry = ScanEntry(table, p[0]);
      if ((entry & watch) == 0) {
        o[0] = static_cast<char16_t>(entry >> SCAN_OUTPUT_SHIFT);
        watch = stop | ((entry >> SCAN_WAITS_SHIFT) & 0xFF);
        entry = ScanEntry(table, p[1]);
        if ((entry & watch) == 0) {
          o[1] = static_cast<char16_t>(entry >> SCAN_OUTPUT_SHIFT);
          watch = stop | ((entry >> SCAN_WAITS_SHIFT) & 0xFF);
          p += 2;
          o += 2;
          continue;
        }
        ++p;
        ++o;
      }
    } else {
      if (o == end) break;
      entry = ScanEntry(table, *p);
      if ((entry & watch) == 0) {
        *o++ = static_cast<char16_t>(entry >> SCAN_OUTPUT_SHIFT);
        watch = stop | ((entry >> SCAN_WAITS_SHIFT) & 0xFF);
        ++p;
        continue;
      }
    }
    // *p stops the scan: a rule applies, or it is white space to swallow.
    if ((entry & watch & SCAN_FOLLOWS_SPACE) == 0) break;
    do ++p;
    while ((ScanEntry(table, *p) & SCAN_FOLLOWS_SPACE) != 0);
    watch = stop;
  }
  return {static_cast<int>(p - input), static_cast<int>(o - output), watch & ~stop};
}

}  // namespace entitize_scan
