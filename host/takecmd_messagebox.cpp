// The message box of the stand-in host: always recorded (capture stream
// 3), and drawn on standard output when output is not being captured.
//
//   ┌─ Caption ─────────────┐
//   │                       │
//   │  text, one line each  │
//   │                       │
//   │        [ OK ]         │
//   └───────────────────────┘

#include <string>
#include <vector>

#include "standin.h"
#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

constexpr size_t TAB_WIDTH = 8;
const char16_t BUTTON[] = u"[ OK ]";
constexpr size_t BUTTON_WIDTH = 6;

// Columns a line takes: a surrogate pair is one character.
size_t Columns(const std::u16string& line) {
  size_t n = 0;
  for (char16_t c : line) {
    if (!utf::IsLowSurrogate(c)) ++n;
  }
  return n;
}

// Splits at "\r\n" or "\n", expands tabs, and shows other control
// characters as blanks so that the frame stays intact.
std::vector<std::u16string> BoxLines(const char16_t* text) {
  std::vector<std::u16string> lines(1);
  for (const char16_t* p = text; *p != 0; ++p) {
    char16_t c = *p;
    std::u16string& line = lines.back();
    if (c == u'\n') {
      lines.emplace_back();
    } else if (c == u'\r') {
      continue;
    } else if (c == u'\t') {
      line.append(TAB_WIDTH - Columns(line) % TAB_WIDTH, u' ');
    } else if (c < 0x20 || c == 0x7F) {
      line.push_back(u' ');
    } else {
      line.push_back(c);
    }
  }
  return lines;
}

std::u16string Repeated(char16_t c, size_t n) { return std::u16string(n, c); }

std::u16string FramedLine(const std::u16string& content, size_t width) {
  std::u16string line = u"\u2502  ";
  line += content;
  line += Repeated(u' ', width - Columns(content));
  line += u"  \u2502\n";
  return line;
}

std::u16string DrawBox(const char16_t* text, const char16_t* caption) {
  std::vector<std::u16string> lines = BoxLines(text);
  std::u16string title = BoxLines(caption).front();
  size_t width = BUTTON_WIDTH;
  if (Columns(title) > width) width = Columns(title);
  for (const std::u16string& line : lines) {
    if (Columns(line) > width) width = Columns(line);
  }
  std::u16string box = u"\u250C\u2500 ";
  box += title;
  box += u' ';
  box += Repeated(u'\u2500', width + 4 - 3 - Columns(title));
  box += u"\u2510\n";
  box += FramedLine(u"", width);
  for (const std::u16string& line : lines) box += FramedLine(line, width);
  box += FramedLine(u"", width);
  size_t left = (width - BUTTON_WIDTH) / 2;
  box += FramedLine(Repeated(u' ', left) + BUTTON, width);
  box += u"\u2514";
  box += Repeated(u'\u2500', width + 4);
  box += u"\u2518\n";
  return box;
}

}  // namespace
}  // namespace takecmd

using namespace takecmd;

extern "C" {

HOST_IMPORT int STANDIN_API StandInMessageBox(const char16_t* text, const char16_t* caption) {
  if (text == nullptr) text = u"";
  if (caption == nullptr) caption = u"";
  RecordMessageBox(text, caption);
  if (!Capturing()) {
    WriteText(STREAM_OUT, DrawBox(text, caption));
    FlushStream(STREAM_OUT);
  }
  return 1;  // IDOK
}

}  // extern "C"
