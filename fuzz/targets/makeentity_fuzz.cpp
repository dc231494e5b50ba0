// @MAKEENTITY on any argument under any options: a name becomes the
// entity of that name, one unit its entity or decimal reference, and the
// stored options are as it found them afterwards.
#include "kelvo/plugin.h"
#include "options/plugin_options.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_makeentity, true, [](const FuzzCase& c, const FunctionCall& call) {
    FUZZ_CHECK(PluginOptions.quotes == c.options.quotes && PluginOptions.spaces == c.options.spaces &&
                   PluginOptions.dash == c.options.dash && PluginOptions.apos == c.options.apos &&
                   PluginOptions.approximate && PluginOptions.unicodeCheck,
               "@MAKEENTITY left the options changed");
    CheckOutcome(c, call, ModelMakeEntity(call.argument), "@MAKEENTITY differs from its model");
  });
}
