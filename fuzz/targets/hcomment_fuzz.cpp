// @HCOMMENT on any text: the text unchanged inside the comment markers,
// or a refusal when the comment would not fit whole.
#include <cstddef>
#include <cstdint>

#include "function_call.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_hcomment, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  if (call.argument.size() > 16374) {
    CheckRejected(c, call, u"Comment too long\r\n");
    return 0;
  }
  FUZZ_CHECK(call.result == 0 && call.err.empty(), "@HCOMMENT failed on a text that fits");
  CheckSameText(MARK_LT + (u"!-- " + call.argument + u" --") + MARK_GT, call.text, "@HCOMMENT",
                call.argument);
  return 0;
}
