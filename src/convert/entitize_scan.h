// The fast part of @ENTITIZE: copying the characters that need no rule.
// One table load per character below U+0100 says whether it needs a rule
// under the current options; the scan copies the character itself and
// stops only where a rule applies.
#pragma once

#include <cstdint>

#include "kelvo/charclass.h"
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
  if (s.spaces == 2 && c == u' ') watch |= SCAN_FOLLOWS_SPACE | SCAN_FOLLOWS_SPACE_NBSP;
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

// Copies the characters that need no rule from input to output, at most
// `room` of them, and stops before the first one that needs a rule.
// White space swallowed after a blank is read but not written. The
// terminator always stops the scan, so nothing past the input is read.
// Always inlined: a call per run costs short lines a third of their time.
[[gnu::always_inline]] inline RunEnd CopyPlainRun(const char16_t* input, char16_t* output, int room,
                                                  const uint16_t* table) {
  const char16_t* p = input;
  char16_t* o = output;
  char16_t* const end = output + room;
  // Blocks of four start before this.
  char16_t* const lastBlock = room >= 4 ? end - 3 : output;
  uint32_t watch = SCAN_STOP;  // bits that stop the scan at *p
  for (;;) {
    // Four at a time while they fit: a character copied is no
    // terminator, so the one after it is still within the input.
    uint32_t c;
    uint32_t entry;
    if (o < lastBlock) {
      c = p[0];
      entry = ScanEntry(table, c);
      if ((entry & watch) == 0) {
        o[0] = static_cast<char16_t>(c);
        watch = entry >> SCAN_WATCH_SHIFT;
        c = p[1];
        entry = ScanEntry(table, c);
        if ((entry & watch) == 0) {
          o[1] = static_cast<char16_t>(c);
          watch = entry >> SCAN_WATCH_SHIFT;
          c = p[2];
          entry = ScanEntry(table, c);
          if ((entry & watch) == 0) {
            o[2] = static_cast<char16_t>(c);
            watch = entry >> SCAN_WATCH_SHIFT;
            c = p[3];
            entry = ScanEntry(table, c);
            if ((entry & watch) == 0) {
              o[3] = static_cast<char16_t>(c);
              watch = entry >> SCAN_WATCH_SHIFT;
              p += 4;
              o += 4;
              continue;
            }
            p += 3;
            o += 3;
          } else {
            p += 2;
            o += 2;
          }
        } else {
          ++p;
          ++o;
        }
      }
    } else {
      if (o == end) break;
      c = *p;
      entry = ScanEntry(table, c);
      if ((entry & watch) == 0) {
        *o++ = static_cast<char16_t>(c);
        watch = entry >> SCAN_WATCH_SHIFT;
        ++p;
        continue;
      }
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
