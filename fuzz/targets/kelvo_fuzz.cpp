// The KELVO command on any argument text: the options it leaves are those
// its model arrives at, always within their ranges; an error gives 1 and
// one message line; the argument text is never changed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"
#include "kelvo/charclass.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "kelvo/text.h"

namespace {

struct Options {
  int32_t quotes, spaces, dash, apos;
  bool operator==(const Options&) const = default;
};

struct Outcome {
  int result;
  Options options;
};

bool SameNoCase(const std::u16string& a, const char16_t* b) {
  return TextEqualsNoCase(a.c_str(), b);
}

int32_t* FieldFor(Options* o, const std::u16string& name, int32_t* largest) {
  static const struct {
    const char16_t* names[4];
    int field;
    int32_t largest;
  } kNames[] = {{{u"quotes", u"quote", u"q", nullptr}, 0, 2},
                {{u"spaces", u"space", u"s", nullptr}, 1, 2},
                {{u"dashes", u"dash", u"d", nullptr}, 2, 1},
                {{u"apostrophe", u"apostrophes", u"apos", u"a"}, 3, 3}};
  int32_t* fields[] = {&o->quotes, &o->spaces, &o->dash, &o->apos};
  for (const auto& entry : kNames)
    for (const char16_t* n : entry.names)
      if (n != nullptr && SameNoCase(name, n)) {
        *largest = entry.largest;
        return fields[entry.field];
      }
  return nullptr;
}

// 1 to stop with an error, 0 to stop without one, -1 to go on.
int ApplyToken(const std::u16string& token, Options* o, bool* applied) {
  if (SameNoCase(token, u"/?")) return 0;
  if (SameNoCase(token, u"defaults")) {
    *o = {2, 2, 1, 3};
    return 0;
  }
  const size_t separator = token.find_last_of(u":=");
  if (separator == std::u16string::npos || separator == 0) return 1;
  const std::u16string value = token.substr(separator + 1);
  if (value.empty() || value.find_first_not_of(u"0123456789") != std::u16string::npos) return 1;
  int32_t largest = 0;
  int32_t* field = FieldFor(o, token.substr(0, separator), &largest);
  if (field == nullptr) return 1;
  const size_t digits = value.find_first_not_of(u'0');
  if (digits != std::u16string::npos && (value.size() - digits > 1 || value[digits] - u'0' > largest))
    return 1;
  *field = digits == std::u16string::npos ? 0 : value[digits] - u'0';
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
  buffer.Fill(c.text, 0);
  const std::vector<char16_t> before = buffer.Snapshot();
  const std::u16string argument = buffer.Text();

  const int result = kelvo(buffer.data());
  FUZZ_CHECK(buffer.Equals(before), "KELVO changed its argument buffer");
  const Outcome expected = Model(argument, {c.quotes, c.spaces, c.dash, c.apos});
  FUZZ_CHECK(result == expected.result, "KELVO's result differs from its model");
  const Options now = {PluginOptions.Quotes, PluginOptions.Spaces, PluginOptions.Dash,
                       PluginOptions.Apos};
  FUZZ_CHECK(now == expected.options, "KELVO left other options than its model");
  FUZZ_CHECK(PluginOptions.Approximate == 1 && PluginOptions.UnicodeCheck == 1,
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
