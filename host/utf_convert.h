// UTF-8 <-> UTF-16 conversion for the stand-in host and the shell.
//
// Lone surrogates survive a round trip: UTF-16 -> "8" writes them as
// three-byte sequences (the WTF-8 form) and "8" -> UTF-16 reads such a
// sequence back as the surrogate. Invalid UTF-8 bytes become U+FFFD;
// text that may be in the ANSI code page instead is read with IsUtf8
// and From1252.
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

// Length of the UTF-8 sequence at p (at most avail bytes) with its code
// point in cp, or 0 when the bytes there are no valid sequence. Surrogate
// code points are accepted, so lone surrogates written as three-byte
// sequences read back.
inline size_t DecodeSequence(const unsigned char* p, size_t avail, char32_t& cp) {
  unsigned char b = p[0];
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  size_t extra = 0;
  char32_t min = 0;
  if (b >= 0xC2 && b <= 0xDF) {
    extra = 1; cp = b & 0x1F; min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    extra = 2; cp = b & 0x0F; min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    extra = 3; cp = b & 0x07; min = 0x10000;
  } else {
    return 0;
  }
  if (extra >= avail) return 0;
  for (size_t k = 1; k <= extra; ++k) {
    unsigned char t = p[k];
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF) return 0;
  return extra + 1;
}

// Invalid bytes become U+FFFD, one for each byte.
inline std::u16string To16(const char* s, size_t n) {
  std::u16string out;
  out.reserve(n);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  size_t i = 0;
  while (i < n) {
    char32_t cp = 0;
    size_t length = DecodeSequence(p + i, n - i, cp);
    if (length == 0) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    AppendUnit16(out, cp);  // surrogate code points come back as units
    i += length;
  }
  return out;
}

// True when every byte belongs to a valid sequence (lone surrogates as
// three-byte sequences included).
inline bool IsUtf8(const char* s, size_t n) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  size_t i = 0;
  while (i < n) {
    char32_t cp = 0;
    size_t length = DecodeSequence(p + i, n - i, cp);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// Windows-1252, the ANSI code page of western Windows systems. Its five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls
// of the same value, as Windows converts them.
inline std::u16string From1252(const char* s, size_t n) {
  static const char16_t HIGH[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::u16string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    out.push_back(b >= 0x80 && b < 0xA0 ? HIGH[b - 0x80] : char16_t(b));
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
