// @DEENTITIZE on any text: the result is the model's, never longer than
// the input, and the same whatever the host's output mode.
#include <cstddef>
#include <cstdint>

#include "variable_call.h"
#include "kelvo/plugin.h"
#include "models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_deentitize, c);
  CheckUnicodeRefusal(c, call, false);
  FUZZ_CHECK(call.result == 0, "@DEENTITIZE succeeds on every text");
  FUZZ_CHECK(call.err.empty(), "@DEENTITIZE writes no message");
  FUZZ_CHECK(call.text.size() <= call.argument.size(), "@DEENTITIZE lengthened the text");
  CheckSameText(ModelDeentitize(call.argument.c_str(), true), call.text,
                "@DEENTITIZE differs from its model", call.argument);
  return 0;
}
