// The fast part of @ENTITIZE: copying the characters that need no rule.
// One table load per character below U+0100 says whether it needs a rule
// under the current options; the scan copies the character itself and
// stops only where a rule applies.
#pragma once

#include <cstdint>

#include "convert/entitize_blocks.h"
#include "kelvo/charclass.h"
#include "kelvo/cpu.h"
#include "kelvo/markup.h"

namespace entitize_scan {

constexpr char16_t kEmDash = 0x2014;
constexpr int kAboveLatin1 = 0x100;

// A table entry: the character's own bits in the low byte; in the high
// byte the bits that stop the scan at the character after it.
constexpr uint32_t SCAN_STOP = 0x01;  // takes its rule under the current options
// Candidates are characters that need their rule only when a follower
// comes right after them; the scan writes them at once and stops at the
// follower. Best-guess spaces: after a blank, white space by class is
// swallowed, while a hyphen, ampersand or em dash makes the blank
// "nbsp;". Dashes: a hyphen followed by another may start an em dash.
constexpr uint32_t SCAN_FOLLOWS_SPACE = 0x02;
constexpr uint32_t SCAN_FOLLOWS_SPACE_NBSP = 0x04;
constexpr uint32_t SCAN_FOLLOWS_HYPHEN = 0x08;
constexpr int SCAN_WATCH_SHIFT = 8;

constexpr char16_t kAlwaysConverted[] = {u'\0', u'\x18', u'\x19', u'\x1A', u'\x1B',
                                         u'&',  u'<',    u'>',    u'|'};
constexpr char16_t kLineBreaksAndTab[] = {u'\t', u'\n', u'\r'};
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

// The options as far as the scan is concerned.
struct ScanSelector {
  int spaces;      // 0 never, 1 always "nbsp;", 2 best guess
  bool dash;       // "--" may become an em dash
  bool quoteRule;  // '"' takes a rule
  bool aposRule;   // '\'' takes a rule
};

constexpr uint16_t ScanEntryOf(char16_t c, const ScanSelector& s) {
  // Under best-guess spaces a tab or line break always takes its rule
  // (it is written as a blank); a blank only before a follower.
  const bool spaceRule = (s.spaces == 1 && (c == u' ' || IsOneOf(c, kLineBreaksAndTab))) ||
                         (s.spaces == 2 && IsOneOf(c, kLineBreaksAndTab));
  const bool stops = IsOneOf(c, kAlwaysConverted) || (c == u'"' && s.quoteRule) ||
                     (c == u'\'' && s.aposRule) || spaceRule;
  uint32_t own = stops ? SCAN_STOP : 0;
  if (IsOneOf(c, kLatin1WhiteSpace)) own |= SCAN_FOLLOWS_SPACE;
  if (c == u'&' || c == u'-') own |= SCAN_FOLLOWS_SPACE_NBSP;
  if (c == u'-') own |= SCAN_FOLLOWS_HYPHEN;
  uint32_t watch = SCAN_STOP;
  // A tab or line break takes its rule when the scan meets it, but blocks
  // write it as a blank, after which it waits as a blank does.
  if (s.spaces == 2 && (c == u' ' || IsOneOf(c, kLineBreaksAndTab))) {
    watch |= SCAN_FOLLOWS_SPACE | SCAN_FOLLOWS_SPACE_NBSP;
  }
  if (s.dash && c == u'-') watch |= SCAN_FOLLOWS_HYPHEN;
  return static_cast<uint16_t>(own | watch << SCAN_WATCH_SHIFT);
}

// One table for each way the options can steer the scan:
// [spaces][dash][quote rule][apostrophe rule].
constexpr int kSelectorCount = 3 * 2 * 2 * 2;

constexpr int SelectorIndex(const ScanSelector& s) {
  return ((s.spaces * 2 + (s.dash ? 1 : 0)) * 2 + (s.quoteRule ? 1 : 0)) * 2 + (s.aposRule ? 1 : 0);
}

struct ScanTables {
  uint16_t entry[kSelectorCount][kAboveLatin1];
};

constexpr ScanTables BuildScanTables() {
  ScanTables tables{};
  for (int spaces = 0; spaces < 3; ++spaces) {
    for (int flags = 0; flags < 8; ++flags) {
      const ScanSelector s = {spaces, (flags & 4) != 0, (flags & 2) != 0, (flags & 1) != 0};
      for (int c = 0; c < kAboveLatin1; ++c) {
        tables.entry[SelectorIndex(s)][c] = ScanEntryOf(static_cast<char16_t>(c), s);
      }
    }
  }
  return tables;
}

inline constexpr ScanTables kScanTables = BuildScanTables();

// The table for the current options.
inline const uint16_t* ScanTableFor(int quotes, int spaces, int dash, int apos) {
  const ScanSelector s = {spaces == 1 || spaces == 2 ? spaces : 0, dash == 1,
                          quotes == 1 || quotes == 2, apos >= 1 && apos <= 3};
  return kScanTables.entry[SelectorIndex(s)];
}

// Above U+00FF only the arrows, the euro sign and the opening tag marker
// have a rule of their own; white space and the em dash are followers.
inline uint32_t ScanEntryAbove(char16_t c) {
  uint32_t entry = SCAN_STOP << SCAN_WATCH_SHIFT;
  if (static_cast<unsigned>(c - 0x2190) < 4u || c == 0x20AC || c == MARK_LT) entry |= SCAN_STOP;
  if (c == kEmDash) entry |= SCAN_FOLLOWS_SPACE_NBSP;
  if (IsWhiteSpaceChar(c)) entry |= SCAN_FOLLOWS_SPACE;
  return entry;
}

inline uint32_t ScanEntry(const uint16_t* table, uint32_t c) {
  return c < kAboveLatin1 ? table[c] : ScanEntryAbove(static_cast<char16_t>(c));
}

// True when c is a follower that the candidate before it waits for.
inline bool FollowsCandidate(const uint16_t* table, char16_t c, uint32_t waiting) {
  return (ScanEntry(table, c) & waiting) != 0;
}

struct RunEnd {
  int read;          // input characters consumed
  int written;       // result characters written
  uint32_t waiting;  // follower bits the last character written waits for
};

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

// Copies the characters that need no rule from input to output, at most
// `room` of them, and stops before the first one that needs a rule.
// White space swallowed after a blank is read but not written. Blocks
// read ahead of the terminator, up to inputEnd, where the input's
// storage ends; units are read up to the terminator. Always inlined: a
// call per run costs short lines a third of their time.
[[gnu::always_inline]] inline RunEnd CopyPlainRun(const char16_t* input, const char16_t* inputEnd,
                                                  char16_t* output, int room,
                                                  const uint16_t* table,
                                                  const BlockSettings& blockSettings) {
  const char16_t* p = input;
  char16_t* o = output;
  char16_t* const end = output + room;
  uint32_t watch = SCAN_STOP;  // bits that stop the scan at *p
  for (;;) {
#if KELVO_VECTOR_SSE2
    const char16_t* const blocksFrom = p;
    CopyBlocks(&p, &o, inputEnd, end, blockSettings, (watch & ~SCAN_STOP) != 0);
    // Every unit copied by a block lies below U+00FF.
    if (p != blocksFrom) watch = static_cast<uint32_t>(table[p[-1]]) >> SCAN_WATCH_SHIFT;
    char16_t* const unitsEnd =
        end - o > SCAN_UNITS_BETWEEN_BLOCKS ? o + SCAN_UNITS_BETWEEN_BLOCKS : end;
#else
    (void)inputEnd;
    (void)blockSettings;
    char16_t* const unitsEnd = end;
#endif
    // Four at a time while they fit: a character copied is no
    // terminator, so the one after it is still within the input.
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

}  // namespace entitize_scan
