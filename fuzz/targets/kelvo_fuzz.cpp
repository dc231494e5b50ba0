// The KELVO command on any argument text: the options it leaves are those
// its model arrives at, always within their ranges; an error gives 1 and
// one message line; the argument text is never changed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "function_call.h"
#include "harness.h"
#include "kelvo/charclass.h"
#include "kelvo/plugin.h"
#include "kelvo/text.h"
#include "options/plugin_options.h"

namespace {

struct Outcome {
  int result;
  Options options;
};

bool SameNoCase(const std::u16string& a, const char16_t* b) {
  return TextEqualsNoCase(a.c_str(), b);
}

// Which option a name stands for (0 to 3, or -1), and its largest value.
int FieldFor(const std::u16string& name, int32_t* largest) {
  static const struct {
    const char16_t* names[4];
    int32_t largest;
  } Names[] = {{{u"quotes", u"quote", u"q", nullptr}, 2},
                {{u"spaces", u"space", u"s", nullptr}, 2},
                {{u"dashes", u"dash", u"d", nullptr}, 1},
                {{u"apostrophe", u"apostrophes", u"apos", u"a"}, 3}};
  for (int field = 0; field < 4; ++field)
    for (const char16_t* n : Names[field].names)
      if (n != nullptr && SameNoCase(name, n)) {
        *largest = Names[field].largest;
        return field;
      }
  return -1;
}

void SetField(Options* o, int field, int32_t value) {
  switch (field) {
    case 0: o->quotes = Quotes(value); break;
    case 1: o->spaces = Spaces(value); break;
    case 2: o->dash = Dash(value); break;
    default: o->apos = Apos(value); break;
  }
}

bool SameOptions(const Options& a, const Options& b) {
  return a.quotes == b.quotes && a.spaces == b.spaces && a.dash == b.dash && a.apos == b.apos &&
         a.approximate == b.approximate && a.unicodeCheck == b.unicodeCheck;
}

// 1 to stop with an error, 0 to stop without one, -1 to go on.
int ApplyToken(const std::u16string& token, Options* o, bool* applied) {
  if (SameNoCase(token, u"/?")) return 0;
  if (SameNoCase(token, u"defaults")) {
    *o = Options{};
    return 0;
  }
  const size_t separator = token.find_last_of(u":=");
  if (separator == std::u16string::npos || separator == 0) return 1;
  const std::u16string value = token.substr(separator + 1);
  if (value.empty() || value.find_first_not_of(u"0123456789") != std::u16string::npos) return 1;
  int32_t largest = 0;
  const int field = FieldFor(token.substr(0, separator), &largest);
  if (field < 0) return 1;
  const size_t digits = value.find_first_not_of(u'0');
  if (digits != std::u16string::npos && (value.size() - digits > 1 || value[digits] - u'0' > largest))
    return 1;
  SetField(o, field, digits == std::u16string::npos ? 0 : value[digits] - u'0');
  *applied = true;
  return -1;
}

Outcome Model(const std::u16string& argument, Options o) {
  bool applied = false;
  size_t i = 0;
  for (;;) {
    while (i < argument.size() && IsWhiteSpaceChar(argument[i])) ++i;
    if (i == argument.size()) break;
    size_t end = i;
    while (end < argument.size() && !IsWhiteSpaceChar(argument[end])) ++end;
    std::u16string token = argument.substr(i, end - i);
    if (token.size() >= 2 && token[0] == u'/' && IsAlphaChar(token[1])) token.erase(0, 1);
    const int stop = ApplyToken(token, &o, &applied);
    if (stop >= 0) return {stop, o};
    i = end;
  }
  return {0, o};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  ApplyCase(c);
  ArgBuffer buffer;
  const std::u16string argument = buffer.Fill(c.text, 0, c.unterminated);
  const std::vector<char16_t> before = buffer.Snapshot();

  const int result = kelvo(buffer.data());
  FUZZ_CHECK(buffer.Equals(before), "KELVO changed its argument buffer");
  const Outcome expected = Model(argument, c.options);
  FUZZ_CHECK(result == expected.result, "KELVO's result differs from its model");
  FUZZ_CHECK(SameOptions(PluginOptions, expected.options), "KELVO left other options than its model");
  FUZZ_CHECK(PluginOptions.approximate && PluginOptions.unicodeCheck,
             "KELVO changed a switch no command may change");

  const std::u16string err = Captured(2);
  if (result == 1) {
    const std::u16string prefix = ErrorPrefixText(c);
    FUZZ_CHECK(err.compare(0, prefix.size(), prefix) == 0, "an error without the plugin prefix");
    FUZZ_CHECK(err.find(u"\r\n") == err.size() - 2, "an error is exactly one line");
  } else {
    FUZZ_CHECK(err.empty(), "a message without an error");
  }
  return 0;
}
