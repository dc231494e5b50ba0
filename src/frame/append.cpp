// Appends to a NUL-terminated result buffer of MAX_ARG_LEN characters.
// Entities and tags go in whole or not at all, so a full buffer never
// ends in half an entity.
#include "kelvo/limits.h"
#include "kelvo/result_buffer.h"
#include "kelvo/services.h"
#include "kelvo/text.h"

namespace {

ResultBuffer Reopen(char16_t* buffer) {
  ResultBuffer rb;
  rb.text = buffer;
  rb.length = TextLengthBounded(buffer, MAX_TEXT_LEN);
  rb.capacity = MAX_ARG_LEN;
  rb.closed = false;
  return rb;
}

}  // namespace

int AppendChar(char16_t* buffer, char16_t ch) {
  if (buffer == nullptr) return -1;
  ResultBuffer rb = Reopen(buffer);
  return ResultAppendChar(&rb, ch) ? 0 : -1;
}

int AppendEntity(char16_t* buffer, const char16_t* name) {
  if (buffer == nullptr || name == nullptr) return -1;
  ResultBuffer rb = Reopen(buffer);
  ResultAppendEntity(&rb, name, TextLengthBounded(name, MAX_ARG_LEN));
  return 0;
}

int AppendTag(char16_t* buffer, const char16_t* text) {
  if (buffer == nullptr || text == nullptr) return -1;
  ResultBuffer rb = Reopen(buffer);
  ResultAppendTag(&rb, text, TextLengthBounded(text, MAX_ARG_LEN));
  return 0;
}
