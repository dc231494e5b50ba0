// @ENTAG[tag,string]: the string entitized and wrapped in an opening tag
// (the whole tag text) and a closing tag (the tag name alone). Both tags
// stay whole; the entitized string gets the room between them and is cut
// cleanly when it needs more.
#include "convert/conversion.h"
#include "kelvo/charclass.h"
#include "kelvo/result_buffer.h"

namespace {

struct TagArgument {
  const char16_t* tag;  // the tag text, up to the separating comma
  int tagLength;
  int nameLength;          // the tag text up to its first white space
  const char16_t* string;  // what follows the comma; empty without one
};

// Commas and white space inside double quotes belong to attribute values
// and neither end the tag text nor the tag name.
TagArgument SplitTagArgument(const char16_t* argument) {
  const char16_t* tag = argument;
  while (IsWhiteSpaceChar(*tag)) ++tag;
  const char16_t* p = tag;
  const char16_t* nameEnd = nullptr;
  bool quoted = false;
  for (; *p != 0; ++p) {
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
  split.string = *p == u',' ? p + 1 : p;
  return split;
}

}  // namespace

Status Entag(const Argument& argument, const Options& options, ResultBuffer* out) {
  const TagArgument split = SplitTagArgument(argument.text);
  if (split.tagLength == 0) return Status::MissingTagName;
  const int openingLength = split.tagLength + 2;
  const int closingLength = split.nameLength + 3;
  if (openingLength + closingLength > ResultRoom(out)) return Status::TagNameTooLong;

  ResultAppendTag(out, split.tag, split.tagLength);
  ResultBuffer body = ResultPart(out, closingLength);
  Entitize({split.string, argument.end}, options, &body);
  ResultJoinPart(out, body);
  ResultAppendClosingTag(out, split.tag, split.nameLength);
  return Status::Converted;
}
