// A result buffer that carries its length and capacity, so every append
// is checked in one place and nothing is ever measured twice.
//
// Plain characters are cut one by one when the buffer is full. A piece
// that belongs together (an entity, a tag marker with its text, an
// escape) goes in whole or not at all; once a piece has not fitted the
// buffer is closed and nothing more is appended, so a cut result is
// always a clean prefix of the full result.
#pragma once

#include "kelvo/limits.h"

struct ResultBuffer {
  char16_t* text;  // always NUL-terminated
  int length;
  int capacity;    // slots, terminator included
  bool closed;
};

inline void ResultInit(ResultBuffer* rb, char16_t* storage, int capacity) {
  rb->text = storage;
  rb->length = 0;
  rb->capacity = capacity;
  rb->closed = false;
  storage[0] = 0;
}

inline int ResultRoom(const ResultBuffer* rb) {
  return rb->closed ? 0 : rb->capacity - 1 - rb->length;
}

// Appends one plain character; false when it did not fit.
inline bool ResultAppendChar(ResultBuffer* rb, char16_t ch) {
  if (rb->closed || rb->length >= rb->capacity - 1) return false;
  rb->text[rb->length++] = ch;
  rb->text[rb->length] = 0;
  return true;
}

// Appends up to n plain characters, as many as fit; false when some
// were cut.
bool ResultAppendRun(ResultBuffer* rb, const char16_t* s, int n);

// Appends n characters that belong together, all or none. A piece that
// does not fit closes the buffer.
bool ResultAppendPiece(ResultBuffer* rb, const char16_t* s, int n);

// Appends U+FF06 and the entity name (with its ';'), all or none.
bool ResultAppendEntity(ResultBuffer* rb, const char16_t* name, int nameLength);

// Appends U+FF1C, text and U+FF1E, all or none.
bool ResultAppendTag(ResultBuffer* rb, const char16_t* text, int textLength);
