// The boundary's rules, once for every export: the null buffer, the
// Unicode-output refusal, the bound of the text at MAX_TEXT_LEN units
// whether or not the host terminated it, a refusal that leaves the buffer
// as it was; and the table of exports against the module definition, the
// implemented names and the help topics.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "frame/boundary.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "test_support.h"

namespace {



const struct {
  const char* name;
  ExportedFunction function;
} Exports[] = {
    {"f_deentitize", f_deentitize}, {"f_doctype", f_doctype}, {"f_entag", f_entag},
    {"f_entitize", f_entitize},     {"f_hcomment", f_hcomment}, {"f_hexdec", f_hexdec},
    {"f_hexenc", f_hexenc},         {"f_makeentity", f_makeentity}, {"f_tag", f_tag},
    {"kelvo", kelvo},               {"arraytable", arraytable},
};

const VariableFunction* RowOf(const std::string& exportName) {
  for (int i = 0; i < VARIABLE_FUNCTION_COUNT; ++i) {
    if (exportName == VariableFunctionTable[i].exportName) return &VariableFunctionTable[i];
  }
  return nullptr;
}

struct Outcome {
  int result;
  std::u16string text;
  std::u16string err;
  std::u16string out;
  bool untouched;
};

class BoundaryTest : public HostFixture {
 protected:
  // A text of MAX_ARG_LEN units is passed without a terminator, at the
  // end of its allocation.
  static Outcome Call(ExportedFunction function, const std::u16string& text) {
    const FunctionCall call = CallFunction(function, text);
    return {call.result, call.text, call.err, Out(), call.untouched};
  }
};

TEST_F(BoundaryTest, EveryExportRefusesANullBufferSilently) {
  for (const auto& e : Exports) {
    EXPECT_EQ(-1, e.function(nullptr)) << e.name;
  }
  EXPECT_U16EQ(u"", Err());
  EXPECT_U16EQ(u"", Out());
}

// Only exactly 1 from the host stops a function that refuses Unicode
// output: result -2, the message, the buffer as it was. Switched off, the
// check lets every call through.
TEST_F(BoundaryTest, UnicodeOutputRefusal) {
  for (int i = 0; i < VARIABLE_FUNCTION_COUNT; ++i) {
    const VariableFunction& row = VariableFunctionTable[i];
    ExportedFunction function = nullptr;
    for (const auto& e : Exports) {
      if (std::string(e.name) == row.exportName) function = e.function;
    }
    ASSERT_NE(nullptr, function) << row.exportName;
    const bool refuses = row.unicodeOutput == UnicodeOutput::Refused;
    for (int answer : {0, 1, 2, -1}) {
      SCOPED_TRACE(std::string(row.exportName) + " with the host answering " + std::to_string(answer));
      StandInSetUnicodeOutput(answer);
      const Outcome o = Call(function, u"p,x");
      if (refuses && answer == 1) {
        EXPECT_EQ(-2, o.result);
        EXPECT_TRUE(o.untouched);
        EXPECT_U16EQ(UnicodeRefused, o.err);
      } else {
        EXPECT_NE(-2, o.result);
      }
    }
    Options off;
    off.unicodeCheck = false;
    char16_t buffer[MAX_ARG_LEN] = u"p,x";
    EXPECT_NE(-2, RunVariableFunction(buffer, row, off)) << row.exportName;
    StandInSetUnicodeOutput(0);
  }
}

// A buffer without a terminator is read as its first MAX_TEXT_LEN units,
// and nothing past the buffer is read: every export gives exactly what it
// gives for those units terminated. A refusal leaves all of the buffer,
// the last slot included, as it was.
TEST_F(BoundaryTest, UnterminatedBufferIsReadAsItsFirstUnits) {
  auto cycle = [](const std::u16string& pattern) {
    std::u16string text;
    while (text.size() < size_t(MAX_ARG_LEN)) text += pattern;
    return text.substr(0, MAX_ARG_LEN);
  };
  const std::u16string texts[] = {
      cycle(u"x"), cycle(u" "), cycle(u"&amp;"), cycle(u"%41"), cycle(u"a b, \"c\" -- 'd' & e"),
      cycle(u"\U0001F600"), std::u16string(MAX_TEXT_LEN, u' ') + u"x",
      // @DOCTYPE reads its number to the text's end, and quotes the text.
      std::u16string(16381, u'x') + u"\t20", std::u16string(MAX_TEXT_LEN, u' ') + u"7",
      std::u16string(MAX_TEXT_LEN - 1, u' ') + u"17",
      // The commands take a name or an option from the last slot.
      std::u16string(MAX_TEXT_LEN, u' ') + u"A", std::u16string(MAX_TEXT_LEN - 4, u' ') + u"q:1 A",
  };
  StandInDefineArray("A", 1, 1, 0);
  for (const auto& e : Exports) {
    for (const std::u16string& text : texts) {
      SCOPED_TRACE(std::string(e.name) + " on " + Printable(text.substr(0, 12)) + "..." +
                   Printable(text.substr(text.size() - 6)));
      PluginOptions = Options{};
      const Outcome bounded = Call(e.function, text.substr(0, MAX_TEXT_LEN));
      const Options after = PluginOptions;
      PluginOptions = Options{};
      const Outcome unterminated = Call(e.function, text);
      EXPECT_EQ(bounded.result, unterminated.result);
      EXPECT_EQ(bounded.text.substr(0, MAX_TEXT_LEN), unterminated.text.substr(0, MAX_TEXT_LEN));
      EXPECT_EQ(bounded.err, unterminated.err);
      EXPECT_EQ(bounded.out, unterminated.out);
      EXPECT_EQ(after.quotes, PluginOptions.quotes);
      if (unterminated.result != 0 && unterminated.text.size() == size_t(MAX_ARG_LEN)) {
        EXPECT_TRUE(unterminated.untouched);
      }
    }
  }
}

TEST_F(BoundaryTest, DocTypeQuotesNoMoreThanItsText) {
  const Outcome o = Call(f_doctype, std::u16string(16381, u'x') + u"\t20");
  EXPECT_EQ(-1, o.result);
  EXPECT_EQ(u"Kelvo plugin: Bad value \"" + std::u16string(16381, u'X') + u"\t2\"\r\n", o.err);
  EXPECT_EQ(std::u16string(16381, u'X') + u"\t2", o.text);
}

TEST_F(BoundaryTest, CommandsReadNoFurtherThanTheirText) {
  StandInDefineArray("A", 1, 1, 0);
  const Outcome options = Call(kelvo, std::u16string(MAX_TEXT_LEN, u' ') + u"x");
  EXPECT_EQ(0, options.result);  // the settings shown: no option in the text
  EXPECT_NE(std::u16string::npos, options.out.find(u"Kelvo plugin options"));
  EXPECT_TRUE(options.untouched);
  const Outcome table = Call(arraytable, std::u16string(MAX_TEXT_LEN, u' ') + u"A");
  EXPECT_EQ(1, table.result);
  EXPECT_U16EQ(u"Kelvo plugin: Missing array name\r\n", table.err);
  EXPECT_TRUE(table.untouched);
}

// The table of exports is the one source of the module definition's
// function exports, the implemented names and the help topics.
TEST_F(BoundaryTest, TableAgreesWithTheModuleDefinitionNamesAndHelp) {
  std::ifstream def(KELVO_SOURCE_DIR "/src/frame/kelvo.def");
  ASSERT_TRUE(def.good());
  std::set<std::string> listed;
  bool inExports = false;
  for (std::string line; std::getline(def, line);) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == ';') continue;
    const std::string word = line.substr(start, line.find_first_of(" \t\r", start) - start);
    if (inExports) listed.insert(word);
    if (word == "EXPORTS") inExports = true;
  }
  std::set<std::string> expected = {"GetPluginInfo", "InitializePlugin", "ShutdownPlugin", "Help",
                                    "Usage", "kelvo", "arraytable"};
  std::u16string names = u"kelvo,arraytable";
  ASSERT_EQ(9, VARIABLE_FUNCTION_COUNT);
  for (int i = 0; i < VARIABLE_FUNCTION_COUNT; ++i) {
    const VariableFunction& row = VariableFunctionTable[i];
    expected.insert(row.exportName);
    names += u"," + std::u16string(row.topic);
    // f_name exports @name.
    const std::u16string topic = row.topic;
    EXPECT_EQ(std::string("f_") + std::string(topic.begin() + 1, topic.end()), row.exportName);
    EXPECT_NE(nullptr, RowOf(row.exportName));
    StandInClearCaptured();
    EXPECT_EQ(1, Help(row.topic));
    EXPECT_EQ(u"Kelvo Plugin Help\n" + std::u16string(row.help) + u"\n", Boxes());
  }
  EXPECT_EQ(expected, listed);
  EXPECT_U16EQ(names, GetPluginInfo()->Implements);
}

}  // namespace
