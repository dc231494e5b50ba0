#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "options/plugin_options.h"
#include "standin.h"
#include "utf8.h"

namespace {

// The batch file named in messages when the case runs inside one; the
// percent sign checks that the name is written as data.
constexpr char BatchName[] = "C:\\jobs\\100%.btm";
constexpr char16_t BatchPrefix[] = u"C:\\jobs\\100%.btm [17]  ";
constexpr size_t OVERLONG_KEEP = SMALL_BUF_LEN + 40;

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

FuzzCase ParseFuzzCase(const uint8_t* data, size_t size) {
  FuzzCase c;
  size_t at = 0;
  if (at < size) {
    const uint8_t host = data[at++];
    static constexpr int UnicodeAnswers[4] = {0, 1, 2, 0};
    c.unicodeOutput = UnicodeAnswers[host & 3];
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
    c.keepValue.assign(OVERLONG_KEEP, u'!');
  }
  c.text = DecodeUnits(data + at, size - at);
  if ((c.extra & 4) != 0) {
    const size_t length = size_t(MAX_TEXT_LEN) - size_t(3 * (c.extra & 3));
    if (c.text.size() < length) c.text.insert(0, length - c.text.size(), u'x');
  }
  return c;
}

void ApplyCase(const FuzzCase& c) {
  StandInReset();
  StandInCapture(1);
  StandInSetUnicodeOutput(c.unicodeOutput);
  if (c.batch) {
    StandInSetVariable("_batch", "1");
    StandInSetVariable("_batchname", BatchName);
    StandInSetVariable("_batchline", "17");
  }
  switch (c.keepMode) {
    case KEEP_UNSET:
      StandInSetEnvironment("HEXENC_KEEP", nullptr);
      break;
    case KEEP_EMPTY:
      StandInSetEnvironment("HEXENC_KEEP", "");
      break;
    default:
      StandInSetEnvironment("HEXENC_KEEP", Utf8Of(c.keepValue).c_str());
      break;
  }
  PluginOptions = c.options;
}

std::unique_ptr<char16_t[]> ExactCopy(const std::u16string& text) {
  std::unique_ptr<char16_t[]> block(new char16_t[text.size() + 1]);
  std::memcpy(block.get(), text.c_str(), sizeof(char16_t) * (text.size() + 1));
  return block;
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
  if (c.batch) prefix += BatchPrefix;
  return prefix;
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
               what, at, expected.size(), actual.size(), Printable(input, 300).c_str(),
               Printable(expected.substr(from), 120).c_str(), Printable(actual.substr(from), 120).c_str());
  FuzzFail(__FILE__, __LINE__, "expected == actual", what);
}

void FuzzFail(const char* file, int line, const char* condition, const char* what) {
  std::fprintf(stderr, "\nINVARIANT FAILED at %s:%d: %s\n  check: %s\n", file, line, what,
               condition);
  std::fflush(stderr);
  std::abort();
}
