// Help on any topic: 1 and one message box for the eleven topics, in any
// ASCII case; 0 and nothing shown for every other text. The topic sits in
// a heap block of its own size, so reading past it is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "harness.h"
#include "kelvo/plugin.h"
#include "kelvo/text.h"
#include "standin.h"

namespace {

const char16_t* const Topics[] = {u"kelvo",     u"arraytable", u"@entag",    u"@doctype",
                                   u"@deentitize", u"@entitize", u"@hcomment", u"@hexdec",
                                   u"@hexenc",   u"@makeentity", u"@tag"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StandInCapture(1);
  FUZZ_CHECK(Help(nullptr) == 0, "Help with a null topic");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  ApplyCase(c);
  const std::u16string topic = ArgumentText(c.text);
  const std::unique_ptr<char16_t[]> block = ExactCopy(topic);

  bool known = false;
  for (const char16_t* t : Topics) known = known || TextEqualsNoCase(topic.c_str(), t);
  const int result = Help(block.get());
  const std::u16string boxes = Captured(3);
  FUZZ_CHECK(std::memcmp(block.get(), topic.c_str(), sizeof(char16_t) * topic.size()) == 0,
             "Help changed its topic");
  FUZZ_CHECK(result == (known ? 1 : 0), "Help's result");
  if (known) {
    const std::u16string caption = u"Kelvo Plugin Help\n";
    FUZZ_CHECK(boxes.compare(0, caption.size(), caption) == 0, "one box with the help caption");
    FUZZ_CHECK(boxes.find(caption, 1) == std::u16string::npos, "exactly one box");
  } else {
    FUZZ_CHECK(boxes.empty(), "a box for an unknown topic");
  }
  FUZZ_CHECK(Captured(1).empty() && Captured(2).empty(), "Help writes only its box");
  return 0;
}
