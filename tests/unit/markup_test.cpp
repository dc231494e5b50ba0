// @TAG, @HCOMMENT and @DOCTYPE.
#include <gtest/gtest.h>

#include <string>

#include "function_call.h"
#include "options/plugin_options.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

class MarkupTest : public HostFixture {};

const std::u16string Prefix = u"Kelvo plugin: ";
const std::u16string Missing = Prefix + u"Missing tag name\r\n";
const std::u16string TooLong = Prefix + u"Tag name too long\r\n";
const std::u16string CommentTooLong = Prefix + u"Comment too long\r\n";

std::u16string Tag(const std::u16string& text) { return u"\uFF1C" + text + u"\uFF1E"; }
std::u16string Letters(int n) { return std::u16string(static_cast<size_t>(n), u'a'); }
std::u16string BadValue(const std::u16string& shown) {
  return Prefix + u"Bad value \"" + shown + u"\"\r\n";
}

TEST_F(MarkupTest, Tag) {
  const FunctionRow rows[] = {
      {u"p", {}, Tag(u"p"), 0, u""},
      {u"   p  ", {}, Tag(u"p  "), 0, u""},
      {u"\u00A0\u00A0p", {}, Tag(u"p"), 0, u""},
      {u"\t\r\n\u3000\u2003p q", {}, Tag(u"p q"), 0, u""},
      {u"/p", {}, Tag(u"/p"), 0, u""},
      {u"a href=\"x.html\" Class=Big", {}, Tag(u"a href=\"x.html\" Class=Big"), 0, u""},
      {u"\xD800<&>", {}, Tag(u"\xD800<&>"), 0, u""},
      {u"", {}, u"", -1, Missing},
      {u" \t \t", {}, u" \t \t", -1, Missing},
      {u"\u00A0", {}, u"\u00A0", -1, Missing},
      {Letters(16380), {}, Tag(Letters(16380)), 0, u""},
      {u"  " + Letters(16380), {}, Tag(Letters(16380)), 0, u""},
      {Letters(16381), {}, Letters(16381), -1, TooLong},
      {u" " + Letters(16381), {}, u" " + Letters(16381), -1, TooLong},
      {Letters(16383), {}, Letters(16383), -1, TooLong},
  };
  ExpectRows(f_tag, rows);
}

TEST_F(MarkupTest, Hcomment) {
  const FunctionRow rows[] = {
      {u"Hello, world.", {}, u"\uFF1C!-- Hello, world. --\uFF1E", 0, u""},
      {u"", {}, u"\uFF1C!--  --\uFF1E", 0, u""},
      {u" x ", {}, u"\uFF1C!--  x  --\uFF1E", 0, u""},
      {u"a--b <i>&amp;</i>", {}, u"\uFF1C!-- a--b <i>&amp;</i> --\uFF1E", 0, u""},
      {Letters(16374), {}, u"\uFF1C!-- " + Letters(16374) + u" --\uFF1E", 0, u""},
      {Letters(16375), {}, Letters(16375), -1, CommentTooLong},
      {Letters(16383), {}, Letters(16383), -1, CommentTooLong},
  };
  ExpectRows(f_hcomment, rows);
  EXPECT_EQ(9u, CallFunction(f_hcomment, u"").text.size());
  EXPECT_EQ(16383u, CallFunction(f_hcomment, Letters(16374)).text.size());
}

TEST_F(MarkupTest, TagAndCommentAreRefusedUnderUnicodeOutput) {
  const FunctionRow rows[] = {{u"p", {.unicodeOutput = 1}, u"p", -2, UnicodeRefused},
                              {u"", {.unicodeOutput = 1}, u"", -2, UnicodeRefused}};
  ExpectRows(f_tag, rows);
  ExpectRows(f_hcomment, rows);
  // With the check switched off they work.
  const FunctionRow allowed[] = {{u"p", {{.unicodeCheck = false}, 1}, Tag(u"p"), 0, u""}};
  ExpectRows(f_tag, allowed);
}

TEST_F(MarkupTest, DocType) {
  const std::u16string html5 = Tag(u"!DOCTYPE HTML");
  const std::u16string xhtmlStrict = Tag(
      u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
      u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"");
  const FunctionRow rows[] = {
      {u"", {}, html5, 0, u""},
      {u"   ", {}, html5, 0, u""},
      {u"\t\u00A0", {}, html5, 0, u""},
      {u"0", {}, html5, 0, u""},
      {u"1", {},
       Tag(u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\""),
       0, u""},
      {u"2", {},
       Tag(u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
           u"\"http://www.w3.org/TR/html4/loose.dtd\""),
       0, u""},
      {u"3", {},
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\" "
           u"\"http://www.w3.org/TR/html4/frameset.dtd\""),
       0, u""},
      {u"4", {}, Tag(u"!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\""), 0, u""},
      {u"5", {}, Tag(u"!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\""), 0, u""},
      {u"16", {}, xhtmlStrict, 0, u""},
      {u"0x10", {}, xhtmlStrict, 0, u""},
      {u" 0X10", {}, xhtmlStrict, 0, u""},
      {u"17", {},
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
           u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\""),
       0, u""},
      {u"18", {},
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Frameset//EN\" "
           u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd\""),
       0, u""},
      {u"19", {},
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
           u"\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\""),
       0, u""},
      {u"20", {},
       Tag(u"!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 2.0//EN\" "
           u"\"http://www.w3.org/MarkUp/DTD/xhtml2.dtd\""),
       0, u""},
      {u"6", {}, u"6", -1, BadValue(u"6")},
      {u"15", {}, u"15", -1, BadValue(u"15")},
      {u"21", {}, u"21", -1, BadValue(u"21")},
      {u"1 ", {}, u"1 ", -1, BadValue(u"1 ")},
      {u"-1", {}, u"-1", -1, BadValue(u"-1")},
      {u"+1", {}, u"+1", -1, BadValue(u"+1")},
      {u"4294967296", {}, u"4294967296", -1, BadValue(u"4294967296")},
      {u"4294967312", {}, u"4294967312", -1, BadValue(u"4294967312")},  // 2^32 + 16
      {u" abc", {}, u" ABC", -1, BadValue(u" ABC")},
      {u"0x", {}, u"0X", -1, BadValue(u"0X")},
      {u"1x", {}, u"1X", -1, BadValue(u"1X")},
      {u"%s\u00e9", {}, u"%S\u00e9", -1, BadValue(u"%S\u00e9")},
  };
  ExpectRows(f_doctype, rows);
}

TEST_F(MarkupTest, DocTypeWorksWhenTheCheckWouldRefuse) {
  const FunctionRow rows[] = {{u"", {.unicodeOutput = 1}, Tag(u"!DOCTYPE HTML"), 0, u""}};
  ExpectRows(f_doctype, rows);
}

TEST_F(MarkupTest, NullBuffers) {
  EXPECT_EQ(-1, f_tag(nullptr));
  EXPECT_EQ(-1, f_hcomment(nullptr));
  EXPECT_EQ(-1, f_doctype(nullptr));
  EXPECT_U16EQ(u"", Err());
}

}  // namespace
