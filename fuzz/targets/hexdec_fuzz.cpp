// @HEXDEC on any text: the result is the model's and never longer than
// the input.
#include <cstddef>
#include <cstdint>

#include "variable_call.h"
#include "kelvo/plugin.h"
#include "models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_hexdec, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  FUZZ_CHECK(call.result == 0, "@HEXDEC succeeds on every text");
  FUZZ_CHECK(call.err.empty(), "@HEXDEC writes no message of its own");
  FUZZ_CHECK(call.text.size() <= call.argument.size(), "@HEXDEC lengthened the text");
  CheckSameText(ModelHexdec(call.argument.c_str()), call.text, "@HEXDEC differs from its model",
                call.argument);
  return 0;
}
