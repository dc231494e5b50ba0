// The output operations of the host interface.

#include <cstdarg>
#include <string>

#include "kelvo/host.h"
#include "takecmd_internal.h"

using namespace takecmd;

namespace {

// Bound on one formatted console write; far beyond any host buffer.
constexpr size_t MAX_CONSOLE_FORMAT = size_t(1) << 20;

}  // namespace

extern "C" {

HOST_IMPORT int HOST_API_VARARGS Qprintf(HostHandle handle, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = FormatText(format, args, MAX_CONSOLE_FORMAT);
  va_end(args);
  int stream = PlatformHandleStream(handle);
  if (stream == 0) return -1;
  WriteText(stream, text);
  return int(text.size());
}

HOST_IMPORT int HOST_API_VARARGS Printf(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = FormatText(format, args, MAX_CONSOLE_FORMAT);
  va_end(args);
  WriteText(STREAM_OUT, text);
  return int(text.size());
}

HOST_IMPORT int HOST_API_VARARGS Sprintf(char16_t* dest, const char16_t* format, ...) {
  if (dest == nullptr) return -1;
  va_list args;
  va_start(args, format);
  std::u16string text = FormatText(format, args, size_t(MAX_TEXT_LEN));
  va_end(args);
  text.copy(dest, text.size());
  dest[text.size()] = 0;
  return int(text.size());
}

HOST_IMPORT int HOST_API QPuts(const char16_t* text) {
  if (text == nullptr) return -1;
  size_t length = 0;
  while (text[length] != 0) ++length;
  WriteText(STREAM_OUT, text, length);
  return 0;
}

// The console line end of the host: carriage return and line feed.
HOST_IMPORT int HOST_API CrLf(void) {
  WriteText(STREAM_OUT, u"\r\n", 2);
  return 0;
}

HOST_IMPORT int HOST_API QueryUnicodeOutput(void) { return UnicodeOutputValue(); }

}  // extern "C"
