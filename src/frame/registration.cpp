// The host's first calls: identity and implemented names, the load line,
// and shutdown.
#include "frame/registration.h"

#include "frame/boundary.h"
#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"
#include "kelvo/version.h"

namespace {

PluginInfoRecord PluginInfo;

// The two commands, then the topics of the variable functions' table.
// Edited in place when the host cannot run ARRAYTABLE; the edit lasts for
// the life of the module.
char16_t ImplementedNames[SMALL_BUF_LEN];
bool namesReady = false;

bool IsListSeparator(char16_t c) { return c == u',' || c == u';'; }

}  // namespace

// ExpandVariables takes no capacity, so the query buffer is a full
// ArgBuffer rather than a small one.
bool HostSupportsArrayTable(void) {
  char16_t query[MAX_ARG_LEN];
  TextCopy(query, MAX_ARG_LEN, u"%_4ver");
  ExpandVariables(query, 1);
  query[MAX_ARG_LEN - 1] = 0;
  int32_t version = ReadLeadingInteger(query);

  TextCopy(query, MAX_ARG_LEN, u"%_cmdproc");
  ExpandVariables(query, 1);
  query[MAX_ARG_LEN - 1] = 0;
  bool lightEdition = TextEqualsNoCase(query, u"TCCLE");

  return version >= 10 && version <= 255 && !lightEdition;
}

void RemoveListEntry(char16_t* list, const char16_t* name) {
  if (list[0] == 0) return;
  for (char16_t* entry = list; *entry != 0;) {
    char16_t* end = entry;
    while (*end != 0 && !IsListSeparator(*end)) ++end;
    bool match = true;
    const char16_t* n = name;
    for (char16_t* c = entry; c < end; ++c, ++n) {
      if (*n == 0 || UpperAscii(*c) != UpperAscii(*n)) {
        match = false;
        break;
      }
    }
    if (match && *n == 0 && end - entry == TextLength(name)) {
      if (*end == 0) {
        *entry = 0;
      } else {
        const char16_t* rest = end + 1;
        char16_t* out = entry;
        while ((*out++ = *rest++) != 0) {
        }
      }
      break;
    }
    entry = (*end == 0) ? end : end + 1;
  }
  int length = TextLength(list);
  if (length > 0 && IsListSeparator(list[length - 1])) list[length - 1] = 0;
}

void ResetImplementedNames(void) {
  TextCopy(ImplementedNames, SMALL_BUF_LEN, u"kelvo,arraytable");
  for (int i = 0; i < VARIABLE_FUNCTION_COUNT; ++i) {
    TextAppend(ImplementedNames, SMALL_BUF_LEN, u",");
    TextAppend(ImplementedNames, SMALL_BUF_LEN, VariableFunctionTable[i].topic);
  }
  namesReady = true;
}

const char16_t PluginName[] = u"Kelvo";

PLUGIN_EXPORT PluginInfoRecord* PLUGIN_API GetPluginInfo(void) {
  if (!namesReady) ResetImplementedNames();
  if (!HostSupportsArrayTable()) RemoveListEntry(ImplementedNames, u"arraytable");
  PluginInfo.Name = PluginName;
  PluginInfo.Author = u"Kelvo developers";
  PluginInfo.Email = u"kelvo@kelvo.invalid";
  PluginInfo.WebPage = u"https://kelvo.invalid/";
  PluginInfo.Description = u"Kelvo plugin";
  PluginInfo.Implements = ImplementedNames;
  PluginInfo.Major = PLUGIN_VERSION_MAJOR;
  PluginInfo.Minor = PLUGIN_VERSION_MINOR;
  PluginInfo.Build = PLUGIN_VERSION_BUILD;
  return &PluginInfo;
}

PLUGIN_EXPORT int PLUGIN_API InitializePlugin(void) {
  char16_t quiet[MAX_ARG_LEN];
  TextCopy(quiet, MAX_ARG_LEN, u"%[_transient]%[_pipe]%[noloadmsg]");
  ExpandVariables(quiet, 1);
  quiet[MAX_ARG_LEN - 1] = 0;
  if (quiet[0] == u'0' && quiet[1] == u'0' && quiet[2] == 0) {
    Printf(u"%s plugin v%d.%d.%d loaded.\n", PluginName, PLUGIN_VERSION_MAJOR,
           PLUGIN_VERSION_MINOR, PLUGIN_VERSION_BUILD);
  }
  return 0;
}

PLUGIN_EXPORT int PLUGIN_API ShutdownPlugin(int /*endProcess*/) { return 0; }
