#include "function_call.h"

#include "standin.h"

namespace {

FunctionCall CallOnce(VariableFunction function, const FuzzCase& c, int junk, ArgBuffer* buffer) {
  ApplyCase(c);
  FunctionCall call;
  call.argument = buffer->Fill(c.text, junk, c.unterminated);
  const std::vector<char16_t> before = buffer->Snapshot();
  call.result = function(buffer->data());
  call.text = buffer->Text();
  FUZZ_CHECK(call.result != 0 || call.text.size() <= size_t(MAX_TEXT_LEN), "a result without its terminator");
  call.err = Captured(2);
  call.untouched = buffer->Equals(before);
  FUZZ_CHECK(Captured(1).empty(), "a variable function wrote to standard output");
  return call;
}

}  // namespace

FunctionCall CallTwice(VariableFunction function, const FuzzCase& c) {
  ArgBuffer buffer;
  const FunctionCall first = CallOnce(function, c, 0, &buffer);
  const FunctionCall second = CallOnce(function, c, 1, &buffer);
  FUZZ_CHECK(first.result == second.result, "the result depends on the units after the text");
  FUZZ_CHECK(first.text == second.text, "the output depends on the units after the text");
  FUZZ_CHECK(first.err == second.err, "the messages depend on the units after the text");
  FUZZ_CHECK(first.untouched == second.untouched, "a refusal depends on the units after the text");
  return first;
}

bool CheckUnicodeRefusal(const FuzzCase& c, const FunctionCall& call, bool makesCheck) {
  if (!makesCheck || c.unicodeOutput != 1) {
    FUZZ_CHECK(call.result != -2, "-2 without Unicode output, or from a function that never refuses");
    return false;
  }
  FUZZ_CHECK(call.result == -2, "Unicode output on, but the call was not refused");
  FUZZ_CHECK(call.untouched, "a refused call changed the buffer");
  FUZZ_CHECK(call.err == ErrorPrefixText(c) + u"Unicode output not supported\r\n",
             "the refusal's message");
  return true;
}

void CheckRejected(const FuzzCase& c, const FunctionCall& call, const char16_t* message) {
  FUZZ_CHECK(call.result == -1, "a rejected argument must give -1");
  FUZZ_CHECK(call.untouched, "a rejected call changed the buffer");
  FUZZ_CHECK(call.err == ErrorPrefixText(c) + message, "the rejection's message");
}
