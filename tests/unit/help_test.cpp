// Help and usage: every topic, in any case, and the exact texts.
#include <gtest/gtest.h>

#include <string>

#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "kelvo/texts.h"
#include "test_support.h"

namespace {

class HelpTest : public HostFixture {};

std::u16string Box(const std::u16string& text) { return u"Kelvo Plugin Help\n" + text + u"\n"; }

TEST_F(HelpTest, CommandTopicsShowTitleAndUsageInOneBox) {
  for (const char16_t* topic : {u"KELVO", u"Kelvo", u"kelvo"}) {
    StandInClearCaptured();
    EXPECT_EQ(1, Help(topic));
    EXPECT_EQ(Box(std::u16string(KelvoHelpTitle) + KelvoUsageText), Boxes());
  }
  StandInClearCaptured();
  EXPECT_EQ(1, Help(u"ArrayTable"));
  EXPECT_EQ(Box(std::u16string(ArrayTableHelpTitle) + ArrayTableUsageText), Boxes());
}

TEST_F(HelpTest, FunctionTopicsShowTheirText) {
  const struct {
    const char16_t* topic;
    const char16_t* text;
  } rows[] = {
      {u"@entag",
       u"@ENTAG[tag,string]\n\nEntitizes the string and wraps it in tags.  \n\n"
       u"  C:\\> echo %@entag[p,Short test.]\n  <p>Short test.</p>\n\n  C:\\>"},
      {u"@DOCTYPE",
       u"@DOCTYPE[n]\n\nReturns an HTML document type tag.  n may be:  \n\n\t0   HTML 5 (default)\n"
       u"\t1   HTML 4.01 strict\n\t2   HTML 4.01 transitional\n\t16  XHTML 1.0 strict\n"
       u"\t17  XHTML 1.0 transitional\n\n  C:\\> echo %@doctype[]\n  <!DOCTYPE HTML>\n\n  C:\\>"},
      {u"@DeEntitize",
       u"@DEENTITIZE[string]\n\nRemoves HTML entities from the input string,  \nsubstituting "
       u"equivalent characters where\navailable.\n\n  C:\\> echo %@deentitize[n+1 &gt; n]\n"
       u"  n+1 > n\n\n  C:\\>"},
      {u"@hcomment",
       u"@HCOMMENT[string]\n\nReturns string in an HTML comment.\n\n  C:\\> echo "
       u"%@hcomment[Hello, world.]  \n  <!-- Hello, world. -->\n\n  C:\\>"},
      {u"@hexdec",
       u"@HEXDEC[string]\n\nReturns string, replacing two-digit hex codes (preceded by  \npercent "
       u"signs) with the appropriate characters.\n\n  C:\\> echo %@hexdec[This%%20is%%20a%%20test.]\n"
       u"  This is a test.\n\n  C:\\>"},
      {u"@hexenc",
       u"@HEXENC[string]\n\nReturns string, replacing all non-alphanumeric\ncharacters except "
       u"#$+-./:;=?@_ (or per variable  \nHEXENC_KEEP) with hex codes.\n\n  C:\\> echo "
       u"%@hexenc[This is a test.]\n  This%20is%20a%20test.\n\n  C:\\>"},
      {u"@MakeEntity",
       u"@MAKEENTITY[char]\n\nReturns an HTML entity.\n\n   C:\\> echo %@makeentity[copy] "
       u"%@makeentity[@]  \n   &copy; &#64;\n\n   C:\\>"},
      {u"@tag", u"@TAG[tag]\n\nReturns an HTML tag.\n\n  C:\\> echo %@tag[p]  \n  <p>\n\n  C:\\>"},
  };
  for (const auto& row : rows) {
    StandInClearCaptured();
    EXPECT_EQ(1, Help(row.topic)) << Printable(row.topic);
    EXPECT_EQ(Box(row.text), Boxes()) << Printable(row.topic);
  }
}

TEST_F(HelpTest, EntitizeTopicHasTheLayoutOfTheOthers) {
  EXPECT_EQ(1, Help(u"@entitize"));
  std::u16string box = Boxes();
  EXPECT_EQ(0u, box.find(u"Kelvo Plugin Help\n@ENTITIZE[string]\n\n"));
  EXPECT_NE(std::u16string::npos, box.find(u"\n\n  C:\\> echo %@entitize["));
  EXPECT_EQ(box.size() - 9, box.find(u"\n\n  C:\\>\n"));
}

TEST_F(HelpTest, UnknownTopicsShowNothing) {
  for (const char16_t* topic : {u"entag", u"", u"@", u"@entitizex", u"kelvo ", u"help"}) {
    EXPECT_EQ(0, Help(topic)) << Printable(topic);
  }
  EXPECT_EQ(0, Help(nullptr));
  EXPECT_U16EQ(u"", Boxes());
}

TEST_F(HelpTest, UsageCopiesOnlyTheCommandUsageTexts) {
  char16_t out[SMALL_BUF_LEN];
  std::fill(out, out + SMALL_BUF_LEN, u'#');
  EXPECT_EQ(1, Usage(u"ARRAYTABLE", out));
  EXPECT_EQ(419u, std::u16string(out).size());
  EXPECT_EQ(std::u16string(ArrayTableUsageText), out);
  EXPECT_EQ(std::u16string(u"ARRAYTABLE /L:n /H:text /K:class /S:style arrayname\r\n"),
            std::u16string(out).substr(0, 53));

  EXPECT_EQ(1, Usage(u"Kelvo", out));
  EXPECT_EQ(327u, std::u16string(out).size());
  EXPECT_EQ(std::u16string(KelvoUsageText), out);

  char16_t untouched[] = u"unchanged";
  EXPECT_EQ(0, Usage(u"@entitize", untouched));
  EXPECT_EQ(std::u16string(u"unchanged"), untouched);
  EXPECT_EQ(0, Usage(nullptr, untouched));
  EXPECT_EQ(0, Usage(u"kelvo", nullptr));
  EXPECT_U16EQ(u"", Boxes());
}

}  // namespace
