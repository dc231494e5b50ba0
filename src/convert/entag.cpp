// @ENTAG[tag,string]: the string entitized and wrapped in an opening tag
// (the whole tag text) and a closing tag (the tag name alone).
#include <cstdint>
#include <cstring>

#include "convert/entitize.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/result_buffer.h"
#include "kelvo/services.h"

namespace {

struct TagArgument {
  const char16_t* tag;  // the tag text, up to the separating comma
  int tagLength;
  int nameLength;          // the tag text up to its first white space
  const char16_t* string;  // what follows the comma; empty without one
};

// Commas and white space inside double quotes belong to attribute values
// and neither end the tag text nor the tag name.
// Reads at most MAX_TEXT_LEN characters, terminator or not.
TagArgument SplitTagArgument(const char16_t* argument) {
  const char16_t* const limit = argument + MAX_TEXT_LEN;
  const char16_t* tag = argument;
  while (tag < limit && IsWhiteSpaceChar(*tag)) ++tag;
  const char16_t* p = tag;
  const char16_t* nameEnd = nullptr;
  bool quoted = false;
  for (; p < limit && *p != 0; ++p) {
    if (*p == u'"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (*p == u',') break;
      if (nameEnd == nullptr && IsWhiteSpaceChar(*p)) nameEnd = p;
    }
  }
  TagArgument split;
  split.tag = tag;
  split.tagLength = static_cast<int>(p - tag);
  split.nameLength = static_cast<int>((nameEnd != nullptr ? nameEnd : p) - tag);
  split.string = (p < limit && *p == u',') ? p + 1 : p;
  return split;
}

// Moves n units, n from one to two Words' worth, as one Word from the
// start and one ending at the last unit (the two overlap unless n is
// exactly two Words).
template <typename Word>
inline void CopyHeadAndTail(char16_t* to, const char16_t* from, int n) {
  constexpr int kUnits = static_cast<int>(sizeof(Word) / sizeof(char16_t));
  Word head;
  Word tail;
  std::memcpy(&head, from, sizeof head);
  std::memcpy(&tail, from + n - kUnits, sizeof tail);
  std::memcpy(to, &head, sizeof head);
  std::memcpy(to + n - kUnits, &tail, sizeof tail);
}

// Tag names are a few units long. Up to eight units move as two loads and
// two stores of a fixed size, which costs less than a call; longer tags
// go to the library.
inline void CopyUnits(char16_t* to, const char16_t* from, int n) {
  if (n >= 4 && n <= 8) {
    CopyHeadAndTail<uint64_t>(to, from, n);
  } else if (n >= 2 && n < 4) {
    CopyHeadAndTail<uint32_t>(to, from, n);
  } else if (n == 1) {
    to[0] = from[0];
  } else if (n > 8) {
    std::memcpy(to, from, sizeof(char16_t) * static_cast<size_t>(n));
  }
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_entag(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;
  const TagArgument split = SplitTagArgument(buffer);
  if (split.tagLength == 0) {
    ReportError(u"Missing tag name\r\n", nullptr);
    return -1;
  }
  // Both tags stay whole; the entitized string gets the room between them.
  const int openingLength = split.tagLength + 2;
  const int closingLength = split.nameLength + 3;
  if (openingLength + closingLength > MAX_TEXT_LEN) {
    ReportError(u"Tag name too long\r\n", nullptr);
    return -1;
  }

  // The string ends within the text even when the buffer lacks its
  // terminator; the buffer is overwritten with the result anyway.
  buffer[MAX_TEXT_LEN] = 0;
  // The tags fit, so they are written without checks.
  char16_t result[MAX_ARG_LEN];
  result[0] = MARK_LT;
  CopyUnits(result + 1, split.tag, split.tagLength);
  result[openingLength - 1] = MARK_GT;
  ResultBuffer body;
  ResultInit(&body, result + openingLength, MAX_ARG_LEN - openingLength - closingLength);
  EntitizeText(split.string, buffer + MAX_ARG_LEN, &body);
  char16_t* const closing = body.text + body.length;
  closing[0] = MARK_LT;
  closing[1] = u'/';
  CopyUnits(closing + 2, split.tag, split.nameLength);
  closing[closingLength - 1] = MARK_GT;
  closing[closingLength] = 0;
  const int length = openingLength + body.length + closingLength;

  std::memcpy(buffer, result, sizeof(char16_t) * static_cast<size_t>(length + 1));
  return 0;
}
