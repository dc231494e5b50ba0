// @HCOMMENT: wraps a text, unchanged, in "<!-- " and " -->" built from
// the fullwidth brackets. A text whose comment would not fit the
// ArgBuffer is refused rather than returned without its end.
#include <cstring>

#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"

namespace {

constexpr char16_t COMMENT_OPEN[] = {MARK_LT, u'!', u'-', u'-', u' '};
constexpr char16_t COMMENT_CLOSE[] = {u' ', u'-', u'-', MARK_GT};
constexpr int OPEN_LENGTH = sizeof COMMENT_OPEN / sizeof COMMENT_OPEN[0];
constexpr int CLOSE_LENGTH = sizeof COMMENT_CLOSE / sizeof COMMENT_CLOSE[0];
constexpr int MAX_COMMENT_TEXT = MAX_TEXT_LEN - OPEN_LENGTH - CLOSE_LENGTH;  // 16374

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_hcomment(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  int length = TextLengthBounded(buffer, MAX_TEXT_LEN);
  if (length > MAX_COMMENT_TEXT) {
    ReportError(u"Comment too long\r\n", nullptr);
    return -1;
  }

  std::memmove(buffer + OPEN_LENGTH, buffer, sizeof(char16_t) * static_cast<size_t>(length));
  std::memcpy(buffer, COMMENT_OPEN, sizeof COMMENT_OPEN);
  std::memcpy(buffer + OPEN_LENGTH + length, COMMENT_CLOSE, sizeof COMMENT_CLOSE);
  buffer[OPEN_LENGTH + length + CLOSE_LENGTH] = 0;
  return 0;
}
