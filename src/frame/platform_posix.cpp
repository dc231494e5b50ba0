// Operating-system services on Linux: standard error, the process
// environment, and the stand-in host's message box.
#include <cstdint>
#include <cstdlib>

#include "kelvo/platform.h"
#include "standin.h"

HostHandle PlatformStdErrHandle(void) {
  return reinterpret_cast<HostHandle>(static_cast<intptr_t>(2));
}

namespace {

// Decodes one UTF-8 sequence at s into a code point; malformed input
// gives U+FFFD and consumes one byte.
uint32_t DecodeUtf8(const unsigned char*& s) {
  unsigned char b = *s++;
  if (b < 0x80) return b;
  int extra;
  uint32_t cp;
  if (b >= 0xC2 && b <= 0xDF) {
    extra = 1;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    extra = 2;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    extra = 3;
    cp = b & 0x07;
  } else {
    return 0xFFFD;
  }
  const unsigned char* p = s;
  for (int i = 0; i < extra; ++i, ++p) {
    if ((*p & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (*p & 0x3F);
  }
  if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) return 0xFFFD;
  s = p;
  return cp;
}

}  // namespace

int PlatformGetEnvironment(const char16_t* name, char16_t* buffer, int capacity) {
  buffer[0] = 0;
  char narrow[256];
  int n = 0;
  for (; name[n] != 0; ++n) {
    if (name[n] >= 0x80 || n >= 255) return 0;
    narrow[n] = static_cast<char>(name[n]);
  }
  narrow[n] = 0;
  const char* value = std::getenv(narrow);
  if (value == nullptr) return 0;

  int length = 0;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(value);
  while (*s != 0) {
    uint32_t cp = DecodeUtf8(s);
    int units = cp >= 0x10000 ? 2 : 1;
    if (length + units > capacity - 1) {
      buffer[0] = 0;
      return -1;
    }
    if (units == 2) {
      cp -= 0x10000;
      buffer[length++] = static_cast<char16_t>(0xD800 + (cp >> 10));
      buffer[length++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      buffer[length++] = static_cast<char16_t>(cp);
    }
  }
  buffer[length] = 0;
  return length;
}

void PlatformShowMessage(const char16_t* text, const char16_t* caption) {
  StandInMessageBox(text, caption);
}
