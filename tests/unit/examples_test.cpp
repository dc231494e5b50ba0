// The examples of the nine variable functions (function_examples.txt),
// each a call as the host makes it: the buffer, the result and standard
// error afterwards are exactly the example's, and the stored options are
// as the call found them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "kelvo/plugin.h"
#include "test_support.h"
#include "utf8.h"

namespace {

struct Example {
  int line;
  std::string function;
  FunctionRow row;
  std::string keep;  // HEXENC_KEEP in UTF-8, when row.settings.keep is set
};

// Reads the examples' notation (see the file's head); a line it cannot
// read fails the test with its number.
class ExampleReader {
 public:
  ExampleReader(const std::string& text, int line) : s_(text), line_(line) {}

  bool Read(Example* e) {
    e->line = line_;
    if (!Word(&e->function) || !Text(&e->row.input)) return false;
    std::string word;
    while (Word(&word) && word != "=>") {
      const size_t eq = word.find('=');
      if (eq == std::string::npos) return false;
      const std::string key = word.substr(0, eq);
      Options& o = e->row.settings.options;
      if (key == "keep") {
        std::u16string keep;
        at_ -= word.size() - eq - 1;
        if (!Text(&keep)) return false;
        e->keep = Utf8Of(keep);
        continue;
      }
      const int value = std::atoi(word.c_str() + eq + 1);
      if (key == "quotes") o.quotes = static_cast<Quotes>(value);
      else if (key == "spaces") o.spaces = static_cast<Spaces>(value);
      else if (key == "dash") o.dash = static_cast<Dash>(value);
      else if (key == "apos") o.apos = static_cast<Apos>(value);
      else if (key == "approximate") o.approximate = value != 0;
      else if (key == "unicodecheck") o.unicodeCheck = value != 0;
      else if (key == "unicode") e->row.settings.unicodeOutput = value;
      else return false;
    }
    if (word != "=>" || !Text(&e->row.expected)) return false;
    if (Word(&word)) {
      e->row.result = std::atoi(word.c_str());
      std::u16string message;
      if (Text(&message)) e->row.err = u"Kelvo plugin: " + message;
    }
    SkipBlanks();
    return at_ == s_.size() || s_[at_] == '#';
  }

 private:
  void SkipBlanks() {
    while (at_ < s_.size() && s_[at_] == ' ') ++at_;
  }

  // The next word up to a blank; false at the end or before a quote or a comment.
  bool Word(std::string* word) {
    SkipBlanks();
    if (at_ == s_.size() || s_[at_] == '"' || s_[at_] == '#') return false;
    const size_t end = s_.find(' ', at_);
    *word = s_.substr(at_, end == std::string::npos ? std::string::npos : end - at_);
    at_ += word->size();
    return true;
  }

  // Quoted pieces, each perhaps repeated, up to the first thing that is none.
  bool Text(std::u16string* text) {
    text->clear();
    bool any = false;
    for (SkipBlanks(); at_ < s_.size() && s_[at_] == '"'; SkipBlanks()) {
      std::u16string piece;
      for (++at_; at_ < s_.size() && s_[at_] != '"'; ++at_) {
        if (s_[at_] != '\\') {
          piece += static_cast<char16_t>(static_cast<unsigned char>(s_[at_]));
          continue;
        }
        const char c = s_[++at_];
        if (c == 'u') {
          piece += static_cast<char16_t>(std::stoul(s_.substr(at_ + 1, 4), nullptr, 16));
          at_ += 4;
        } else {
          piece += c == 'n' ? u'\n' : c == 'r' ? u'\r' : c == 't' ? u'\t' : static_cast<char16_t>(c);
        }
      }
      ++at_;  // the closing quote
      int times = 1;
      if (at_ < s_.size() && s_[at_] == '*') {
        size_t digits = 0;
        times = std::stoi(s_.substr(at_ + 1), &digits);
        at_ += 1 + digits;
      }
      for (int i = 0; i < times; ++i) *text += piece;
      any = true;
    }
    return any;
  }

  std::string s_;
  size_t at_ = 0;
  int line_;
};

const std::map<std::string, ExportedFunction> Functions = {
    {"@deentitize", f_deentitize}, {"@doctype", f_doctype},     {"@entag", f_entag},
    {"@entitize", f_entitize},     {"@hcomment", f_hcomment},   {"@hexdec", f_hexdec},
    {"@hexenc", f_hexenc},         {"@makeentity", f_makeentity}, {"@tag", f_tag},
};

class ExamplesTest : public HostFixture {};

TEST_F(ExamplesTest, EveryExampleHolds) {
  std::ifstream file(KELVO_SOURCE_DIR "/tests/unit/function_examples.txt");
  ASSERT_TRUE(file.good());
  int count = 0;
  std::string text;
  for (int line = 1; std::getline(file, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    Example e;
    ASSERT_TRUE(ExampleReader(text, line).Read(&e)) << "function_examples.txt:" << line << " cannot be read";
    ASSERT_EQ(1u, Functions.count(e.function)) << "function_examples.txt:" << line;
    if (!e.keep.empty()) e.row.settings.keep = e.keep.c_str();
    SCOPED_TRACE("function_examples.txt:" + std::to_string(line));
    const FunctionRow rows[] = {e.row};
    ExpectRows(Functions.at(e.function), rows, [](const FunctionRow& row) {
      const Options& o = row.settings.options;
      EXPECT_TRUE(PluginOptions.quotes == o.quotes && PluginOptions.spaces == o.spaces &&
                  PluginOptions.dash == o.dash && PluginOptions.apos == o.apos &&
                  PluginOptions.approximate == o.approximate && PluginOptions.unicodeCheck == o.unicodeCheck)
          << "the call changed the stored options";
    });
    ++count;
  }
  EXPECT_GT(count, 400);
}

}  // namespace
