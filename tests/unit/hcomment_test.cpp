// @HCOMMENT read as an HTML parser reads it: every short text of the
// characters that matter becomes one comment, with the fewest blanks.
// Its examples are in function_examples.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comment_reading.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

class HcommentTest : public HostFixture {};

// The comment as the console prints it, read by the comment states of an
// HTML parser: it must end at its own end, without a parse error, and
// hold the text with blanks added and nothing else.
void ExpectOneComment(const std::u16string& input, const std::u16string& result) {
  const std::u16string html = ConsoleForm(result);
  const CommentReading reading = ReadComment(html);
  ASSERT_TRUE(reading.closed && reading.end == html.size()) << Printable(input);
  EXPECT_FALSE(reading.parseError) << Printable(input);
  ASSERT_GE(reading.data.size(), 2u);
  EXPECT_TRUE(OnlyBlanksAdded(u" " + ConsoleForm(input) + u" ", reading.data)) << Printable(input);
}

// The fewest blanks that make the text one comment, by trying every way
// of putting fewer than `most` blanks between its characters; `most` when
// none of them does.
int FewestBlanks(const std::u16string& text, int most) {
  const int gaps = static_cast<int>(text.size()) + 1;
  for (int k = 0; k < most; ++k) {
    std::vector<int> at(static_cast<size_t>(k));
    for (int i = 0; i < k; ++i) at[size_t(i)] = i;
    while (k <= gaps) {
      std::u16string candidate;
      size_t next = 0;
      for (int g = 0; g < gaps; ++g) {
        if (next < at.size() && at[next] == g) candidate += u' ', ++next;
        if (g < gaps - 1) candidate += text[size_t(g)];
      }
      const CommentReading r = ReadComment(u"<!-- " + ConsoleForm(candidate) + u" -->");
      if (r.closed && r.end == candidate.size() + 9 && !r.parseError) return k;
      // The next k-combination of the gaps, in lexicographic order.
      int i = k - 1;
      while (i >= 0 && at[size_t(i)] == gaps - k + i) --i;
      if (i < 0) break;
      ++at[size_t(i)];
      for (int j = i + 1; j < k; ++j) at[size_t(j)] = at[size_t(j - 1)] + 1;
    }
  }
  return most;
}

TEST_F(HcommentTest, OneCommentWithTheFewestBlanks) {
  // Every text of up to seven characters from the ones that matter, and
  // one that does not.
  const char16_t alphabet[] = {u'<', u'!', u'-', u'>', u'x'};
  std::vector<std::u16string> texts = {u""};
  for (size_t from = 0, length = 1; length <= 7; ++length) {
    const size_t to = texts.size();
    for (size_t i = from; i < to; ++i)
      for (char16_t c : alphabet) texts.push_back(texts[i] + c);
    from = to;
  }
  int changed = 0;
  char16_t buffer[MAX_ARG_LEN];
  for (const std::u16string& text : texts) {
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    ASSERT_EQ(0, f_hcomment(buffer));
    const std::u16string result = buffer;
    ExpectOneComment(text, result);
    const int blanks = static_cast<int>(result.size() - 9 - text.size());
    if (blanks > 0) {
      ++changed;
      EXPECT_EQ(FewestBlanks(text, blanks), blanks) << Printable(text);
    }
    if (HasFailure()) return;
  }
  EXPECT_GT(changed, 1000);
}

}  // namespace
