// @MAKEENTITY on any argument under any options: a name becomes the
// entity of that name, one character its entity or decimal reference, and
// the four options it overrides are as it found them afterwards.
#include <cstddef>
#include <cstdint>
#include <string>

#include "function_call.h"
#include "kelvo/markup.h"
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  const FunctionCall call = CallTwice(f_makeentity, c);
  FUZZ_CHECK(PluginOptions.quotes == c.options.quotes && PluginOptions.spaces == c.options.spaces &&
                 PluginOptions.dash == c.options.dash && PluginOptions.apos == c.options.apos &&
                 PluginOptions.approximate && PluginOptions.unicodeCheck,
             "@MAKEENTITY left the options changed");
  if (CheckUnicodeRefusal(c, call, true)) return 0;

  const std::u16string& argument = call.argument;
  if (argument.empty()) {
    CheckRejected(c, call, u"Missing argument\r\n");
    return 0;
  }
  std::u16string expected;
  if (argument.size() >= 2) {
    const std::u16string name = argument[0] == u'&' ? argument.substr(1) : argument;
    expected = std::u16string(1, MARK_AMP) + name;
    if (name.back() != u';') expected += u';';
    // An entity cut before its ';' would be broken: refused instead.
    if (expected.size() > size_t(MAX_TEXT_LEN)) {
      CheckRejected(c, call, u"Entity name too long\r\n");
      return 0;
    }
  } else {
    expected = ModelEntitize(
        argument, {.quotes = Quotes::Always, .spaces = Spaces::Always, .dash = Dash::Never, .apos = Apos::Numeric},
        MAX_TEXT_LEN);
    if (expected.size() <= 1) {
      expected = std::u16string(1, MARK_AMP) + u"#";
      for (char c16 : std::to_string(unsigned(argument[0]))) expected += char16_t(c16);
      expected += u';';
    }
  }
  FUZZ_CHECK(call.result == 0, "@MAKEENTITY failed on a usable argument");
  FUZZ_CHECK(call.err.empty(), "@MAKEENTITY wrote a message on success");
  CheckSameText(expected, call.text, "@MAKEENTITY differs from its model", argument);
  return 0;
}
