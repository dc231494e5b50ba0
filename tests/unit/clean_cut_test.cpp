// A result that reaches the buffer's last text slot keeps a surrogate pair
// whole: the pair is there when it ends at unit 16383, and gone, both
// halves, when its low half would be the 16384th.
#include <gtest/gtest.h>

#include <string>

#include "function_call.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {

const std::u16string Pair = u"\U0001F600";
const std::u16string AmpEntity = u"\uFF06amp;";

std::u16string Xs(int n) { return std::u16string(static_cast<size_t>(n), u'x'); }

class CleanCutTest : public HostFixture {};

TEST_F(CleanCutTest, FunctionsThatGrowTheirText) {
  // "&" grows to five units, so a text of these lengths reaches the end
  // of the result with its pair.
  const int fits = MAX_TEXT_LEN - 5 - 2;  // x units before the pair ends at 16383
  const std::u16string open = u"\uFF1Cp\uFF1E";
  const std::u16string close = u"\uFF1C/p\uFF1E";
  const int bodyFits = fits - 7;  // the tags take seven units
  const struct {
    const char* name;
    ExportedFunction function;
    std::u16string input;
    std::u16string expected;
  } rows[] = {
      {"@ENTITIZE whole", f_entitize, u"&" + Xs(fits) + Pair, AmpEntity + Xs(fits) + Pair},
      {"@ENTITIZE cut", f_entitize, u"&" + Xs(fits + 1) + Pair, AmpEntity + Xs(fits + 1)},
      {"@ENTAG whole", f_entag, u"p,&" + Xs(bodyFits) + Pair, open + AmpEntity + Xs(bodyFits) + Pair + close},
      {"@ENTAG cut", f_entag, u"p,&" + Xs(bodyFits + 1) + Pair, open + AmpEntity + Xs(bodyFits + 1) + close},
      // @MAKEENTITY never cuts: a name whose entity would not fit whole is
      // refused.
      {"@MAKEENTITY whole", f_makeentity, Xs(MAX_TEXT_LEN - 4) + Pair, u"\uFF06" + Xs(MAX_TEXT_LEN - 4) + Pair + u";"},
      {"@MAKEENTITY refused", f_makeentity, Xs(MAX_TEXT_LEN - 3) + Pair, Xs(MAX_TEXT_LEN - 3) + Pair},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const FunctionCall call = CallFunction(row.function, row.input);
    EXPECT_TRUE(call.text == row.expected) << call.text.size() << " units, expected " << row.expected.size();
    EXPECT_LE(call.text.size(), static_cast<size_t>(MAX_TEXT_LEN));
  }
}

TEST_F(CleanCutTest, ArrayTableCells) {
  const int fits = MAX_TEXT_LEN - 5 - 2;
  StandInDefineArray("cut", 1, 2, 0);
  auto utf8 = [](int xs) { return "&" + std::string(static_cast<size_t>(xs), 'x') + "\xF0\x9F\x98\x80"; };
  StandInSetElement("cut", 0, 0, utf8(fits).c_str());
  StandInSetElement("cut", 1, 0, utf8(fits + 1).c_str());
  std::u16string arguments = u"cut";
  ASSERT_EQ(0, arraytable(arguments.data()));
  const std::u16string out = Out();
  EXPECT_NE(std::u16string::npos, out.find(AmpEntity + Xs(fits) + Pair + u"</td>"));
  EXPECT_NE(std::u16string::npos, out.find(AmpEntity + Xs(fits + 1) + u"</td>"));
  EXPECT_EQ(std::u16string::npos, out.find(u"\xD83D</td>"));
}

}  // namespace
