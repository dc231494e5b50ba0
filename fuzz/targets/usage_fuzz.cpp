// Usage on any topic: the usage text of KELVO or ARRAYTABLE, terminated
// within the host's 1024-unit buffer, or 0 and the buffer untouched.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "harness.h"
#include "kelvo/plugin.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  ApplyCase(c);
  const std::u16string topic = ArgumentText(c.text);
  const std::unique_ptr<char16_t[]> block = ExactCopy(topic);
  std::unique_ptr<char16_t[]> out(new char16_t[SMALL_BUF_LEN]);
  for (int i = 0; i < SMALL_BUF_LEN; ++i) out[i] = char16_t(0xA5A5);

  FUZZ_CHECK(Usage(block.get(), nullptr) == 0, "Usage with a null buffer");
  FUZZ_CHECK(Usage(nullptr, out.get()) == 0, "Usage with a null topic");
  const char16_t* expected = nullptr;
  if (TextEqualsNoCase(topic.c_str(), u"kelvo")) expected = KelvoUsageText;
  if (TextEqualsNoCase(topic.c_str(), u"arraytable")) expected = ArrayTableUsageText;
  const int result = Usage(block.get(), out.get());
  FUZZ_CHECK(result == (expected != nullptr ? 1 : 0), "Usage's result");
  if (expected == nullptr) {
    for (int i = 0; i < SMALL_BUF_LEN; ++i)
      FUZZ_CHECK(out[i] == char16_t(0xA5A5), "Usage wrote to the buffer for an unknown topic");
  } else {
    int n = 0;
    while (n < SMALL_BUF_LEN && out[n] != 0) ++n;
    FUZZ_CHECK(n < SMALL_BUF_LEN, "the usage text is not terminated within the buffer");
    CheckSameText(expected, std::u16string(out.get(), size_t(n)), "the usage text", topic);
  }
  FUZZ_CHECK(Captured(1).empty() && Captured(2).empty() && Captured(3).empty(),
             "Usage writes nothing");
  return 0;
}
