// Reading the text of batch files and input lines: the encodings a
// Windows user's files come in, and the three kinds of line end.

#include <string>

#include "shell.h"
#include "utf_convert.h"

namespace shell {
namespace {

bool StartsWith(const std::string& bytes, const char* prefix, size_t length) {
  return bytes.size() >= length && bytes.compare(0, length, prefix, length) == 0;
}

std::u16string FromUtf16(const std::string& bytes, size_t begin, bool bigEndian) {
  std::u16string text;
  text.reserve((bytes.size() - begin) / 2);
  size_t i = begin;
  for (; i + 1 < bytes.size(); i += 2) {
    unsigned char first = static_cast<unsigned char>(bytes[i]);
    unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first));
  }
  if (i < bytes.size()) text.push_back(0xFFFD);  // an odd byte at the end
  return text;
}

}  // namespace

std::u16string DecodeLineBytes(const char* bytes, size_t length) {
  return utf::IsUtf8(bytes, length) ? utf::To16(bytes, length) : utf::From1252(bytes, length);
}

std::u16string DecodeBatchText(const std::string& bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) return utf::To16(bytes.data() + 3, bytes.size() - 3);
  if (StartsWith(bytes, "\xFF\xFE", 2)) return FromUtf16(bytes, 2, false);
  if (StartsWith(bytes, "\xFE\xFF", 2)) return FromUtf16(bytes, 2, true);
  return DecodeLineBytes(bytes.data(), bytes.size());
}

bool NextLine(const std::u16string& text, size_t& at, std::u16string& line) {
  if (at >= text.size()) return false;
  size_t end = text.find_first_of(u"\r\n", at);
  if (end == std::u16string::npos) end = text.size();
  line.assign(text, at, end - at);
  at = end;
  if (at < text.size() && text[at] == u'\r') {
    ++at;
    if (at < text.size() && text[at] == u'\n') ++at;
  } else if (at < text.size()) {
    ++at;  // '\n'
  }
  return true;
}

}  // namespace shell
