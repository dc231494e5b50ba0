// Identity record, the host capability test and the load line.
#include <gtest/gtest.h>

#include <string>

#include "frame/registration.h"
#include "kelvo/plugin.h"
#include "kelvo/version.h"
#include "test_support.h"

namespace {

const std::u16string AllNames =
    u"kelvo,arraytable,@deentitize,@doctype,@entag,@entitize,@hcomment,@hexdec,@hexenc,"
    u"@makeentity,@tag";
const std::u16string WithoutArrayTable =
    u"kelvo,@deentitize,@doctype,@entag,@entitize,@hcomment,@hexdec,@hexenc,@makeentity,@tag";

class RegistrationTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    ResetImplementedNames();
  }
};

TEST_F(RegistrationTest, RecordHoldsIdentityAndVersion) {
  PluginInfoRecord* info = GetPluginInfo();
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(std::u16string(u"Kelvo"), info->Name);
  EXPECT_EQ(std::u16string(u"Kelvo plugin"), info->Description);
  EXPECT_EQ(AllNames, info->Implements);
  // The record's three numbers read as the project's version.
  const std::string numbers = std::to_string(info->Major) + "." + std::to_string(info->Minor) +
                              "." + std::to_string(info->Build);
  EXPECT_EQ(std::u16string(PLUGIN_VERSION_TEXT), std::u16string(numbers.begin(), numbers.end()));
  EXPECT_EQ(0u, info->Reserved1);
  EXPECT_EQ(0u, info->Reserved2);
  EXPECT_NE(nullptr, info->Author);
  EXPECT_NE(nullptr, info->Email);
  EXPECT_NE(nullptr, info->WebPage);
}

TEST_F(RegistrationTest, HostVersionAndEditionDecideArrayTable) {
  const struct {
    const char* version;
    const char* processor;
    bool offered;
  } rows[] = {
      {"9", "TCC", false},     {"10", "TCC", true},    {"16.03", "TCC", true},
      {"255", "TCC", true},    {"256", "TCC", false},  {"", "TCC", false},
      {"abc", "TCC", false},   {"-5", "TCC", false},   {"20", "tccle", false},
      {"20", "TccLe", false},  {"20", "TCCLEX", true}, {"33.0", "TCC", true},
      {" 12", "TCC", true},    {"+12", "TCC", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.version) + " " + row.processor);
    StandInSetVariable("_4ver", row.version);
    StandInSetVariable("_cmdproc", row.processor);
    ResetImplementedNames();
    EXPECT_EQ(row.offered, HostSupportsArrayTable());
    EXPECT_EQ(row.offered ? AllNames : WithoutArrayTable, GetPluginInfo()->Implements);
  }
}

TEST_F(RegistrationTest, RemovalLastsForTheLifeOfTheModule) {
  StandInSetVariable("_4ver", "9");
  EXPECT_EQ(WithoutArrayTable, GetPluginInfo()->Implements);
  EXPECT_EQ(WithoutArrayTable, GetPluginInfo()->Implements);
  StandInSetVariable("_4ver", "20");
  EXPECT_EQ(WithoutArrayTable, GetPluginInfo()->Implements);
}

TEST(RemoveListEntryTest, Lists) {
  const struct {
    const char16_t* before;
    const char16_t* after;
  } rows[] = {
      {u"kelvo,arraytable,@tag", u"kelvo,@tag"},
      {u"kelvo,@tag,arraytable", u"kelvo,@tag"},
      {u"arraytable", u""},
      {u"arraytable;kelvo", u"kelvo"},
      {u"kelvo;ARRAYTABLE;@tag", u"kelvo;@tag"},
      {u"kelvo,arraytables,@tag", u"kelvo,arraytables,@tag"},
      {u"kelvo,array,@tag", u"kelvo,array,@tag"},
      {u"kelvo,@tag,", u"kelvo,@tag"},
      {u"arraytable,arraytable", u"arraytable"},
      {u"", u""},
      {u",", u""},
  };
  for (const auto& row : rows) {
    char16_t list[64];
    std::u16string before(row.before);
    std::copy(before.begin(), before.end(), list);
    list[before.size()] = 0;
    RemoveListEntry(list, u"arraytable");
    EXPECT_EQ(std::u16string(row.after), std::u16string(list)) << Printable(before);
  }
}

TEST_F(RegistrationTest, LoadLineOnlyWhenTheQuietCheckIsExactly00) {
  const struct {
    const char* transient;
    const char* pipe;
    const char* noloadmsg;  // null: unset
    bool printed;
  } rows[] = {
      {"0", "0", nullptr, true},  {"0", "1", nullptr, false}, {"1", "0", nullptr, false},
      {"0", "0", "1", false},     {"0", "0", "x", false},     {"00", "", nullptr, true},
      {"", "", nullptr, false},   {"0", "0 ", nullptr, false},
  };
  for (const auto& row : rows) {
    StandInClearCaptured();
    StandInSetVariable("_transient", row.transient);
    StandInSetVariable("_pipe", row.pipe);
    if (row.noloadmsg != nullptr) {
      StandInSetVariable("noloadmsg", row.noloadmsg);
    } else {
      StandInUnsetVariable("noloadmsg");
    }
    EXPECT_EQ(0, InitializePlugin());
    EXPECT_EQ(row.printed ? std::u16string(u"Kelvo plugin v" PLUGIN_VERSION_TEXT u" loaded.\n") : std::u16string(),
              Out())
        << row.transient << "|" << row.pipe;
  }
}

TEST_F(RegistrationTest, ShutdownDoesNothing) {
  EXPECT_EQ(0, ShutdownPlugin(0));
  EXPECT_EQ(0, ShutdownPlugin(1));
  EXPECT_U16EQ(u"", Out());
}

}  // namespace
