// Runs @ENTITIZE, @HCOMMENT and ARRAYTABLE on texts given on standard
// input and writes what the console would print, for check_html.py to
// parse. One request per line, texts as UTF-16 code units in hexadecimal
// (4 digits each), so any text, line ends and lone surrogates included,
// survives:
//   E quotes spaces dash apos UNITS      -> "<result length> <UTF-8 bytes in hex>"
//   C quotes spaces dash apos UNITS      -> "<result> <UTF-8 bytes in hex>"
//   T quotes spaces dash apos UNITS,...  -> "<result> <UTF-8 bytes in hex>"
// T defines a one-dimensional array with one element per text and writes
// it with ARRAYTABLE.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "options/plugin_options.h"
#include "standin.h"
#include "utf8.h"

namespace {

std::u16string FromHex(const std::string& hex) {
  std::u16string text;
  for (size_t i = 0; i + 4 <= hex.size(); i += 4)
    text += static_cast<char16_t>(std::stoul(hex.substr(i, 4), nullptr, 16));
  return text;
}

// The text as the console writes it, as hexadecimal bytes.
std::string ConsoleHex(const std::u16string& text) {
  std::vector<char> bytes(text.size() * 4 + 16);
  const int n = StandInConsoleBytes(text.c_str(), bytes.data(), static_cast<int>(bytes.size()));
  std::string hex;
  char pair[3];
  for (int i = 0; i < n; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
    hex += pair;
  }
  return hex;
}

std::u16string Entitize(const std::u16string& text, int* length) {
  std::vector<char16_t> buffer(MAX_ARG_LEN, 0);
  text.copy(buffer.data(), MAX_TEXT_LEN);
  f_entitize(buffer.data());
  std::u16string result(buffer.data());
  *length = static_cast<int>(result.size());
  return result;
}

// The buffer is left as it was when @HCOMMENT refuses.
std::u16string Comment(const std::u16string& text, int* result) {
  std::vector<char16_t> buffer(MAX_ARG_LEN, 0);
  text.copy(buffer.data(), MAX_TEXT_LEN);
  *result = f_hcomment(buffer.data());
  return std::u16string(buffer.data());
}

int ArrayTable(const std::vector<std::u16string>& cells, std::u16string* out) {
  StandInDefineArray("cells", 1, static_cast<int>(cells.size()), 0);
  for (size_t r = 0; r < cells.size(); ++r)
    StandInSetElement("cells", static_cast<int>(r), 0, Utf8Of(cells[r]).c_str());
  StandInClearCaptured();
  std::vector<char16_t> arguments(MAX_ARG_LEN, 0);
  std::u16string(u"cells").copy(arguments.data(), 5);
  const int result = arraytable(arguments.data());
  *out = StandInCaptured(1);
  return result;
}

}  // namespace

int main() {
  StandInReset();
  StandInCapture(1);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream fields(line);
    std::string kind, texts;
    int quotes, spaces, dash, apos;
    fields >> kind >> quotes >> spaces >> dash >> apos;
    std::getline(fields >> std::ws, texts);
    PluginOptions = Options{};
    PluginOptions.quotes = static_cast<Quotes>(quotes);
    PluginOptions.spaces = static_cast<Spaces>(spaces);
    PluginOptions.dash = static_cast<Dash>(dash);
    PluginOptions.apos = static_cast<Apos>(apos);
    if (kind == "E") {
      int length = 0;
      const std::u16string result = Entitize(FromHex(texts), &length);
      std::cout << length << ' ' << ConsoleHex(result) << '\n';
    } else if (kind == "C") {
      int result = 0;
      const std::u16string comment = Comment(FromHex(texts), &result);
      std::cout << result << ' ' << ConsoleHex(comment) << '\n';
    } else if (kind == "T") {
      std::vector<std::u16string> cells;
      std::istringstream list(texts);
      std::string cell;
      while (std::getline(list, cell, ',')) cells.push_back(FromHex(cell));
      if (!texts.empty() && texts.back() == ',') cells.emplace_back();
      std::u16string out;
      const int result = ArrayTable(cells, &out);
      std::cout << result << ' ' << ConsoleHex(out) << '\n';
    } else {
      std::cerr << "html_dump: unknown request " << kind << '\n';
      return 2;
    }
  }
  return 0;
}
