// The command-line splitter on any text: every argument lies inside the
// store, is terminated, non-empty and trimmed; the tables past the count
// are empty; the text is never changed; an overflow leaves a count of 0.
// The arguments are the model's, and an overflow is reported exactly when
// the model finds a character that the store cannot hold.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "arraytable/split_arguments.h"
#include "function_call.h"
#include "harness.h"
#include "kelvo/charclass.h"
#include "models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  ApplyCase(c);
  ArgBuffer buffer;
  buffer.Fill(c.text, 0, false);
  const std::vector<char16_t> before = buffer.Snapshot();

  const int count = SplitArguments(buffer.data());
  FUZZ_CHECK(buffer.Equals(before), "the splitter changed its text");
  FUZZ_CHECK(count >= -1 && count <= MAX_ARGS, "the splitter's result");
  const std::u16string err = Captured(2);
  const std::u16string text = buffer.Text();
  const SplitModel model = ModelSplitArguments(text);
  FUZZ_CHECK((count < 0) == model.overflows, "an overflow where nothing is lost, or none where something is");
  if (count < 0) {
    FUZZ_CHECK(ArgCount == 0, "an overflow must leave no arguments");
    const std::u16string prefix = ErrorPrefixText(c);
    FUZZ_CHECK(err == prefix + u"Buffer overflow: b = 16383, MAX_ARG_LEN = 16384 \r\n" ||
                   err == prefix + u"Buffer overflow: b = 16384, MAX_ARG_LEN = 16384 \r\n",
               "the overflow message");
    return 0;
  }
  FUZZ_CHECK(err.empty(), "a message without an overflow");
  FUZZ_CHECK(size_t(count) == model.arguments.size(), "the number of arguments differs from the model");
  for (int k = 0; k < count; ++k) {
    CheckSameText(model.arguments[size_t(k)], std::u16string(ArgPointers[k], size_t(ArgLengths[k])),
                  "an argument differs from the model", text);
  }
  FUZZ_CHECK(ArgCount == count, "ArgCount and the result agree");
  const char16_t* store = ArgStore;
  const char16_t* next = store;
  for (int k = 0; k < MAX_ARGS; ++k) {
    if (k >= count) {
      FUZZ_CHECK(ArgPointers[k] == nullptr && ArgLengths[k] == 0, "an entry past the count");
      continue;
    }
    const char16_t* arg = ArgPointers[k];
    const int length = ArgLengths[k];
    FUZZ_CHECK(arg >= next && length >= 1 && arg + length < store + MAX_ARG_LEN,
               "an argument outside the store or overlapping the one before");
    FUZZ_CHECK(arg[length] == 0, "an argument without its terminator");
    for (int i = 0; i < length; ++i) FUZZ_CHECK(arg[i] != 0, "a NUL inside an argument");
    FUZZ_CHECK(!IsWhiteSpaceChar(arg[0]) && !IsWhiteSpaceChar(arg[length - 1]),
               "an argument that begins or ends with white space");
    next = arg + length + 1;
  }
  return 0;
}
