// @HCOMMENT: wraps a text in "<!-- " and " -->" built from the
// fullwidth brackets, so that it is one HTML comment whatever it holds.
//
// An HTML parser ends a comment at "-->" or "--!>" and reports a nested
// "<!--"; a text holding one of them would leave the comment early. Each
// holds two dashes in a row and is broken by one blank between them: the
// blank completes nothing itself and cannot join the characters after it
// into a new sequence. No later sequence can share the characters after
// those dashes, so breaking each as it is completed uses the fewest
// blanks. A text without them goes in unchanged. The console shows the
// fullwidth forms as ASCII, so they are read folded.
//
// A text whose comment would not fit the ArgBuffer is refused rather than
// returned without its end.
#include <cstdint>
#include <cstring>

#include "convert/unit_vectors.h"
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

constexpr char16_t FULLWIDTH_DASH = u'-' + FOLD_DISTANCE;

inline bool IsDash(char16_t c) { return c == u'-' || c == FULLWIDTH_DASH; }

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

struct TextScan {
  int length;     // up to the terminator, at most MAX_TEXT_LEN
  int firstPair;  // where the first two dashes in a row start, or -1
};

#if KELVO_VECTOR_SSE2
// Units tested at once.
constexpr int SCAN_BLOCK = 8;

inline __m128i DashLanes(__m128i units) {
  return _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'-')),
                      _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<int16_t>(FULLWIDTH_DASH))));
}

// The first unit of a block that the mask of its lanes marks.
inline int FirstMarked(int mask) { return __builtin_ctz(static_cast<unsigned>(mask)) / 2; }
#endif

// The length of the text, measured from i on.
int TextEnd(const char16_t* text, int i) {
#if KELVO_VECTOR_SSE2
  while (i + SCAN_BLOCK <= MAX_TEXT_LEN) {
    const int ends = _mm_movemask_epi8(_mm_cmpeq_epi16(LoadUnits(text + i), _mm_setzero_si128()));
    if (ends != 0) return i + FirstMarked(ends);
    i += SCAN_BLOCK;
  }
#endif
  return i + TextLengthBounded(text + i, MAX_TEXT_LEN - i);
}

// Every sequence to break holds two dashes in a row, so a text without
// them needs no blank, and none can be completed before the first pair.
// Almost every text has none: the scan for them also measures the text,
// and looks at eight units at a time where the machine has vectors. A
// block never reaches past MAX_TEXT_LEN, so it stays inside the buffer;
// units after the terminator may be read, but the terminator stops the
// scan whatever they are.
TextScan ScanText(const char16_t* text) {
  int i = 0;
  for (;;) {
#if KELVO_VECTOR_SSE2
    while (i + SCAN_BLOCK <= MAX_TEXT_LEN) {
      const __m128i units = LoadUnits(text + i);
      const int stops =
          _mm_movemask_epi8(_mm_or_si128(DashLanes(units), _mm_cmpeq_epi16(units, _mm_setzero_si128())));
      if (stops != 0) {
        i += FirstMarked(stops);
        break;
      }
      i += SCAN_BLOCK;
    }
#endif
    if (i >= MAX_TEXT_LEN || text[i] == 0) return {i, -1};
    if (IsDash(text[i]) && i + 1 < MAX_TEXT_LEN && IsDash(text[i + 1])) return {TextEnd(text, i), i};
    ++i;
  }
}

// Where the next dash at or after i is, or length.
int NextDash(const char16_t* text, int i, int length) {
#if KELVO_VECTOR_SSE2
  while (i + SCAN_BLOCK <= length) {
    const int dashes = _mm_movemask_epi8(DashLanes(LoadUnits(text + i)));
    if (dashes != 0) return i + FirstMarked(dashes);
    i += SCAN_BLOCK;
  }
#endif
  while (i < length && !IsDash(text[i])) ++i;
  return i;
}

// The most blanks a comment that fits can hold: never more blanks than
// characters, and both together within MAX_COMMENT_TEXT.
constexpr int MAX_BLANKS = MAX_COMMENT_TEXT / 2;

// Finds where blanks go: notes, for the first `capacity` of them, the
// index of the character each goes before, and returns how many there
// are. A character completes a sequence only when it is a dash or a dash
// stands at most two before it, so the runs between are skipped and only
// the units near dashes are looked at one by one.
int FindBlanks(const char16_t* text, int length, uint16_t* at, int capacity) {
  Written written = {u' ', u' ', u' '};
  int blanks = 0;
  int lastDash = -3;
  for (int i = 0; i < length; ++i) {
    if (i - lastDash > 2) {
      const int dash = NextDash(text, i, length);
      for (int k = dash - 3 > i ? dash - 3 : i; k < dash; ++k) Push(&written, FoldFullwidth(text[k]));
      i = dash;
      if (i == length) break;
    }
    const char16_t folded = FoldFullwidth(text[i]);
    if (folded == u'-') lastDash = i;
    if (Completes(written, folded)) {
      // The blank goes between the sequence's two dashes, so that it never
      // stands before a '>' (at the start of a word the host would read
      // that '>' as a redirection). What was written last is then what
      // follows that blank.
      int secondDash;
      if (folded == u'-') {  // "<!--"
        secondDash = i;
        written = {u' ', u'-', u'!'};
      } else if (written.last == u'-') {  // "-->"
        secondDash = i - 1;
        written = {u'-', u' ', u'-'};
      } else {  // "--!>"
        secondDash = i - 2;
        written.third = u' ';
      }
      if (blanks < capacity) at[blanks] = static_cast<uint16_t>(secondDash);
      ++blanks;
    }
    Push(&written, folded);
  }
  return blanks;
}

// Moves the text behind the opening, with a blank before each character
// noted in `at` (ascending). Works from the end, so every piece lands
// past the text not yet moved.
void MoveWithBlanks(char16_t* buffer, int length, const uint16_t* at, int blanks) {
  int end = length;
  for (int k = blanks - 1; k >= 0; --k) {
    const int from = at[k];
    std::memmove(buffer + OPEN_LENGTH + from + k + 1, buffer + from, sizeof(char16_t) * static_cast<size_t>(end - from));
    buffer[OPEN_LENGTH + from + k] = u' ';
    end = from;
  }
  std::memmove(buffer + OPEN_LENGTH, buffer, sizeof(char16_t) * static_cast<size_t>(end));
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_hcomment(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;

  const TextScan scan = ScanText(buffer);
  const int length = scan.length;
  uint16_t at[MAX_BLANKS];
  const int blanks = scan.firstPair < 0 ? 0 : FindBlanks(buffer, length, at, MAX_BLANKS);
  if (length + blanks > MAX_COMMENT_TEXT) {
    ReportError(u"Comment too long\r\n", nullptr);
    return -1;
  }

  MoveWithBlanks(buffer, length, at, blanks);
  std::memcpy(buffer, COMMENT_OPEN, sizeof COMMENT_OPEN);
  std::memcpy(buffer + OPEN_LENGTH + length + blanks, COMMENT_CLOSE, sizeof COMMENT_CLOSE);
  buffer[OPEN_LENGTH + length + blanks + CLOSE_LENGTH] = 0;
  return 0;
}
