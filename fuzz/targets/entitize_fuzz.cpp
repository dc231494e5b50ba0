// @ENTITIZE on any text under any options: the result is the model's,
// holds no ASCII markup outside tags, and ends with a whole entity.
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "markup_check.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_entitize, true, [](const FuzzCase& c, const FunctionCall& call) {
    CheckOutcome(c, call, {ModelEntitize(call.argument, c.options, MAX_TEXT_LEN)}, "@ENTITIZE differs from its model");
    CheckEntitizedMarkup(call.argument, call.text);
  });
}
