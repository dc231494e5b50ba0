// @DEENTITIZE on any text: the result is the model's, never longer than
// the input, and the same whatever the host's output mode.
#include "kelvo/plugin.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_deentitize, false, [](const FuzzCase& c, const FunctionCall& call) {
    CheckOutcome(c, call, {ModelDeentitize(call.argument.c_str(), true)}, "@DEENTITIZE differs from its model");
    FUZZ_CHECK(call.text.size() <= call.argument.size(), "@DEENTITIZE lengthened the text");
  });
}
