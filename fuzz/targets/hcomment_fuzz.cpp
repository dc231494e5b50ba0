// @HCOMMENT on any text: the model's text inside the comment markers, or
// a refusal when the comment as written would not fit whole; and what an
// HTML parser reads from the result, as the console prints it, is one
// comment that holds the text with only blanks added.
#include "comment_reading.h"
#include "kelvo/plugin.h"
#include "variable_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzVariableFunction(data, size, f_hcomment, true, [](const FuzzCase& c, const FunctionCall& call) {
    const ModelOutcome expected = ModelComment(call.argument);
    CheckOutcome(c, call, expected, "@HCOMMENT differs from its model");
    if (expected.refusal != nullptr) return;

    const std::u16string html = ConsoleForm(call.text);
    const CommentReading reading = ReadComment(html);
    FUZZ_CHECK(reading.closed && reading.end == html.size(), "the comment ends before its end");
    FUZZ_CHECK(!reading.parseError, "the comment reads with a parse error");
    const std::u16string& d = reading.data;
    FUZZ_CHECK(d.size() >= 2 && d.front() == u' ' && d.back() == u' ' &&
                   OnlyBlanksAdded(ConsoleForm(call.argument), d.substr(1, d.size() - 2)),
               "the comment holds more than the text and blanks");
  });
}
