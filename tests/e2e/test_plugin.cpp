// A small plugin for the shell's own end-to-end cases: it lets them
// reach registration, command results, function failures, help boxes
// and usage texts without depending on the real plugin's behaviour.
//
// Its implemented names are "echoargs,status,fail,@upper,@fail,@huge"
// plus, for the registration cases, whatever the variable
// test_implements adds (the variable is read through the host's
// expansion, as the real plugin reads its own).

#include <cstdint>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "standin.h"

namespace {

char16_t implemented[SMALL_BUF_LEN];
PluginInfoRecord info;

const char16_t BaseNames[] = u"echoargs,status,fail,@upper,@fail,@huge";

void Copy(char16_t* dest, int capacity, const char16_t* src) {
  int i = 0;
  for (; i < capacity - 1 && src[i] != 0; ++i) dest[i] = src[i];
  dest[i] = 0;
}

// True when %[NAME] expands to something.
bool Flag(const char16_t* reference) {
  char16_t buffer[MAX_ARG_LEN];
  Copy(buffer, MAX_ARG_LEN, reference);
  ExpandVariables(buffer, 1);
  return buffer[0] != 0;
}

HostHandle StdErr() { return reinterpret_cast<HostHandle>(intptr_t(2)); }

}  // namespace

PLUGIN_EXPORT PluginInfoRecord* PLUGIN_API GetPluginInfo(void) {
  char16_t extra[SMALL_BUF_LEN] = u"%[test_implements]";
  ExpandVariables(extra, 1);
  Copy(implemented, SMALL_BUF_LEN, BaseNames);
  if (extra[0] != 0) {
    int n = 0;
    while (implemented[n] != 0) ++n;
    implemented[n++] = u',';
    Copy(implemented + n, SMALL_BUF_LEN - n, extra);
  }
  info.Name = u"Test";
  info.Description = u"Test plugin";
  info.Implements = implemented;
  info.Major = 1;
  return &info;
}

PLUGIN_EXPORT int PLUGIN_API InitializePlugin(void) {
  if (Flag(u"%[test_lifecycle]")) Printf(u"InitializePlugin\n");
  return 0;
}

PLUGIN_EXPORT int PLUGIN_API ShutdownPlugin(int endProcess) {
  if (Flag(u"%[test_lifecycle]")) Printf(u"ShutdownPlugin(%d)\n", endProcess);
  return 0;
}

// Writes its argument text between brackets, so that cases can see
// exactly what the shell passed.
PLUGIN_EXPORT int PLUGIN_API echoargs(char16_t* arguments) {
  Printf(u"[%s]\n", arguments);
  return 0;
}

// Returns the number its argument text holds (a sign allowed).
PLUGIN_EXPORT int PLUGIN_API status(char16_t* arguments) {
  int sign = 1, value = 0, i = 0;
  if (arguments[0] == u'-') {
    sign = -1;
    i = 1;
  }
  for (; arguments[i] >= u'0' && arguments[i] <= u'9'; ++i) value = value * 10 + (arguments[i] - u'0');
  return sign * value;
}

PLUGIN_EXPORT int PLUGIN_API fail(char16_t*) {
  Qprintf(StdErr(), u"Test plugin: failed\r\n");
  return 1;
}

PLUGIN_EXPORT int PLUGIN_API f_upper(char16_t* buffer) {
  for (char16_t* p = buffer; *p != 0; ++p) {
    if (*p >= u'a' && *p <= u'z') *p = char16_t(*p - 32);
  }
  return 0;
}

PLUGIN_EXPORT int PLUGIN_API f_fail(char16_t*) {
  Qprintf(StdErr(), u"Test plugin: refused\r\n");
  return -1;
}

// Fills the whole buffer: the largest result a function can give.
PLUGIN_EXPORT int PLUGIN_API f_huge(char16_t* buffer) {
  for (int i = 0; i < MAX_TEXT_LEN; ++i) buffer[i] = u'h';
  buffer[MAX_TEXT_LEN] = 0;
  return 0;
}

PLUGIN_EXPORT int PLUGIN_API Help(const char16_t* topic) {
  if (topic == nullptr) return 0;
  if (topic[0] == u'b' && topic[1] == u'o' && topic[2] == u'x' && topic[3] == 0) {
    StandInMessageBox(u"First line\r\n\tTabbed\tcolumns\nA long line that makes the box wider\n", u"Test Help");
    return 1;
  }
  if (topic[0] == u'w' && topic[1] == 0) {
    StandInMessageBox(u"x", u"A caption longer than the text");
    return 1;
  }
  return 0;
}

PLUGIN_EXPORT int PLUGIN_API Usage(const char16_t* topic, char16_t* out) {
  if (topic == nullptr || out == nullptr) return 0;
  if (topic[0] == u'e' && topic[1] == 0) {
    Copy(out, SMALL_BUF_LEN, u"ECHOARGS text\r\n\n\tWrites the text.");
    return 1;
  }
  return 0;
}
