#include "variable_call.h"

#include "standin.h"

namespace {

FunctionCall CallOnce(ExportedFunction function, const FuzzCase& c, int junk) {
  ApplyCase(c);
  const FunctionCall call = CallFunction(function, c.text, junk, c.unterminated);
  FUZZ_CHECK(call.result != 0 || call.text.size() <= size_t(MAX_TEXT_LEN), "a result without its terminator");
  FUZZ_CHECK(Captured(1).empty(), "a variable function wrote to standard output");
  return call;
}

}  // namespace

FunctionCall CallTwice(ExportedFunction function, const FuzzCase& c) {
  const FunctionCall first = CallOnce(function, c, 0);
  const FunctionCall second = CallOnce(function, c, 1);
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

void CheckOutcome(const FuzzCase& c, const FunctionCall& call, const ModelOutcome& expected, const char* what) {
  if (expected.refusal != nullptr) {
    CheckRejected(c, call, expected.refusal);
    return;
  }
  FUZZ_CHECK(call.result == 0, "a usable argument refused");
  FUZZ_CHECK(call.err.empty(), "a message on success");
  CheckSameText(expected.text, call.text, what, call.argument);
}

int FuzzVariableFunction(const uint8_t* data, size_t size, ExportedFunction function, bool makesCheck,
                         CallCheck check) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(function, c);
  if (!CheckUnicodeRefusal(c, call, makesCheck)) check(c, call);
  return 0;
}
