// Arrays of the stand-in host: shapes, elements and the text forms the
// shell uses.

#include <gtest/gtest.h>

#include <string>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "standin.h"
#include "test_support.h"

namespace {

class HostArrays : public HostFixture {};

TEST_F(HostArrays, Shapes) {
  const struct {
    int dimensions, rows, columns, result;
  } cases[] = {
      {1, 3, 0, 0},         {1, 3, 99, 0},      {2, 2, 2, 0},     {2, 1, 1, 0},
      {3, 2, 2, 0},         {4, 2, 2, 0},       {0, 2, 2, -1},    {5, 2, 2, -1},
      {-1, 2, 2, -1},       {1, 0, 0, -1},      {1, -5, 0, -1},   {2, 2, 0, -1},
      {2, 46340, 46340, 0}, {2, 65536, 65536, -1}, {1, 2147483647, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result, StandInDefineArray("a", c.dimensions, c.rows, c.columns))
        << c.dimensions << " " << c.rows << " " << c.columns;
  }
  EXPECT_EQ(-1, StandInDefineArray("bad name", 1, 1, 0));
  EXPECT_EQ(-1, StandInDefineArray("", 1, 1, 0));
  EXPECT_EQ(-1, StandInDefineArray(nullptr, 1, 1, 0));
}

TEST_F(HostArrays, ArrayInfo) {
  int four[] = {2, 3, 4, 5};
  ASSERT_EQ(0, StandInDefineArrayN("four", 4, four));
  ASSERT_EQ(0, StandInDefineArray("two", 2, 7, 9));
  ASSERT_EQ(0, StandInDefineArray("one", 1, 7, 0));
  const struct {
    const char* name;
    int what;
    long long want;
  } cases[] = {
      {"four", 0, 4}, {"four", 1, 2}, {"four", 2, 3}, {"four", 3, 4}, {"four", 4, 5}, {"four", 5, 120},
      {"TWO", 0, 2},  {"two", 1, 7},  {"two", 2, 9},  {"two", 3, 0},  {"two", 5, 63},
      {"one", 0, 1},  {"one", 1, 7},  {"one", 2, 0},  {"one", 5, 7},
      {"none", 0, 0}, {"none", 1, 0}, {"two", 6, 0},  {"two", -1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.want, StandInArrayInfo(c.name, c.what)) << c.name << c.what;
  int five[] = {1, 1, 1, 1, 1};
  EXPECT_EQ(-1, StandInDefineArrayN("five", 5, five));
  StandInUndefineArray("TWO");
  EXPECT_EQ(0, StandInArrayInfo("two", 0));
}

TEST_F(HostArrays, ElementsStartEmptyAndRedefiningClearsThem) {
  ASSERT_EQ(0, StandInDefineArray("t", 2, 2, 3));
  EXPECT_EQ(0, StandInSetElement("t", 1, 2, "last"));
  EXPECT_EQ(-1, StandInSetElement("t", 2, 0, "x"));
  EXPECT_EQ(-1, StandInSetElement("t", 0, 3, "x"));
  EXPECT_EQ(-1, StandInSetElement("t", -1, 0, "x"));
  EXPECT_EQ(-1, StandInSetElement("nosuch", 0, 0, "x"));
  char16_t buffer[MAX_ARG_LEN] = u"[%t[1,2]][%t[0,0]]";
  ExpandVariables(buffer, 1);
  EXPECT_U16EQ(u"[last][]", buffer);
  ASSERT_EQ(0, StandInDefineArray("T", 2, 2, 3));
  char16_t again[MAX_ARG_LEN] = u"[%t[1,2]]";
  ExpandVariables(again, 1);
  EXPECT_U16EQ(u"[]", again);

  ASSERT_EQ(0, StandInDefineArray("v", 1, 2, 0));
  EXPECT_EQ(0, StandInSetElement("v", 1, 0, "one"));
  EXPECT_EQ(-1, StandInSetElement("v", 1, 1, "x"));
}

TEST_F(HostArrays, ShellTextForms) {
  const struct {
    const char16_t* declaration;
    int result;
    const char16_t* err;
  } declarations[] = {
      {u"a[3]", 0, u""},
      {u"b[2,2]", 0, u""},
      {u"c[ 2 , 3 , 4 ]", 0, u""},
      {u"d[1,1,1,1]", 0, u""},
      {u"e[1,1,1,1,1]", 1, u"kelvo: bad array definition \"e[1,1,1,1,1]\": more than 4 dimensions\n"},
      {u"f[0]", 1, u"kelvo: bad array definition \"f[0]\": size must be at least 1\n"},
      {u"g[x]", 1, u"kelvo: bad array definition \"g[x]\": size is not a number\n"},
      {u"h", 1, u"kelvo: bad array definition \"h\": expected NAME[size] or NAME[size,size]\n"},
      {u"i[2", 1, u"kelvo: bad array definition \"i[2\": expected NAME[size] or NAME[size,size]\n"},
      {u"j-k[2]", 1, u"kelvo: bad array definition \"j-k[2]\": bad array name\n"},
      {u"[2]", 1, u"kelvo: bad array definition \"[2]\": bad array name\n"},
      {u"big[65536,65536]", 1, u"kelvo: bad array definition \"big[65536,65536]\": more than 2147483647 elements\n"},
  };
  for (const auto& c : declarations) {
    StandInClearCaptured();
    EXPECT_EQ(c.result, StandInDefineArrayText(c.declaration)) << Printable(c.declaration);
    EXPECT_U16EQ(c.err, Err()) << Printable(c.declaration);
  }
  EXPECT_EQ(3, StandInArrayInfo("c", 0));
  EXPECT_EQ(4, StandInArrayInfo("c", 3));

  const struct {
    const char16_t* reference;
    const char16_t* value;
    int result;
    const char16_t* err;
  } sets[] = {
      {u"a[2]", u"two", 0, u""},
      {u"B[1,1]", u"\uFF06 \xD800", 0, u""},
      {u"c[1,2,3]", u"deep", 0, u""},
      {u"a[3]", u"x", 1, u"kelvo: bad array reference \"a[3]\": index out of range\n"},
      {u"b[1]", u"x", 1, u"kelvo: bad array reference \"b[1]\": the array has 2 dimensions\n"},
      {u"zz[1]", u"x", 1, u"kelvo: bad array reference \"zz[1]\": not an array\n"},
  };
  for (const auto& c : sets) {
    StandInClearCaptured();
    EXPECT_EQ(c.result, StandInSetElementText(c.reference, c.value)) << Printable(c.reference);
    EXPECT_U16EQ(c.err, Err()) << Printable(c.reference);
  }
  char16_t buffer[MAX_ARG_LEN] = u"%a[2]|%b[1,1]|%c[1,2,3]";
  EXPECT_EQ(0, ExpandVariables(buffer, 1));
  EXPECT_U16EQ(u"two|\uFF06 \xD800|deep", buffer);
}

TEST_F(HostArrays, LongReferencesAreCutInMessages) {
  std::u16string name(300, u'n');
  std::u16string reference = name + u"[1]";
  EXPECT_EQ(1, StandInSetElementText(reference.c_str(), u"x"));
  std::u16string want = u"kelvo: bad array reference \"" + name.substr(0, 100) + u"...\": not an array\n";
  EXPECT_U16EQ(want, Err());
}

}  // namespace
