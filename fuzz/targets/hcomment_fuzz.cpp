// @HCOMMENT on any text: the text unchanged inside the comment markers,
// or a refusal when the comment would not fit whole.
#include "kelvo/plugin.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_hcomment, true, [](const FuzzCase& c, const FunctionCall& call) {
    CheckOutcome(c, call, ModelComment(call.argument), "@HCOMMENT differs from its model");
  });
}
