// ARRAYTABLE on any argument text, with fuzzed arrays behind it and a host
// whose @arrayinfo answers are fuzzed too. The text is cut at U+001E into
// the argument text, the answers for the dimensions, rows and columns
// (each left to the real arrays when absent), and the element values of
// array A (3 x 3) and array B (4 elements).
//
// Checks: result 0 or 1; the argument buffer never changes; an error
// writes nothing to standard output; a table starts and ends as one, its
// header cell spans a whole row and, for the arrays the host really has,
// it holds every cell's entitized value in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "function_call.h"
#include "harness.h"
#include "kelvo/plugin.h"
#include "kelvo/texts.h"
#include "models.h"
#include "standin.h"
#include "utf8.h"

namespace {

constexpr int A_ROWS = 3, A_COLUMNS = 3, B_ROWS = 4;
// Rows and columns the fake host reports are kept small, so that a table
// is written in moments.
constexpr int32_t MAX_REPORTED = 12;

bool gHasAnswer[3];
std::u16string gAnswers[3];
std::u16string gQueriedName;

std::u16string Decimal(long long n) {
  std::u16string s;
  for (char ch : std::to_string(n)) s += char16_t(ch);
  return s;
}

// @arrayinfo[NAME,index] for any name: the fuzzed answer, else the real one.
int FakeArrayInfo(char16_t* buffer) {
  const std::u16string argument(buffer);
  const size_t comma = argument.rfind(u',');
  std::u16string answer = u"0";
  if (comma != std::u16string::npos) {
    gQueriedName = argument.substr(0, comma);
    const int index = ModelLeadingInteger(argument.substr(comma + 1));
    if (index >= 0 && index <= 2 && gHasAnswer[index]) {
      answer = gAnswers[index];
    } else {
      answer = Decimal(StandInArrayInfo(Utf8Of(gQueriedName).c_str(), index));
    }
  }
  answer = answer.substr(0, MAX_TEXT_LEN);
  answer.copy(buffer, answer.size());
  buffer[answer.size()] = 0;
  return 0;
}

std::vector<std::u16string> SplitParts(const std::u16string& text) {
  std::vector<std::u16string> parts(1);
  for (char16_t ch : text) {
    if (ch == 0x1E) {
      parts.emplace_back();
    } else {
      parts.back() += ch;
    }
  }
  return parts;
}

int32_t AnswerValue(int index, int32_t real) {
  return gHasAnswer[index] ? ModelLeadingInteger(gAnswers[index]) : real;
}

// A header cell built by the command spans every cell of a row (the
// line-number cell too), and at least one. Looked for only where the
// lines are the command's own: no line feed and no "th" in the arguments
// (so no header of the user's making), and the cells entitized.
void CheckHeaderSpan(const FuzzCase& c, const std::u16string& arguments, const std::u16string& out) {
  if (c.unicodeOutput == 1 || arguments.find(u'\n') != std::u16string::npos) return;
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if ((arguments[i] | 0x20) == u't' && (arguments[i + 1] | 0x20) == u'h') return;
  }
  const std::u16string th = u"\n      <th colspan=\"";
  const size_t at = out.find(th);
  if (at == std::u16string::npos) return;
  const size_t rowStart = out.find(u"   </tr>\n   <tr", at);
  if (rowStart == std::u16string::npos) return;  // no rows
  const size_t rowEnd = out.find(u"   </tr>\n", rowStart + 9);
  int cells = 0;
  for (size_t p = out.find(u"\n      <td", rowStart); p < rowEnd; p = out.find(u"\n      <td", p + 1)) ++cells;
  const std::u16string expected = th + Decimal(cells > 0 ? cells : 1) + u"\">";
  if (out.compare(at, expected.size(), expected) != 0)
    CheckSameText(expected, out.substr(at, expected.size() + 8), "the header does not span the row", u"");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StandInRegisterFunction("arrayinfo", FakeArrayInfo);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzCase c = ParseFuzzCase(data, size);
  ApplyCase(c);
  const std::vector<std::u16string> parts = SplitParts(c.text);
  for (int i = 0; i < 3; ++i) {
    gHasAnswer[i] = parts.size() > size_t(i + 1);
    gAnswers[i] = gHasAnswer[i] ? parts[i + 1].substr(0, parts[i + 1].find(char16_t(0))) : u"";
    if (i > 0 && gHasAnswer[i] && ModelLeadingInteger(gAnswers[i]) > MAX_REPORTED)
      gAnswers[i] = Decimal(ModelLeadingInteger(gAnswers[i]) % (MAX_REPORTED + 1));
  }
  std::u16string values[A_ROWS * A_COLUMNS + B_ROWS];
  for (size_t i = 0; i < sizeof values / sizeof values[0] && i + 4 < parts.size(); ++i) {
    const std::u16string& v = parts[i + 4];
    values[i] = v.substr(0, v.find(char16_t(0))).substr(0, 4000);
  }
  StandInDefineArray("A", 2, A_ROWS, A_COLUMNS);
  StandInDefineArray("B", 1, B_ROWS, 0);
  for (int i = 0; i < A_ROWS * A_COLUMNS; ++i)
    StandInSetElement("A", i / A_COLUMNS, i % A_COLUMNS, Utf8Of(values[i]).c_str());
  for (int i = 0; i < B_ROWS; ++i)
    StandInSetElement("B", i, 0, Utf8Of(values[A_ROWS * A_COLUMNS + i]).c_str());
  gQueriedName.clear();

  ArgBuffer buffer;
  buffer.Fill(parts[0], 0, c.unterminated);
  const std::vector<char16_t> before = buffer.Snapshot();
  const int result = arraytable(buffer.data());
  FUZZ_CHECK(buffer.Equals(before), "ARRAYTABLE changed its argument buffer");
  FUZZ_CHECK(result == 0 || result == 1, "ARRAYTABLE's result");

  const std::u16string out = Captured(1);
  const std::u16string err = Captured(2);
  if (result == 1) {
    FUZZ_CHECK(out.empty(), "an error after output was written");
    // The host may have reported a query of its own first (a query longer
    // than the host reads reaches it cut), and a quoted argument may hold
    // line ends of its own; the plugin's message comes last all the same.
    const std::u16string prefix = ErrorPrefixText(c);
    if (err.find(prefix) == std::u16string::npos || err.size() < 2 ||
        err.compare(err.size() - 2, 2, u"\r\n") != 0) {
      CheckSameText(prefix + u"...\r\n", err, "an error without its message", parts[0]);
    }
    return 0;
  }
  if (out.compare(0, 2, u"\r\n") == 0) {
    CheckSameText(std::u16string(u"\r\n") + ArrayTableHelpTitle + ArrayTableUsageText + u"\r\n",
                  out, "the ARRAYTABLE help", parts[0]);
    return 0;
  }
  FUZZ_CHECK(out.compare(0, 6, u"<table") == 0, "a table starts with its tag");
  FUZZ_CHECK(out.size() >= 9 && out.compare(out.size() - 9, 9, u"</table>\n") == 0,
             "a table ends with its closing tag");

  CheckHeaderSpan(c, parts[0], out);

  // The cells of a real array, in order, each entitized or "&nbsp;".
  const bool isA = gQueriedName == u"A";
  const bool isB = gQueriedName == u"B";
  if (!isA && !isB) return 0;
  const int32_t dimensions = AnswerValue(0, isA ? 2 : 1);
  if (dimensions != (isA ? 2 : 1)) return 0;
  const int32_t rows = AnswerValue(1, isA ? A_ROWS : B_ROWS);
  const int32_t columns = isA ? AnswerValue(2, A_COLUMNS) : 1;
  const Options& settings = c.options;
  size_t from = 0;
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t n = 0; n < columns; ++n) {
      std::u16string value;
      if (isA && r < A_ROWS && n < A_COLUMNS) value = values[r * A_COLUMNS + n];
      if (isB && r < B_ROWS) value = values[A_ROWS * A_COLUMNS + r];
      std::u16string cell = u"&nbsp;";
      if (!value.empty())
        cell = c.unicodeOutput == 1 ? value : ModelEntitize(value, settings, MAX_TEXT_LEN);
      const std::u16string expected = u">" + cell + u"</td>\n";
      const size_t at = out.find(expected, from);
      if (at == std::u16string::npos) {
        CheckSameText(expected, out.substr(from), "a cell of the table is missing", value);
      }
      from = at + expected.size();
    }
  }
  return 0;
}
