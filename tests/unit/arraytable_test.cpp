// The ARRAYTABLE command: arrays defined through the stand-in host,
// argument text in, exact standard output, standard error and result out.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "arraytable/arraytable.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "kelvo/texts.h"
#include "test_support.h"

namespace {

#define ERR u"Kelvo plugin: "
#define TABLE u"<table>\n"
#define END_TABLE u"</table>\n"
#define TR u"   <tr>\n"
#define END_TR u"   </tr>\n"
#define TD(text) u"      <td>" text u"</td>\n"

// FRUIT as a batch file would build it, cells entitized under the
// default options.
#define FRUIT_CELL_00 u"Apples\uFF06nbsp;\uFF06amp; Pears"
#define FRUIT_CELL_10 u"\uFF06ldquo;Nectarines\uFF06rdquo;"
#define FRUIT_ROWS TR TD(FRUIT_CELL_00) TD(u"3") END_TR TR TD(FRUIT_CELL_10) TD(u"&nbsp;") END_TR
#define FRUIT_TABLE TABLE FRUIT_ROWS END_TABLE
#define LIST_TABLE TABLE TR TD(u"red") END_TR TR TD(u"green") END_TR TR TD(u"blue") END_TR END_TABLE
#define ONE_TABLE TABLE TR TD(u"x") END_TR END_TABLE

// CrLf writes the host's line end around the title and the usage text
// (their words are checked in help_test and the end-to-end cases).
const std::u16string HelpText = u"\r\n" + std::u16string(ArrayTableHelpTitle) + ArrayTableUsageText + u"\r\n";

struct CommandCase {
  const char16_t* arguments;
  int result;
  const char16_t* out;
  const char16_t* err;
};

class ArrayTableTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    ASSERT_EQ(0, StandInDefineArray("fruit", 2, 2, 2));
    StandInSetElement("fruit", 0, 0, "Apples & Pears");
    StandInSetElement("fruit", 0, 1, "3");
    StandInSetElement("fruit", 1, 0, "\"Nectarines\"");
    StandInSetElement("fruit", 1, 1, "");
    ASSERT_EQ(0, StandInDefineArray("list", 1, 3, 0));
    StandInSetElement("list", 0, 0, "red");
    StandInSetElement("list", 1, 0, "green");
    StandInSetElement("list", 2, 0, "blue");
    ASSERT_EQ(0, StandInDefineArray("one", 2, 1, 1));
    StandInSetElement("one", 0, 0, "x");
    ASSERT_EQ(0, StandInDefineArray("My_Arr$", 1, 1, 0));
    StandInSetElement("My_Arr$", 0, 0, "<b>");
    ASSERT_EQ(0, StandInDefineArray("cube", 3, 2, 2));
  }

  // Runs the command on a writable copy of the argument text.
  static int Run(const std::u16string& arguments) {
    static char16_t buffer[MAX_ARG_LEN];
    size_t n = arguments.size() < size_t(MAX_TEXT_LEN) ? arguments.size() : size_t(MAX_TEXT_LEN);
    arguments.copy(buffer, n);
    buffer[n] = 0;
    return arraytable(buffer);
  }

  static void RunCases(const CommandCase* cases, size_t count) {
    for (size_t k = 0; k < count; ++k) {
      const CommandCase& c = cases[k];
      SCOPED_TRACE(Printable(c.arguments));
      StandInClearCaptured();
      EXPECT_EQ(c.result, Run(c.arguments));
      EXPECT_U16EQ(c.out, Out());
      EXPECT_U16EQ(c.err, Err());
    }
  }
};

TEST_F(ArrayTableTest, FifteenLineExample) {
  const CommandCase cases[] = {
      {u"/H:Fruit /L:1 /K:stock /RK0:even /RK1:odd /CK1:num fruit", 0,
       u"<table class=\"stock\">\n"
       u"   <tr>\n"
       u"      <th colspan=\"3\">Fruit</th>\n"
       u"   </tr>\n"
       u"   <tr class=\"even\">\n"
       u"      <td>1</td>\n"
       u"      <td>Apples\uFF06nbsp;\uFF06amp; Pears</td>\n"
       u"      <td class=\"num\">3</td>\n"
       u"   </tr>\n"
       u"   <tr class=\"odd\">\n"
       u"      <td>2</td>\n"
       u"      <td>\uFF06ldquo;Nectarines\uFF06rdquo;</td>\n"
       u"      <td class=\"num\">&nbsp;</td>\n"
       u"   </tr>\n"
       u"</table>\n",
       u""},
  };
  RunCases(cases, std::size(cases));
}

TEST_F(ArrayTableTest, ArrayNames) {
  const CommandCase cases[] = {
      {u"fruit", 0, FRUIT_TABLE, u""},
      {u"%fruit", 0, FRUIT_TABLE, u""},
      {u"  FRUIT\t", 0, FRUIT_TABLE, u""},
      {u"my_arr$", 0, TABLE TR TD(u"\uFF06lt;b\uFF06gt;") END_TR END_TABLE, u""},
      {u"", 1, u"", ERR u"Missing array name\r\n"},
      {u" \t ", 1, u"", ERR u"Missing array name\r\n"},
      {u"\"\"", 1, u"", ERR u"Missing array name\r\n"},
      {u"/L /H:x /K:c", 1, u"", ERR u"Missing array name\r\n"},
      {u"fruit two", 1, u"", ERR u"Syntax error \"TWO\"\r\n"},
      {u"fruit %two", 1, u"", ERR u"Syntax error \"TWO\"\r\n"},
      {u"fruit fruit", 1, u"", ERR u"Syntax error \"FRUIT\"\r\n"},
      {u"%", 1, u"", ERR u"Bad array name \"%\"\r\n"},
      {u"%%fruit", 1, u"", ERR u"Bad array name \"%FRUIT\"\r\n"},
      {u"1fruit", 1, u"", ERR u"Bad array name \"1FRUIT\"\r\n"},
      {u"%1fruit", 1, u"", ERR u"Bad array name \"1FRUIT\"\r\n"},
      {u"\u00B2x", 1, u"", ERR u"Bad array name \"\u00B2X\"\r\n"},
      {u"fr-uit", 1, u"", ERR u"Bad array name \"FR-UIT\"\r\n"},
      {u"a.b", 1, u"", ERR u"Bad array name \"A.B\"\r\n"},
      {u"a\u00D7b", 1, u"", ERR u"Bad array name \"A\u00D7B\"\r\n"},
      {u"nope", 1, u"", ERR u"Not an array \"NOPE\"\r\n"},
      {u"x1", 1, u"", ERR u"Not an array \"X1\"\r\n"},
      {u"_$", 1, u"", ERR u"Not an array \"_$\"\r\n"},
      // Letters beyond ASCII pass the name test; only ASCII is upper-cased.
      {u"\u00E9t\u00E9", 1, u"", ERR u"Not an array \"\u00E9T\u00E9\"\r\n"},
      {u"\u0436x\u0661", 1, u"", ERR u"Not an array \"\u0436X\u0661\"\r\n"},
      {u"cube", 1, u"", ERR u"Too many dimensions \"CUBE\"\r\n"},
  };
  RunCases(cases, std::size(cases));
}

TEST_F(ArrayTableTest, HelpAndArgumentErrors) {
  const CommandCase cases[] = {
      {u"/?", 0, HelpText.c_str(), u""},
      {u"/L /?", 0, HelpText.c_str(), u""},
      {u"/H:x /? fruit", 0, HelpText.c_str(), u""},
      {u"fruit /?", 0, HelpText.c_str(), u""},
      {u"/? /X nope nope", 0, HelpText.c_str(), u""},
      {u"/X /?", 1, u"", ERR u"Unknown option \"/X\"\r\n"},
      {u"one two /?", 1, u"", ERR u"Syntax error \"TWO\"\r\n"},
      {u"/?x one", 1, u"", ERR u"Unknown option \"/?X\"\r\n"},
      {u"/xyz one", 1, u"", ERR u"Unknown option \"/XYZ\"\r\n"},
      {u"/ one", 1, u"", ERR u"Unknown option \"/\"\r\n"},
      {u"//H one", 1, u"", ERR u"Unknown option \"//H\"\r\n"},
      {u"/C1 one", 1, u"", ERR u"Unknown option \"/C1\"\r\n"},
      {u"/R0:a one", 1, u"", ERR u"Unknown option \"/R0:A\"\r\n"},
      {u"/L:", 1, u"", ERR u"Invalid integer \"/L:\"\r\n"},
      {u"/l:abc one", 1, u"", ERR u"Invalid integer \"/L:ABC\"\r\n"},
      {u"/L-1 one", 1, u"", ERR u"Invalid integer \"/L-1\"\r\n"},
      {u"/L:+1 one", 1, u"", ERR u"Invalid integer \"/L:+1\"\r\n"},
      {u"/L12abc one", 1, u"", ERR u"Invalid integer \"/L12ABC\"\r\n"},
      {u"/L4294967296 one", 1, u"", ERR u"Invalid integer \"/L4294967296\"\r\n"},
      {u"/L::1 one", 1, u"", ERR u"Invalid integer \"/L::1\"\r\n"},
      {u"/L 1", 1, u"", ERR u"Bad array name \"1\"\r\n"},
      {u"/CKx:a one", 1, u"", ERR u"Invalid column number \"/CKX:A\"\r\n"},
      {u"/cs-1:a one", 1, u"", ERR u"Invalid column number \"/CS-1:A\"\r\n"},
      {u"/CK::a one", 1, u"", ERR u"Invalid column number \"/CK::A\"\r\n"},
      {u"/CK1024:a one", 1, u"", ERR u"Invalid column number \"/CK1024:A\"\r\n"},
      {u"/CS0x400 one", 1, u"", ERR u"Invalid column number \"/CS0X400\"\r\n"},
      {u"/CK4294967296:a one", 1, u"", ERR u"Invalid column number \"/CK4294967296:A\"\r\n"},
      {u"/CK1x one", 1, u"", ERR u"Syntax error \"/CK1X\"\r\n"},
      {u"/CK1 x one", 1, u"", ERR u"Syntax error \"ONE\"\r\n"},
      {u"/ck1class one", 1, u"", ERR u"Syntax error \"/CK1CLASS\"\r\n"},
      {u"/RK2 one", 1, u"", ERR u"Syntax error \"/RK2\"\r\n"},
      {u"/rsx one", 1, u"", ERR u"Syntax error \"/RSX\"\r\n"},
      {u"/RK:2 one", 1, u"", ERR u"Syntax error \"/RK:2\"\r\n"},
      {u"/RK=:1 one", 1, u"", ERR u"Syntax error \"/RK=:1\"\r\n"},
      // The first error ends the command; later arguments are not looked at.
      {u"/X /Y", 1, u"", ERR u"Unknown option \"/X\"\r\n"},
      {u"nope /X", 1, u"", ERR u"Unknown option \"/X\"\r\n"},
  };
  RunCases(cases, std::size(cases));
}

#define LIST_NUMBERED(a, b, c)                                                            \
  TABLE TR TD(a) TD(u"red") END_TR TR TD(b) TD(u"green") END_TR TR TD(c) TD(u"blue") END_TR \
      END_TABLE

TEST_F(ArrayTableTest, LineNumbers) {
  const CommandCase cases[] = {
      {u"list", 0, LIST_TABLE, u""},
      {u"/L list", 0, LIST_NUMBERED(u"0", u"1", u"2"), u""},
      {u"/l:1 list", 0, LIST_NUMBERED(u"1", u"2", u"3"), u""},
      {u"/L=1 list", 0, LIST_NUMBERED(u"1", u"2", u"3"), u""},
      {u"/L1 list", 0, LIST_NUMBERED(u"1", u"2", u"3"), u""},
      {u"/L0x10 list", 0, LIST_NUMBERED(u"16", u"17", u"18"), u""},
      {u"/L:0X10 list", 0, LIST_NUMBERED(u"16", u"17", u"18"), u""},
      {u"/L4294967295 list", 0, LIST_NUMBERED(u"4294967295", u"0", u"1"), u""},
      {u"/L5 /L list", 0, LIST_NUMBERED(u"5", u"6", u"7"), u""},
      {u"/L:1 /L:0 list", 0, LIST_NUMBERED(u"0", u"1", u"2"), u""},
      {u"/LK: /LS= list", 0, LIST_TABLE, u""},
      {u"/L /LK:a /LK list", 0, LIST_NUMBERED(u"0", u"1", u"2"), u""},
      {u"/LK:n one", 0,
       TABLE TR u"      <td class=\"n\">0</td>\n" TD(u"x") END_TR END_TABLE, u""},
      {u"/ls=color:red one", 0,
       TABLE TR u"      <td style=\"color:red\">0</td>\n" TD(u"x") END_TR END_TABLE, u""},
      {u"/LS:b /LKa /L:7 one", 0,
       TABLE TR u"      <td class=\"a\" style=\"b\">7</td>\n" TD(u"x") END_TR END_TABLE, u""},
  };
  RunCases(cases, std::size(cases));
}

TEST_F(ArrayTableTest, TableRowAndColumnAttributes) {
  const CommandCase cases[] = {
      {u"/K:c /S:s one", 0,
       u"<table class=\"c\" style=\"s\">\n" TR TD(u"x") END_TR END_TABLE, u""},
      {u"/S=s /Kc one", 0,
       u"<table class=\"c\" style=\"s\">\n" TR TD(u"x") END_TR END_TABLE, u""},
      {u"/K:c /K one", 0, ONE_TABLE, u""},
      {u"/K: /S: one", 0, ONE_TABLE, u""},
      {u"/K:%d%s /S:100% one", 0,
       u"<table class=\"%d%s\" style=\"100%\">\n" TR TD(u"x") END_TR END_TABLE, u""},
      {u"/K\"wide table\" one", 0,
       u"<table class=\"wide table\">\n" TR TD(u"x") END_TR END_TABLE, u""},
      {u"/CK0:a /CS0:b one", 0,
       TABLE TR u"      <td class=\"a\" style=\"b\">x</td>\n" END_TR END_TABLE, u""},
      {u"/CS=0=b /CK:0:a one", 0,
       TABLE TR u"      <td class=\"a\" style=\"b\">x</td>\n" END_TR END_TABLE, u""},
      {u"/CK0x0:a one", 0, TABLE TR u"      <td class=\"a\">x</td>\n" END_TR END_TABLE, u""},
      {u"/CK0:a /CK0 one", 0, ONE_TABLE, u""},
      {u"/CK0:a /CK0: one", 0, ONE_TABLE, u""},
      {u"/CK0:a /CK one", 0, ONE_TABLE, u""},
      {u"/CS0:a /CS: one", 0, ONE_TABLE, u""},
      {u"/CK0:a /CS one", 0, TABLE TR u"      <td class=\"a\">x</td>\n" END_TR END_TABLE, u""},
      {u"/CK1023:far one", 0, ONE_TABLE, u""},
      {u"/CK1:num /cs1=right fruit", 0,
       TABLE TR TD(FRUIT_CELL_00) u"      <td class=\"num\" style=\"right\">3</td>\n" END_TR
           TR TD(FRUIT_CELL_10) u"      <td class=\"num\" style=\"right\">&nbsp;</td>\n" END_TR
               END_TABLE,
       u""},
      {u"/RK1odd /RS0:s fruit", 0,
       TABLE u"   <tr style=\"s\">\n" TD(FRUIT_CELL_00) TD(u"3") END_TR
           u"   <tr class=\"odd\">\n" TD(FRUIT_CELL_10) TD(u"&nbsp;") END_TR END_TABLE,
       u""},
      {u"/RS1=a /RS:1 fruit", 0, FRUIT_TABLE, u""},
      {u"/RK0:even /RK1:odd /RK fruit", 0, FRUIT_TABLE, u""},
      {u"/RK0:e /RS0:s list", 0,
       TABLE u"   <tr class=\"e\" style=\"s\">\n" TD(u"red") END_TR TR TD(u"green") END_TR
           u"   <tr class=\"e\" style=\"s\">\n" TD(u"blue") END_TR END_TABLE,
       u""},
  };
  RunCases(cases, std::size(cases));
}

#define TH_ROW(line) TR u"      " line u"\n" END_TR

TEST_F(ArrayTableTest, HeaderRow) {
  const CommandCase cases[] = {
      {u"/H:Colours list", 0,
       TABLE TH_ROW(u"<th colspan=\"1\">Colours</th>") TR TD(u"red") END_TR TR TD(u"green")
           END_TR TR TD(u"blue") END_TR END_TABLE,
       u""},
      {u"/Hello one", 0, TABLE TH_ROW(u"<th colspan=\"1\">ello</th>") TR TD(u"x") END_TR END_TABLE,
       u""},
      {u"/H\"Two words\" one", 0,
       TABLE TH_ROW(u"<th colspan=\"1\">Two words</th>") TR TD(u"x") END_TR END_TABLE, u""},
      {u"/H:x /H fruit", 0, FRUIT_TABLE, u""},
      {u"/H:x /H: fruit", 0, FRUIT_TABLE, u""},
      // Written unchanged: neither entitized nor read as a format.
      {u"/H:a&b%s%% one", 0,
       TABLE TH_ROW(u"<th colspan=\"1\">a&b%s%%</th>") TR TD(u"x") END_TR END_TABLE, u""},
      {u"/H:\"<th>A</th><th>B</th>\" fruit", 0, TABLE TH_ROW(u"<th>A</th><th>B</th>") FRUIT_ROWS END_TABLE,
       u""},
      {u"/H\"\uFF1CTH class=k\uFF1EA\uFF1C/tH\uFF1E\" fruit", 0,
       TABLE TH_ROW(u"\uFF1CTH class=k\uFF1EA\uFF1C/tH\uFF1E") FRUIT_ROWS END_TABLE, u""},
      // The header spans the line-number cell too.
      {u"/H:\"<thead>A</thead>\" /L fruit", 0,
       TABLE TH_ROW(u"<th colspan=\"3\"><thead>A</thead></th>") TR TD(u"0") TD(FRUIT_CELL_00)
           TD(u"3") END_TR TR TD(u"1") TD(FRUIT_CELL_10) TD(u"&nbsp;") END_TR END_TABLE,
       u""},
      {u"/H:x fruit", 0,
       TABLE TH_ROW(u"<th colspan=\"2\">x</th>") FRUIT_ROWS END_TABLE, u""},
      {u"/H:x /LK:n one", 0,
       TABLE TH_ROW(u"<th colspan=\"2\">x</th>") TR u"      <td class=\"n\">0</td>\n" TD(u"x") END_TR
           END_TABLE,
       u""},
      {u"/L:7 /H:Colours list", 0,
       TABLE TH_ROW(u"<th colspan=\"2\">Colours</th>") TR TD(u"7") TD(u"red") END_TR TR TD(u"8")
           TD(u"green") END_TR TR TD(u"9") TD(u"blue") END_TR END_TABLE,
       u""},
      {u"/H:<th>A one", 0, TABLE TH_ROW(u"<th colspan=\"1\"><th>A</th>") TR TD(u"x") END_TR END_TABLE,
       u""},
  };
  RunCases(cases, std::size(cases));
}

TEST_F(ArrayTableTest, CellsFollowThePluginOptions) {
  PluginOptions.quotes = Quotes::Always;
  PluginOptions.spaces = Spaces::Never;
  ASSERT_EQ(0, Run(u"fruit"));
  EXPECT_U16EQ(TABLE TR TD(u"Apples \uFF06amp; Pears") TD(u"3") END_TR TR
                   TD(u"\uFF06quot;Nectarines\uFF06quot;") TD(u"&nbsp;") END_TR END_TABLE,
               Out());
}

TEST_F(ArrayTableTest, RefusedEntitizeRepeatsItsMessagePerNonEmptyCell) {
  StandInSetUnicodeOutput(1);
  ASSERT_EQ(0, Run(u"fruit"));
  EXPECT_U16EQ(TABLE TR TD(u"Apples & Pears") TD(u"3") END_TR TR TD(u"\"Nectarines\"")
                   TD(u"&nbsp;") END_TR END_TABLE,
               Out());
  const std::u16string refusal = ERR u"Unicode output not supported\r\n";
  EXPECT_U16EQ(refusal + refusal + refusal, Err());
}

TEST_F(ArrayTableTest, NullArgumentWritesNothing) {
  EXPECT_EQ(-1, arraytable(nullptr));
  EXPECT_U16EQ(u"", Out());
  EXPECT_U16EQ(u"", Err());
}

TEST_F(ArrayTableTest, NameIsUpperCasedInTheSplitTextOnly) {
  char16_t buffer[MAX_ARG_LEN] = u"/k:c %fruit";
  ASSERT_EQ(0, arraytable(buffer));
  EXPECT_U16EQ(u"/k:c %fruit", buffer);
}

int CountOf(const std::u16string& text, const std::u16string& piece) {
  int count = 0;
  for (size_t at = text.find(piece); at != std::u16string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(ArrayTableTest, ColumnsBeyondTheStyledOnesHaveNoAttributes) {
  ASSERT_EQ(0, StandInDefineArray("wide", 2, 1, 1030));
  StandInSetElement("wide", 0, 1023, "last styled");
  StandInSetElement("wide", 0, 1024, "first plain");
  ASSERT_EQ(0, Run(u"/CK1023:k /CS1023:s /CK0:z wide"));
  std::u16string out = Out();
  EXPECT_EQ(1030, CountOf(out, u"      <td"));
  EXPECT_EQ(1, CountOf(out, u"<td class=\"z\">&nbsp;</td>"));
  EXPECT_EQ(1, CountOf(out, u"<td class=\"k\" style=\"s\">last styled</td>"));
  EXPECT_EQ(1, CountOf(out, u"<td>first plain</td>"));
  EXPECT_EQ(2, CountOf(out, u"class="));
}

TEST_F(ArrayTableTest, LongNamesAndValuesStayInsideTheBuffers) {
  // A name longer than the query buffer: the query is cut (the stand-in
  // host complains about the missing ']'), and no array is found.
  std::u16string longName(3000, u'a');
  EXPECT_EQ(1, Run(longName));
  const std::u16string message = ERR u"Not an array \"" + std::u16string(3000, u'A') + u"\"\r\n";
  std::u16string err = Err();
  ASSERT_GE(err.size(), message.size());
  EXPECT_TRUE(err.compare(err.size() - message.size(), message.size(), message) == 0);
  EXPECT_U16EQ(u"", Out());

  // An element as long as an ArgBuffer holds, entitized in place.
  ASSERT_EQ(0, StandInDefineArray("big", 1, 1, 0));
  std::string value(MAX_TEXT_LEN, '&');
  StandInSetElement("big", 0, 0, value.c_str());
  StandInClearCaptured();
  ASSERT_EQ(0, Run(u"big"));
  std::u16string out = Out();
  // Whole "＆amp;" entities only, as many as fit into 16383 characters.
  EXPECT_EQ(MAX_TEXT_LEN / 5, CountOf(out, u"\uFF06amp;"));
}

// Whatever the argument text, the command either writes a table and no
// message, or a message and no table; ASan checks every access.
TEST_F(ArrayTableTest, AnyArgumentTextIsHandled) {
  const char16_t* pieces[] = {
      u"/", u"\"", u" ", u"%", u":", u"=", u"/H", u"/K", u"/L", u"/LK", u"/LS", u"/S", u"/CK",
      u"/CS", u"/RK", u"/RS", u"/?", u"0", u"1", u"1023", u"1024", u"0x", u"fruit", u"one",
      u"list", u"\uFF1Cth\uFF1E", u"<th>", u"</th>", u"\xD800", u"\u00A0", u"\t", u"x"};
  std::mt19937 random(20240601);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    int count = 1 + int(random() % 12);
    for (int k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
    StandInClearCaptured();
    int result = Run(text);
    SCOPED_TRACE(Printable(text));
    ASSERT_TRUE(result == 0 || result == 1);
    if (result == 1) {
      EXPECT_U16EQ(u"", Out());
      EXPECT_NE(std::u16string::npos, Err().find(u"\r\n"));
    } else {
      EXPECT_U16EQ(u"", Err());
      EXPECT_FALSE(Out().empty());
    }
  }
}

TEST_F(ArrayTableTest, LongestArgumentTexts) {
  const std::u16string texts[] = {
      std::u16string(MAX_TEXT_LEN, u'/'),
      std::u16string(MAX_TEXT_LEN, u'"'),
      u"/H:" + std::u16string(MAX_TEXT_LEN - 3, u'x'),
      u"/H\"" + std::u16string(MAX_TEXT_LEN - 3, u' '),
      std::u16string(MAX_TEXT_LEN, u'%'),
  };
  for (const auto& text : texts) {
    StandInClearCaptured();
    int result = Run(text);
    EXPECT_TRUE(result == 0 || result == 1);
  }
  // Sixteen-character options written together exhaust the store: the
  // splitter reports the overflow, then no name is found.
  std::u16string options;
  for (int k = 0; k < 1000; ++k) options += u"/Kaaaaaaaaaaaaaa";
  StandInClearCaptured();
  EXPECT_EQ(1, Run(options));
  EXPECT_U16EQ(ERR u"Buffer overflow: b = 16383, MAX_ARG_LEN = 16384 \r\n" ERR
                    u"Missing array name\r\n",
               Err());
  EXPECT_U16EQ(u"", Out());
}

TEST_F(ArrayTableTest, LongArrayNamesWork) {
  // The @arrayinfo query and the element references hold the whole name,
  // however long; up to 16368 characters the query fits what the host
  // reads.
  for (int length : {1008, 1009, 1010, 1011, 16000, 16368}) {
    SCOPED_TRACE(length);
    const std::string name(static_cast<size_t>(length), 'N');
    for (int dimensions : {1, 2}) {
      ASSERT_EQ(0, StandInDefineArray(name.c_str(), dimensions, 2, dimensions == 1 ? 0 : 1));
      StandInSetElement(name.c_str(), 0, 0, "first");
      StandInSetElement(name.c_str(), 1, 0, "second");
      StandInClearCaptured();
      EXPECT_EQ(0, Run(u"/L " + std::u16string(name.begin(), name.end())));
      EXPECT_U16EQ(TABLE TR TD(u"0") TD(u"first") END_TR TR TD(u"1") TD(u"second") END_TR END_TABLE,
                   Out());
      EXPECT_U16EQ(u"", Err());
    }
  }
  // A name as long as the whole argument text: its query is longer than
  // the host reads, which the host reports; the command ends cleanly.
  const std::u16string longest(MAX_TEXT_LEN, u'N');
  StandInClearCaptured();
  EXPECT_EQ(1, Run(longest));
  EXPECT_U16EQ(u"", Out());
  const std::u16string err = Err();
  const std::u16string message = ERR u"Not an array \"" + longest + u"\"\r\n";
  ASSERT_GE(err.size(), message.size());
  EXPECT_TRUE(err.compare(err.size() - message.size(), message.size(), message) == 0)
      << Printable(err.substr(0, 80));
}

// A host that reports odd shapes: @arrayinfo answered from a table
// instead of a real array, for the name SHAPE only.
const char16_t* gShapeAnswers[3];

int FakeArrayInfo(char16_t* buffer) {
  std::u16string argument(buffer);
  size_t comma = argument.rfind(u',');
  std::u16string name = argument.substr(0, comma);
  int index = argument[comma + 1] - u'0';
  std::u16string answer = u"0";
  if (name == u"SHAPE" && index >= 0 && index <= 2) answer = gShapeAnswers[index];
  answer.copy(buffer, answer.size());
  buffer[answer.size()] = 0;
  return 0;
}

struct ShapeCase {
  const char16_t* dimensions;
  const char16_t* rows;
  const char16_t* columns;
  const char16_t* arguments;
  int result;
  const char16_t* out;
  const char16_t* err;
};

TEST_F(ArrayTableTest, ShapesTheHostReports) {
  StandInRegisterFunction("arrayinfo", FakeArrayInfo);
  struct Unregister {
    ~Unregister() { StandInRegisterFunction("arrayinfo", nullptr); }
  } unregister;
  const ShapeCase cases[] = {
      {u"abc", u"1", u"1", u"shape", 1, u"", ERR u"Not an array \"SHAPE\"\r\n"},
      {u"", u"1", u"1", u"shape", 1, u"", ERR u"Not an array \"SHAPE\"\r\n"},
      {u"0", u"1", u"1", u"shape", 1, u"", ERR u"Not an array \"SHAPE\"\r\n"},
      {u"-2", u"1", u"1", u"shape", 1, u"", ERR u"Not an array \"SHAPE\"\r\n"},
      {u"3", u"1", u"1", u"shape", 1, u"", ERR u"Too many dimensions \"SHAPE\"\r\n"},
      {u"99999999999", u"1", u"1", u"shape", 1, u"", ERR u"Too many dimensions \"SHAPE\"\r\n"},
      {u"2", u"0", u"3", u"/H:Empty /L shape", 0,
       TABLE TH_ROW(u"<th colspan=\"4\">Empty</th>") END_TABLE, u""},
      // Rows of the line-number cell alone, or of no cell at all: the
      // header cell spans what there is, and is never narrower than one.
      {u"2", u"1", u"0", u"/H:x /L shape", 0,
       TABLE TH_ROW(u"<th colspan=\"1\">x</th>") TR TD(u"0") END_TR END_TABLE, u""},
      {u"2", u"1", u"-1", u"/H:x shape", 0, TABLE TH_ROW(u"<th colspan=\"1\">x</th>") TR END_TR END_TABLE,
       u""},
      {u"2", u"0", u"-99999999999", u"/H:x /L shape", 0,
       TABLE TH_ROW(u"<th colspan=\"1\">x</th>") END_TABLE, u""},
      {u"2", u"-7", u"3", u"/L shape", 0, TABLE END_TABLE, u""},
      {u"2", u"-99999999999", u"3", u"shape", 0, TABLE END_TABLE, u""},
      {u"2", u"2", u"0", u"/L:9 shape", 0, TABLE TR TD(u"9") END_TR TR TD(u"10") END_TR END_TABLE,
       u""},
      {u"2", u"1", u"-1", u"/L shape", 0, TABLE TR TD(u"0") END_TR END_TABLE, u""},
      {u"2", u"1", u"nonsense", u"shape", 0, TABLE TR END_TR END_TABLE, u""},
      // Read as a leading signed decimal: blanks and a sign before it,
      // anything after it.
      {u" +1", u"\t2 rows", u"7", u"/L shape", 0,
       TABLE TR TD(u"0") TD(u"&nbsp;") END_TR TR TD(u"1") TD(u"&nbsp;") END_TR END_TABLE, u""},
  };
  // Only the one-dimensional case fetches cells; they are empty.
  ASSERT_EQ(0, StandInDefineArray("shape", 1, 2, 0));
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(std::u16string(c.dimensions) + u"/" + c.rows + u"/" + c.columns));
    gShapeAnswers[0] = c.dimensions;
    gShapeAnswers[1] = c.rows;
    gShapeAnswers[2] = c.columns;
    StandInClearCaptured();
    EXPECT_EQ(c.result, Run(c.arguments));
    EXPECT_U16EQ(c.out, Out());
    EXPECT_U16EQ(c.err, Err());
  }
}

TEST(HeaderHasCellTags, NeedsAnOpeningAndAClosingThTag) {
  const struct {
    const char16_t* text;
    bool expected;
  } rows[] = {
      {nullptr, false},
      {u"", false},
      {u"Fruit", false},
      {u"<th>a</th>", true},
      {u"<TH>a</Th>", true},
      {u"</th><th>", true},
      {u"\uFF1Cth\uFF1Ea\uFF1C/th\uFF1E", true},
      {u"<th>a\uFF1C/th>", true},
      {u"<th class=x>a</th >", true},
      {u"<th</th", true},
      {u"<th>", false},
      {u"</th>", false},
      {u"<thead></thead>", false},
      {u"<thead><th>a</th></thead>", true},
      {u"<th1></th1>", false},
      {u"<th\u00B2></th\u00B2>", false},
      {u"<th\u00E9></th\u00E9>", false},
      {u"<th\u00D7></th\u00D7>", true},
      {u"< th></ th>", false},
      {u"<<th>a<</th>", true},
      {u"<t", false},
      {u"<", false},
      {u"</", false},
      {u"</t", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, HeaderHasCellTags(row.text))
        << (row.text ? Printable(row.text) : std::string("(null)"));
  }
}

TEST(ArrayTableFormat, ReferencesAreFormattedAndCut) {
  char16_t buffer[64];
  const struct {
    int capacity;
    const char16_t* name;
    int index;
    const char16_t* expected;
  } queries[] = {
      {1024, u"FRUIT", 0, u"%@arrayinfo[FRUIT,0]"},
      {1024, u"A", 5, u"%@arrayinfo[A,5]"},
      {21, u"FRUIT", 2, u"%@arrayinfo[FRUIT,2]"},
      {20, u"FRUIT", 2, u"%@arrayinfo[FRUIT,2"},
      {10, u"FRUIT", 2, u"%@arrayin"},
      {1, u"FRUIT", 2, u""},
  };
  for (const auto& q : queries) {
    int length = FormatArrayInfoQuery(buffer, q.capacity, q.name, q.index);
    EXPECT_U16EQ(q.expected, buffer);
    EXPECT_EQ(int(std::char_traits<char16_t>::length(q.expected)), length);
  }
  const struct {
    int capacity;
    const char16_t* name;
    int row, column;
    const char16_t* expected;
  } references[] = {
      {64, u"LIST", 2, -1, u"%LIST[2]"},
      {64, u"FRUIT", 1, 0, u"%FRUIT[1,0]"},
      {64, u"A", 2147483647, 1023, u"%A[2147483647,1023]"},
      {64, u"A", 0, 2147483647, u"%A[0,2147483647]"},
      {8, u"FRUIT", 1, 0, u"%FRUIT["},
      {10, u"FRUIT", 12, 0, u"%FRUIT[12"},
      {2, u"FRUIT", 1, 0, u"%"},
  };
  for (const auto& r : references) {
    int length = FormatElementReference(buffer, r.capacity, r.name, r.row, r.column);
    EXPECT_U16EQ(r.expected, buffer);
    EXPECT_EQ(int(std::char_traits<char16_t>::length(r.expected)), length);
  }
}

TEST_F(ArrayTableTest, QueryArrayInfoAsksTheHost) {
  ASSERT_EQ(0, StandInDefineArray("shape", 2, 7, 3));
  const struct {
    const char16_t* name;
    int index;
    int32_t expected;
  } rows[] = {
      {u"SHAPE", 0, 2}, {u"shape", 1, 7}, {u"SHAPE", 2, 3}, {u"SHAPE", 5, 21},
      {u"LIST", 0, 1},  {u"LIST", 1, 3},  {u"NOPE", 0, 0},  {nullptr, 0, -1},
      {u"", 0, -1},     {u"SHAPE", 6, -1}, {u"SHAPE", -1, -1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, QueryArrayInfo(row.name, row.index))
        << (row.name ? Printable(row.name) : std::string("(null)")) << "," << row.index;
  }
}

}  // namespace
