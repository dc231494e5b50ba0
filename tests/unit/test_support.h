// Shared set-up for unit tests: a fresh stand-in host with output
// captured, and the plugin options at their initial values.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "options/plugin_options.h"
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
inline constexpr char16_t kUnicodeRefused[] = u"Kelvo plugin: Unicode output not supported\r\n";

// Readable failure output for UTF-16 strings.
inline std::string Printable(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[16];
      snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
      out += hex;
    }
  }
  return out;
}

#define EXPECT_U16EQ(expected, actual) \
  EXPECT_EQ(Printable(std::u16string(expected)), Printable(std::u16string(actual)))
