// @HEXDEC on any text: the result is the model's, never longer than the
// input, and holds exactly the input's lone surrogates (an escape never
// decodes to half a pair).
#include "kelvo/plugin.h"
#include "variable_call.h"

namespace {

size_t LoneSurrogates(const std::u16string& text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      ++count;
    }
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_hexdec, true, [](const FuzzCase& c, const FunctionCall& call) {
    CheckOutcome(c, call, {ModelHexdec(call.argument.c_str())}, "@HEXDEC differs from its model");
    FUZZ_CHECK(call.text.size() <= call.argument.size(), "@HEXDEC lengthened the text");
    FUZZ_CHECK(LoneSurrogates(call.text) == LoneSurrogates(call.argument.substr(0, call.argument.find(u'\0'))),
               "@HEXDEC made or lost a lone surrogate");
  });
}
