#include "function_call.h"

#include <cstring>

#include "standin.h"

ArgBuffer::ArgBuffer() : units_(new char16_t[MAX_ARG_LEN]) {}
ArgBuffer::~ArgBuffer() { delete[] units_; }

std::u16string ArgBuffer::Fill(const std::u16string& text, int junk, bool unterminated) {
  if (unterminated) {
    std::u16string units;
    for (char16_t u : text) {
      if (u != 0) units += u;
    }
    if (units.size() < size_t(MAX_ARG_LEN)) units.insert(0, size_t(MAX_ARG_LEN) - units.size(), u'x');
    for (size_t i = 0; i < size_t(MAX_ARG_LEN); ++i) units_[i] = units[i];
    return units.substr(0, MAX_TEXT_LEN);
  }
  const size_t n = text.size() < size_t(MAX_TEXT_LEN) ? text.size() : size_t(MAX_TEXT_LEN);
  size_t firstNul = n;
  for (size_t i = 0; i < n; ++i) {
    units_[i] = text[i];
    if (text[i] == 0 && firstNul == n) firstNul = i;
  }
  if (junk != 0) {
    static constexpr char16_t Other[] = {u'-', u'&', u'9', u'-', u';', u'%', u'4', 0xFF1E};
    for (size_t i = firstNul + 1; i < size_t(MAX_ARG_LEN); ++i) units_[i] = Other[i % 8];
  } else {
    for (size_t i = n + 1; i < size_t(MAX_ARG_LEN); ++i) units_[i] = (i & 1) ? u';' : u'4';
  }
  units_[n] = 0;
  return std::u16string(units_, firstNul);
}

std::u16string ArgBuffer::Text() const {
  size_t n = 0;
  while (n < size_t(MAX_ARG_LEN) && units_[n] != 0) ++n;
  return std::u16string(units_, n);
}

std::vector<char16_t> ArgBuffer::Snapshot() const {
  return std::vector<char16_t>(units_, units_ + MAX_ARG_LEN);
}

bool ArgBuffer::Equals(const std::vector<char16_t>& snapshot) const {
  return std::memcmp(units_, snapshot.data(), sizeof(char16_t) * MAX_ARG_LEN) == 0;
}

FunctionCall CallFunction(ExportedFunction function, const std::u16string& input, int junk, bool unterminated) {
  ArgBuffer buffer;
  FunctionCall call;
  call.argument = buffer.Fill(input, junk, unterminated || input.size() >= size_t(MAX_ARG_LEN));
  const std::vector<char16_t> before = buffer.Snapshot();
  StandInClearCaptured();
  call.result = function(buffer.data());
  call.text = buffer.Text();
  const char16_t* err = StandInCaptured(2);
  call.err = err != nullptr ? err : u"";
  call.untouched = buffer.Equals(before);
  return call;
}
