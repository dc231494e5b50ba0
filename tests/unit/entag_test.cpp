// @ENTAG: the split at the first comma outside double quotes, the tag
// name, the entitized string between the tags, and results that would
// outgrow the buffer: the string is cut cleanly, both tags stay whole.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "function_call.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

const char16_t MissingTag[] = u"Kelvo plugin: Missing tag name\r\n";

class EntagTest : public HostFixture {};

TEST_F(EntagTest, NullBuffer) { EXPECT_EQ(-1, f_entag(nullptr)); }



// Every length of tag text and of tag name from 1 to 20 units, with and
// without attributes: the short tags are moved in pieces of a fixed size
// that overlap, so each length must come out whole and nothing else
// changes.
TEST_F(EntagTest, EveryShortTagLength) {
  const std::u16string letters = u"abcdefghijklmnopqrst";
  for (int nameLength = 1; nameLength <= 20; ++nameLength) {
    const std::u16string name = letters.substr(0, static_cast<size_t>(nameLength));
    for (const std::u16string& attributes : {std::u16string(), std::u16string(u" c=\"1\"")}) {
      const std::u16string tag = name + attributes;
      SCOPED_TRACE(Printable(tag));
      const FunctionCall call = CallFunction(f_entag, tag + u",x&y");
      EXPECT_EQ(0, call.result);
      EXPECT_EQ(u"\uFF1C" + tag + u"\uFF1Ex\uFF06amp;y\uFF1C/" + name + u"\uFF1E", call.text);
    }
  }
}

// Any code units at the longest length: both tags whole around whatever
// of the string fits, and nothing read or written outside the buffer.
TEST_F(EntagTest, AnyCodeUnitsAtTheLongestLength) {
  const char16_t units[] = {u'a', u' ',   u'\t',  u'"',   u'\'',  u'-',   u'&',   u'<',
                            u',', 0xFF1C, 0xFF1E, 0xD800, 0xDFFF, 0x3000, 0x2014, 0x01};
  unsigned seed = 12345;
  for (int n = 0; n < 30; ++n) {
    std::u16string input = u"p class=\"a,b\",";
    while (input.size() < static_cast<size_t>(MAX_TEXT_LEN)) {
      seed = seed * 1103515245u + 12345u;
      input += units[(seed >> 16) % std::size(units)];
    }
    const FunctionCall call = CallFunction(f_entag, input);
    ASSERT_EQ(0, call.result);
    ASSERT_LE(call.text.size(), static_cast<size_t>(MAX_TEXT_LEN));
    EXPECT_EQ(u"\uFF1Cp class=\"a,b\"\uFF1E", call.text.substr(0, 15));
    EXPECT_EQ(u"\uFF1C/p\uFF1E", call.text.substr(call.text.size() - 4));
  }
}

}  // namespace
