// Checked appends to a result buffer; see kelvo/result_buffer.h.
#include "kelvo/result_buffer.h"

#include <cstring>

#include "kelvo/markup.h"

bool ResultAppendRun(ResultBuffer* rb, const char16_t* s, int n) {
  int room = ResultRoom(rb);
  int take = n < room ? n : room;
  if (take > 0) {
    std::memcpy(rb->text + rb->length, s, sizeof(char16_t) * static_cast<size_t>(take));
    rb->length += take;
    rb->text[rb->length] = 0;
  }
  return take == n;
}

bool ResultAppendPiece(ResultBuffer* rb, const char16_t* s, int n) {
  if (n > ResultRoom(rb)) {
    rb->closed = true;
    return false;
  }
  std::memcpy(rb->text + rb->length, s, sizeof(char16_t) * static_cast<size_t>(n));
  rb->length += n;
  rb->text[rb->length] = 0;
  return true;
}

bool ResultAppendEntity(ResultBuffer* rb, const char16_t* name, int nameLength) {
  if (nameLength + 1 > ResultRoom(rb)) {
    rb->closed = true;
    return false;
  }
  rb->text[rb->length++] = MARK_AMP;
  return ResultAppendPiece(rb, name, nameLength);
}

bool ResultAppendTag(ResultBuffer* rb, const char16_t* text, int textLength) {
  if (textLength + 2 > ResultRoom(rb)) {
    rb->closed = true;
    return false;
  }
  rb->text[rb->length++] = MARK_LT;
  ResultAppendPiece(rb, text, textLength);
  return ResultAppendChar(rb, MARK_GT);
}
