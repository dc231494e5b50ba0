// @HEXENC and @HEXDEC.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "convert/hex_keepset.h"
#include "convert/hexdec_decode.h"
#include "convert/vector_paths.h"
#include "function_call.h"
#include "kelvo/charclass.h"
#include "kelvo/markup.h"
#include "kelvo/plugin.h"
#include "kelvo/result_buffer.h"
#include "models.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

class HexTest : public HostFixture {};

// U+FF05 and two digits.
std::u16string Esc(const char16_t* digits) { return u"\uFF05" + std::u16string(digits); }

std::u16string Blanks(int n) { return std::u16string(static_cast<size_t>(n), u' '); }


const std::u16string DefaultKeep = u"#$+-./:;=?@_";

// A random character from every plane: ASCII (the percent sign and the
// blank often), Latin-1 (U+00D7 and U+0080..U+00BF often), the fullwidth
// forms, the rest of U+0100..U+FFFF, pairs and, when `lone` is set, lone
// surrogates.
std::u16string RandomCharacter(std::mt19937& random, bool lone) {
  auto any = [&](char32_t from, char32_t to) { return from + random() % (to - from + 1); };
  char32_t c;
  switch (random() % 10) {
    case 0: c = random() % 2 == 0 ? u'%' : u' '; break;
    case 1: c = any(1, 0x7F); break;
    case 2: c = 0xD7; break;
    case 3: c = any(0x80, 0xBF); break;
    case 4: c = any(0xC0, 0xFF); break;
    case 5: c = any(0xFF00, 0xFF20); break;
    case 6: c = any(0x100, 0xD7FF); break;
    case 7: c = any(0xE000, 0xFFFF); break;
    case 8: c = any(0x10000, 0x10FFFF); break;
    default: c = lone ? any(0xD800, 0xDFFF) : any(0x20, 0x7E); break;
  }
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

std::u16string RandomText(std::mt19937& random, int characters, bool lone) {
  std::u16string text;
  for (int i = 0; i < characters; ++i) text += RandomCharacter(random, lone);
  return text;
}

// Whether text holds anything that does not come back unchanged: a
// folded fullwidth form, a surrogate (pairs aside) or U+00D7.
bool ComesBackChanged(const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsFoldedFullwidth(c) || c == 0xD7) return true;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

// @HEXDEC gives back what @HEXENC wrote: the text itself, but for the
// folded fullwidth forms, lone surrogates (U+FFFD) and U+00D7 before an
// escaped U+0080..U+00BF, whose escapes form one UTF-8 sequence.
TEST_F(HexTest, DecodingTheEncodingGivesTheTextBack) {
  std::mt19937 random(19);
  int unchanged = 0, exceptions = 0;
  for (int round = 0; round < 3000; ++round) {
    const int characters = round % 100 == 0 ? 1200 : 1 + static_cast<int>(random() % 40);
    const std::u16string text = RandomText(random, characters, round % 3 == 0);
    const FunctionCall encoded = CallFunction(f_hexenc, text);
    ASSERT_LT(encoded.text.size(), static_cast<size_t>(MAX_TEXT_LEN - 12));  // not cut
    const FunctionCall decoded = CallFunction(f_hexdec, encoded.text);
    ASSERT_TRUE(SameText(ModelHexRoundTrip(text, DefaultKeep), decoded.text)) << Printable(text, 80);
    if (!ComesBackChanged(text)) {
      ASSERT_TRUE(SameText(text, decoded.text));
      ++unchanged;
    }
    if (decoded.text.find_first_of(u"\u05C0\u05C1\u05C2\u05E0\u05FF") != std::u16string::npos &&
        text.find(u'\xD7') != std::u16string::npos)
      ++exceptions;
  }
  EXPECT_GT(unchanged, 200);
  EXPECT_GT(exceptions, 20);
}

// A result cut at the end of the buffer decodes to a prefix of the text
// that ends on a whole character, and ends only where the next character's
// escapes (or its kept pair) would not fit.
TEST_F(HexTest, CutResultEndsAfterAWholeCharacter) {
  std::mt19937 random(23);
  int cuts = 0;
  for (int round = 0; round < 150; ++round) {
    std::u16string text = RandomText(random, 3000 + static_cast<int>(random() % 3000), true);
    std::replace(text.begin(), text.end(), u'\xD7', u'x');  // no two escapes that form one character
    text.resize(std::min(text.size(), static_cast<size_t>(MAX_TEXT_LEN)));
    const bool keepPairs = round % 2 == 1;
    StandInSetVariable("HEXENC_KEEP", keepPairs ? "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF" : "#$+-./:;=?@_");
    const std::u16string keep = keepPairs ? u"\U0001F600\U0010FFFF" : DefaultKeep;
    const std::u16string pairs[] = {u"\U0001F600", u"\U0010FFFF"};
    for (int k = 0; k < 200; ++k) text.insert(random() % text.size(), pairs[random() % 2]);
    const FunctionCall encoded = CallFunction(f_hexenc, text);
    ASSERT_LE(encoded.text.size(), static_cast<size_t>(MAX_TEXT_LEN));
    const FunctionCall decoded = CallFunction(f_hexdec, encoded.text);
    const std::u16string whole = ModelHexRoundTrip(text, keep);
    ASSERT_TRUE(SameText(whole.substr(0, decoded.text.size()), decoded.text));
    if (decoded.text.size() == whole.size()) continue;
    // Each unit of the text gave one of the decoded result, so the next
    // character starts at the same place in the text.
    const size_t next = decoded.text.size();
    ASSERT_FALSE(IsLowSurrogate(whole[next])) << "cut between the halves of a pair";
    const bool pair = IsHighSurrogate(text[next]) && next + 1 < text.size() && IsLowSurrogate(text[next + 1]);
    const std::u16string nextCharacter = text.substr(next, pair ? 2 : 1);
    EXPECT_GT(encoded.text.size() + ModelHexenc(nextCharacter, keep).size(), static_cast<size_t>(MAX_TEXT_LEN))
        << "cut although " << Printable(nextCharacter) << " fitted";
    ++cuts;
  }
  EXPECT_GT(cuts, 100);
}

// The escapes of bytes, with '%' or U+FF05 and digits in either case as
// `style` picks, one bit each.
std::u16string Escapes(const std::vector<int>& bytes, unsigned style) {
  std::u16string out;
  for (size_t i = 0; i < bytes.size(); ++i, style >>= 2) {
    out += (style & 1) != 0 ? u'\uFF05' : u'%';
    const char16_t* digits = (style & 2) != 0 ? u"0123456789abcdef" : u"0123456789ABCDEF";
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

// Each byte as the one character of its value ("?" for 0).
std::u16string Latin1(const std::vector<int>& bytes) {
  std::u16string out;
  for (int b : bytes) out += b != 0 ? static_cast<char16_t>(b) : u'?';
  return out;
}

std::vector<int> Slice(const std::vector<int>& v, size_t from, size_t to) {
  return std::vector<int>(v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(to));
}

// A sequence of one to four bytes decodes to its character only whole:
// with any byte replaced by one that cannot stand there, by text that is
// no escape, or cut short, every escape is one character of its own.
TEST_F(HexTest, EscapeRunWithABadByteAtEveryPosition) {
  const struct {
    std::vector<int> bytes;
    std::u16string character;
    int narrow;  // a second byte just outside this lead's range, or 0
  } sequences[] = {
      {{0x41}, u"A", 0},
      {{0xC2, 0x80}, u"\u0080", 0},
      {{0xC3, 0xA9}, u"\u00E9", 0},
      {{0xDF, 0xBF}, u"\u07FF", 0},
      {{0xE0, 0xA0, 0x80}, u"\u0800", 0x9F},
      {{0xE2, 0x82, 0xAC}, u"\u20AC", 0},
      {{0xED, 0x9F, 0xBF}, u"\uD7FF", 0xA0},
      {{0xEF, 0xBF, 0xBF}, u"\uFFFF", 0},
      {{0xF0, 0x90, 0x80, 0x80}, u"\U00010000", 0x8F},
      {{0xF0, 0x9F, 0x98, 0x80}, u"\U0001F600", 0x8F},
      {{0xF4, 0x8F, 0xBF, 0xBF}, u"\U0010FFFF", 0x90},
  };
  // Bytes that neither begin nor continue a sequence.
  const int badBytes[] = {0x00, 0x25, 0x41, 0x7F, 0xC0, 0xC1, 0xF5, 0xFF};
  // Texts that are no escape, and what they decode to.
  const std::pair<std::u16string, std::u16string> noEscapes[] = {
      {u"x", u"x"}, {u"%", u"%"}, {u"%4", u"%4"}, {u"%G1", u"%G1"}, {u"%\uFF14\uFF11", u"%41"}};
  int cases = 0;
  auto expect = [&](const std::u16string& input, const std::u16string& expected) {
    // At every lane of the block decoder, after a prefix of 0..8 units.
    const std::u16string prefix(static_cast<size_t>(cases % 9), u'y');
    const FunctionCall call = CallFunction(f_hexdec, prefix + input + u"z");
    EXPECT_TRUE(SameText(prefix + expected + u"z", call.text)) << Printable(input);
    ++cases;
  };
  for (const auto& s : sequences) {
    const size_t n = s.bytes.size();
    for (unsigned style = 0; style < 16; style += 5) {
      expect(Escapes(s.bytes, style), s.character);
      for (size_t k = 0; k < n; ++k) {
        const std::vector<int> before = Slice(s.bytes, 0, k), after = Slice(s.bytes, k + 1, n);
        std::vector<int> bad = s.bytes;
        for (int b : badBytes) {
          bad[k] = b;
          expect(Escapes(bad, style), Latin1(bad));
        }
        if (k == 1 && s.narrow != 0) {
          bad[k] = s.narrow;
          expect(Escapes(bad, style), Latin1(bad));
        }
        for (const auto& [text, decoded] : noEscapes)
          expect(Escapes(before, style) + text + Escapes(after, style >> (2 * k)),
                 Latin1(before) + decoded + Latin1(after));
        if (k > 0) expect(Escapes(before, style), Latin1(before));  // cut short
      }
    }
  }
  EXPECT_GT(cases, 700);
}

TEST_F(HexTest, EncodeCutAfterAWholeEscape) {
  EXPECT_EQ(16381u, CallFunction(f_hexenc, u"a" + Blanks(5461)).text.size());
}

TEST_F(HexTest, KeepSetIsReadOnEveryCall) {
  StandInSetVariable("HEXENC_KEEP", "!");
  EXPECT_U16EQ(u"!" + Esc(u"2E"), CallFunction(f_hexenc, u"!.").text);
  StandInSetVariable("HEXENC_KEEP", ".");
  EXPECT_U16EQ(Esc(u"21") + u".", CallFunction(f_hexenc, u"!.").text);
  StandInUnsetVariable("HEXENC_KEEP");
  EXPECT_U16EQ(Esc(u"21") + u".", CallFunction(f_hexenc, u"!.").text);
}

TEST_F(HexTest, Latin1TablesFollowTheCharacterClasses) {
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(IsAlnumChar(static_cast<char16_t>(c)), HexLatin1IsAlnum(static_cast<char16_t>(c))) << c;
}


TEST_F(HexTest, DecodeReadsNoFurtherThanTheLastSlot) {
  // No terminator: the digit in the last slot is never read.
  const std::u16string lead(MAX_TEXT_LEN - 2, u'a');
  FunctionCall call = CallFunction(f_hexdec, lead + u"%41");
  EXPECT_EQ(0, call.result);
  EXPECT_U16EQ(lead + u"%4", call.text);
}

TEST_F(HexTest, RefusedUnderUnicodeOutput) {
  StandInSetUnicodeOutput(1);
  for (ExportedFunction function : {f_hexenc, f_hexdec}) {
    FunctionCall call = CallFunction(function, u"a b%20");
    EXPECT_EQ(-2, call.result);
    EXPECT_U16EQ(u"a b%20", call.text);
    EXPECT_U16EQ(UnicodeRefused, call.err);
  }
  EXPECT_EQ(-1, f_hexenc(nullptr));
  EXPECT_EQ(-1, f_hexdec(nullptr));
}

// Any code units, up to a buffer without terminator: the decoder never
// grows the text, and every escape the encoder writes is whole.
TEST_F(HexTest, ArbitraryCodeUnits) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    size_t length = round % 2 == 0 ? MAX_ARG_LEN : 1 + random() % MAX_TEXT_LEN;
    std::u16string text(length, u' ');
    for (char16_t& c : text) {
      // Mostly the interesting units, some anything at all.
      const char16_t pick[] = {u'%', 0xFF05, u'4', u'f', u'G', u' ', 0xFF11, 0xD800, 0xDFFF, 0x00D7};
      c = random() % 4 == 0 ? static_cast<char16_t>(1 + random() % 0xFFFF) : pick[random() % std::size(pick)];
    }
    FunctionCall decoded = CallFunction(f_hexdec, text);
    EXPECT_EQ(0, decoded.result);
    EXPECT_LE(decoded.text.size(), std::min<size_t>(length, MAX_TEXT_LEN));

    FunctionCall encoded = CallFunction(f_hexenc, text);
    EXPECT_EQ(0, encoded.result);
    ASSERT_LE(encoded.text.size(), static_cast<size_t>(MAX_TEXT_LEN));
    const std::u16string& out = encoded.text;
    for (size_t i = 0; i < out.size(); ++i) {
      if (out[i] != 0xFF05) continue;
      ASSERT_LT(i + 2, out.size()) << "escape cut at the end, round " << round;
      EXPECT_TRUE(std::u16string(u"0123456789ABCDEF").find(out[i + 1]) != std::u16string::npos);
      EXPECT_TRUE(std::u16string(u"0123456789ABCDEF").find(out[i + 2]) != std::u16string::npos);
    }
  }
}

// The block decoder and the one-unit decoder against a plain reading of
// the rules, on texts dense in escapes and in the units that the block
// decoder's narrowing to bytes could confuse with digits (units whose low
// byte is a digit, units that saturate to 0 or 0xFF), at every alignment,
// up to full buffers whose last blocks leave escapes to the tail.
TEST_F(HexTest, BlockAndUnitDecodersAgree) {
  const char16_t alphabet[] = {u'%',    0xFF05, u'0',   u'9',   u'a',   u'f',   u'A',   u'F',   u'g',
                               u'G',    u'/',   u':',   u'@',   u'`',   u'x',   u' ',   0x0130, 0x0141,
                               0x8030,  0xFF41, 0xFF10, 0xFF01, 0xFF1F, 0xFF20, 0xFF00, 0xD800, 0xFFFF};
  std::mt19937 random(11);
  auto decodeWith = [](void (*decode)(char16_t*), const std::u16string& text) {
    std::vector<char16_t> buffer(MAX_ARG_LEN, u'Z');  // exactly an ArgBuffer: overruns are caught
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), buffer.size())),
              buffer.begin());
    if (text.size() < buffer.size()) buffer[text.size()] = 0;
    buffer[MAX_TEXT_LEN] = 0;
    const std::vector<char16_t> before = buffer;
    decode(buffer.data());
    // Nothing is written after the text's terminator.
    const size_t end = std::u16string(before.data()).size();
    EXPECT_TRUE(std::equal(before.begin() + static_cast<std::ptrdiff_t>(end) + 1, before.end(),
                           buffer.begin() + static_cast<std::ptrdiff_t>(end) + 1))
        << Printable(text.substr(0, 40));
    return std::u16string(buffer.data());
  };
  auto units = [](char16_t* b) { HexDecodeUnits(b, b); };
  auto blocks = [](char16_t* b) { HexDecodeBlocks(b, b + MAX_ARG_LEN, b); };

  // Escapes of the bytes that begin and continue UTF-8 sequences, whole
  // and cut short, so that sequences, broken ones and their neighbours
  // fall at every lane of a block.
  const std::u16string pieces[] = {u"%C3", u"%a9", u"%E2", u"%82", u"\uFF05F0", u"%9F", u"%98",
                                   u"%80", u"%BF", u"%ED", u"%A0", u"%F4",       u"%8f", u"%90",
                                   u"%C0", u"%E0", u"%D7", u"%DF", u"%F5",       u"%00", u"%8",
                                   u"%",   u"x",   u"yA9", u"-bf", u"\uFF19", std::u16string(1, 0)};
  std::vector<std::u16string> texts;
  for (int round = 0; round < 3000; ++round) {
    const size_t length = round % 50 == 0 ? MAX_ARG_LEN - random() % 24 : random() % 40;
    std::u16string text(length, u'x');
    for (char16_t& c : text) c = alphabet[random() % std::size(alphabet)];
    if (round % 7 == 0 && length > 0) text[random() % length] = 0;  // an early terminator
    texts.push_back(text);
  }
  for (int round = 0; round < 3000; ++round) {
    const size_t length = round % 50 == 0 ? MAX_ARG_LEN - random() % 24 : random() % 60;
    std::u16string text;
    while (text.size() < length) text += pieces[random() % (std::size(pieces) - (round % 7 == 0 ? 0 : 1))];
    texts.push_back(text.substr(0, length));
  }
  // Escapes and sequences across the last blocks and into the tail, at
  // every lane.
  for (const std::u16string escapes : {u"%4a", u"%C3%A9", u"%c3%a9%41", u"%E2%82%AC", u"%F0%9F%98%80"}) {
    for (size_t at = MAX_TEXT_LEN - 40; at < MAX_TEXT_LEN; ++at) {
      std::u16string text(MAX_TEXT_LEN, u'x');
      text.replace(at, escapes.size(), escapes, 0, std::min(escapes.size(), MAX_TEXT_LEN - at));
      texts.push_back(text);
    }
  }
#if KELVO_SSE2 && defined(__x86_64__)
  // Every x86-64 processor we test on has SSSE3: the block path must be
  // the one found, or this test would compare the one-unit path twice.
  EXPECT_TRUE(HexDecodeBlocksSupported());
#elif !KELVO_SSE2
  // Built without the vector paths, nothing may choose them.
  EXPECT_FALSE(HexDecodeBlocksSupported());
#endif
  for (const std::u16string& text : texts) {
    const std::u16string expected = ModelHexdec(text.c_str());
    EXPECT_U16EQ(expected, decodeWith(units, text)) << Printable(text.substr(0, 40));
    if (HexDecodeBlocksSupported()) {
      EXPECT_U16EQ(expected, decodeWith(blocks, text)) << Printable(text.substr(0, 40));
    }
  }
}

}  // namespace
