// Variables, the plugin's environment and batch parameters of the stand-in
// host.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "standin.h"
#include "test_support.h"

namespace {

std::u16string Expanded(const std::u16string& text) {
  static char16_t buffer[MAX_ARG_LEN];
  std::u16string in = text.substr(0, MAX_TEXT_LEN);
  in.copy(buffer, in.size());
  buffer[in.size()] = 0;
  ExpandVariables(buffer, 1);
  return buffer;
}

std::string Get(const char* name) {
  const char* value = StandInGetVariable(name);
  return value == nullptr ? std::string("<unset>") : std::string(value);
}

class HostVariables : public HostFixture {};

TEST_F(HostVariables, InternalVariablesHaveDefaults) {
  const struct {
    const char* name;
    const char* value;
  } defaults[] = {
      {"_4ver", "33.0"}, {"_cmdproc", "TCC"},   {"_transient", "1"}, {"_pipe", "0"},
      {"_batch", "0"},   {"_batchname", ""},    {"_batchline", "0"},
  };
  for (const auto& d : defaults) EXPECT_EQ(std::string(d.value), Get(d.name)) << d.name;
  EXPECT_U16EQ(u"33.0|TCC|1|0|0||0",
               Expanded(u"%_4ver|%_cmdproc|%[_transient]|%_pipe|%_batch|%_batchname|%_batchline"));
}

TEST_F(HostVariables, NamesIgnoreCase) {
  StandInSetVariable("Fruit", "apple");
  EXPECT_EQ("apple", Get("FRUIT"));
  StandInSetVariable("FRUIT", "pear");
  EXPECT_EQ("pear", Get("fruit"));
  EXPECT_U16EQ(u"pear pear", Expanded(u"%fRuIt %[FRUIT]"));
}

// What the plugin's environment lookup sees through StandInEnvironment.
std::string Environment(const char16_t* name, int capacity = 64) {
  char16_t buffer[64];
  for (char16_t& c : buffer) c = u'#';
  int length = StandInEnvironment(name, buffer, capacity);
  std::u16string value(buffer);
  if (length < 0) return value.empty() ? "<too long>" : "<too long, not emptied>";
  if (size_t(length) != value.size()) return "<wrong length>";
  if (length + 1 < 64 && buffer[length + 1] != u'#') return "<written past the value>";
  return length == 0 ? "<absent>" : std::string(value.begin(), value.end());
}

TEST_F(HostVariables, ThePluginsEnvironmentIsTheVariablesThenTheProcess) {
  StandInSetVariable("Kelvo_Test_Keep", "~");
  StandInSetEnvironment("KELVO_TEST_OUTSIDE", "out");
  StandInSetEnvironment("KELVO_TEST_SHADOWED", "process");
  StandInSetVariable("kelvo_test_shadowed", "variable");
  StandInSetVariable("_kelvo_test_internal", "internal");
  const struct {
    const char16_t* name;
    int capacity;
    const char* want;
  } cases[] = {
      {u"KELVO_TEST_KEEP", 64, "~"},           // a variable, its name in any case
      {u"kelvo_test_keep", 64, "~"},
      {u"kelvo_test_outside", 64, "out"},      // the process, its name in any case
      {u"KELVO_TEST_SHADOWED", 64, "variable"},  // the variable comes first
      {u"_kelvo_test_internal", 64, "<absent>"},  // internal variables are no environment
      {u"KELVO_TEST_NONE", 64, "<absent>"},
      {u"", 64, "<absent>"},
      {u"KELVO_TEST_OUTSIDE", 4, "out"},       // exactly fits with its terminator
      {u"KELVO_TEST_OUTSIDE", 3, "<too long>"},
      {u"KELVO_TEST_KEEP", 1, "<too long>"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.want, Environment(c.name, c.capacity)) << Printable(c.name);

  // Nothing is copied into the process environment: a `set` costs the
  // same however many variables there are.
  EXPECT_EQ(nullptr, std::getenv("Kelvo_Test_Keep"));
  StandInUnsetVariable("KELVO_TEST_KEEP");
  EXPECT_EQ("<absent>", Environment(u"kelvo_test_keep"));
  StandInReset();
  StandInCapture(1);
  EXPECT_EQ("process", Environment(u"kelvo_test_shadowed"));
  StandInSetEnvironment("KELVO_TEST_OUTSIDE", nullptr);
  StandInSetEnvironment("KELVO_TEST_SHADOWED", nullptr);
  char16_t buffer[4] = {u'x', 0, 0, 0};
  EXPECT_EQ(-1, StandInEnvironment(u"A", buffer, 0));
  EXPECT_EQ(u'x', buffer[0]);
  EXPECT_EQ(-1, StandInEnvironment(nullptr, buffer, 4));
}

TEST_F(HostVariables, TheProcessEnvironmentPrefersTheExactName) {
  // The entry spelt as asked wins over one that differs in case, wherever
  // either stands; a long name and one beyond ASCII are found as well.
  const std::string longName = "KELVO_TEST_" + std::string(80, 'L');
  StandInSetEnvironment("kelvo_test_case", "lower");
  StandInSetEnvironment("KELVO_TEST_CASE", "upper");
  StandInSetEnvironment(longName.c_str(), "long");
  StandInSetEnvironment("KELVO_TEST_GR\xC3\x96SSE", "size");
  const std::u16string longVariable = u"kelvo_test_var_" + std::u16string(80, u'v');
  StandInSetVariable(std::string(longVariable.begin(), longVariable.end()).c_str(), "set");
  const struct {
    std::u16string name;
    const char* want;
  } cases[] = {
      {u"KELVO_TEST_CASE", "upper"},
      {u"kelvo_test_case", "lower"},
      {u"Kelvo_Test_Case", "lower"},  // no exact entry: the first without regard to case
      {u"kelvo_test_" + std::u16string(80, u'l'), "long"},
      {u"KELVO_TEST_GR\u00D6SSE", "size"},
      {u"KELVO_TEST_VAR_" + std::u16string(80, u'V'), "set"},
      {u"KELVO_TEST_CASE=", "<absent>"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.want, Environment(c.name.c_str())) << Printable(c.name);
  StandInSetEnvironment("kelvo_test_case", nullptr);
  StandInSetEnvironment("KELVO_TEST_CASE", nullptr);
  StandInSetEnvironment(longName.c_str(), nullptr);
  StandInSetEnvironment("KELVO_TEST_GR\xC3\x96SSE", nullptr);
}

TEST_F(HostVariables, TheProcessEnvironmentIsReadAgainAfterEachChange) {
  EXPECT_EQ("<absent>", Environment(u"kelvo_test_fresh"));  // read here
  const struct {
    const char* name;
    const char* value;  // null: removed
    const char16_t* asked;
    const char* want;
  } steps[] = {
      {"KELVO_TEST_FRESH", "one", u"kelvo_test_fresh", "one"},
      {"KELVO_TEST_FRESH", "two", u"KELVO_TEST_FRESH", "two"},
      {"kelvo_test_fresh", "lower", u"kelvo_test_fresh", "lower"},  // a second spelling
      {"kelvo_test_fresh", "lower", u"KELVO_TEST_FRESH", "two"},     // the exact one still wins
      {"KELVO_TEST_FRESH", nullptr, u"KELVO_TEST_FRESH", "lower"},   // the other is left
      {"kelvo_test_fresh", nullptr, u"kelvo_test_fresh", "<absent>"},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(0, StandInSetEnvironment(step.name, step.value));
    EXPECT_EQ(step.want, Environment(step.asked)) << step.name << " " << Printable(step.asked);
  }
  // A variable hides the process entry until it is unset.
  StandInSetEnvironment("KELVO_TEST_FRESH", "process");
  StandInSetVariable("kelvo_test_fresh", "variable");
  EXPECT_EQ("variable", Environment(u"KELVO_TEST_FRESH"));
  StandInUnsetVariable("KELVO_TEST_FRESH");
  EXPECT_EQ("process", Environment(u"KELVO_TEST_FRESH"));
  // Set empty is not removed.
  StandInSetEnvironment("KELVO_TEST_FRESH", "");
  EXPECT_EQ(std::string(""), std::getenv("KELVO_TEST_FRESH"));
  StandInSetEnvironment("KELVO_TEST_FRESH", nullptr);
  EXPECT_EQ(nullptr, std::getenv("KELVO_TEST_FRESH"));
  for (const char* refused : {static_cast<const char*>(nullptr), "", "A=B"}) {
    EXPECT_EQ(-1, StandInSetEnvironment(refused, "x")) << (refused == nullptr ? "null" : refused);
  }

  // A change made behind the host's back is seen after a reset.
  setenv("KELVO_TEST_BEHIND", "later", 1);
  StandInReset();
  StandInCapture(1);
  EXPECT_EQ("later", Environment(u"kelvo_test_behind"));
  unsetenv("KELVO_TEST_BEHIND");
  StandInReset();
  StandInCapture(1);
  EXPECT_EQ("<absent>", Environment(u"kelvo_test_behind"));
}

// Any sequence of sets and unsets, names in any case, leaves what a
// sorted map of the upper-cased names would hold, through the growth of
// the table and removals from anywhere in it.
TEST_F(HostVariables, SetsAndUnsetsAgreeWithASortedMap) {
  std::mt19937 random(20261208);
  std::map<std::string, std::pair<std::string, std::string>> model;  // upper-cased: as first set, value
  auto upper = [](std::string name) {
    for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
    return name;
  };
  auto check = [&](int step) {
    std::string listing;
    for (const auto& entry : model) listing += entry.second.first + "=" + entry.second.second + "\n";
    ASSERT_EQ(listing, std::string(StandInVariableList())) << "after step " << step;
    for (int i = 0; i < 600; ++i) {
      const std::string name = "kvar" + std::to_string(i);
      auto found = model.find(upper(name));
      ASSERT_EQ(found == model.end() ? "<unset>" : found->second.second, Get(name.c_str())) << name;
    }
  };
  for (int step = 1; step <= 30000; ++step) {
    std::string name = "kvar" + std::to_string(random() % 600);
    for (char& c : name) {
      if (random() % 2 != 0) c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    if (random() % 3 == 0) {
      StandInUnsetVariable(name.c_str());
      model.erase(upper(name));
    } else {
      const std::string value = std::to_string(step);
      StandInSetVariable(name.c_str(), value.c_str());
      auto& entry = model[upper(name)];
      if (entry.first.empty()) entry.first = name;
      entry.second = value;
    }
    if (step % 5000 == 0) check(step);
  }
}

TEST_F(HostVariables, NamesAreLettersAndDigitsOfAnyScript) {
  const struct {
    const char16_t* name;
    int valid;
  } cases[] = {
      {u"abc_$9", 1},   {u"Größe", 1},   {u"τιμή", 1},    {u"Фрукты", 1},  {u"果物", 1},
      {u"x\u00B2", 1},  {u"\U0001D49C", 1},  // a letter outside the basic plane
      {u"", 0},         {u"a-b", 0},     {u"a b", 0},     {u"a\u00A0b", 0}, {u"a\u00D7b", 0},
      {u"a\u20ACb", 0}, {u"a\u2014b", 0}, {u"a\u3000b", 0}, {u"a\uFF06b", 0}, {u"a\uFF1Cb", 0},
      {u"a\u00AAb", 0},  // ª is no letter in the plugin's Latin-1 table either
  };
  for (const auto& c : cases) EXPECT_EQ(c.valid, StandInValidName(c.name)) << Printable(c.name);
  EXPECT_EQ(0, StandInValidName(nullptr));
}

TEST_F(HostVariables, InternalVariablesStayOutOfTheEnvironment) {
  StandInSetVariable("_kelvo_internal", "x");
  EXPECT_EQ(nullptr, std::getenv("_kelvo_internal"));
  EXPECT_EQ("x", Get("_kelvo_internal"));
  // An internal variable may hold an empty value; unset it expands to nothing.
  StandInSetVariable("_4ver", "");
  EXPECT_EQ("", Get("_4ver"));
  StandInUnsetVariable("_cmdproc");
  EXPECT_EQ("<unset>", Get("_cmdproc"));
  EXPECT_U16EQ(u"[][]", Expanded(u"[%_4ver][%_cmdproc]"));
  StandInReset();
  StandInCapture(1);
  EXPECT_EQ("33.0", Get("_4ver"));
  EXPECT_EQ("TCC", Get("_cmdproc"));
}

TEST_F(HostVariables, UnsetNamesFallBackToTheEnvironment) {
  StandInSetEnvironment("KELVO_TEST_FROM_ENV", "outside");
  StandInSetEnvironment("_KELVO_TEST_INTERNAL", "outside");
  EXPECT_U16EQ(u"outside|", Expanded(u"%KELVO_TEST_FROM_ENV|%_KELVO_TEST_INTERNAL"));
  EXPECT_U16EQ(u"outside", Expanded(u"%kelvo_test_from_env"));
  StandInSetEnvironment("KELVO_TEST_FROM_ENV", nullptr);
  StandInSetEnvironment("_KELVO_TEST_INTERNAL", nullptr);
}

TEST_F(HostVariables, ListingIsSortedAndLeavesOutInternals) {
  StandInSetVariable("zeta", "1");
  StandInSetVariable("Alpha", "2");
  StandInSetVariable("_hidden", "3");
  EXPECT_EQ(std::string("Alpha=2\nzeta=1\n"), std::string(StandInVariableList()));
}

TEST_F(HostVariables, AnyUnitsSurviveTheUtf8Interface) {
  StandInSetVariable("lone", "a\xED\xA0\x80z");  // U+D800 as a three-byte sequence
  EXPECT_U16EQ(u"a\xD800z", Expanded(u"%lone"));
  EXPECT_EQ(std::string("a\xED\xA0\x80z"), Get("lone"));
  StandInSetVariable("bad", "\xFF\xC3");  // invalid bytes
  EXPECT_U16EQ(u"\uFFFD\uFFFD", Expanded(u"%bad"));
}

TEST_F(HostVariables, BatchParameters) {
  const char* arguments[] = {"run.btm", "one", "two", "3", "4", "5", "6", "7", "8", "9", "ten"};
  StandInSetBatchArguments(11, arguments);
  const struct {
    const char16_t* text;
    const char16_t* want;
  } cases[] = {
      {u"%0", u"run.btm"},
      {u"%1|%2", u"one|two"},
      {u"%9", u"9"},
      {u"%10", u"one0"},  // one digit only
      {u"%*", u"one two 3 4 5 6 7 8 9 ten"},
      {u"%1%", u"one%"},
  };
  for (const auto& c : cases) EXPECT_U16EQ(c.want, Expanded(c.text)) << Printable(c.text);
  StandInSetBatchArguments(1, arguments);
  EXPECT_U16EQ(u"[run.btm][][]", Expanded(u"[%0][%1][%*]"));
  StandInSetBatchArguments(0, nullptr);
  EXPECT_U16EQ(u"[]", Expanded(u"[%0]"));
}

}  // namespace
