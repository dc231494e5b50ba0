// @TAG on any argument: the text less its leading white space between the
// two markers, or a refusal that leaves the buffer as it was.
#include <cstddef>
#include <cstdint>

#include "function_call.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_tag, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  size_t start = 0;
  while (start < call.argument.size() && IsWhiteSpaceChar(call.argument[start])) ++start;
  const std::u16string tag = call.argument.substr(start);
  if (tag.empty()) {
    CheckRejected(c, call, u"Missing tag name\r\n");
  } else if (tag.size() >= 16381) {
    CheckRejected(c, call, u"Tag name too long\r\n");
  } else {
    FUZZ_CHECK(call.result == 0 && call.err.empty(), "@TAG failed on a usable tag");
    CheckSameText(MARK_LT + tag + MARK_GT, call.text, "@TAG", call.argument);
  }
  return 0;
}
