// @HEXENC and @HEXDEC.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "convert/hex_keepset.h"
#include "convert/hexdec_decode.h"
#include "function_call.h"
#include "kelvo/charclass.h"
#include "kelvo/cpu.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "reference_conversions.h"
#include "test_support.h"

namespace {

class HexTest : public HostFixture {};


struct EncodeRow {
  const char* keep;  // HEXENC_KEEP in UTF-8, or null for unset
  std::u16string input;
  std::u16string expected;
};

// U+FF05 and two digits.
std::u16string Esc(const char16_t* digits) { return u"\uFF05" + std::u16string(digits); }

std::u16string Blanks(int n) { return std::u16string(static_cast<size_t>(n), u' '); }
std::u16string Letters(int n) { return std::u16string(static_cast<size_t>(n), u'a'); }

void ExpectEncodeRows(const EncodeRow* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const EncodeRow& row = rows[i];
    if (row.keep != nullptr) {
      StandInSetVariable("HEXENC_KEEP", row.keep);
    } else {
      StandInUnsetVariable("HEXENC_KEEP");
    }
    std::string label = "keep " + std::string(row.keep ? row.keep : "(unset)") + " input " +
                        Printable(row.input.substr(0, 40)) + " (" + std::to_string(row.input.size()) + ")";
    FunctionCall call = CallFunction(f_hexenc, row.input);
    EXPECT_EQ(0, call.result) << label;
    EXPECT_U16EQ(row.expected, call.buffer) << label;
    EXPECT_U16EQ(u"", call.err) << label;
  }
  StandInUnsetVariable("HEXENC_KEEP");
}

TEST_F(HexTest, Encode) {
  const std::string tooLong(1024, '!');
  const std::string longest(1023, '!');
  const EncodeRow rows[] = {
      {nullptr, u"This is a test.", u"This" + Esc(u"20") + u"is" + Esc(u"20") + u"a" + Esc(u"20") + u"test."},
      {nullptr, u"", u""},
      {nullptr, u"%", Esc(u"25")},
      {nullptr, u"\uFF05", Esc(u"25")},
      {nullptr, u"\uFF1Cp\uFF1E", Esc(u"3C") + u"p" + Esc(u"3E")},
      {nullptr, u"\uFF10\uFF11\uFF19\uFF1A", u"019:"},
      {nullptr, u"\u00E9\u00B2", u"\u00E9\u00B2"},
      {nullptr, u"\u00D7\u00A0\u00F7", Esc(u"D7") + Esc(u"A0") + Esc(u"F7")},
      {nullptr, u"\u00AA\u00B5\u00BA", Esc(u"AA") + Esc(u"B5") + Esc(u"BA")},
      {nullptr, u"\u2014\u20AC", u""},
      {nullptr, u"\u03B1\u03A9\u0436", u"\u03B1\u03A9\u0436"},
      {nullptr, u"\t\r\n", Esc(u"09") + Esc(u"0D") + Esc(u"0A")},
      {nullptr, u"\x01\x7F", Esc(u"01") + Esc(u"7F")},
      {nullptr, u"#$+-./:;=?@_", u"#$+-./:;=?@_"},
      {nullptr, u"!&<>~",
       Esc(u"21") + Esc(u"26") + Esc(u"3C") + Esc(u"3E") + Esc(u"7E")},
      // Fullwidth forms outside U+FF01..U+FF1F are not folded: the letter
      // is alphanumeric, the commercial at is dropped.
      {nullptr, u"\uFF21\uFF20\uFF00", u"\uFF21"},
      // Code units are classed one by one: surrogates are not alphanumeric.
      {nullptr, u"a\xD83D\xDE00z", u"az"},
      {" %ab!", u"a b!.c%", u"a" + Esc(u"20") + u"b!" + Esc(u"2E") + u"c" + Esc(u"25")},
      {"abc", u".", Esc(u"2E")},
      {"\u2014", u"\u2014x\u2015", u"\u2014x"},
      {"\U0001F600", u"a\xD83D\xDE00z", u"a\xD83D\xDE00z"},
      // A fullwidth form that the input folds never matches.
      {"\uFF0E", u".\uFF0E", Esc(u"2E") + Esc(u"2E")},
      {"\u00D7", u"\u00D7\u00F7", u"\u00D7" + Esc(u"F7")},
      // A value that does not fit the read buffer counts as absent.
      {tooLong.c_str(), u"!.", Esc(u"21") + u"."},
      {longest.c_str(), u"!.", u"!" + Esc(u"2E")},
  };
  ExpectEncodeRows(rows, std::size(rows));
}

// An escape goes in whole or not at all, and nothing follows one that
// did not fit.
TEST_F(HexTest, EncodeCutsAtTheLastWholeEscape) {
  const EncodeRow rows[] = {
      {nullptr, Blanks(5461), Repeat(Esc(u"20"), 5461)},
      {nullptr, u"a" + Blanks(5461), u"a" + Repeat(Esc(u"20"), 5460)},
      {nullptr, Letters(16383), Letters(16383)},
      {nullptr, Letters(16382) + u" ", Letters(16382)},
      {nullptr, u"aa" + Blanks(5460) + u"b", u"aa" + Repeat(Esc(u"20"), 5460) + u"b"},
      {nullptr, u"aa" + Blanks(5460) + u" b", u"aa" + Repeat(Esc(u"20"), 5460)},
      {nullptr, Letters(16381) + u"\uFF10\uFF11\uFF12", Letters(16381) + u"01"},
  };
  ExpectEncodeRows(rows, std::size(rows));
  EXPECT_EQ(16381u, CallFunction(f_hexenc, u"a" + Blanks(5461)).buffer.size());
}

TEST_F(HexTest, KeepSetIsReadOnEveryCall) {
  StandInSetVariable("HEXENC_KEEP", "!");
  EXPECT_U16EQ(u"!" + Esc(u"2E"), CallFunction(f_hexenc, u"!.").buffer);
  StandInSetVariable("HEXENC_KEEP", ".");
  EXPECT_U16EQ(Esc(u"21") + u".", CallFunction(f_hexenc, u"!.").buffer);
  StandInUnsetVariable("HEXENC_KEEP");
  EXPECT_U16EQ(Esc(u"21") + u".", CallFunction(f_hexenc, u"!.").buffer);
}

TEST_F(HexTest, Latin1TablesFollowTheCharacterClasses) {
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(IsAlnumChar(static_cast<char16_t>(c)), HexLatin1IsAlnum(static_cast<char16_t>(c))) << c;
}

struct DecodeRow {
  std::u16string input;
  std::u16string expected;
};

TEST_F(HexTest, Decode) {
  const DecodeRow rows[] = {
      {u"This%20is%20a%20test.", u"This is a test."},
      {u"%41%62%2f%2F", u"Ab//"},
      {u"%4", u"%4"},
      {u"%zz%", u"%zz%"},
      {u"%g1%1g", u"%g1%1g"},
      {u"100%", u"100%"},
      {u"%00x", u"?x"},
      {u"%%41", u"%A"},
      {u"\uFF0541", u"A"},
      {u"\uFF1Cp\uFF1E", u"<p>"},
      {u"%C3%A9", u"\u00C3\u00A9"},
      {u"%ff%FF", u"\u00FF\u00FF"},
      // The digits are taken as they stand, then folded as plain text.
      {u"%\uFF14\uFF11", u"%41"},
      {u"%4\uFF11", u"%41"},
      {u"%\uFF141", u"%41"},
      {u"\uFF05\uFF05\uFF14\uFF11", u"%%41"},
      {u"\xD800%41\xDC00", u"\xD800" u"A\xDC00"},
      {u"", u""},
      {Repeat(u"%41", 5461), std::u16string(5461, u'A')},
      {Repeat(u"x%2", 5461), Repeat(u"x%2", 5461)},
  };
  for (const DecodeRow& row : rows) {
    FunctionCall call = CallFunction(f_hexdec, row.input);
    EXPECT_EQ(0, call.result) << Printable(row.input.substr(0, 40));
    EXPECT_U16EQ(row.expected, call.buffer) << Printable(row.input.substr(0, 40));
    EXPECT_U16EQ(u"", call.err);
  }
}

TEST_F(HexTest, DecodeReadsNoFurtherThanTheLastSlot) {
  // No terminator: the digit in the last slot is never read.
  const std::u16string lead(MAX_TEXT_LEN - 2, u'a');
  FunctionCall call = CallFunction(f_hexdec, lead + u"%41");
  EXPECT_EQ(0, call.result);
  EXPECT_U16EQ(lead + u"%4", call.buffer);
}

TEST_F(HexTest, RefusedUnderUnicodeOutput) {
  StandInSetUnicodeOutput(1);
  for (VariableFunction function : {f_hexenc, f_hexdec}) {
    FunctionCall call = CallFunction(function, u"a b%20");
    EXPECT_EQ(-2, call.result);
    EXPECT_U16EQ(u"a b%20", call.buffer);
    EXPECT_U16EQ(kUnicodeRefused, call.err);
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
    EXPECT_LE(decoded.buffer.size(), std::min<size_t>(length, MAX_TEXT_LEN));

    FunctionCall encoded = CallFunction(f_hexenc, text);
    EXPECT_EQ(0, encoded.result);
    ASSERT_LE(encoded.buffer.size(), static_cast<size_t>(MAX_TEXT_LEN));
    const std::u16string& out = encoded.buffer;
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
  auto blocks = [](char16_t* b) { HexDecodeBlocks(b); };

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
#if defined(__x86_64__) && KELVO_VECTOR_SSE2
  // Every x86-64 processor we test on has SSSE3: the block path must be
  // the one found, or this test would compare the one-unit path twice.
  EXPECT_TRUE(HexDecodeBlocksSupported());
#elif !KELVO_VECTOR_SSE2
  // Built without the vector paths, nothing may choose them.
  EXPECT_FALSE(HexDecodeBlocksSupported());
#endif
  for (const std::u16string& text : texts) {
    const std::u16string expected = reference::HexDecode(text);
    EXPECT_U16EQ(expected, decodeWith(units, text)) << Printable(text.substr(0, 40));
    if (HexDecodeBlocksSupported()) {
      EXPECT_U16EQ(expected, decodeWith(blocks, text)) << Printable(text.substr(0, 40));
    }
  }
}

}  // namespace
