// @TAG on any argument: the text less its leading white space between the
// two markers, or a refusal that leaves the buffer as it was.
#include <cstddef>
#include <cstdint>

#include "kelvo/plugin.h"
#include "models.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_tag, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  CheckOutcome(c, call, ModelTag(call.argument), "@TAG differs from its model");
  return 0;
}
