// Readable UTF-16 text for failure messages: printable ASCII as it is,
// every other unit as \uXXXX, cut after `limit` units.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

inline std::string Printable(std::u16string_view text, size_t limit = std::u16string_view::npos) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c < 0x7F && c != u'\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
      out += hex;
    }
  }
  if (text.size() > limit) out += "... (" + std::to_string(text.size()) + " units)";
  return out;
}
