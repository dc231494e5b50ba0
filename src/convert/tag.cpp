// @TAG: wraps the tag text, less its leading white space, in U+FF1C and
// U+FF1E. The text is not examined: closing tags, attributes and case
// pass through as given.
#include "convert/conversion.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/result_buffer.h"
#include "kelvo/text.h"

namespace {

// The longest tag text accepted: the tag and its two brackets leave the
// last slot of the text free.
constexpr int MAX_TAG_TEXT = MAX_TEXT_LEN - 3;

}  // namespace

Status Tag(const Argument& argument, const Options&, ResultBuffer* out) {
  const char16_t* text = argument.text;
  while (*text != 0 && IsWhiteSpaceChar(*text)) ++text;
  const int length = TextLength(text);
  if (length == 0) return Status::MissingTagName;
  if (length > MAX_TAG_TEXT) return Status::TagNameTooLong;
  ResultAppendTag(out, text, length);
  return Status::Converted;
}
