// @DEENTITIZE: replaces named entities and numeric character references
// by the characters they stand for, and folds the fullwidth forms
// U+FF01..U+FF1F to ASCII on the way.
//
// Every recognised entity yields fewer units than it spans and every other
// unit yields exactly one, so the result is never longer than the text and
// can be written over it: the write position never passes the read
// position. Written over its text, a text without entities is not moved at
// all; runs between entities are moved in blocks. The result needs room
// for as many units as the text has.
#include <cstdint>

#include "convert/conversion.h"
#include "convert/entity_table.h"
#include "convert/plain_run.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"

namespace {

// A name and its ';' must stand within this many units after the '&'.
constexpr int NAME_WINDOW = 12;
// Numeric values saturate here, so no digit run can overflow; anything
// at or above it is no Unicode character.
constexpr uint32_t VALUE_CEILING = 0x110000;

// What an entity decodes to: at most three units.
struct Decoded {
  char16_t text[3];
  int length;
};

inline bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

inline uint32_t Accumulate(uint32_t value, uint32_t base, uint32_t digit) {
  value = value * base + digit;  // value < VALUE_CEILING, so no overflow
  return value < VALUE_CEILING ? value : VALUE_CEILING;
}

void SetOne(Decoded* out, char16_t c) {
  out->text[0] = c;
  out->length = 1;
}

// The character for a numeric reference: one code unit, a surrogate pair
// beyond the Basic Multilingual Plane, and '?' for 0 or a value beyond
// Unicode.
void DecodeValue(uint32_t value, Decoded* out) {
  if (value == 0 || value >= VALUE_CEILING) {
    SetOne(out, u'?');
  } else if (value <= 0xFFFF) {
    SetOne(out, static_cast<char16_t>(value));
  } else {
    WritePair(value, out->text);
    out->length = 2;
  }
}

// Reads a numeric reference whose digits start at i. Returns the index
// after its ';', or -1 when the digit run is not closed by ';'.
int ReadNumeric(const char16_t* s, int i, uint32_t base, Decoded* out) {
  uint32_t value = 0;
  for (;;) {
    char16_t c = s[i];
    if (base == 10 ? !IsAsciiDigit(c) : !IsHexDigitChar(c)) break;
    value = Accumulate(value, base, static_cast<uint32_t>(HexDigitValue(c)));
    ++i;
  }
  if (s[i] != u';') return -1;
  DecodeValue(value, out);
  return i + 1;
}

// Reads a named entity whose name starts at j. Returns the index after
// its ';', or -1 when no ';' closes a nonempty name within the window.
int ReadNamed(const char16_t* s, int j, bool approximate, Decoded* out) {
  int length = 0;
  for (;;) {
    if (length == NAME_WINDOW) return -1;
    char16_t c = s[j + length];
    if (c == 0) return -1;
    if (c == u';') break;
    ++length;
  }
  if (length == 0) return -1;

  const char16_t* replacement;
  char16_t c = LookupEntity(s + j, length, &replacement);
  if (approximate && replacement != nullptr) {
    out->length = 0;
    while (out->length < 3 && replacement[out->length] != 0) {
      out->text[out->length] = replacement[out->length];
      ++out->length;
    }
  } else {
    SetOne(out, c != 0 ? c : u'?');
  }
  return j + length + 1;
}

// Decodes the entity after an ampersand; j is the index just after it.
// The look-ahead reads the text as it stands, without folding. Returns
// the index after the entity, or -1 when none starts at j.
int ReadEntity(const char16_t* s, int j, bool approximate, Decoded* out) {
  if (s[j] == u'#') {
    char16_t next = s[j + 1];
    if (IsAsciiDigit(next)) return ReadNumeric(s, j + 1, 10, out);
    if ((next == u'x' || next == u'X') && IsHexDigitChar(s[j + 2]))
      return ReadNumeric(s, j + 2, 16, out);
  }
  return ReadNamed(s, j, approximate, out);
}

}  // namespace

Status Deentitize(const Argument& argument, const Options& options, ResultBuffer* out) {
  const char16_t* const text = argument.text;
  // The block moves stay within the text's storage and within the room.
  const char16_t* const limit = argument.end;
  const char16_t* read = text;
  char16_t* write = ResultCursor(out);
  // Written over its own text, the result needs no move up to the first
  // unit that changes.
  if (write == text) {
    read = SkipPlainRun(text, limit, u'&');
    write += read - text;
  }
  for (;;) {
    MovePlainRun(read, write, limit, u'&');
    char16_t c = *read;
    if (c == 0) break;
    c = FoldFullwidth(c);
    ++read;
    if (c != u'&') {
      *write++ = c;
      continue;
    }
    Decoded decoded;
    const int end = ReadEntity(text, static_cast<int>(read - text), options.approximate, &decoded);
    if (end < 0) {
      // Not an entity: the ampersand stays, as markup, and the text
      // after it is scanned as ordinary text.
      *write++ = MARK_AMP;
      continue;
    }
    for (int k = 0; k < decoded.length; ++k) *write++ = decoded.text[k];
    read = text + end;
  }
  ResultCommit(out, static_cast<int>(write - ResultCursor(out)));
  return Status::Converted;
}
