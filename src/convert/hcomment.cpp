// @HCOMMENT: wraps a text in "<!-- " and " -->" built from the
// fullwidth brackets, so that it is one HTML comment whatever it holds.
//
// An HTML parser ends a comment at "-->" or "--!>" and reports a nested
// "<!--"; a text holding one of them would leave the comment early. Each
// is broken by one blank before the character that would complete it:
// the blank completes nothing itself and cannot join the characters
// after it into a new sequence, and putting it as late as possible breaks
// overlapping sequences with the fewest blanks. A text without them goes
// in unchanged. The console shows the fullwidth forms as ASCII, so they
// are read folded.
//
// A text whose comment would not fit the ArgBuffer is refused rather than
// returned without its end.
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

inline bool IsDash(char16_t c) { return FoldFullwidth(c) == u'-'; }

// The last three characters written, folded, most recent first. Both
// delimiters put a blank next to the text, so a text starts and ends
// against a blank.
struct Written {
  char16_t last, second, third;
};

inline void Push(Written* w, char16_t c) {
  w->third = w->second;
  w->second = w->last;
  w->last = c;
}

// True when c, written next, would complete "-->", "--!>" or "<!--".
inline bool Completes(const Written& w, char16_t c) {
  if (c == u'>') {
    return w.second == u'-' && (w.last == u'-' || (w.last == u'!' && w.third == u'-'));
  }
  return c == u'-' && w.last == u'-' && w.second == u'!' && w.third == u'<';
}

// Every sequence to break holds two dashes in a row, so a text without
// them needs no blank; and no sequence can be completed before the first
// pair. Returns where a pair starts, or -1.
int FirstDoubleDash(const char16_t* text, int length) {
  for (int i = 0; i + 1 < length; ++i) {
    if (IsDash(text[i]) && IsDash(text[i + 1])) return i;
  }
  return -1;
}

// Writes the text with its blanks to out (when out is not null) and
// returns the number of blanks. Starts two characters before the first
// pair of dashes, the earliest that a "<!--" can begin; the text before
// that is copied as it is.
int WriteCommentText(char16_t* out, const char16_t* text, int length, int from) {
  if (out != nullptr) std::memcpy(out, text, sizeof(char16_t) * static_cast<size_t>(from));
  Written written = {u' ', u' ', u' '};
  int blanks = 0;
  for (int i = from; i < length; ++i) {
    const char16_t folded = FoldFullwidth(text[i]);
    if (Completes(written, folded)) {
      if (out != nullptr) out[i + blanks] = u' ';
      ++blanks;
      Push(&written, u' ');
    }
    if (out != nullptr) out[i + blanks] = text[i];
    Push(&written, folded);
  }
  return blanks;
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_hcomment(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  const int length = TextLengthBounded(buffer, MAX_TEXT_LEN);
  const int pair = FirstDoubleDash(buffer, length);
  const int from = pair < 2 ? 0 : pair - 2;
  const int blanks = pair < 0 ? 0 : WriteCommentText(nullptr, buffer, length, from);
  if (length + blanks > MAX_COMMENT_TEXT) {
    ReportError(u"Comment too long\r\n", nullptr);
    return -1;
  }

  if (blanks == 0) {
    std::memmove(buffer + OPEN_LENGTH, buffer, sizeof(char16_t) * static_cast<size_t>(length));
  } else {
    char16_t text[MAX_ARG_LEN];
    std::memcpy(text, buffer, sizeof(char16_t) * static_cast<size_t>(length));
    WriteCommentText(buffer + OPEN_LENGTH, text, length, from);
  }
  std::memcpy(buffer, COMMENT_OPEN, sizeof COMMENT_OPEN);
  std::memcpy(buffer + OPEN_LENGTH + length + blanks, COMMENT_CLOSE, sizeof COMMENT_CLOSE);
  buffer[OPEN_LENGTH + length + blanks + CLOSE_LENGTH] = 0;
  return 0;
}
