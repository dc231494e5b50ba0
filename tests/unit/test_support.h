// Shared set-up for unit tests: a fresh stand-in host with output
// captured and the stored options at their initial values, and the one
// runner for the tables of rows that the function tests are made of.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "function_call.h"
#include "options/plugin_options.h"
#include "printable.h"
#include "standin.h"

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    StandInReset();
    StandInCapture(1);
    PluginOptions = Options{};
  }
  void TearDown() override {
    StandInCapture(0);
    StandInReset();
    PluginOptions = Options{};
  }
  static std::u16string Out() { return Captured(1); }
  static std::u16string Err() { return Captured(2); }
  static std::u16string Boxes() { return Captured(3); }
  static std::u16string Captured(int stream) {
    const char16_t* text = StandInCaptured(stream);
    return text != nullptr ? std::u16string(text) : std::u16string();
  }
};

// What a conversion writes to standard error when it refuses to run
// because the host writes Unicode output.
inline constexpr char16_t UnicodeRefused[] = u"Kelvo plugin: Unicode output not supported\r\n";

#define EXPECT_U16EQ(expected, actual) \
  EXPECT_EQ(Printable(std::u16string(expected)), Printable(std::u16string(actual)))

// Equal texts; when they differ, their lengths and where they part, for
// texts of thousands of units.
inline ::testing::AssertionResult SameText(const std::u16string& expected, const std::u16string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const size_t from = at > 20 ? at - 20 : 0;
  return ::testing::AssertionFailure() << "texts of " << expected.size() << " and " << actual.size()
                                       << " units part at unit " << at << "\n  expected ..."
                                       << Printable(expected.substr(from), 60) << "\n  actual   ..."
                                       << Printable(actual.substr(from), 60);
}

// What a table row runs under: the stored options, the host's
// Unicode-output answer and HEXENC_KEEP (null: unset).
struct ConversionSettings {
  Options options{};
  int unicodeOutput = 0;
  const char* keep = nullptr;
};

inline void ApplySettings(const ConversionSettings& s) {
  PluginOptions = s.options;
  StandInSetUnicodeOutput(s.unicodeOutput);
  if (s.keep != nullptr) {
    StandInSetVariable("HEXENC_KEEP", s.keep);
  } else {
    StandInUnsetVariable("HEXENC_KEEP");
  }
}

// One row of a function's table: the argument, what it runs under, the
// buffer afterwards, the result and standard error.
struct FunctionRow {
  std::u16string input;
  ConversionSettings settings{};
  std::u16string expected;
  int result = 0;
  std::u16string err = u"";
};

// Calls the function as the host does on each row under its settings and
// checks the buffer, the result and standard error; then `after`, given
// the row, checks anything else.
template <size_t N, class After>
void ExpectRows(ExportedFunction function, const FunctionRow (&rows)[N], After after) {
  for (const FunctionRow& row : rows) {
    SCOPED_TRACE(Printable(row.input, 40) + " (" + std::to_string(row.input.size()) + " units)");
    ApplySettings(row.settings);
    const FunctionCall call = CallFunction(function, row.input);
    EXPECT_EQ(row.result, call.result);
    EXPECT_TRUE(SameText(row.expected, call.text));
    EXPECT_U16EQ(row.err, call.err);
    after(row);
  }
  ApplySettings({});
}

template <size_t N>
void ExpectRows(ExportedFunction function, const FunctionRow (&rows)[N]) {
  ExpectRows(function, rows, [](const FunctionRow&) {});
}
