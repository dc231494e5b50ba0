// @HCOMMENT: wraps a text, unchanged, in "<!-- " and " -->" built from
// the fullwidth brackets. A text whose comment would not fit the
// ArgBuffer is refused rather than returned without its end.
#include "convert/conversion.h"
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

}  // namespace

Status Comment(const Argument& argument, const Options&, ResultBuffer* out) {
  const int length = TextLength(argument.text);
  if (length > MAX_COMMENT_TEXT) return Status::CommentTooLong;
  ResultAppendPiece(out, CommentOpen, OPEN_LENGTH);
  ResultAppendRun(out, argument.text, length);
  ResultAppendPiece(out, CommentClose, CLOSE_LENGTH);
  return Status::Converted;
}
