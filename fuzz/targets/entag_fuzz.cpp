// @ENTAG on any argument under any options: both tags whole, the string
// entitized between them and cut cleanly when the result outgrows the
// buffer; refusals as the model says.
#include "kelvo/plugin.h"
#include "markup_check.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_entag, true, [](const FuzzCase& c, const FunctionCall& call) {
    const ModelOutcome expected = ModelEntag(call.argument, c.options);
    CheckOutcome(c, call, expected, "@ENTAG differs from its model");
    if (expected.refusal == nullptr) CheckEntitizedMarkup(expected.entitizedFrom, expected.entitized);
  });
}
