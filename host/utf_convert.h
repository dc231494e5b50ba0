// UTF-8 <-> UTF-16 conversion for the stand-in host and the shell.
//
// Lone surrogates survive a round trip: UTF-16 -> "8" writes them as
// three-byte sequences (the WTF-8 form) and "8" -> UTF-16 reads such a
// sequence back as the surrogate. Invalid UTF-8 bytes become U+FFFD.
// Console output uses a separate, strict path (lone surrogates become
// U+FFFD there).
#pragma once

#include <cstddef>
#include <string>

namespace utf {

inline void AppendCodePoint8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Lossless for any code units (lone surrogates kept as WTF-8).
inline std::string To8(const char16_t* s, size_t n) {
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    char16_t c = s[i];
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
      char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
      AppendCodePoint8(out, cp);
      ++i;
    } else {
      AppendCodePoint8(out, c);
    }
  }
  return out;
}

inline std::string To8(const std::u16string& s) { return To8(s.data(), s.size()); }

inline void AppendUnit16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(char16_t(cp));
  } else {
    cp -= 0x10000;
    out.push_back(char16_t(0xD800 + (cp >> 10)));
    out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
  }
}

inline std::u16string To16(const char* s, size_t n) {
  std::u16string out;
  out.reserve(n);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  size_t i = 0;
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1; cp = b & 0x1F; min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2; cp = b & 0x0F; min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3; cp = b & 0x07; min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = i + size_t(extra) < n;
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char t = p[i + size_t(k)];
      if ((t & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (t & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    AppendUnit16(out, cp);  // surrogate code points come back as units
    i += size_t(extra) + 1;
  }
  return out;
}

inline std::u16string To16(const std::string& s) { return To16(s.data(), s.size()); }
inline std::u16string To16(const char* s) {
  if (s == nullptr) return std::u16string();
  size_t n = 0;
  while (s[n] != 0) ++n;
  return To16(s, n);
}

}  // namespace utf
