// @ENTAG on any argument under any options: both tags whole, the string
// entitized between them and cut cleanly when the result outgrows the
// buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "function_call.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "markup_check.h"
#include "reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_entag, c);
  if (CheckUnicodeRefusal(c, call, true)) return 0;

  // The tag text runs to the first comma outside double quotes; its name
  // ends at its first white space outside them.
  const std::u16string& argument = call.argument;
  size_t start = 0;
  while (start < argument.size() && IsWhiteSpaceChar(argument[start])) ++start;
  size_t end = start;
  size_t nameEnd = std::u16string::npos;
  bool quoted = false;
  for (; end < argument.size(); ++end) {
    const char16_t ch = argument[end];
    if (ch == u'"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (ch == u',') break;
      if (nameEnd == std::u16string::npos && IsWhiteSpaceChar(ch)) nameEnd = end;
    }
  }
  const std::u16string tag = argument.substr(start, end - start);
  const std::u16string name =
      tag.substr(0, nameEnd == std::u16string::npos ? tag.size() : nameEnd - start);
  const std::u16string string = end < argument.size() ? argument.substr(end + 1) : u"";
  if (tag.empty()) {
    CheckRejected(c, call, u"Missing tag name\r\n");
    return 0;
  }
  const size_t tags = tag.size() + 2 + name.size() + 3;
  if (tags > size_t(MAX_TEXT_LEN)) {
    CheckRejected(c, call, u"Tag name too long\r\n");
    return 0;
  }
  const Options& settings = c.options;
  const std::u16string body = ModelEntitize(string, settings, int(MAX_TEXT_LEN - tags));
  const std::u16string expected = MARK_LT + tag + MARK_GT + body + MARK_LT + u"/" + name + MARK_GT;
  FUZZ_CHECK(call.result == 0, "@ENTAG failed on a usable argument");
  FUZZ_CHECK(call.err.empty(), "@ENTAG wrote a message on success");
  CheckSameText(expected, call.text, "@ENTAG differs from its model", argument);
  CheckEntitizedMarkup(string, call.text.substr(tag.size() + 2, body.size()));
  return 0;
}
