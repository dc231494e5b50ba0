// The one writer: every append keeps to the room, pieces go in whole, a
// surrogate pair is never split, and nothing follows the first cut.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "kelvo/limits.h"
#include "kelvo/result_buffer.h"
#include "test_support.h"

namespace {

std::u16string Filled(int n) { return std::u16string(static_cast<size_t>(n), u'x'); }

// A buffer of MAX_ARG_LEN slots that already holds text.
struct FullBuffer {
  std::vector<char16_t> storage = std::vector<char16_t>(MAX_ARG_LEN, u'#');
  ResultBuffer rb;
  explicit FullBuffer(const std::u16string& text) {
    ResultInit(&rb, storage.data(), MAX_ARG_LEN);
    ResultAppendRun(&rb, text.data(), static_cast<int>(text.size()));
  }
  std::u16string Text() {
    ResultFinish(&rb);
    return std::u16string(storage.data());
  }
};

TEST(ResultBufferTest, UnitStopsAtTheLastTextSlot) {
  FullBuffer b(Filled(MAX_TEXT_LEN - 1));
  EXPECT_TRUE(ResultAppendUnit(&b.rb, u'y'));
  EXPECT_FALSE(ResultAppendUnit(&b.rb, u'z'));
  EXPECT_TRUE(SameText(Filled(MAX_TEXT_LEN - 1) + u"y", b.Text()));
  EXPECT_EQ(0, b.storage[MAX_TEXT_LEN]);
}

TEST(ResultBufferTest, EntityAndTagGoInWhole) {
  char16_t storage[MAX_ARG_LEN];
  ResultBuffer rb;
  ResultInit(&rb, storage, MAX_ARG_LEN);
  EXPECT_TRUE(ResultAppendEntity(&rb, u"amp;", 4));
  ResultFinish(&rb);
  EXPECT_EQ(std::u16string(u"\uFF06amp;"), std::u16string(storage));
  ResultInit(&rb, storage, MAX_ARG_LEN);
  EXPECT_TRUE(ResultAppendTag(&rb, u"p", 1));
  EXPECT_TRUE(ResultAppendClosingTag(&rb, u"p", 1));
  ResultFinish(&rb);
  EXPECT_EQ(std::u16string(u"\uFF1Cp\uFF1E\uFF1C/p\uFF1E"), std::u16string(storage));
}

// Near the end of the buffer an entity or tag that does not fit whole
// leaves the text as it was, never a broken piece.
TEST(ResultBufferTest, PiecesThatDoNotFitLeaveTheBufferUnchanged) {
  for (int room = 0; room <= 6; ++room) {
    const std::u16string text = Filled(MAX_TEXT_LEN - room);
    FullBuffer entity(text);
    ResultAppendEntity(&entity.rb, u"nbsp;", 5);  // needs 6
    EXPECT_TRUE(SameText(room >= 6 ? text + u"\uFF06nbsp;" : text, entity.Text())) << room;

    FullBuffer tag(text);
    ResultAppendTag(&tag.rb, u"div", 3);  // needs 5
    EXPECT_TRUE(SameText(room >= 5 ? text + u"\uFF1Cdiv\uFF1E" : text, tag.Text())) << room;
  }
}

TEST(ResultBufferTest, ClosedAfterAPieceDidNotFit) {
  char16_t storage[8];
  ResultBuffer rb;
  ResultInit(&rb, storage, 8);
  EXPECT_TRUE(ResultAppendRun(&rb, u"abcd", 4));
  EXPECT_FALSE(ResultAppendEntity(&rb, u"amp;", 4));  // needs 5, room 3
  EXPECT_FALSE(ResultAppendUnit(&rb, u'e'));          // nothing after a cut piece
  ResultFinish(&rb);
  EXPECT_EQ(std::u16string(u"abcd"), std::u16string(storage));

  ResultInit(&rb, storage, 8);
  EXPECT_FALSE(ResultAppendRun(&rb, u"abcdefghij", 10));  // plain text cut one by one
  ResultFinish(&rb);
  EXPECT_EQ(std::u16string(u"abcdefg"), std::u16string(storage));
  EXPECT_EQ(7, rb.length);
}

// A pair whose low half would take slot 16383 is taken out whole; one
// that ends in slot 16382 stays. The same for each way of writing plain
// units, the fast paths' direct writes included.
TEST(ResultBufferTest, SurrogatePairAtTheEndStaysWhole) {
  const std::u16string pair = u"\U0001F600";
  for (int before : {MAX_TEXT_LEN - 3, MAX_TEXT_LEN - 2, MAX_TEXT_LEN - 1}) {
    const std::u16string expected = Filled(before) + (before + 2 <= MAX_TEXT_LEN ? pair : u"");
    const std::u16string withZ = before + 3 <= MAX_TEXT_LEN ? expected + u"z" : expected;
    SCOPED_TRACE(before);

    FullBuffer units(Filled(before));
    ResultAppendUnit(&units.rb, pair[0]);
    ResultAppendUnit(&units.rb, pair[1]);
    ResultAppendUnit(&units.rb, u'z');  // nothing after a cut
    EXPECT_TRUE(SameText(withZ, units.Text()));

    FullBuffer run(Filled(before));
    ResultAppendRun(&run.rb, (pair + u"z").data(), 3);
    EXPECT_TRUE(SameText(withZ, run.Text()));

    FullBuffer direct(Filled(before));
    const int room = ResultRoom(&direct.rb);
    const int written = room < 2 ? room : 2;
    for (int i = 0; i < written; ++i) ResultCursor(&direct.rb)[i] = pair[static_cast<size_t>(i)];
    ResultCommit(&direct.rb, written);
    if (written < 2) ResultCut(&direct.rb, pair[static_cast<size_t>(written)]);
    EXPECT_TRUE(SameText(expected, direct.Text()));
  }
  // A lone high surrogate before a unit that is not its low half stays.
  FullBuffer lone(Filled(MAX_TEXT_LEN - 1));
  ResultAppendUnit(&lone.rb, 0xD83D);
  ResultAppendUnit(&lone.rb, u'z');
  EXPECT_TRUE(SameText(Filled(MAX_TEXT_LEN - 1) + u"\xD83D", lone.Text()));
}

// Any mix of appends at any capacity gives a prefix of what a large
// enough buffer holds, ending on a whole piece and a whole pair.
TEST(ResultBufferTest, CutResultIsAWholePrefix) {
  const std::u16string pieces[] = {u"\uFF06amp;", u"\uFF1Cb\uFF1E", u"\uFF05" u"2F"};
  const std::u16string runs[] = {u"ab", u"\U0001F600", u"x\U0001F600y", u"\xD800", u"\xDC00", u"\U0001F600\U0001F601"};
  std::mt19937 random(5);
  for (int round = 0; round < 2000; ++round) {
    // A sequence of appends: kind 0 a unit, 1 a run, 2 a piece.
    std::vector<std::pair<int, std::u16string>> steps;
    for (int n = static_cast<int>(random() % 8); n > 0; --n) {
      const int kind = static_cast<int>(random() % 3);
      steps.emplace_back(kind, kind == 2 ? pieces[random() % 3] : runs[random() % 6].substr(0, kind == 0 ? 1 : 8));
    }
    // Writes the steps at a capacity; inside marks the positions that
    // lie strictly within a piece, where no cut may fall.
    auto write = [&](int capacity, std::vector<bool>* inside) {
      std::vector<char16_t> storage(static_cast<size_t>(capacity));
      ResultBuffer rb;
      ResultInit(&rb, storage.data(), capacity);
      for (const auto& [kind, text] : steps) {
        const int n = static_cast<int>(text.size());
        const int from = rb.length;
        if (kind == 0) ResultAppendUnit(&rb, text[0]);
        if (kind == 1) ResultAppendRun(&rb, text.data(), n);
        if (kind == 2) ResultAppendPiece(&rb, text.data(), n);
        if (inside == nullptr) continue;
        inside->resize(static_cast<size_t>(rb.length) + 1, false);
        for (int i = from + 1; kind == 2 && i < rb.length; ++i) (*inside)[static_cast<size_t>(i)] = true;
      }
      ResultFinish(&rb);
      return std::u16string(storage.data());
    };
    std::vector<bool> inside(1, false);
    const std::u16string full = write(64, &inside);
    for (int capacity = 1; capacity <= static_cast<int>(full.size()) + 1; ++capacity) {
      const std::u16string cut = write(capacity, nullptr);
      ASSERT_LE(cut.size(), static_cast<size_t>(capacity - 1));
      ASSERT_EQ(full.substr(0, cut.size()), cut) << round << " at " << capacity;
      ASSERT_FALSE(inside[cut.size()]) << "a piece cut at " << capacity;
      if (!cut.empty() && cut.size() < full.size()) {
        ASSERT_FALSE(IsHighSurrogate(cut.back()) && IsLowSurrogate(full[cut.size()])) << "a pair split at " << capacity;
      }
    }
  }
}

// A part keeps room for what follows it, and a cut inside the part does
// not close the whole.
TEST(ResultBufferTest, PartLeavesRoomForWhatFollows) {
  char16_t storage[12];
  ResultBuffer rb;
  ResultInit(&rb, storage, 12);
  ResultAppendTag(&rb, u"p", 1);
  ResultBuffer body = ResultPart(&rb, 4);
  EXPECT_FALSE(ResultAppendRun(&body, u"abcdefgh", 8));
  ResultJoinPart(&rb, body);
  EXPECT_TRUE(ResultAppendClosingTag(&rb, u"p", 1));
  ResultFinish(&rb);
  EXPECT_EQ(std::u16string(u"\uFF1Cp\uFF1Eabcd\uFF1C/p\uFF1E"), std::u16string(storage));
}

}  // namespace
