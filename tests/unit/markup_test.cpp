// @TAG, @HCOMMENT and @DOCTYPE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comment_reading.h"
#include "function_call.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

class MarkupTest : public HostFixture {};

struct Row {
  std::u16string input;
  std::u16string expected;  // the buffer afterwards
  int result;
  std::u16string err;
};

const std::u16string PREFIX = u"Kelvo plugin: ";
const std::u16string REFUSED = PREFIX + u"Unicode output not supported\r\n";
const std::u16string MISSING = PREFIX + u"Missing tag name\r\n";
const std::u16string TOO_LONG = PREFIX + u"Tag name too long\r\n";
const std::u16string COMMENT_TOO_LONG = PREFIX + u"Comment too long\r\n";

std::u16string Tag(const std::u16string& text) { return u"\uFF1C" + text + u"\uFF1E"; }
std::u16string Comment(const std::u16string& text) { return Tag(u"!-- " + text + u" --"); }
std::u16string Letters(int n) { return std::u16string(static_cast<size_t>(n), u'a'); }
std::u16string BadValue(const std::u16string& shown) {
  return PREFIX + u"Bad value \"" + shown + u"\"\r\n";
}

void ExpectRows(VariableFunction function, const Row* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Row& row = rows[i];
    std::string label = Printable(row.input.substr(0, 40)) + " (" + std::to_string(row.input.size()) + ")";
    FunctionCall call = CallFunction(function, row.input);
    EXPECT_EQ(row.result, call.result) << label;
    EXPECT_U16EQ(row.expected, call.buffer) << label;
    EXPECT_U16EQ(row.err, call.err) << label;
  }
}

TEST_F(MarkupTest, Tag) {
  const Row rows[] = {
      {u"p", Tag(u"p"), 0, u""},
      {u"   p  ", Tag(u"p  "), 0, u""},
      {u"\u00A0\u00A0p", Tag(u"p"), 0, u""},
      {u"\t\r\n\u3000\u2003p q", Tag(u"p q"), 0, u""},
      {u"/p", Tag(u"/p"), 0, u""},
      {u"a href=\"x.html\" Class=Big", Tag(u"a href=\"x.html\" Class=Big"), 0, u""},
      {u"\xD800<&>", Tag(u"\xD800<&>"), 0, u""},
      {u"", u"", -1, MISSING},
      {u" \t \t", u" \t \t", -1, MISSING},
      {u"\u00A0", u"\u00A0", -1, MISSING},
      {Letters(16380), Tag(Letters(16380)), 0, u""},
      {u"  " + Letters(16380), Tag(Letters(16380)), 0, u""},
      {Letters(16381), Letters(16381), -1, TOO_LONG},
      {u" " + Letters(16381), u" " + Letters(16381), -1, TOO_LONG},
      {Letters(16383), Letters(16383), -1, TOO_LONG},
  };
  ExpectRows(f_tag, rows, std::size(rows));
}

TEST_F(MarkupTest, Hcomment) {
  const Row rows[] = {
      {u"Hello, world.", u"\uFF1C!-- Hello, world. --\uFF1E", 0, u""},
      {u"", u"\uFF1C!--  --\uFF1E", 0, u""},
      {u" x ", u"\uFF1C!--  x  --\uFF1E", 0, u""},
      {u"a--b <i>&amp;</i>", u"\uFF1C!-- a--b <i>&amp;</i> --\uFF1E", 0, u""},
      {Letters(16374), u"\uFF1C!-- " + Letters(16374) + u" --\uFF1E", 0, u""},
      {Letters(16375), Letters(16375), -1, COMMENT_TOO_LONG},
      {Letters(16383), Letters(16383), -1, COMMENT_TOO_LONG},
  };
  ExpectRows(f_hcomment, rows, std::size(rows));
  EXPECT_EQ(9u, CallFunction(f_hcomment, u"").buffer.size());
  EXPECT_EQ(16383u, CallFunction(f_hcomment, Letters(16374)).buffer.size());
}

TEST_F(MarkupTest, HcommentBreaksWhatWouldEndTheComment) {
  const Row rows[] = {
      {u"a --> <b>bold</b>", Comment(u"a - -> <b>bold</b>"), 0, u""},
      {u"-->x", Comment(u"- ->x"), 0, u""},
      {u"x-->", Comment(u"x- ->"), 0, u""},
      {u"x--!>y", Comment(u"x- -!>y"), 0, u""},
      {u"<!-- nested -->", Comment(u"<!- - nested - ->"), 0, u""},
      {u"--->", Comment(u"-- ->"), 0, u""},
      // One blank breaks both "<!--" and "-->"; "<!--->" needs two.
      {u"<!-->", Comment(u"<!- ->"), 0, u""},
      {u"<!--->", Comment(u"<!- - ->"), 0, u""},
      {u"--!-->", Comment(u"--!- ->"), 0, u""},
      // The console prints the fullwidth forms as ASCII.
      {u"\uFF0D\uFF0D\uFF1E", Comment(u"\uFF0D \uFF0D\uFF1E"), 0, u""},
      {u"\uFF1C\uFF01-\uFF0D", Comment(u"\uFF1C\uFF01- \uFF0D"), 0, u""},
      {u"-\uFF0D!>", Comment(u"- \uFF0D!>"), 0, u""},
      // Nothing the parser would end the comment at: unchanged.
      {u"a--b", Comment(u"a--b"), 0, u""},
      {u"--", Comment(u"--"), 0, u""},
      {u"- ->", Comment(u"- ->"), 0, u""},
      {u"--!", Comment(u"--!"), 0, u""},
      {u"<!-", Comment(u"<!-"), 0, u""},
      {u"x-", Comment(u"x-"), 0, u""},
      {u"->", Comment(u"->"), 0, u""},
      {u">", Comment(u">"), 0, u""},
      {u"<!", Comment(u"<!"), 0, u""},
      {u"-- >", Comment(u"-- >"), 0, u""},
      {u"\u2010\u2010>", Comment(u"\u2010\u2010>"), 0, u""},
      // The limit counts the blanks: 16374 characters as written.
      {u"-->" + Letters(16370), Comment(u"- ->" + Letters(16370)), 0, u""},
      {u"-->" + Letters(16371), u"-->" + Letters(16371), -1, COMMENT_TOO_LONG},
      {Letters(16371) + u"-->", Letters(16371) + u"-->", -1, COMMENT_TOO_LONG},
      {Letters(16370) + u"-->", Comment(Letters(16370) + u"- ->"), 0, u""},
  };
  ExpectRows(f_hcomment, rows, std::size(rows));
}

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

TEST_F(MarkupTest, HcommentIsOneCommentWithTheFewestBlanks) {
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

TEST_F(MarkupTest, TagAndCommentAreRefusedUnderUnicodeOutput) {
  StandInSetUnicodeOutput(1);
  const Row rows[] = {{u"p", u"p", -2, REFUSED}, {u"", u"", -2, REFUSED}};
  ExpectRows(f_tag, rows, std::size(rows));
  ExpectRows(f_hcomment, rows, std::size(rows));
  // With the check switched off they work.
  PluginOptions.UnicodeCheck = 0;
  const Row allowed[] = {{u"p", Tag(u"p"), 0, u""}};
  ExpectRows(f_tag, allowed, 1);
}

TEST_F(MarkupTest, DocType) {
  const std::u16string html5 = Tag(u"!DOCTYPE HTML");
  const std::u16string xhtmlStrict = Tag(
      u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
      u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"");
  const Row rows[] = {
      {u"", html5, 0, u""},
      {u"   ", html5, 0, u""},
      {u"\t\u00A0", html5, 0, u""},
      {u"0", html5, 0, u""},
      {u"1",
       Tag(u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\""),
       0, u""},
      {u"2",
       Tag(u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
           u"\"http://www.w3.org/TR/html4/loose.dtd\""),
       0, u""},
      {u"3",
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\" "
           u"\"http://www.w3.org/TR/html4/frameset.dtd\""),
       0, u""},
      {u"4", Tag(u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\""), 0, u""},
      {u"5", Tag(u"!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\""), 0, u""},
      {u"16", xhtmlStrict, 0, u""},
      {u"0x10", xhtmlStrict, 0, u""},
      {u" 0X10", xhtmlStrict, 0, u""},
      {u"17",
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
           u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\""),
       0, u""},
      {u"18",
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Frameset//EN\" "
           u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd\""),
       0, u""},
      {u"19",
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
           u"\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\""),
       0, u""},
      {u"20",
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 2.0//EN\" "
           u"\"http://www.w3.org/MarkUp/DTD/xhtml2.dtd\""),
       0, u""},
      {u"6", u"6", -1, BadValue(u"6")},
      {u"15", u"15", -1, BadValue(u"15")},
      {u"21", u"21", -1, BadValue(u"21")},
      {u"1 ", u"1 ", -1, BadValue(u"1 ")},
      {u"-1", u"-1", -1, BadValue(u"-1")},
      {u"+1", u"+1", -1, BadValue(u"+1")},
      {u"4294967296", u"4294967296", -1, BadValue(u"4294967296")},
      {u"4294967312", u"4294967312", -1, BadValue(u"4294967312")},  // 2^32 + 16
      {u" abc", u" ABC", -1, BadValue(u" ABC")},
      {u"0x", u"0X", -1, BadValue(u"0X")},
      {u"1x", u"1X", -1, BadValue(u"1X")},
      {u"%s\u00e9", u"%S\u00e9", -1, BadValue(u"%S\u00e9")},
  };
  ExpectRows(f_doctype, rows, std::size(rows));
}

TEST_F(MarkupTest, DocTypeWorksWhenTheCheckWouldRefuse) {
  StandInSetUnicodeOutput(1);
  const Row rows[] = {{u"", Tag(u"!DOCTYPE HTML"), 0, u""}};
  ExpectRows(f_doctype, rows, 1);
}

TEST_F(MarkupTest, NullBuffers) {
  EXPECT_EQ(-1, f_tag(nullptr));
  EXPECT_EQ(-1, f_hcomment(nullptr));
  EXPECT_EQ(-1, f_doctype(nullptr));
  EXPECT_U16EQ(u"", Err());
}

}  // namespace
