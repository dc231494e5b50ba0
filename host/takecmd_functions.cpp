// Variable functions: those of the plugin (registered by name) and the
// few the host itself provides (@arrayinfo, @char, @unicode, @len,
// @repeat).

#include <map>
#include <memory>
#include <string>

#include "standin.h"
#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

std::map<std::u16string, PluginFunction> pluginFunctions;  // keyed by the upper-cased name

constexpr size_t MAX_QUOTED = 100;

void ReportBadArgument(const std::u16string& name, const std::u16string& argument, const char16_t* expected) {
  std::u16string message = u"@" + name + u"[";
  message.append(argument, 0, argument.size() > MAX_QUOTED ? MAX_QUOTED : argument.size());
  if (argument.size() > MAX_QUOTED) message += u"...";
  message += u"]: expected ";
  message += expected;
  ReportShellError(message);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Trimmed(const std::u16string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Unsigned decimal; values above max fail.
bool ParseDecimal(const std::u16string& text, int64_t max, int64_t& value) {
  if (text.empty()) return false;
  int64_t n = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    n = n * 10 + (c - u'0');
    if (n > max) return false;
  }
  value = n;
  return true;
}

std::u16string Decimal(int64_t value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// Splits "a,b" at the last comma (the first part may hold commas).
bool SplitAtLastComma(const std::u16string& argument, std::u16string& first, std::u16string& second) {
  size_t comma = argument.rfind(u',');
  if (comma == std::u16string::npos) return false;
  first = argument.substr(0, comma);
  second = argument.substr(comma + 1);
  return true;
}

int ArrayInfoFunction(const std::u16string& argument, std::u16string& result) {
  std::u16string name, what;
  int64_t index = 0;
  if (!SplitAtLastComma(argument, name, what) || !ParseDecimal(Trimmed(what), 5, index)) {
    ReportBadArgument(u"arrayinfo", argument, u"an array name and a number from 0 to 5");
    return 1;
  }
  result = Decimal(ArrayInfo(Trimmed(name), int(index)));
  return 0;
}

int CharFunction(const std::u16string& argument, std::u16string& result) {
  size_t i = 0;
  bool any = false;
  while (i < argument.size()) {
    while (i < argument.size() && IsBlank(argument[i])) ++i;
    if (i >= argument.size()) break;
    size_t end = i;
    while (end < argument.size() && !IsBlank(argument[end])) ++end;
    int64_t code = 0;
    if (!ParseDecimal(argument.substr(i, end - i), 0x10FFFF, code) || code == 0) {
      ReportBadArgument(u"char", argument, u"character codes from 1 to 1114111");
      return 1;
    }
    utf::AppendUnit16(result, char32_t(code));
    any = true;
    i = end;
  }
  if (!any) {
    ReportBadArgument(u"char", argument, u"character codes from 1 to 1114111");
    return 1;
  }
  return 0;
}

int UnicodeFunction(const std::u16string& argument, std::u16string& result) {
  if (argument.empty()) {
    ReportBadArgument(u"unicode", argument, u"a character");
    return 1;
  }
  char32_t code = argument[0];
  if (utf::IsHighSurrogate(argument[0]) && argument.size() > 1 && utf::IsLowSurrogate(argument[1])) {
    code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(argument[1]) - 0xDC00);
  }
  result = Decimal(int64_t(code));
  return 0;
}

int RepeatFunction(const std::u16string& argument, std::u16string& result) {
  std::u16string text, count;
  int64_t times = 0;
  if (!SplitAtLastComma(argument, text, count) || !ParseDecimal(Trimmed(count), INT32_MAX, times)) {
    ReportBadArgument(u"repeat", argument, u"a text and a count");
    return 1;
  }
  if (!text.empty() && times > int64_t(MAX_TEXT_LEN / text.size())) {
    ReportBadArgument(u"repeat", argument, u"a result of at most 16383 characters");
    return 1;
  }
  for (int64_t k = 0; k < times && !text.empty(); ++k) result += text;
  return 0;
}

int CallPlugin(PluginFunction function, const std::u16string& argument, std::u16string& result) {
  // A private buffer per call: a function may expand text that calls
  // another function.
  // Only the terminator is set: the function owns the buffer's contents.
  std::unique_ptr<char16_t[]> buffer(new char16_t[MAX_ARG_LEN]);
  PlatformSyncEnvironment();
  size_t n = argument.copy(buffer.get(), size_t(MAX_TEXT_LEN));
  buffer[n] = 0;
  if (function(buffer.get()) != 0) return 1;
  result.assign(buffer.get(), BoundedLength(buffer.get(), MAX_TEXT_LEN));
  return 0;
}

}  // namespace

void RegisterFunction(const std::u16string& name, PluginFunction function) {
  if (name.empty()) return;
  if (function == nullptr) {
    pluginFunctions.erase(UpperKey(name));
  } else {
    pluginFunctions[UpperKey(name)] = function;
  }
}

int CallFunction(const std::u16string& name, const std::u16string& argument, std::u16string& result) {
  std::u16string key = UpperKey(name);
  auto plugin = pluginFunctions.find(key);
  if (plugin != pluginFunctions.end()) return CallPlugin(plugin->second, argument, result);
  if (key == u"ARRAYINFO") return ArrayInfoFunction(argument, result);
  if (key == u"CHAR") return CharFunction(argument, result);
  if (key == u"UNICODE") return UnicodeFunction(argument, result);
  if (key == u"LEN") {
    result = Decimal(int64_t(argument.size()));
    return 0;
  }
  if (key == u"REPEAT") return RepeatFunction(argument, result);
  ReportShellError(u"unknown function \"@" + name + u"\"");
  return 1;
}

}  // namespace takecmd

using namespace takecmd;

extern "C" {

HOST_IMPORT void STANDIN_API StandInRegisterFunction(const char* name, StandInFunction function) {
  if (name == nullptr) return;
  std::u16string name16 = utf::To16(name);
  if (!name16.empty() && name16[0] == u'@') name16.erase(0, 1);
  RegisterFunction(name16, function);
}

}  // extern "C"
