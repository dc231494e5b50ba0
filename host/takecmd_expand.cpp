// Variable expansion: %NAME, %NAME%, %[NAME], %%, %0..%9, %*, array
// elements %NAME[i,j] and variable functions %@NAME[args].
//
// Function arguments and array indices are expanded before use, so
// nested references are resolved innermost first. Values that come out
// of a variable, an element or a function are never expanded again.
// A failed reference (bad array reference, unknown or failing function)
// expands to nothing and makes the whole expansion report failure. An
// expansion that would outgrow its limit fails as a whole: a text cut
// short could end inside an entity or a tag and still look fine.

#include <string>

#include "kelvo/host.h"
#include "standin.h"
#include "takecmd_internal.h"

namespace takecmd {
namespace {

// Bounds the recursion of nested functions and indices.
constexpr int MAX_NESTING = 64;

constexpr size_t NOT_FOUND = size_t(-1);

// Position of the ']' that closes the '[' at open, or NOT_FOUND.
size_t MatchingBracket(const char16_t* s, size_t n, size_t open) {
  int level = 0;
  for (size_t i = open; i < n; ++i) {
    if (s[i] == u'[') {
      ++level;
    } else if (s[i] == u']') {
      if (--level == 0) return i;
    }
  }
  return NOT_FOUND;
}

size_t NameEnd(const char16_t* s, size_t n, size_t begin) {
  size_t i = begin;
  while (i < n && IsNameChar(s[i])) ++i;
  return i;
}

// "NAME[" at s[at]: a function reference; anything else after "%@" is
// plain text.
bool IsFunctionStart(const char16_t* s, size_t n, size_t at) {
  size_t end = NameEnd(s, n, at);
  return end > at && end < n && s[end] == u'[';
}

class Expander {
 public:
  int Expand(const char16_t* s, size_t n, std::u16string& out, size_t limit);

 private:
  // Each returns the position after the reference and sets failed_.
  size_t Function(const char16_t* s, size_t n, size_t at, std::u16string& out, size_t limit);
  size_t Element(const char16_t* s, size_t n, size_t nameBegin, size_t open, std::u16string& out,
                 size_t limit);
  int ExpandNested(const char16_t* s, size_t n, std::u16string& out);
  bool Bracketed(const char16_t* s, size_t n, size_t open, const std::u16string& opener,
                 std::u16string& inside, size_t* next);
  // Appends, or fails the whole expansion when the text does not fit.
  void Put(std::u16string& out, const char16_t* text, size_t length, size_t limit);
  void Put(std::u16string& out, const std::u16string& text, size_t limit) {
    Put(out, text.data(), text.size(), limit);
  }

  int depth_ = 0;
  bool failed_ = false;
  bool overflowed_ = false;
};

void Expander::Put(std::u16string& out, const char16_t* text, size_t length, size_t limit) {
  if (overflowed_) return;
  if (length > limit - out.size()) {
    std::string digits = std::to_string(limit);
    ReportShellError(u"the text is longer than " + std::u16string(digits.begin(), digits.end()) +
                     u" characters once expanded");
    overflowed_ = true;
    failed_ = true;
    return;
  }
  out.append(text, length);
}

int Expander::ExpandNested(const char16_t* s, size_t n, std::u16string& out) {
  if (depth_ >= MAX_NESTING) {
    ReportShellError(u"references nested too deeply");
    return 1;
  }
  ++depth_;
  int status = Expand(s, n, out, size_t(MAX_TEXT_LEN));
  --depth_;
  return status;
}

// s[open] is a '['; opener is the text before it, for the message. Expands
// what stands between it and its matching ']' into inside; *next is where
// the text goes on. False (and the expansion failed) when the bracket is
// unmatched or its contents do not expand.
bool Expander::Bracketed(const char16_t* s, size_t n, size_t open, const std::u16string& opener,
                         std::u16string& inside, size_t* next) {
  size_t close = MatchingBracket(s, n, open);
  if (close == NOT_FOUND) {
    ReportShellError(u"missing \"]\" after \"" + opener + u"[\"");
    failed_ = true;
    *next = n;
    return false;
  }
  *next = close + 1;
  if (ExpandNested(s + open + 1, close - open - 1, inside) != 0) {
    failed_ = true;
    return false;
  }
  return true;
}

// s[at] is the '@' of %@NAME[...].
size_t Expander::Function(const char16_t* s, size_t n, size_t at, std::u16string& out, size_t limit) {
  size_t nameEnd = NameEnd(s, n, at + 1);
  std::u16string name(s + at + 1, nameEnd - at - 1);
  std::u16string argument;
  size_t next;
  // The function does not run on a broken argument.
  if (!Bracketed(s, n, nameEnd, u"%@" + name, argument, &next)) return next;
  std::u16string result;
  if (CallFunction(name, argument, result) != 0) {
    failed_ = true;
  } else {
    Put(out, result, limit);
  }
  return next;
}

// s[open] is the '[' after the array name.
size_t Expander::Element(const char16_t* s, size_t n, size_t nameBegin, size_t open,
                         std::u16string& out, size_t limit) {
  std::u16string name(s + nameBegin, open - nameBegin);
  std::u16string indices;
  size_t next;
  if (!Bracketed(s, n, open, u"%" + name, indices, &next)) return next;
  std::u16string reference = name + u"[" + indices + u"]";
  ArrayReference ref;
  if (!ParseArrayReference(reference, ref, false)) {
    failed_ = true;
    return next;
  }
  const std::u16string* value = nullptr;
  ElementStatus status = GetElement(ref.name, ref.count, ref.indices, &value);
  if (status != ELEMENT_OK) {
    ReportElementStatus(reference, status);
    failed_ = true;
  } else {
    Put(out, *value, limit);
  }
  return next;
}

int Expander::Expand(const char16_t* s, size_t n, std::u16string& out, size_t limit) {
  bool outerFailed = failed_;
  failed_ = false;
  size_t i = 0;
  std::u16string value;
  while (i < n && !overflowed_) {
    size_t run = i;
    while (i < n && s[i] != u'%') ++i;
    Put(out, s + run, i - run, limit);
    if (i >= n) break;
    if (i + 1 >= n) {  // a '%' at the very end stays
      Put(out, u"%", 1, limit);
      break;
    }
    char16_t next = s[i + 1];
    if (next == u'%') {
      Put(out, u"%", 1, limit);
      i += 2;
    } else if (next == u'@' && IsFunctionStart(s, n, i + 2)) {
      i = Function(s, n, i + 1, out, limit);
    } else if (next == u'[') {
      size_t close = i + 2;
      while (close < n && s[close] != u']') ++close;
      if (close >= n) {  // no closing bracket: the '%' is plain text
        Put(out, u"%", 1, limit);
        ++i;
        continue;
      }
      if (LookupVariable(std::u16string(s + i + 2, close - i - 2), value)) Put(out, value, limit);
      i = close + 1;
    } else if ((next >= u'0' && next <= u'9') || next == u'*') {
      if (LookupBatchParameter(next, value)) Put(out, value, limit);
      i += 2;
    } else if (IsNameChar(next)) {
      size_t nameEnd = NameEnd(s, n, i + 1);
      if (nameEnd < n && s[nameEnd] == u'[') {
        i = Element(s, n, i + 1, nameEnd, out, limit);
        continue;
      }
      if (LookupVariable(std::u16string(s + i + 1, nameEnd - i - 1), value)) Put(out, value, limit);
      i = nameEnd;
      if (i < n && s[i] == u'%') ++i;  // the closing '%' of %NAME%
    } else {
      Put(out, u"%", 1, limit);
      ++i;
    }
  }
  bool failed = failed_;
  failed_ = outerFailed || failed;
  return failed ? 1 : 0;
}

}  // namespace

int ExpandText(const char16_t* text, size_t length, std::u16string& out, size_t limit) {
  Expander expander;
  return expander.Expand(text, length, out, limit);
}

}  // namespace takecmd

using namespace takecmd;

namespace {

int ExpandInPlace(char16_t* text, size_t capacity) {
  if (text == nullptr || capacity == 0) return 1;
  size_t limit = TextLimit(capacity);
  std::u16string out;
  int status = ExpandText(text, BoundedLength(text, limit), out, limit);
  out.copy(text, out.size());
  text[out.size()] = 0;
  return status;
}

}  // namespace

extern "C" {

// The host's expansion; the caller's buffer is taken to hold MAX_ARG_LEN
// units, so the result never exceeds MAX_TEXT_LEN characters.
HOST_IMPORT int HOST_API ExpandVariables(char16_t* text, int /*recurse*/) {
  return ExpandInPlace(text, size_t(MAX_ARG_LEN));
}

HOST_IMPORT int STANDIN_API StandInExpand(char16_t* text, int capacity) {
  if (capacity < 1) return 1;
  return ExpandInPlace(text, size_t(capacity));
}

}  // extern "C"
