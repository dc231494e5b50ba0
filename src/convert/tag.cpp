// @TAG: wraps the tag text, less its leading white space, in U+FF1C and
// U+FF1E. The text is not examined: closing tags, attributes and case
// pass through as given.
#include <cstring>

#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"

namespace {

// The tag and its two brackets must fit the ArgBuffer.
constexpr int MAX_TAG_TEXT = MAX_TEXT_LEN - 3;

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_tag(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  int start = 0;
  while (start < MAX_TEXT_LEN && buffer[start] != 0 && IsWhiteSpaceChar(buffer[start])) ++start;
  int length = TextLengthBounded(buffer + start, MAX_TEXT_LEN - start);
  if (length == 0) {
    ReportError(u"Missing tag name\r\n", nullptr);
    return -1;
  }
  if (length > MAX_TAG_TEXT) {
    ReportError(u"Tag name too long\r\n", nullptr);
    return -1;
  }

  std::memmove(buffer + 1, buffer + start, sizeof(char16_t) * static_cast<size_t>(length));
  buffer[0] = MARK_LT;
  buffer[length + 1] = MARK_GT;
  buffer[length + 2] = 0;
  return 0;
}
