// @MAKEENTITY on any argument under any options: a name becomes the
// entity of that name, one unit its entity or decimal reference, and the
// stored options are as it found them afterwards.
#include <cstddef>
#include <cstdint>

#include "kelvo/plugin.h"
#include "models.h"
#include "options/plugin_options.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_makeentity, c);
  FUZZ_CHECK(PluginOptions.quotes == c.options.quotes && PluginOptions.spaces == c.options.spaces &&
                 PluginOptions.dash == c.options.dash && PluginOptions.apos == c.options.apos &&
                 PluginOptions.approximate && PluginOptions.unicodeCheck,
             "@MAKEENTITY left the options changed");
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  CheckOutcome(c, call, ModelMakeEntity(call.argument), "@MAKEENTITY differs from its model");
  return 0;
}
