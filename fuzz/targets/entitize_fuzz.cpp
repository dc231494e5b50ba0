// @ENTITIZE on any text under any options: the result is the model's,
// holds no ASCII markup outside tags, and ends with a whole entity.
#include <cstddef>
#include <cstdint>

#include "variable_call.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "markup_check.h"
#include "models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_entitize, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  FUZZ_CHECK(call.result == 0, "@ENTITIZE succeeds on every text");
  FUZZ_CHECK(call.err.empty(), "@ENTITIZE writes no message of its own");
  const Options& settings = c.options;
  CheckSameText(ModelEntitize(call.argument, settings, MAX_TEXT_LEN), call.text,
                "@ENTITIZE differs from its model", call.argument);
  CheckEntitizedMarkup(call.argument, call.text);
  return 0;
}
