// @DOCTYPE: one of eleven document-type declarations, chosen by number
// (none given means 0, HTML 5).
#include <cstdint>

#include "convert/conversion.h"
#include "kelvo/charclass.h"
#include "kelvo/result_buffer.h"
#include "kelvo/services.h"
#include "kelvo/text.h"

namespace {

struct DocTypeEntry {
  uint32_t number;
  const char16_t* declaration;  // the text between the brackets
  int length;
};

template <int N>
constexpr DocTypeEntry Entry(uint32_t number, const char16_t (&declaration)[N]) {
  return {number, declaration, N - 1};
}

// System identifiers are the W3C's published absolute URLs.
constexpr DocTypeEntry DocTypeTable[] = {
    Entry(0, u"!DOCTYPE HTML"),
    Entry(1, u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
             u"\"http://www.w3.org/TR/html4/strict.dtd\""),
    Entry(2, u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
             u"\"http://www.w3.org/TR/html4/loose.dtd\""),
    Entry(3, u"!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\" "
             u"\"http://www.w3.org/TR/html4/frameset.dtd\""),
    Entry(4, u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\""),
    Entry(5, u"!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\""),
    Entry(16, u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
              u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\""),
    Entry(17, u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
              u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\""),
    Entry(18, u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Frameset//EN\" "
              u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd\""),
    Entry(19, u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
              u"\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\""),
    Entry(20, u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 2.0//EN\" "
              u"\"http://www.w3.org/MarkUp/DTD/xhtml2.dtd\""),
};

const DocTypeEntry* FindDocType(uint32_t number) {
  for (const DocTypeEntry& d : DocTypeTable) {
    if (d.number == number) return &d;
  }
  return nullptr;
}

// A bad value: the result is the argument upper-cased, which the message
// quotes.
Status RejectValue(const char16_t* text, ResultBuffer* out) {
  for (; *text != 0; ++text) ResultAppendUnit(out, UpperAscii(*text));
  return Status::BadValue;
}

}  // namespace

Status DocType(const Argument& argument, const Options&, ResultBuffer* out) {
  const char16_t* rest = argument.text;
  while (*rest != 0 && IsWhiteSpaceChar(*rest)) ++rest;
  uint32_t number = 0;
  // The rest must be exactly one number, with nothing after it.
  if (*rest != 0 && ParseNumber(rest, &number, nullptr) != 0) return RejectValue(argument.text, out);
  const DocTypeEntry* docType = FindDocType(number);
  if (docType == nullptr) return RejectValue(argument.text, out);
  ResultAppendTag(out, docType->declaration, docType->length);
  return Status::Converted;
}
