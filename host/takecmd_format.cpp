// printf-style formatting over UTF-16 for Qprintf, Printf and Sprintf.

#include <cstdarg>
#include <string>

#include "takecmd_internal.h"

namespace takecmd {
namespace {

struct FieldFormat {
  bool leftAlign = false;
  bool zeroPad = false;
  size_t width = 0;
  bool hasPrecision = false;
  size_t precision = 0;
  bool isLong = false;
};

// Widths and precisions beyond this are clamped; the output is bounded
// by the limit anyway.
constexpr size_t MAX_FIELD = size_t(MAX_ARG_LEN);

size_t ReadNumber(const char16_t*& p) {
  size_t n = 0;
  while (*p >= u'0' && *p <= u'9') {
    n = n * 10 + size_t(*p - u'0');
    if (n > MAX_FIELD) n = MAX_FIELD;
    ++p;
  }
  return n;
}

void AppendField(std::u16string& out, const char16_t* text, size_t length, const FieldFormat& field,
                 size_t limit, bool numeric) {
  size_t pad = field.width > length ? field.width - length : 0;
  char16_t fill = (field.zeroPad && numeric && !field.leftAlign) ? u'0' : u' ';
  if (!field.leftAlign) {
    // A sign stays in front of zero padding.
    if (fill == u'0' && length > 0 && text[0] == u'-') {
      AppendBounded(out, text, 1, limit);
      ++text;
      --length;
    }
    AppendBounded(out, std::u16string(pad < limit ? pad : limit, fill), limit);
  }
  AppendBounded(out, text, length, limit);
  if (field.leftAlign) AppendBounded(out, std::u16string(pad < limit ? pad : limit, u' '), limit);
}

void AppendUnsigned(std::u16string& digits, unsigned long long value, unsigned base, bool upper) {
  char16_t buffer[32];
  int n = 0;
  do {
    unsigned d = unsigned(value % base);
    buffer[n++] = char16_t(d < 10 ? u'0' + d : (upper ? u'A' : u'a') + d - 10);
    value /= base;
  } while (value != 0);
  while (n > 0) digits.push_back(buffer[--n]);
}

}  // namespace

std::u16string FormatText(const char16_t* format, va_list args, size_t limit) {
  std::u16string out;
  if (format == nullptr) return out;
  const char16_t* p = format;
  while (*p != 0 && out.size() < limit) {
    const char16_t* run = p;
    while (*p != 0 && *p != u'%') ++p;
    AppendBounded(out, run, size_t(p - run), limit);
    if (*p == 0) break;
    const char16_t* specStart = p;
    ++p;  // '%'
    if (*p == u'%') {
      AppendBounded(out, u"%", 1, limit);
      ++p;
      continue;
    }
    FieldFormat field;
    for (;; ++p) {
      if (*p == u'-') field.leftAlign = true;
      else if (*p == u'0') field.zeroPad = true;
      else break;
    }
    field.width = ReadNumber(p);
    if (*p == u'.') {
      ++p;
      field.hasPrecision = true;
      field.precision = ReadNumber(p);
    }
    while (*p == u'l' || *p == u'h') {
      if (*p == u'l') field.isLong = true;
      ++p;
    }
    char16_t conversion = *p;
    if (conversion == 0) {
      // A format that ends inside a conversion is written as it stands.
      AppendBounded(out, specStart, size_t(p - specStart), limit);
      break;
    }
    ++p;
    switch (conversion) {
      case u's': {
        const char16_t* text = va_arg(args, const char16_t*);
        if (text == nullptr) text = u"(null)";
        size_t cap = field.hasPrecision ? field.precision : limit;
        size_t length = 0;
        while (length < cap && length <= limit && text[length] != 0) ++length;
        AppendField(out, text, length, field, limit, false);
        break;
      }
      case u'd':
      case u'i': {
        long long value = field.isLong ? va_arg(args, long) : va_arg(args, int);
        std::u16string digits;
        unsigned long long magnitude =
            value < 0 ? 0ULL - (unsigned long long)value : (unsigned long long)value;
        if (value < 0) digits.push_back(u'-');
        AppendUnsigned(digits, magnitude, 10, false);
        AppendField(out, digits.data(), digits.size(), field, limit, true);
        break;
      }
      case u'u':
      case u'x':
      case u'X': {
        unsigned long long value = field.isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned);
        std::u16string digits;
        AppendUnsigned(digits, value, conversion == u'u' ? 10 : 16, conversion == u'X');
        AppendField(out, digits.data(), digits.size(), field, limit, true);
        break;
      }
      case u'c': {
        char16_t unit = char16_t(va_arg(args, int));
        AppendField(out, &unit, 1, field, limit, false);
        break;
      }
      default:
        // Unknown conversions are written as they stand and take no argument.
        AppendBounded(out, specStart, size_t(p - specStart), limit);
        break;
    }
  }
  return out;
}

}  // namespace takecmd
