// @TAG on any argument: the text less its leading white space between the
// two markers, or a refusal that leaves the buffer as it was.
#include "kelvo/plugin.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_tag, true, [](const FuzzCase& c, const FunctionCall& call) {
    CheckOutcome(c, call, ModelTag(call.argument), "@TAG differs from its model");
  });
}
