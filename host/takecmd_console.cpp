// Console output and capture. Text arrives as UTF-16; while capturing it
// is kept as written, otherwise it is converted to UTF-8 for the console.

#include <string>

#include "standin.h"
#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

// Capture is bounded so that a runaway test cannot exhaust memory;
// text beyond the bound is dropped.
constexpr size_t MAX_CAPTURE_UNITS = size_t(64) << 20;

bool capturing = false;
int unicodeOutput = 0;
std::u16string captured[4];  // index = stream; 0 unused

void AppendCapture(int stream, const char16_t* text, size_t length) {
  std::u16string& dest = captured[stream];
  if (dest.size() >= MAX_CAPTURE_UNITS) return;
  size_t room = MAX_CAPTURE_UNITS - dest.size();
  dest.append(text, length < room ? length : room);
}

}  // namespace

void AppendConsoleBytes(std::string& out, const char16_t* text, size_t length, bool unicode) {
  for (size_t i = 0; i < length; ++i) {
    char16_t c = text[i];
    if (c < 0x80) {
      out.push_back(char(c));
    } else if (c >= 0xFF01 && c <= 0xFF5E && !unicode) {
      out.push_back(char(c - 0xFEE0));  // best fit, as a console code page maps it
    } else if (utf::IsHighSurrogate(c) && i + 1 < length && utf::IsLowSurrogate(text[i + 1])) {
      char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
      utf::AppendCodePoint8(out, cp);
      ++i;
    } else if (utf::IsHighSurrogate(c) || utf::IsLowSurrogate(c)) {
      utf::AppendCodePoint8(out, 0xFFFD);
    } else {
      utf::AppendCodePoint8(out, c);
    }
  }
}

void WriteText(int stream, const char16_t* text, size_t length) {
  if (stream < STREAM_OUT || stream > STREAM_BOX || length == 0) return;
  if (capturing) {
    AppendCapture(stream, text, length);
    return;
  }
  if (stream == STREAM_BOX) return;
  std::string bytes;
  AppendConsoleBytes(bytes, text, length, unicodeOutput == 1);
  // Keep the order of the two streams when they share one terminal.
  if (stream == STREAM_ERR) PlatformConsoleFlush(STREAM_OUT);
  PlatformConsoleWrite(stream, bytes.data(), bytes.size());
}

void WriteText(int stream, const std::u16string& text) { WriteText(stream, text.data(), text.size()); }

void ReportShellError(const std::u16string& message) {
  std::u16string line = u"kelvo: ";
  line += message;
  line += u'\n';
  WriteText(STREAM_ERR, line);
  if (!capturing) PlatformConsoleFlush(STREAM_ERR);
}

bool Capturing() { return capturing; }
bool UnicodeOutputOn() { return unicodeOutput == 1; }
int UnicodeOutputValue() { return unicodeOutput; }
void SetUnicodeOutputFlag(int value) { unicodeOutput = value; }

void ResetConsole() {
  capturing = false;
  unicodeOutput = 0;
  for (std::u16string& s : captured) std::u16string().swap(s);
}

void RecordMessageBox(const char16_t* text, const char16_t* caption) {
  std::u16string record = caption;
  record += u'\n';
  record += text;
  record += u'\n';
  AppendCapture(STREAM_BOX, record.data(), record.size());
}

}  // namespace takecmd

using namespace takecmd;

extern "C" {

HOST_IMPORT void STANDIN_API StandInSetUnicodeOutput(int value) { SetUnicodeOutputFlag(value); }

HOST_IMPORT void STANDIN_API StandInCapture(int on) {
  if (on && !capturing) {
    PlatformConsoleFlush(STREAM_OUT);
    PlatformConsoleFlush(STREAM_ERR);
  }
  capturing = on != 0;
}

HOST_IMPORT const char16_t* STANDIN_API StandInCaptured(int stream) {
  if (stream < STREAM_OUT || stream > STREAM_BOX) return u"";
  return captured[stream].c_str();
}

HOST_IMPORT void STANDIN_API StandInClearCaptured(void) {
  for (std::u16string& s : captured) s.clear();
}

HOST_IMPORT int STANDIN_API StandInConsoleBytes(const char16_t* text, char* out, int capacity) {
  if (text == nullptr || out == nullptr || capacity < 1) return -1;
  size_t length = 0;
  while (text[length] != 0) ++length;
  std::string bytes;
  AppendConsoleBytes(bytes, text, length, unicodeOutput == 1);
  size_t n = bytes.size() < size_t(capacity - 1) ? bytes.size() : size_t(capacity - 1);
  bytes.copy(out, n);
  out[n] = 0;
  return int(n);
}

HOST_IMPORT void STANDIN_API StandInFlush(void) {
  PlatformConsoleFlush(STREAM_OUT);
  PlatformConsoleFlush(STREAM_ERR);
}

}  // extern "C"
