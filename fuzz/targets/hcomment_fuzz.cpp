// @HCOMMENT on any text: the model's text inside the comment markers, or
// a refusal when the comment as written would not fit whole; and what an
// HTML parser reads from the result, as the console prints it, is one
// comment that holds the text with only blanks added.
#include <cstddef>
#include <cstdint>

#include "comment_reading.h"
#include "function_call.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_hcomment, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;
  const std::u16string text = ModelCommentText(call.argument);
  if (text.size() > 16374) {
    CheckRejected(c, call, u"Comment too long\r\n");
    return 0;
  }
  FUZZ_CHECK(call.result == 0 && call.err.empty(), "@HCOMMENT failed on a text that fits");
  CheckSameText(MARK_LT + (u"!-- " + text + u" --") + MARK_GT, call.text, "@HCOMMENT",
                call.argument);

  const std::u16string html = ConsoleForm(call.text);
  const CommentReading reading = ReadComment(html);
  FUZZ_CHECK(reading.closed && reading.end == html.size(), "the comment ends before its end");
  FUZZ_CHECK(!reading.parseError, "the comment reads with a parse error");
  const std::u16string& d = reading.data;
  FUZZ_CHECK(d.size() >= 2 && d.front() == u' ' && d.back() == u' ' &&
                 OnlyBlanksAdded(ConsoleForm(call.argument), d.substr(1, d.size() - 2)),
             "the comment holds more than the text and blanks");
  return 0;
}
