// ParseNumber, and the signed reading of host answers, against the C
// library's wcstoul and wcstol on a host whose long has 32 bits. The text
// sits in a heap block of its own size, so reading past it is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "harness.h"
#include "kelvo/services.h"
#include "models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const std::u16string text = ArgumentText(c.text);
  const std::unique_ptr<char16_t[]> block = ExactCopy(text);

  for (bool wantEnd : {false, true}) {
    uint32_t value = 0xDEADBEEF, expectedValue = 0;
    const char16_t* end = u"unset";
    const char16_t* const unset = end;
    size_t expectedEnd = 0;
    const int result = ParseNumber(block.get(), &value, wantEnd ? &end : nullptr);
    const int expected = ModelParseNumber(text, wantEnd, &expectedValue, &expectedEnd);
    FUZZ_CHECK(result == expected, "ParseNumber's result differs from wcstoul's");
    if (result != 0) {
      FUZZ_CHECK(value == 0xDEADBEEF && end == unset, "a failed parse wrote an output");
      continue;
    }
    FUZZ_CHECK(value == expectedValue, "ParseNumber's value differs from wcstoul's");
    if (wantEnd) FUZZ_CHECK(end == block.get() + expectedEnd, "ParseNumber's end");
  }
  FUZZ_CHECK(ParseNumber(nullptr, nullptr, nullptr) == -1, "null text");
  FUZZ_CHECK(ReadLeadingInteger(block.get()) == ModelLeadingInteger(text),
             "ReadLeadingInteger differs from wcstol's");
  FUZZ_CHECK(IsValueSeparator(text.empty() ? 0 : text[0]) ==
                 (!text.empty() && (text[0] == u':' || text[0] == u'=')),
             "IsValueSeparator");
  return 0;
}
