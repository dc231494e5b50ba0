// Array references and declarations written as text: "NAME[i]",
// "NAME[i,j]" and so on, as they appear in %NAME[...], in
// "set NAME[...]=value" and in "setarray NAME[...]".

#include <string>

#include "standin.h"
#include "takecmd_internal.h"

namespace takecmd {
namespace {

// Long texts are cut in messages so that an error stays one short line.
constexpr size_t MAX_QUOTED = 100;

std::u16string Quoted(const std::u16string& text) {
  std::u16string q = u"\"";
  if (text.size() > MAX_QUOTED) {
    q.append(text, 0, MAX_QUOTED);
    q += u"...";
  } else {
    q += text;
  }
  q += u'"';
  return q;
}

void ReportBad(const std::u16string& text, bool declaration, const char16_t* reason) {
  std::u16string message = declaration ? u"bad array definition " : u"bad array reference ";
  message += Quoted(text);
  message += u": ";
  message += reason;
  ReportShellError(message);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// A decimal number with optional surrounding blanks; values beyond the
// array limit are clamped (they are out of range either way).
bool ParseIndex(const std::u16string& text, size_t begin, size_t end, int64_t& value) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  if (begin == end) return false;
  int64_t n = 0;
  for (size_t i = begin; i < end; ++i) {
    char16_t c = text[i];
    if (c < u'0' || c > u'9') return false;
    n = n * 10 + (c - u'0');
    if (n > MAX_ARRAY_ELEMENTS) n = MAX_ARRAY_ELEMENTS + 1;
  }
  value = n;
  return true;
}

}  // namespace

bool ParseArrayReference(const std::u16string& text, ArrayReference& ref, bool declaration) {
  size_t open = text.find(u'[');
  if (open == std::u16string::npos || text.empty() || text.back() != u']') {
    ReportBad(text, declaration, declaration ? u"expected NAME[size] or NAME[size,size]"
                                             : u"expected NAME[index] or NAME[index,index]");
    return false;
  }
  ref.name = text.substr(0, open);
  if (!IsValidVariableName(ref.name)) {
    ReportBad(text, declaration, u"bad array name");
    return false;
  }
  ref.count = 0;
  size_t close = text.size() - 1;
  size_t begin = open + 1;
  for (;;) {
    size_t comma = text.find(u',', begin);
    size_t end = (comma == std::u16string::npos || comma > close) ? close : comma;
    if (ref.count == MAX_ARRAY_DIMENSIONS) {
      ReportBad(text, declaration, u"more than 4 dimensions");
      return false;
    }
    int64_t value = 0;
    if (!ParseIndex(text, begin, end, value)) {
      ReportBad(text, declaration, declaration ? u"size is not a number" : u"index is not a number");
      return false;
    }
    if (declaration && value < 1) {
      ReportBad(text, declaration, u"size must be at least 1");
      return false;
    }
    ref.indices[ref.count++] = value;
    if (end == close) break;
    begin = end + 1;
  }
  return true;
}

void ReportElementStatus(const std::u16string& reference, ElementStatus status) {
  switch (status) {
    case ELEMENT_OK:
      return;
    case ELEMENT_NOT_ARRAY:
      ReportBad(reference, false, u"not an array");
      return;
    case ELEMENT_WRONG_COUNT: {
      size_t open = reference.find(u'[');
      int dimensions = ArrayDimensions(reference.substr(0, open));
      std::u16string reason = u"the array has ";
      reason += char16_t(u'0' + dimensions);
      reason += dimensions == 1 ? u" dimension" : u" dimensions";
      ReportBad(reference, false, reason.c_str());
      return;
    }
    case ELEMENT_OUT_OF_RANGE:
      ReportBad(reference, false, u"index out of range");
      return;
  }
}

}  // namespace takecmd

using namespace takecmd;

namespace {
std::u16string TextOf(const char16_t* text) {
  std::u16string s;
  if (text == nullptr) return s;
  s.assign(text, BoundedLength(text, MAX_TEXT_LEN));
  return s;
}
}  // namespace

extern "C" {

HOST_IMPORT int STANDIN_API StandInSetElementText(const char16_t* reference, const char16_t* value) {
  std::u16string text = TextOf(reference);
  ArrayReference ref;
  if (!ParseArrayReference(text, ref, false)) return 1;
  ElementStatus status = SetElement(ref.name, ref.count, ref.indices, TextOf(value));
  ReportElementStatus(text, status);
  return status == ELEMENT_OK ? 0 : 1;
}

HOST_IMPORT int STANDIN_API StandInDefineArrayText(const char16_t* declaration) {
  std::u16string text = TextOf(declaration);
  ArrayReference ref;
  if (!ParseArrayReference(text, ref, true)) return 1;
  if (DefineArray(ref.name, ref.count, ref.indices) != 0) {
    ReportBad(text, true, u"more than 2147483647 elements");
    return 1;
  }
  return 0;
}

}  // extern "C"
