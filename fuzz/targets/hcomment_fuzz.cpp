// @HCOMMENT on any text: the text unchanged inside the comment markers,
// or a refusal when the comment would not fit whole.
#include <cstddef>
#include <cstdint>

#include "kelvo/plugin.h"
#include "models.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_hcomment, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  CheckOutcome(c, call, ModelComment(call.argument), "@HCOMMENT differs from its model");
  return 0;
}
