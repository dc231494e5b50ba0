// Expansion by the stand-in host: variables, parameters, arrays and
// variable functions, their errors and their bounds.

#include <gtest/gtest.h>

#include <string>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "standin.h"
#include "test_support.h"

namespace {

// Plugin-like functions for the tests.
int UpperFunction(char16_t* buffer) {
  for (char16_t* p = buffer; *p != 0; ++p) {
    if (*p >= u'a' && *p <= u'z') *p = char16_t(*p - 32);
  }
  return 0;
}
int FailingFunction(char16_t*) { return -1; }
int FillFunction(char16_t* buffer) {  // writes the largest result a buffer holds
  for (int i = 0; i < MAX_TEXT_LEN; ++i) buffer[i] = u'f';
  buffer[MAX_TEXT_LEN] = 0;
  return 0;
}
int lastArgumentLength = -1;
int MeasureFunction(char16_t* buffer) {
  lastArgumentLength = 0;
  while (buffer[lastArgumentLength] != 0) ++lastArgumentLength;
  buffer[0] = 0;
  return 0;
}

struct ExpandCase {
  const char16_t* text;
  const char16_t* want;
  int status;
  const char16_t* err;
};

class HostExpand : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    StandInSetVariable("x", "abc");
    StandInSetVariable("pct", "%x");  // values are not expanded again
    StandInSetVariable("i", "1");
    StandInDefineArray("fruit", 2, 2, 2);
    StandInSetElement("fruit", 0, 0, "Apples & Pears");
    StandInSetElement("fruit", 1, 0, "Nectarines");
    StandInSetElement("fruit", 1, 1, "%x");
    StandInDefineArray("list", 1, 3, 0);
    StandInSetElement("list", 2, 0, "last");
    int cube[] = {2, 3, 4};
    StandInDefineArrayN("cube", 3, cube);
    StandInRegisterFunction("upper", UpperFunction);
    StandInRegisterFunction("@fail", FailingFunction);
    StandInRegisterFunction("fill", FillFunction);
    StandInRegisterFunction("measure", MeasureFunction);
  }
  int Expand(const std::u16string& text, std::u16string& out) {
    static char16_t buffer[MAX_ARG_LEN];
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    int status = ExpandVariables(buffer, 1);
    out = buffer;
    return status;
  }
};

TEST_F(HostExpand, References) {
  const ExpandCase cases[] = {
      // variables
      {u"%x", u"abc", 0, u""},
      {u"%x%def", u"abcdef", 0, u""},
      {u"%X.txt", u"abc.txt", 0, u""},
      {u"%[x]yz", u"abcyz", 0, u""},
      {u"[%nosuch][%nosuch%]", u"[][]", 0, u""},
      {u"%_batchline]", u"0]", 0, u""},
      {u"%[_transient]%[_pipe]%[noloadmsg]", u"10", 0, u""},
      {u"%pct", u"%x", 0, u""},
      {u"%%x", u"%x", 0, u""},
      {u"100%", u"100%", 0, u""},
      {u"50% off", u"50% off", 0, u""},
      {u"%@", u"%@", 0, u""},
      {u"%@upper", u"%@upper", 0, u""},
      {u"%[x", u"%[x", 0, u""},
      {u"a\xD800%x\uFF06", u"a\xD800" u"abc\uFF06", 0, u""},
      // arrays
      {u"%fruit[0,0]", u"Apples & Pears", 0, u""},
      {u"%FRUIT[ 1 , 0 ]", u"Nectarines", 0, u""},
      {u"%fruit[%i,0]", u"Nectarines", 0, u""},
      {u"%fruit[1,1]", u"%x", 0, u""},
      {u"[%fruit[0,1]]", u"[]", 0, u""},
      {u"%list[2]|%list[0]", u"last|", 0, u""},
      {u"%fruit[%@len[x],0]", u"Nectarines", 0, u""},
      // host functions
      {u"%@arrayinfo[fruit,0] %@arrayinfo[fruit,1] %@arrayinfo[fruit,2] %@arrayinfo[fruit,5]",
       u"2 2 2 4", 0, u""},
      {u"%@arrayinfo[list,0] %@arrayinfo[list,1] %@arrayinfo[list,2]", u"1 3 0", 0, u""},
      {u"%@arrayinfo[cube,0] %@arrayinfo[cube,3] %@arrayinfo[cube,4] %@arrayinfo[cube,5]",
       u"3 4 0 24", 0, u""},
      {u"%@arrayinfo[nosuch,1] %@arrayinfo[x,0]", u"0 0", 0, u""},
      {u"%@ARRAYINFO[FRUIT,1]", u"2", 0, u""},
      {u"%@char[65 66  67]", u"ABC", 0, u""},
      {u"%@char[128512]", u"\U0001F600", 0, u""},
      {u"%@char[55296]", u"\xD800", 0, u""},
      {u"%@unicode[A]|%@unicode[\U0001F600]|%@unicode[\uFF1C]", u"65|128512|65308", 0, u""},
      {u"%@len[abc]|%@len[]|%@len[a,b]", u"3|0|3", 0, u""},
      {u"%@repeat[ab,3]|%@repeat[x,0]|%@repeat[a,b,2]", u"ababab||a,ba,b", 0, u""},
      // nesting: innermost first, brackets nest
      {u"%@len[%@repeat[ab,3]]", u"6", 0, u""},
      {u"%@len[a[b]c]", u"5", 0, u""},
      {u"%@char[%@unicode[a]]", u"a", 0, u""},
      {u"%@len[%%]", u"1", 0, u""},
      // plugin functions
      {u"%@upper[%x]", u"ABC", 0, u""},
      {u"%@UPPER[%%x]", u"%X", 0, u""},
      {u"<%@upper[%@upper[a]b]>", u"<AB>", 0, u""},
      // errors: the reference expands to nothing, the expansion fails
      {u"a%@fail[x]b", u"ab", 1, u""},
      {u"%@upper[%@fail[x]]", u"", 1, u""},
      {u"a%@nosuch[x]b", u"ab", 1, u"kelvo: unknown function \"@nosuch\"\n"},
      {u"a%fruit[2,0]b", u"ab", 1, u"kelvo: bad array reference \"fruit[2,0]\": index out of range\n"},
      {u"%fruit[1]", u"", 1, u"kelvo: bad array reference \"fruit[1]\": the array has 2 dimensions\n"},
      {u"%list[0,0]", u"", 1, u"kelvo: bad array reference \"list[0,0]\": the array has 1 dimension\n"},
      {u"%x[0]", u"", 1, u"kelvo: bad array reference \"x[0]\": not an array\n"},
      {u"%fruit[a,0]", u"", 1, u"kelvo: bad array reference \"fruit[a,0]\": index is not a number\n"},
      {u"%fruit[-1,0]", u"", 1, u"kelvo: bad array reference \"fruit[-1,0]\": index is not a number\n"},
      {u"%fruit[]", u"", 1, u"kelvo: bad array reference \"fruit[]\": index is not a number\n"},
      {u"%fruit[1,0,0,0,0]", u"", 1, u"kelvo: bad array reference \"fruit[1,0,0,0,0]\": more than 4 dimensions\n"},
      {u"%fruit[99999999999999999999,0]", u"", 1,
       u"kelvo: bad array reference \"fruit[99999999999999999999,0]\": index out of range\n"},
      {u"%fruit[0,0", u"", 1, u"kelvo: missing \"]\" after \"%fruit[\"\n"},
      {u"%@len[abc", u"", 1, u"kelvo: missing \"]\" after \"%@len[\"\n"},
      {u"%@char[0]", u"", 1, u"kelvo: @char[0]: expected character codes from 1 to 1114111\n"},
      {u"%@char[x]", u"", 1, u"kelvo: @char[x]: expected character codes from 1 to 1114111\n"},
      {u"%@char[]", u"", 1, u"kelvo: @char[]: expected character codes from 1 to 1114111\n"},
      {u"%@char[1114112]", u"", 1, u"kelvo: @char[1114112]: expected character codes from 1 to 1114111\n"},
      {u"%@unicode[]", u"", 1, u"kelvo: @unicode[]: expected a character\n"},
      {u"%@repeat[x]", u"", 1, u"kelvo: @repeat[x]: expected a text and a count\n"},
      {u"%@repeat[x,-1]", u"", 1, u"kelvo: @repeat[x,-1]: expected a text and a count\n"},
      {u"%@arrayinfo[fruit,6]", u"", 1,
       u"kelvo: @arrayinfo[fruit,6]: expected an array name and a number from 0 to 5\n"},
      {u"%@arrayinfo[fruit]", u"", 1,
       u"kelvo: @arrayinfo[fruit]: expected an array name and a number from 0 to 5\n"},
      // an error inside an argument keeps the function from running
      {u"%@len[%@nosuch[]]", u"", 1, u"kelvo: unknown function \"@nosuch\"\n"},
      // errors do not stop the rest of the text
      {u"%@nosuch[]%x", u"abc", 1, u"kelvo: unknown function \"@nosuch\"\n"},
  };
  for (const ExpandCase& c : cases) {
    StandInClearCaptured();
    std::u16string out;
    int status = Expand(c.text, out);
    EXPECT_U16EQ(c.want, out) << Printable(c.text);
    EXPECT_EQ(c.status, status) << Printable(c.text);
    EXPECT_U16EQ(c.err, Err()) << Printable(c.text);
    EXPECT_U16EQ(u"", Out()) << Printable(c.text);
  }
}

TEST_F(HostExpand, ResultIsBoundedByTheBuffer) {
  static char16_t buffer[MAX_ARG_LEN + 8];
  for (char16_t& c : buffer) c = u'#';
  std::string big(10000, 'v');
  StandInSetVariable("big", big.c_str());
  std::u16string text = u"%big%%big%";
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  // The second value does not fit: the expansion fails, and what it
  // leaves ends before that value rather than in the middle of it.
  EXPECT_EQ(1, ExpandVariables(buffer, 1));
  EXPECT_EQ(size_t(10000), std::u16string(buffer).size());
  for (int i = MAX_ARG_LEN; i < MAX_ARG_LEN + 8; ++i) EXPECT_EQ(u'#', buffer[i]);
  EXPECT_U16EQ(u"kelvo: the text is longer than 16383 characters once expanded\n", Err());

  // A full buffer of plain text stays as it is.
  std::u16string full(MAX_TEXT_LEN, u'p');
  full.copy(buffer, full.size());
  buffer[MAX_TEXT_LEN] = 0;
  EXPECT_EQ(0, ExpandVariables(buffer, 1));
  EXPECT_EQ(full, std::u16string(buffer));

  // A buffer without a terminator is read no further than its limit.
  for (int i = 0; i < MAX_ARG_LEN; ++i) buffer[i] = u'q';
  EXPECT_EQ(0, ExpandVariables(buffer, 1));
  EXPECT_EQ(0, buffer[MAX_TEXT_LEN]);
  EXPECT_EQ(u'#', buffer[MAX_ARG_LEN]);
}

TEST_F(HostExpand, ExactlyTheLimitFitsAndOneMoreFails) {
  struct LimitCase {
    const char16_t* text;
    int status;
    size_t length;  // of the result when it succeeds
  };
  const LimitCase cases[] = {
      {u"%@fill[]", 0, size_t(MAX_TEXT_LEN)},
      {u"x%@fill[]", 1, 0},
      {u"%@len[%@fill[]]", 0, 5},
      {u"%@len[%@fill[]%@fill[]]", 1, 0},  // an argument that cannot be passed
      {u"%@len[%@repeat[x,16383]]", 0, 5},
      {u"%@len[%@repeat[x,16384]]", 1, 0},
      {u"%@len[%@repeat[xyz,99999]]", 1, 0},
  };
  for (const LimitCase& c : cases) {
    StandInClearCaptured();
    std::u16string out;
    EXPECT_EQ(c.status, Expand(c.text, out)) << Printable(c.text);
    if (c.status == 0) {
      EXPECT_EQ(c.length, out.size()) << Printable(c.text);
      EXPECT_U16EQ(u"", Err()) << Printable(c.text);
    } else {
      EXPECT_LE(out.size(), size_t(MAX_TEXT_LEN)) << Printable(c.text);
      EXPECT_NE(std::u16string::npos, Err().find(u"kelvo: ")) << Printable(c.text);
    }
  }
  lastArgumentLength = -1;
  std::u16string out;
  EXPECT_EQ(1, Expand(u"%@measure[%@repeat[a,8000]%@repeat[a,9000]]", out));
  EXPECT_EQ(-1, lastArgumentLength);  // never called with a cut argument
}

// For every capacity, a text whose expansion fits comes back whole with
// status 0, and one that does not gives status 1 and stays inside the
// buffer.
TEST_F(HostExpand, StandInExpandKeepsToItsCapacity) {
  const std::u16string text = u"%x %x %x";  // "abc abc abc": 11 characters
  for (int capacity = 1; capacity <= 16; ++capacity) {
    StandInClearCaptured();
    std::u16string storage(size_t(capacity) + 4, u'#');
    size_t copied = text.copy(&storage[0], size_t(capacity - 1));
    storage[copied] = 0;
    int status = StandInExpand(&storage[0], capacity);
    std::u16string expanded(storage.c_str());
    if (copied == text.size() && capacity > 11) {
      EXPECT_EQ(0, status) << capacity;
      EXPECT_U16EQ(u"abc abc abc", expanded) << capacity;
    } else if (copied == text.size()) {
      EXPECT_EQ(1, status) << capacity;
    }
    EXPECT_LE(expanded.size(), size_t(capacity - 1)) << capacity;
    for (size_t i = size_t(capacity); i < storage.size(); ++i) EXPECT_EQ(u'#', storage[i]) << capacity;
  }
  char16_t buffer[4] = {u'a', 0, 0, 0};
  EXPECT_EQ(1, StandInExpand(buffer, 0));
  EXPECT_EQ(1, ExpandVariables(nullptr, 1));
}

TEST_F(HostExpand, DeepNestingFailsCleanly) {
  std::u16string text;
  for (int i = 0; i < 2000; ++i) text += u"%@len[";
  for (int i = 0; i < 2000; ++i) text += u"]";
  std::u16string out;
  EXPECT_EQ(1, Expand(text, out));
  EXPECT_U16EQ(u"", out);
  EXPECT_U16EQ(u"kelvo: references nested too deeply\n", Err());
}

TEST_F(HostExpand, UnregisteredFunctionIsUnknown) {
  StandInRegisterFunction("upper", nullptr);
  std::u16string out;
  EXPECT_EQ(1, Expand(u"%@upper[a]", out));
  EXPECT_U16EQ(u"kelvo: unknown function \"@upper\"\n", Err());
}

}  // namespace
