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
// A text whose comment, blanks included, would not fit the ArgBuffer is
// refused rather than returned without its end.
#include <cstdint>

#include "convert/conversion.h"
#include "convert/vector_paths.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"
#include "kelvo/text.h"

namespace {

constexpr char16_t CommentOpen[] = {MARK_LT, u'!', u'-', u'-', u' '};
constexpr char16_t CommentClose[] = {u' ', u'-', u'-', MARK_GT};
constexpr int OPEN_LENGTH = sizeof CommentOpen / sizeof CommentOpen[0];
constexpr int CLOSE_LENGTH = sizeof CommentClose / sizeof CommentClose[0];
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
  int length;     // up to the terminator
  bool dashPair;  // whether two dashes stand in a row
};

// What a search stops at: the terminator, a dash (either form), or both.
enum class Stop { End, Dash, DashOrEnd };

#if KELVO_SSE2
// Units tested at once.
constexpr int SCAN_BLOCK = 8;

inline int StopLanes(__m128i units, Stop stop) {
  const __m128i ends = _mm_cmpeq_epi16(units, _mm_setzero_si128());
  const __m128i dashes = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'-')),
                                      _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<int16_t>(FULLWIDTH_DASH))));
  return _mm_movemask_epi8(stop == Stop::End ? ends : stop == Stop::Dash ? dashes : _mm_or_si128(ends, dashes));
}
#endif

// From i on, the first unit a block of eight finds to stop at, or the
// first unit of the first block that would reach past `limit` units of
// text: the caller's one-unit loop goes on from there. Without vectors,
// i itself.
inline int SkipBlocks(const char16_t* text, int i, int limit, Stop stop) {
#if KELVO_SSE2
  while (i + SCAN_BLOCK <= limit) {
    const int lanes = StopLanes(LoadUnits(text + i), stop);
    if (lanes != 0) return i + __builtin_ctz(static_cast<unsigned>(lanes)) / 2;
    i += SCAN_BLOCK;
  }
#else
  (void)text;
  (void)limit;
  (void)stop;
#endif
  return i;
}

// Every sequence to break holds two dashes in a row, so a text without
// them needs no blank, and none can be completed before the first pair.
// Almost every text has none: the scan for them also measures the text,
// and looks at eight units at a time where the machine has vectors. A
// block never reaches past `readable` units of the argument's storage;
// units after the terminator may be read, but the terminator stops the
// scan whatever they are.
TextScan ScanText(const char16_t* text, int readable) {
  for (int i = 0;; ++i) {
    i = SkipBlocks(text, i, readable, Stop::DashOrEnd);
    if (text[i] == 0) return {i, false};
    if (IsDash(text[i]) && IsDash(text[i + 1])) {
      const int end = SkipBlocks(text, i, readable, Stop::End);
      return {end + TextLength(text + end), true};
    }
  }
}

// Where the next dash at or after i is, or length.
int NextDash(const char16_t* text, int i, int length) {
  i = SkipBlocks(text, i, length, Stop::Dash);
  while (i < length && !IsDash(text[i])) ++i;
  return i;
}

// Writes the text with a blank between the two dashes of every sequence
// it completes, and returns how many blanks that took. A character
// completes a sequence only when it is a dash or a dash stands at most
// two before it, so the runs between are skipped and only the units near
// dashes are looked at one by one; the text goes out in runs between the
// blanks.
int WriteWithBlanks(const char16_t* text, int length, ResultBuffer* out) {
  Written written = {u' ', u' ', u' '};
  int blanks = 0;
  int copied = 0;  // the text before it is written
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
      ResultAppendRun(out, text + copied, secondDash - copied);
      ResultAppendUnit(out, u' ');
      copied = secondDash;
      ++blanks;
    }
    Push(&written, folded);
  }
  ResultAppendRun(out, text + copied, length - copied);
  return blanks;
}

}  // namespace

Status Comment(const Argument& argument, const Options&, ResultBuffer* out) {
  const TextScan scan = ScanText(argument.text, static_cast<int>(argument.end - argument.text));
  if (scan.length > MAX_COMMENT_TEXT) return Status::CommentTooLong;
  ResultAppendPiece(out, CommentOpen, OPEN_LENGTH);
  if (!scan.dashPair) {
    ResultAppendRun(out, argument.text, scan.length);
  } else if (scan.length + WriteWithBlanks(argument.text, scan.length, out) > MAX_COMMENT_TEXT) {
    // The result may have been cut; a refusal leaves the argument as it was.
    return Status::CommentTooLong;
  }
  ResultAppendPiece(out, CommentClose, CLOSE_LENGTH);
  return Status::Converted;
}
