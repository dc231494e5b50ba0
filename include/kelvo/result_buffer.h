// The one way a result is written. The buffer travels with its length and
// capacity, so every append checks the room here and no caller does bounds
// arithmetic of its own.
//
// A result that outgrows its buffer is cut cleanly:
// - plain units go in one by one while there is room;
// - a piece that belongs together (an entity, a tag, an escape) goes in
//   whole or not at all;
// - a surrogate pair is never split: when its low half does not fit, its
//   high half is taken back out;
// - after the first thing that did not fit, nothing more goes in.
// So a cut result is always a prefix of the full result that ends on a
// whole character and a whole piece.
//
// The appends do not terminate the text: a conversion may write its result
// over its own argument, where the unit after the result is still to be
// read. ResultFinish terminates it once the result is complete.
#pragma once

#include <cstdint>
#include <cstring>

#include "kelvo/markup.h"
#include "kelvo/text.h"

struct ResultBuffer {
  char16_t* text;
  int length;
  int capacity;  // slots, terminator included
  bool closed;   // something did not fit: nothing more goes in
};

inline void ResultInit(ResultBuffer* rb, char16_t* storage, int capacity) {
  rb->text = storage;
  rb->length = 0;
  rb->capacity = capacity;
  rb->closed = false;
}

inline int ResultRoom(const ResultBuffer* rb) {
  return rb->closed ? 0 : rb->capacity - 1 - rb->length;
}

// Writes the terminator after the result; returns the length.
inline int ResultFinish(ResultBuffer* rb) {
  rb->text[rb->length] = 0;
  return rb->length;
}

// `refused` is the first unit that did not fit: the result ends here, and
// a high surrogate before it that it would have completed goes too.
inline void ResultCut(ResultBuffer* rb, char16_t refused) {
  if (rb->closed) return;
  if (IsLowSurrogate(refused) && rb->length > 0 && IsHighSurrogate(rb->text[rb->length - 1])) {
    --rb->length;
  }
  rb->closed = true;
}

// Moves n units (from and to do not overlap). Short pieces, as entity
// names and tags are, move as two fixed-size loads and stores that may
// overlap in the middle, which costs less than a library call; nothing
// outside the n units is read or written.
inline void CopyUnits(char16_t* to, const char16_t* from, int n) {
  if (n >= 4 && n <= 8) {
    uint64_t head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + n - 4, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + n - 4, &tail, sizeof tail);
  } else if (n >= 2 && n < 4) {
    uint32_t head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + n - 2, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + n - 2, &tail, sizeof tail);
  } else if (n == 1) {
    to[0] = from[0];
  } else if (n > 8) {
    std::memcpy(to, from, sizeof(char16_t) * static_cast<size_t>(n));
  }
}

// One plain unit; false when it did not fit.
inline bool ResultAppendUnit(ResultBuffer* rb, char16_t c) {
  if (ResultRoom(rb) == 0) {
    ResultCut(rb, c);
    return false;
  }
  rb->text[rb->length++] = c;
  return true;
}

// n plain units, as many as fit; false when some were cut.
inline bool ResultAppendRun(ResultBuffer* rb, const char16_t* s, int n) {
  const int room = ResultRoom(rb);
  const int take = n < room ? n : room;
  CopyUnits(rb->text + rb->length, s, take);
  rb->length += take;
  if (take == n) return true;
  ResultCut(rb, s[take]);
  return false;
}

// n units that belong together, all or none.
inline bool ResultAppendPiece(ResultBuffer* rb, const char16_t* s, int n) {
  if (n > ResultRoom(rb)) {
    ResultCut(rb, s[0]);
    return false;
  }
  CopyUnits(rb->text + rb->length, s, n);
  rb->length += n;
  return true;
}

// A text between markers, all or none: one or two opening units (two
// when second is not 0), the text, and a closing unit unless close is 0.
inline bool ResultAppendMarked(ResultBuffer* rb, char16_t first, char16_t second, const char16_t* text,
                               int textLength, char16_t close) {
  const int open = second != 0 ? 2 : 1;
  if (open + textLength + (close != 0 ? 1 : 0) > ResultRoom(rb)) {
    ResultCut(rb, first);
    return false;
  }
  char16_t* at = rb->text + rb->length;
  at[0] = first;
  if (second != 0) at[1] = second;
  CopyUnits(at + open, text, textLength);
  rb->length += open + textLength;
  if (close != 0) rb->text[rb->length++] = close;
  return true;
}

// U+FF06 and the entity name with its ';'.
inline bool ResultAppendEntity(ResultBuffer* rb, const char16_t* name, int nameLength) {
  return ResultAppendMarked(rb, MARK_AMP, 0, name, nameLength, 0);
}

// U+FF1C, the tag text and U+FF1E.
inline bool ResultAppendTag(ResultBuffer* rb, const char16_t* text, int textLength) {
  return ResultAppendMarked(rb, MARK_LT, 0, text, textLength, MARK_GT);
}

// U+FF1C, '/', the tag name and U+FF1E.
inline bool ResultAppendClosingTag(ResultBuffer* rb, const char16_t* name, int nameLength) {
  return ResultAppendMarked(rb, MARK_LT, u'/', name, nameLength, MARK_GT);
}

// A number in decimal, its digits plain units.
inline bool ResultAppendDecimal(ResultBuffer* rb, int64_t value) {
  char16_t digits[24];
  int at = sizeof digits / sizeof digits[0];
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[--at] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--at] = u'-';
  return ResultAppendRun(rb, digits + at, static_cast<int>(sizeof digits / sizeof digits[0]) - at);
}

// The fast paths copy runs themselves: they may write up to ResultRoom(rb)
// units at ResultCursor(rb), and ResultCommit takes the first n of them
// in. When a run stopped for lack of room, ResultCut with the unit that
// did not fit ends the result cleanly.
inline char16_t* ResultCursor(ResultBuffer* rb) { return rb->text + rb->length; }
inline void ResultCommit(ResultBuffer* rb, int n) { rb->length += n; }

// Takes the last n units back out: a fast path wrote them before it saw
// that a rule takes them after all.
inline void ResultTakeBack(ResultBuffer* rb, int n) { rb->length -= n; }

// A buffer for the next part of rb's result that leaves `reserve` units of
// rb's room for what follows it, as @ENTAG keeps room for its closing tag.
// The part is cut cleanly on its own; ResultJoinPart then adds what it
// holds to rb, which stays open for what follows.
inline ResultBuffer ResultPart(ResultBuffer* rb, int reserve) {
  const int room = ResultRoom(rb) - reserve;
  ResultBuffer part;
  ResultInit(&part, ResultCursor(rb), (room > 0 ? room : 0) + 1);
  return part;
}

inline void ResultJoinPart(ResultBuffer* rb, const ResultBuffer& part) { rb->length += part.length; }
