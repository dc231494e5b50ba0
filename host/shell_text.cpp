// Small text helpers of the shell.

#include <string>

#include "kelvo/host.h"
#include "shell.h"

namespace shell {

void ReportError(const std::u16string& message) {
  Qprintf(StdErrHandle(), u"kelvo: %s\n", message.c_str());
}

void WriteOut(const std::u16string& text) { QPuts(text.c_str()); }

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string TrimBlanks(const std::u16string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::u16string LowerAscii(const std::u16string& text) {
  std::u16string lower = text;
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  }
  return lower;
}

// Quotes a text for a message, cut so that the message stays one line.
std::u16string Quoted(const std::u16string& text) {
  constexpr size_t MAX_QUOTED = 100;
  std::u16string q = u"\"";
  size_t n = text.size() > MAX_QUOTED ? MAX_QUOTED : text.size();
  for (size_t i = 0; i < n; ++i) q += text[i] < 0x20 ? u'?' : text[i];  // keeps it one line
  if (text.size() > MAX_QUOTED) q += u"...";
  q += u'"';
  return q;
}

}  // namespace shell
