// @DOCTYPE: one of eleven document-type declarations, chosen by number
// (none given means 0, HTML 5). Works whatever the host's output mode.
#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "kelvo/result_buffer.h"
#include "kelvo/services.h"

namespace {

struct DocType {
  uint32_t number;
  const char16_t* declaration;  // the text between the brackets
  int length;
};

template <int N>
constexpr DocType Entry(uint32_t number, const char16_t (&declaration)[N]) {
  return {number, declaration, N - 1};
}

// System identifiers are the W3C's published absolute URLs.
constexpr DocType DOC_TYPES[] = {
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

const DocType* FindDocType(uint32_t number) {
  for (const DocType& d : DOC_TYPES)
    if (d.number == number) return &d;
  return nullptr;
}

// Reports the argument, upper-cased in place, as a bad value.
int RejectValue(char16_t* buffer) {
  ErrorPrefix();
  for (int i = 0; i < MAX_TEXT_LEN && buffer[i] != 0; ++i)
    if (buffer[i] >= u'a' && buffer[i] <= u'z') buffer[i] = char16_t(buffer[i] - 32);
  Qprintf(StdErrHandle(), u"Bad value \"%s\"\r\n", buffer);
  return -1;
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_doctype(char16_t* buffer) {
  if (buffer == nullptr) return -1;

  int start = 0;
  while (start < MAX_TEXT_LEN && buffer[start] != 0 && IsWhiteSpaceChar(buffer[start])) ++start;
  uint32_t number = 0;
  if (start < MAX_TEXT_LEN && buffer[start] != 0) {
    // The rest must be exactly one number, with nothing after it.
    if (ParseNumber(buffer + start, &number, nullptr) != 0) return RejectValue(buffer);
  }
  const DocType* docType = FindDocType(number);
  if (docType == nullptr) return RejectValue(buffer);

  // The lengths are known, so the tag is appended without measuring.
  ResultBuffer result;
  ResultInit(&result, buffer, MAX_ARG_LEN);
  ResultAppendTag(&result, docType->declaration, docType->length);
  return 0;
}
