// @HEXENC on any text and any HEXENC_KEEP: the result is the model's and
// holds only alphanumerics, kept characters (a pair only whole and kept
// as a pair) and whole escapes; no lone surrogate. @HEXDEC of a result
// that was not cut gives the text back, but for the known exceptions.
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "variable_call.h"

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
    if (c >= 0xD800 && c <= 0xDBFF) {
      FUZZ_CHECK(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF, "a lone high surrogate");
      FUZZ_CHECK(keep.find(text.substr(i, 2)) != std::u16string::npos, "a pair that is not kept");
      ++i;
      continue;
    }
    FUZZ_CHECK(c < 0xDC00 || c > 0xDFFF, "a lone low surrogate");
    FUZZ_CHECK(IsAlnumChar(c) || keep.find(c) != std::u16string::npos,
               "a character that is neither alphanumeric nor kept");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_hexenc, true, [](const FuzzCase& c, const FunctionCall& call) {
    const bool present = c.keepMode == KEEP_VALUE && !c.keepValue.empty();
    const std::u16string keep = ModelKeepSet(present, c.keepValue);
    CheckOutcome(c, call, {ModelHexenc(call.argument, keep)}, "@HEXENC differs from its model");
    CheckEncoded(call.text, keep);
    // A result with room left for the longest character's escapes was not cut.
    if (call.text.size() <= size_t(MAX_TEXT_LEN - 12)) {
      const FunctionCall decoded = CallFunction(f_hexdec, call.text);
      CheckSameText(ModelHexRoundTrip(call.argument, keep), decoded.text, "@HEXDEC of @HEXENC", call.argument);
    }
  });
}
