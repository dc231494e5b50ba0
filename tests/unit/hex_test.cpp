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
#include "kelvo/plugin.h"
#include "models.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

class HexTest : public HostFixture {};

// U+FF05 and two digits.
std::u16string Esc(const char16_t* digits) { return u"\uFF05" + std::u16string(digits); }

std::u16string Blanks(int n) { return std::u16string(static_cast<size_t>(n), u' '); }


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

  std::vector<std::u16string> texts;
  for (int round = 0; round < 3000; ++round) {
    const size_t length = round % 50 == 0 ? MAX_ARG_LEN - random() % 24 : random() % 40;
    std::u16string text(length, u'x');
    for (char16_t& c : text) c = alphabet[random() % std::size(alphabet)];
    if (round % 7 == 0 && length > 0) text[random() % length] = 0;  // an early terminator
    texts.push_back(text);
  }
  // Escapes across the last blocks and into the tail.
  for (size_t at = MAX_TEXT_LEN - 14; at < MAX_TEXT_LEN; ++at) {
    std::u16string text(MAX_TEXT_LEN, u'x');
    text.replace(at, 3, u"%4a", std::min<size_t>(3, MAX_TEXT_LEN - at));
    texts.push_back(text);
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
