// @MAKEENTITY: a single character's entity or decimal reference, a name
// argument composed into an entity, the four options restored after the
// call, and names too long to get their ';'.
#include <gtest/gtest.h>

#include <string>

#include "function_call.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "options/plugin_options.h"
#include "test_support.h"

namespace {

const char16_t Missing[] = u"Kelvo plugin: Missing argument\r\n";

class MakeEntityTest : public HostFixture {};


TEST_F(MakeEntityTest, NullBuffer) { EXPECT_EQ(-1, f_makeentity(nullptr)); }

// Every single code unit: the result is always one whole entity, and the
// options come back unchanged.
TEST_F(MakeEntityTest, EverySingleCharacterGivesOneEntity) {
  PluginOptions.quotes = Quotes::Never;
  PluginOptions.spaces = Spaces::Never;
  PluginOptions.dash = Dash::Never;
  PluginOptions.apos = Apos::Never;
  for (unsigned c = 1; c <= 0xFFFF; ++c) {
    char16_t buffer[MAX_ARG_LEN] = {static_cast<char16_t>(c), 0};
    ASSERT_EQ(0, f_makeentity(buffer)) << c;
    const std::u16string result(buffer);
    ASSERT_GE(result.size(), 3u) << c;
    ASSERT_EQ(u'\uFF06', result.front()) << c;
    ASSERT_EQ(u';', result.back()) << c;
    ASSERT_EQ(std::u16string::npos, result.find(u'\uFF06', 1)) << c;
  }
  EXPECT_EQ(Quotes::Never, PluginOptions.quotes);
  EXPECT_EQ(Spaces::Never, PluginOptions.spaces);
  EXPECT_EQ(Dash::Never, PluginOptions.dash);
  EXPECT_EQ(Apos::Never, PluginOptions.apos);
}


}  // namespace
