#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "options/plugin_options.h"
#include "standin.h"

namespace {

// The batch file named in messages when the case runs inside one; the
// percent sign checks that the name is written as data.
constexpr char kBatchName[] = "C:\\jobs\\100%.btm";
constexpr char16_t kBatchPrefix[] = u"C:\\jobs\\100%.btm [17]  ";
constexpr size_t kOverlongKeep = SMALL_BUF_LEN + 40;

}  // namespace

std::u16string DecodeUnits(const uint8_t* data, size_t size) {
  std::u16string out;
  out.reserve(size);
  size_t i = 0;
  while (i < size) {
    const uint8_t b = data[i];
    if (b >= 0xC0 && b <= 0xDF && i + 1 < size) {
      out += static_cast<char16_t>(((b & 0x1F) << 6) | (data[i + 1] & 0x3F));
      i += 2;
    } else if (b >= 0xE0 && b <= 0xEF && i + 2 < size) {
      out += static_cast<char16_t>(((b & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) |
                                   (data[i + 2] & 0x3F));
      i += 3;
    } else if (b >= 0xF0 && b <= 0xF7 && i + 3 < size) {
      uint32_t cp = (uint32_t(b & 0x07) << 18) | (uint32_t(data[i + 1] & 0x3F) << 12) |
                    (uint32_t(data[i + 2] & 0x3F) << 6) | uint32_t(data[i + 3] & 0x3F);
      cp = 0x10000 + (cp & 0xFFFFF);
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      i += 4;
    } else {
      out += static_cast<char16_t>(b);
      ++i;
    }
  }
  return out;
}

std::string EncodeUnits(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

FuzzCase ParseFuzzCase(const uint8_t* data, size_t size) {
  FuzzCase c;
  size_t at = 0;
  if (at < size) {
    const uint8_t host = data[at++];
    static constexpr int kUnicode[4] = {0, 1, 2, 0};
    c.unicodeOutput = kUnicode[host & 3];
    c.batch = (host & 4) != 0;
    c.keepMode = (host >> 3) & 3;
    c.extra = host >> 5;
  }
  if (at < size) {
    const int byte = data[at++];
    c.unterminated = (byte / 72) % 2 != 0;
    const int b = byte % 72;
    c.options.quotes = static_cast<Quotes>(b % 3);
    c.options.spaces = static_cast<Spaces>(b / 3 % 3);
    c.options.dash = static_cast<Dash>(b / 9 % 2);
    c.options.apos = static_cast<Apos>(b / 18 % 4);
  }
  if (c.keepMode == KEEP_VALUE) {
    size_t length = at < size ? data[at++] : 0;
    if (length > size - at) length = size - at;
    for (char16_t u : DecodeUnits(data + at, length))
      if (u != 0) c.keepValue += u;
    at += length;
  } else if (c.keepMode == KEEP_OVERLONG) {
    c.keepValue.assign(kOverlongKeep, u'!');
  }
  c.text = DecodeUnits(data + at, size - at);
  if ((c.extra & 4) != 0) {
    const size_t length = size_t(MAX_TEXT_LEN) - size_t(3 * (c.extra & 3));
    if (c.text.size() < length) c.text.insert(0, length - c.text.size(), u'x');
  }
  return c;
}

std::string ToWtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size() && text[i] != 0; ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

void ApplyCase(const FuzzCase& c) {
  StandInReset();
  StandInCapture(1);
  StandInSetUnicodeOutput(c.unicodeOutput);
  if (c.batch) {
    StandInSetVariable("_batch", "1");
    StandInSetVariable("_batchname", kBatchName);
    StandInSetVariable("_batchline", "17");
  }
  switch (c.keepMode) {
    case KEEP_UNSET:
      unsetenv("HEXENC_KEEP");
      break;
    case KEEP_EMPTY:
      setenv("HEXENC_KEEP", "", 1);
      break;
    default:
      setenv("HEXENC_KEEP", ToWtf8(c.keepValue).c_str(), 1);
      break;
  }
  PluginOptions = c.options;
}

ArgBuffer::ArgBuffer() : units_(new char16_t[MAX_ARG_LEN]) {}
ArgBuffer::~ArgBuffer() { delete[] units_; }

std::u16string ArgBuffer::Fill(const std::u16string& text, int junk, bool unterminated) {
  if (unterminated) {
    std::u16string units;
    for (char16_t u : text) {
      if (u != 0) units += u;
    }
    if (units.size() < size_t(MAX_ARG_LEN)) units.insert(0, size_t(MAX_ARG_LEN) - units.size(), u'x');
    for (size_t i = 0; i < size_t(MAX_ARG_LEN); ++i) units_[i] = units[i];
    return units.substr(0, MAX_TEXT_LEN);
  }
  const size_t n = text.size() < size_t(MAX_TEXT_LEN) ? text.size() : size_t(MAX_TEXT_LEN);
  size_t firstNul = n;
  for (size_t i = 0; i < n; ++i) {
    units_[i] = text[i];
    if (text[i] == 0 && firstNul == n) firstNul = i;
  }
  // Everything after the first NUL is junk; the second pattern replaces
  // it so that a run can compare the two.
  if (junk != 0) {
    static constexpr char16_t kOther[] = {u'-', u'&', u'9', u'-', u';', u'%', u'4', 0xFF1E};
    for (size_t i = firstNul + 1; i < size_t(MAX_ARG_LEN); ++i) units_[i] = kOther[i % 8];
  } else {
    for (size_t i = n + 1; i < size_t(MAX_ARG_LEN); ++i) units_[i] = (i & 1) ? u';' : u'4';
  }
  units_[n] = 0;
  return std::u16string(units_, firstNul);
}

std::u16string ArgBuffer::Text() const {
  size_t n = 0;
  while (n < size_t(MAX_ARG_LEN) && units_[n] != 0) ++n;
  return std::u16string(units_, n);
}

std::vector<char16_t> ArgBuffer::Snapshot() const {
  return std::vector<char16_t>(units_, units_ + MAX_ARG_LEN);
}

bool ArgBuffer::Equals(const std::vector<char16_t>& snapshot) const {
  return std::memcmp(units_, snapshot.data(), sizeof(char16_t) * MAX_ARG_LEN) == 0;
}

std::u16string ArgumentText(const std::u16string& text) {
  size_t n = 0;
  while (n < text.size() && n < size_t(MAX_TEXT_LEN) && text[n] != 0) ++n;
  return text.substr(0, n);
}

std::u16string Captured(int stream) {
  const char16_t* text = StandInCaptured(stream);
  return text != nullptr ? std::u16string(text) : std::u16string();
}

std::u16string ErrorPrefixText(const FuzzCase& c) {
  std::u16string prefix = u"Kelvo plugin: ";
  if (c.batch) prefix += kBatchPrefix;
  return prefix;
}

std::string Show(const std::u16string& text, size_t limit) {
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

void CheckSameText(const std::u16string& expected, const std::u16string& actual, const char* what,
                   const std::u16string& input) {
  if (expected == actual) return;
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const size_t from = at > 40 ? at - 40 : 0;
  std::fprintf(stderr,
               "\n%s: first difference at unit %zu (expected %zu units, got %zu)\n"
               "  input:    %s\n  expected: ...%s\n  actual:   ...%s\n",
               what, at, expected.size(), actual.size(), Show(input, 300).c_str(),
               Show(expected.substr(from), 120).c_str(), Show(actual.substr(from), 120).c_str());
  FuzzFail(__FILE__, __LINE__, "expected == actual", what);
}

void FuzzFail(const char* file, int line, const char* condition, const char* what) {
  std::fprintf(stderr, "\nINVARIANT FAILED at %s:%d: %s\n  check: %s\n", file, line, what,
               condition);
  std::fflush(stderr);
  std::abort();
}
