// Calls a variable function as the host does: on a full ArgBuffer, with
// standard error captured. The slots after the terminator hold junk that
// would change a result if a function read past the end of its text.
#pragma once

#include <string>
#include <vector>

#include "kelvo/limits.h"
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "standin.h"

struct FunctionCall {
  int result;
  std::u16string buffer;  // up to the terminator, or all 16384 slots
  std::u16string err;
};

using VariableFunction = int(PLUGIN_API*)(char16_t*);

// input may have MAX_ARG_LEN units: the buffer then holds no terminator.
inline FunctionCall CallFunction(VariableFunction function, const std::u16string& input) {
  std::vector<char16_t> buffer(MAX_ARG_LEN);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = (i & 1) ? u';' : u'4';
  input.copy(buffer.data(), MAX_ARG_LEN);
  if (input.size() < buffer.size()) buffer[input.size()] = 0;

  StandInClearCaptured();
  FunctionCall call;
  call.result = function(buffer.data());
  size_t length = 0;
  while (length < buffer.size() && buffer[length] != 0) ++length;
  call.buffer.assign(buffer.data(), length);
  const char16_t* err = StandInCaptured(2);
  call.err = err != nullptr ? err : u"";
  return call;
}

// Repeats text n times.
inline std::u16string Repeat(const std::u16string& text, int n) {
  std::u16string out;
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

// What a table row runs under: the plugin's options and the host's
// Unicode-output answer (defaults: the options' initial values).
struct ConversionSettings {
  Options options{};
  int unicodeOutput = 0;
};

inline void ApplySettings(const ConversionSettings& s) {
  PluginOptions = s.options;
  StandInSetUnicodeOutput(s.unicodeOutput);
}

// One row of a function's table: argument, settings, expected buffer,
// result and standard error.
struct FunctionRow {
  const char16_t* input;
  ConversionSettings opts;
  const char16_t* expected;
  int result = 0;
  const char16_t* err = u"";
};
