// @HEXDEC on any text: the result is the model's and never longer than
// the input.
#include "kelvo/plugin.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_hexdec, true, [](const FuzzCase& c, const FunctionCall& call) {
    CheckOutcome(c, call, {ModelHexdec(call.argument.c_str())}, "@HEXDEC differs from its model");
    FUZZ_CHECK(call.text.size() <= call.argument.size(), "@HEXDEC lengthened the text");
  });
}
