// @DOCTYPE on any argument, whatever the host's output mode: a declaration
// for the eleven numbers the table holds, else the bad-value message with
// the argument upper-cased in the buffer.
#include <cstddef>
#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "models.h"
#include "variable_call.h"

namespace {

bool InTable(uint32_t n) { return n <= 5 || (n >= 16 && n <= 20); }

void CheckDocType(const FuzzCase& c, const FunctionCall& call) {
  const std::u16string& argument = call.argument;
  size_t start = 0;
  while (start < argument.size() && IsWhiteSpaceChar(argument[start])) ++start;
  uint32_t number = 0;
  size_t end = 0;
  bool valid = start == argument.size() ||
               ModelParseNumber(argument.substr(start), false, &number, &end) == 0;
  valid = valid && InTable(number);
  if (!valid) {
    std::u16string upper = argument;
    for (char16_t& ch : upper)
      if (ch >= u'a' && ch <= u'z') ch = char16_t(ch - 32);
    FUZZ_CHECK(call.result == -1, "@DOCTYPE accepted a bad value");
    CheckSameText(upper, call.text, "@DOCTYPE leaves the argument upper-cased", argument);
    CheckSameText(ErrorPrefixText(c) + u"Bad value \"" + upper + u"\"\r\n", call.err,
                  "@DOCTYPE's message", argument);
    return;
  }
  FUZZ_CHECK(call.result == 0 && call.err.empty(), "@DOCTYPE refused a number in its table");
  const std::u16string& text = call.text;
  FUZZ_CHECK(text.size() > 11 && text.compare(0, 10, MARK_LT + std::u16string(u"!DOCTYPE ")) == 0 &&
                 text.back() == MARK_GT,
             "a declaration between the tag markers");
  FUZZ_CHECK(text.find(MARK_GT) == text.size() - 1, "one declaration only");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_doctype, false, CheckDocType);
}
