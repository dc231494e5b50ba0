// @HEXENC on any text and any HEXENC_KEEP: the result is the model's and
// holds only alphanumerics, keep-set characters and whole escapes.
#include <cstddef>
#include <cstdint>

#include "variable_call.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "models.h"

namespace {

bool IsUpperHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }

void CheckEncoded(const std::u16string& text, const std::u16string& keep) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == MARK_PERCENT) {
      FUZZ_CHECK(i + 2 < text.size() && IsUpperHexDigit(text[i + 1]) && IsUpperHexDigit(text[i + 2]),
                 "an escape that is not whole");
      i += 2;
      continue;
    }
    FUZZ_CHECK(IsAlnumChar(c) || keep.find(c) != std::u16string::npos,
               "a character that is neither alphanumeric nor kept");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_hexenc, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  FUZZ_CHECK(call.result == 0, "@HEXENC succeeds on every text");
  FUZZ_CHECK(call.err.empty(), "@HEXENC writes no message of its own");
  const bool present = c.keepMode == KEEP_VALUE && !c.keepValue.empty();
  const std::u16string keep = ModelKeepSet(present, c.keepValue);
  CheckEncoded(call.text, keep);
  CheckSameText(ModelHexenc(call.argument, keep), call.text, "@HEXENC differs from its model",
                call.argument);
  return 0;
}
