// Console output, redirection and capture. Text arrives as UTF-16; while
// capturing it is kept as written, otherwise it is converted to UTF-8 for
// the console or the file a stream is redirected to.
//
// A write that fails ends the run: output that was lost must not look
// like success, and a command that writes a long table would otherwise
// go on long after its reader has gone.

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
std::u16string captured[5];  // index = stream; 0 unused

// What each stream is written to, for messages (index = stream).
std::u16string targetNames[3];
bool redirectedStream[3] = {false, false, false};

// While capturing, redirected output is captured apart from the console's.
int CaptureStream(int stream) { return redirectedStream[stream] ? int(STREAM_FILES) : stream; }

const std::u16string& TargetName(int stream) {
  static const std::u16string standard[3] = {u"", u"standard output", u"standard error"};
  return redirectedStream[stream] ? targetNames[stream] : standard[stream];
}

[[noreturn]] void WriteFailed(int stream, const std::u16string& reason) {
  std::u16string message = u"kelvo: cannot write to " + TargetName(stream) + u": " + reason + u"\n";
  std::string bytes;
  AppendConsoleBytes(bytes, message.data(), message.size(), false);
  // Standard error itself may be what failed; then nothing can be said.
  if (stream != STREAM_ERR || redirectedStream[STREAM_ERR]) PlatformLastWords(bytes.data(), bytes.size());
  PlatformEndProcess(1);
}

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
    AppendCapture(stream == STREAM_BOX ? stream : CaptureStream(stream), text, length);
    return;
  }
  if (stream == STREAM_BOX) return;
  std::string bytes;
  AppendConsoleBytes(bytes, text, length, unicodeOutput == 1);
  // Keep the order of the two streams when they share one terminal.
  if (stream == STREAM_ERR) FlushStream(STREAM_OUT);
  std::u16string reason;
  if (!PlatformConsoleWrite(stream, bytes.data(), bytes.size(), reason)) WriteFailed(stream, reason);
}

void FlushStream(int stream) {
  if (capturing) return;
  std::u16string reason;
  if (!PlatformConsoleFlush(stream, reason)) WriteFailed(stream, reason);
}

void WriteText(int stream, const std::u16string& text) { WriteText(stream, text.data(), text.size()); }

void ReportShellError(const std::u16string& message) {
  std::u16string line = u"kelvo: ";
  line += message;
  line += u'\n';
  WriteText(STREAM_ERR, line);
  FlushStream(STREAM_ERR);
}

bool Capturing() { return capturing; }
bool UnicodeOutputOn() { return unicodeOutput == 1; }
int UnicodeOutputValue() { return unicodeOutput; }
void SetUnicodeOutputFlag(int value) { unicodeOutput = value; }

void ResetConsole() {
  StandInEndRedirection();
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
    FlushStream(STREAM_OUT);
    FlushStream(STREAM_ERR);
  }
  capturing = on != 0;
}

HOST_IMPORT const char16_t* STANDIN_API StandInCaptured(int stream) {
  if (stream < STREAM_OUT || stream > STREAM_FILES) return u"";
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
  FlushStream(STREAM_OUT);
  FlushStream(STREAM_ERR);
}

HOST_IMPORT int STANDIN_API StandInRedirect(int stream, const char16_t* path, int append) {
  if ((stream != STREAM_OUT && stream != STREAM_ERR) || path == nullptr || path[0] == 0) return -1;
  std::u16string name(path, BoundedLength(path, MAX_TEXT_LEN));
  FlushStream(stream);
  if (!capturing) {
    std::u16string reason;
    if (!PlatformRedirect(stream, name, append != 0, reason)) {
      ReportShellError(u"cannot open \"" + name + u"\" for writing: " + reason);
      return -1;
    }
  }
  redirectedStream[stream] = true;
  targetNames[stream] = u"\"" + name + u"\"";
  return 0;
}

HOST_IMPORT void STANDIN_API StandInRedirectErrorToOutput(void) {
  FlushStream(STREAM_ERR);
  if (!capturing) PlatformRedirectLike(STREAM_ERR, STREAM_OUT);
  redirectedStream[STREAM_ERR] = redirectedStream[STREAM_OUT];
  targetNames[STREAM_ERR] = targetNames[STREAM_OUT];
}

HOST_IMPORT void STANDIN_API StandInEndRedirection(void) {
  if (!redirectedStream[STREAM_OUT] && !redirectedStream[STREAM_ERR]) return;
  int stream = 0;
  std::u16string reason;
  bool closed = PlatformEndRedirections(stream, reason);
  if (!closed && !capturing) WriteFailed(stream, reason);
  redirectedStream[STREAM_OUT] = redirectedStream[STREAM_ERR] = false;
}

}  // extern "C"
