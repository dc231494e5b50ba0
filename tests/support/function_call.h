// Calling a variable function as the host does, for the unit tests and
// the fuzz targets: on an ArgBuffer of exactly MAX_ARG_LEN units at the
// end of its allocation, so that the address sanitizer sees any access
// outside it, with junk after the text's terminator that must not change
// any result, and with standard error captured.
#pragma once

#include <string>
#include <vector>

#include "kelvo/limits.h"
#include "kelvo/plugin.h"

using ExportedFunction = int(PLUGIN_API*)(char16_t*);

class ArgBuffer {
 public:
  ArgBuffer();
  ~ArgBuffer();
  ArgBuffer(const ArgBuffer&) = delete;
  ArgBuffer& operator=(const ArgBuffer&) = delete;

  // Puts text in the buffer and returns the argument as the host passes
  // it. Terminated, the text goes in up to MAX_TEXT_LEN units and junk
  // follows its first NUL: with junk 0 the text's own units, then '4' and
  // ';' in turn; with junk 1 a run of '-', '&', '9' and other units that
  // take rules. Unterminated, all MAX_ARG_LEN units come from the text,
  // its NULs left out and padded in front with 'x', and the argument is
  // the first MAX_TEXT_LEN of them.
  std::u16string Fill(const std::u16string& text, int junk, bool unterminated);
  char16_t* data() { return units_; }
  const char16_t* data() const { return units_; }
  // The text up to the first NUL, or all MAX_ARG_LEN units when none is there.
  std::u16string Text() const;
  std::vector<char16_t> Snapshot() const;
  bool Equals(const std::vector<char16_t>& snapshot) const;

 private:
  char16_t* units_;
};

struct FunctionCall {
  int result;
  std::u16string argument;  // the text as the host passed it
  std::u16string text;      // the buffer's text after the call
  std::u16string err;       // standard error during the call
  bool untouched;           // all MAX_ARG_LEN units as they were
};

// A text of MAX_ARG_LEN units or more is passed unterminated.
FunctionCall CallFunction(ExportedFunction function, const std::u16string& input, int junk = 0,
                          bool unterminated = false);

// Repeats text n times.
inline std::u16string Repeat(const std::u16string& text, int n) {
  std::u16string out;
  for (int i = 0; i < n; ++i) out += text;
  return out;
}
