// Keep-set tables of @HEXENC.
#include "convert/hex_keepset.h"

#include <array>
#include <cstring>

#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/text.h"

namespace {

// Letters and digits of U+0000..U+00FF: ASCII letters and digits, the
// superscript digits, and the Latin-1 letters without the two operators.
constexpr bool IsLatin1Alnum(int c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c == 0xB2 || c == 0xB3 || c == 0xB9 || (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
}

constexpr char16_t DefaultKeepChars[] = u"#$+-./:;=?@_";

constexpr HexOutput Copied(int c) { return HexOutput(c) | HexOutput(1) << 48; }

constexpr HexOutput Escaped(int c) {
  return HexOutput(MARK_PERCENT) | HexOutput(HexUpperDigit(c >> 4)) << 16 |
         HexOutput(HexUpperDigit(c & 0xF)) << 32 | HexOutput(3) << 48;
}

constexpr std::array<HexOutput, 256> BuildLatin1Table(bool withDefaultKeep) {
  std::array<HexOutput, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = IsLatin1Alnum(c) ? Copied(c) : Escaped(c);
  if (withDefaultKeep)
    for (const char16_t* k = DefaultKeepChars; *k != 0; ++k) table[*k] = Copied(*k);
  return table;
}

constexpr std::array<HexOutput, 256> AlnumOnly = BuildLatin1Table(false);
constexpr std::array<HexOutput, 256> DefaultKeep = BuildLatin1Table(true);

// A usable keep character of U+0000..U+FFFF: not alphanumeric, above the
// blank, not '%', not a surrogate.
inline bool IsUsableKeepChar(char16_t k) {
  return k > 0x20 && k != u'%' && !IsAlnumChar(k) && !IsSurrogate(k);
}

}  // namespace

bool HexLatin1IsAlnum(char16_t c) { return c <= 0xFF && IsLatin1Alnum(c); }

void BuildHexKeepSet(HexKeepSet* set, HexKeepStorage* storage, const char16_t* value) {
  if (value == nullptr) {
    set->latin1 = DefaultKeep.data();
    set->high = nullptr;
    set->beyond = nullptr;
    set->beyondCount = 0;
    return;
  }

  // A value with no usable character gives an empty keep-set, not the
  // default one. Its characters are taken unfolded; a fullwidth form
  // that the input folds can therefore never match.
  std::memcpy(storage->latin1, AlnumOnly.data(), sizeof storage->latin1);
  set->latin1 = storage->latin1;
  set->high = nullptr;
  set->beyond = storage->beyond;
  set->beyondCount = 0;
  for (int i = 0; i < SMALL_BUF_LEN - 1 && value[i] != 0; ++i) {
    char16_t k = value[i];
    // A pair is one character; value[i + 1] is at worst the terminator.
    if (IsHighSurrogate(k) && IsLowSurrogate(value[i + 1])) {
      storage->beyond[set->beyondCount++] = PairCharacter(k, value[i + 1]);
      ++i;
      continue;
    }
    if (!IsUsableKeepChar(k)) continue;
    if (k <= 0xFF) {
      storage->latin1[k] = Copied(k);
      continue;
    }
    if (set->high == nullptr) {
      std::memset(storage->high, 0, sizeof storage->high);
      set->high = storage->high;
    }
    storage->high[k >> 6] |= uint64_t(1) << (k & 63);
  }
}
