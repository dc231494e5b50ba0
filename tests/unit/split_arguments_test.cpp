// The command-line splitter: argument text in, arguments out.
#include <random>
#include <string>
#include <vector>

#include "arraytable/split_arguments.h"
#include "models.h"
#include "test_support.h"

namespace {

using Args = std::vector<std::u16string>;

Args SplitResult() {
  Args args;
  for (int k = 0; k < ArgCount; ++k) args.emplace_back(ArgPointers[k], ArgLengths[k]);
  return args;
}

std::string Show(const Args& args) {
  std::string out;
  for (const auto& a : args) out += "[" + Printable(a) + "]";
  return out;
}

class SplitArgumentsTest : public HostFixture {};

struct SplitCase {
  const char* name;
  std::u16string text;
  Args expected;
};

TEST_F(SplitArgumentsTest, SplitsArgumentText) {
  const SplitCase cases[] = {
      {"empty text", u"", {}},
      {"white space only", u" \t\r\n\v\f\u00A0 ", {}},
      {"single word", u"fruit", {u"fruit"}},
      {"words and blanks", u"  /L   fruit  ", {u"/L", u"fruit"}},
      {"options written together", u"/L/H:Title data", {u"/L", u"/H:Title", u"data"}},
      {"slash inside an unquoted value splits", u"/H:a/b", {u"/H:a", u"/b"}},
      {"slash inside a quoted value stays", u"/H:\"a/b\"", {u"/H:a/b"}},
      {"slash in a non-option never splits", u"a/b/z", {u"a/b/z"}},
      {"leading double slash stays together", u"//x", {u"//x"}},
      {"pair of slashes after an option", u"/a//b", {u"/a", u"//b"}},
      {"lone slash then option", u"/ /K", {u"/", u"/K"}},
      {"two-character option splits at the next slash", u"/x/y", {u"/x", u"/y"}},
      {"quote behind a two-character option becomes ':'", u"/H\"Fruit and veg\"",
       {u"/H:Fruit and veg"}},
      {"lower-case option letter counts", u"/h\"a b\"", {u"/h:a b"}},
      {"Latin-1 letter counts", u"/\u00E9\"a b\"", {u"/\u00E9:a b"}},
      {"letter above U+00FF counts", u"/\u0416\"a b\"", {u"/\u0416:a b"}},
      {"digit is no option letter", u"/1\"a b\"", {u"/1a b"}},
      {"quote behind a longer option only goes", u"/CK1\"two words\"", {u"/CK1two words"}},
      {"quote behind separator only goes", u"/H:\"two words\"", {u"/H:two words"}},
      {"empty quotes behind a short option", u"/H\"\"", {u"/H:"}},
      {"closing quote is never replaced", u"/H\"x\"\"y\"", {u"/H:xy"}},
      {"quoted text trimmed at both ends", u"x \"  padded  \" y", {u"x", u"padded", u"y"}},
      {"empty quotes alone give nothing", u"\"\"", {}},
      {"empty quotes between words", u"a \"\" b", {u"a", u"b"}},
      {"white space inside quotes stays", u"ab\"c  d\"ef", {u"abc  def"}},
      {"quote joins words", u"a\" \"b", {u"a b"}},
      {"unclosed quote lasts to the end", u"/H:\"a b   ", {u"/H:a b"}},
      {"commas and equals signs never split", u"a,b=z", {u"a,b=z"}},
      {"tab, line feed and no-break space separate", u"a\tb\nc\u00A0d", {u"a", u"b", u"c", u"d"}},
      {"ideographic space separates", u"a\u3000b", {u"a", u"b"}},
      {"U+001F and U+0085 are no white space", u"a\u001Fb c\u0085d", {u"a\u001Fb", u"c\u0085d"}},
      {"lone surrogates and fullwidth forms are plain", u"\xD800x \uFF06\uFF1C \xDC00",
       {u"\xD800x", u"\uFF06\uFF1C", u"\xDC00"}},
      {"percent and question mark", u"/? %fruit", {u"/?", u"%fruit"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::u16string text = c.text;
    int result = SplitArguments(text.c_str());
    EXPECT_EQ(result, static_cast<int>(c.expected.size()));
    EXPECT_EQ(ArgCount, result);
    EXPECT_EQ(Show(SplitResult()), Show(c.expected));
    EXPECT_EQ(text, c.text) << "the input text is never changed";
    EXPECT_U16EQ(u"", Err());
  }
}

TEST_F(SplitArgumentsTest, ArgumentsFollowEachOtherInTheStore) {
  ASSERT_EQ(SplitArguments(u"/L/H:Title data"), 3);
  EXPECT_EQ(ArgPointers[0], ArgStore);
  for (int k = 0; k + 1 < ArgCount; ++k) {
    EXPECT_EQ(ArgPointers[k][ArgLengths[k]], u'\0');
    EXPECT_EQ(ArgPointers[k + 1], ArgPointers[k] + ArgLengths[k] + 1);
  }
}

TEST_F(SplitArgumentsTest, TrimmingWritesTerminators) {
  ASSERT_EQ(SplitArguments(u"\"ab  \" c"), 2);
  EXPECT_EQ(ArgLengths[0], 2);
  EXPECT_EQ(std::u16string(ArgPointers[0]), u"ab");
}

TEST_F(SplitArgumentsTest, EntriesOfAnEarlierCallAreCleared) {
  ASSERT_EQ(SplitArguments(u"a b c d"), 4);
  ASSERT_EQ(SplitArguments(u"x"), 1);
  for (int k = 1; k < MAX_ARGS; ++k) {
    EXPECT_EQ(ArgPointers[k], nullptr);
    EXPECT_EQ(ArgLengths[k], 0);
  }
}

TEST_F(SplitArgumentsTest, NullTextLeavesTablesAlone) {
  ASSERT_EQ(SplitArguments(u"a b"), 2);
  EXPECT_EQ(SplitArguments(nullptr), -1);
  EXPECT_EQ(ArgCount, 2);
  EXPECT_EQ(std::u16string(ArgPointers[1]), u"b");
  EXPECT_U16EQ(u"", Err());
}

std::u16string Words(int count, const std::u16string& separator) {
  std::u16string text;
  for (int k = 1; k <= count; ++k) {
    if (k > 1) text += separator;
    text += u"/w";
    for (char c : std::to_string(k)) text += static_cast<char16_t>(c);
  }
  return text;
}

TEST_F(SplitArgumentsTest, ArgumentsBeyondTheLimitAreDropped) {
  struct {
    const char* name;
    std::u16string text;
  } cases[] = {
      {"1024 words", Words(1024, u" ")},
      {"1025 words", Words(1025, u" ")},
      {"1500 words", Words(1500, u"  ")},
      {"1100 options written together", Words(1100, u"")},
      {"1025 words and a quoted tail", Words(1025, u" ") + u" /H\"x y\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitArguments(c.text.c_str()), MAX_ARGS);
    EXPECT_EQ(ArgCount, MAX_ARGS);
    EXPECT_EQ(std::u16string(ArgPointers[0]), u"/w1");
    EXPECT_EQ(std::u16string(ArgPointers[MAX_ARGS - 1]), u"/w1024");
    EXPECT_U16EQ(u"", Err());
  }
}

struct OverflowCase {
  const char* name;
  std::u16string text;
  int result;     // -1 for the overflow
  int reached;    // b in the message
};

TEST_F(SplitArgumentsTest, StoreLimit) {
  std::u16string sixteen = u"/aaaaaaaaaaaaaaa";
  std::u16string thousandOptions;
  for (int k = 0; k < 1000; ++k) thousandOptions += sixteen;

  // "/a/" and 16379 x fill the store up to its last usable slot, 16382:
  // "/a" at 0-1, its terminator at 2, the second argument at 3-16382.
  const std::u16string fullStore = u"/a/" + std::u16string(16379, u'x');
  const std::u16string oneShort = u"/a/" + std::u16string(16378, u'x');
  // Five splits more leave five characters of the text for what follows
  // a full store: five "/a" at 0-14, then "/" and 16367 x at 15-16382.
  std::u16string fiveSplits;
  for (int k = 0; k < 5; ++k) fiveSplits += u"/a";
  const std::u16string fullAfterSplits = fiveSplits + u"/" + std::u16string(16367, u'x');
  // 1023 options "/a" at 0-3068, the 1024th argument at 3069-16382.
  std::u16string manyOptions;
  for (int k = 0; k < 1023; ++k) manyOptions += u"/a";
  const std::u16string lastArgumentFills = manyOptions + u"/" + std::u16string(13313, u'x');

  const OverflowCase cases[] = {
      {"longest text as one argument", std::u16string(MAX_TEXT_LEN, u'x'), 1, 0},
      {"a thousand options of sixteen characters", thousandOptions, -1, 16383},
      {"store filled to its last slot", fullStore, 2, 0},
      {"separator after the last slot", fullStore + u" ", 2, 0},
      {"split after the last slot", fullStore + u"/", -1, 16384},
      {"separator before the last slot", oneShort + u" ", 2, 0},
      {"character after the last slot", oneShort + u" y", -1, 16383},
      // White space after a full store loses nothing: the argument ends,
      // or it would have been trimmed away.
      {"blanks after a full store", fullAfterSplits + u"  \t  ", 6, 0},
      {"quoted blanks after a full store", fullAfterSplits + u"\"  \"", 6, 0},
      {"unclosed quoted blanks after a full store", fullAfterSplits + u"\" \u00A0", 6, 0},
      {"word after a full store", fullAfterSplits + u"  y", -1, 16384},
      {"quoted word after a full store", fullAfterSplits + u"\" y\"", -1, 16383},
      // "/H" at 16381-16382: the ':' its quote stands for does not fit.
      {"quote that stands for ':' after a full store",
       fiveSplits + u"/" + std::u16string(16364, u'x') + u"/H\"a\"", -1, 16383},
      // Past the 1024th argument text is dropped silently, full store or not.
      {"1025th argument after a full store", lastArgumentFills + u" extra", MAX_ARGS, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StandInClearCaptured();
    ASSERT_LE(c.text.size(), static_cast<size_t>(MAX_TEXT_LEN));
    EXPECT_EQ(SplitArguments(c.text.c_str()), c.result);
    if (c.result < 0) {
      EXPECT_EQ(ArgCount, 0);
      std::string expected = "Kelvo plugin: Buffer overflow: b = " + std::to_string(c.reached) +
                             ", MAX_ARG_LEN = 16384 \r\n";
      EXPECT_U16EQ(std::u16string(expected.begin(), expected.end()), Err());
    } else {
      EXPECT_EQ(ArgCount, c.result);
      EXPECT_U16EQ(u"", Err());
    }
  }
}

TEST_F(SplitArgumentsTest, OverflowOnlyWhenACharacterIsLost) {
  // Options written together fill the store to within a few slots of its
  // end, then a tail of white space, quotes, words and splits follows; the
  // plain model (a store without a limit) says what is lost.
  const char16_t* const tails[] = {u" ", u"\t", u"\"", u"y", u"/", u"/H", u"\u00A0", u"\"\""};
  std::mt19937 rng(4242);
  int overflows = 0;
  int fits = 0;
  for (int n = 0; n < 1000; ++n) {
    const int options = 10 + static_cast<int>(rng() % 200);
    const int lastSlot = 16382 + static_cast<int>(rng() % 7) - 3;
    std::u16string text;
    for (int k = 0; k < options; ++k) text += u"/ab";
    text += u"/" + std::u16string(static_cast<size_t>(lastSlot - 4 * options), u'x');
    for (int k = static_cast<int>(rng() % 7); k > 0; --k) text += tails[rng() % std::size(tails)];
    if (text.size() > size_t(MAX_TEXT_LEN)) continue;

    StandInClearCaptured();
    const int result = SplitArguments(text.c_str());
    const SplitModel model = ModelSplitArguments(text);
    SCOPED_TRACE(Printable(text.substr(text.size() - 12)));
    ASSERT_EQ(model.overflows, result < 0);
    if (result < 0) {
      ++overflows;
      continue;
    }
    ++fits;
    EXPECT_EQ(Show(SplitResult()), Show(model.arguments));
    EXPECT_U16EQ(u"", Err());
  }
  EXPECT_GT(overflows, 150);
  EXPECT_GT(fits, 150);
}

TEST_F(SplitArgumentsTest, OverflowKeepsEntriesFilledBefore) {
  std::u16string text;
  for (int k = 0; k < 1000; ++k) text += u"/aaaaaaaaaaaaaaa";
  ASSERT_EQ(SplitArguments(text.c_str()), -1);
  EXPECT_EQ(ArgCount, 0);
  EXPECT_EQ(ArgLengths[0], 16);
  EXPECT_EQ(std::u16string(ArgPointers[962]), u"/aaaaaaaaaaaaaaa");
}

}  // namespace
