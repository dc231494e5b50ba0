// Help and usage requests from the host.
#include "frame/boundary.h"
#include "kelvo/limits.h"
#include "kelvo/platform.h"
#include "kelvo/plugin.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"

namespace {

const char16_t HelpCaption[] = u"Kelvo Plugin Help";

void ShowCommandHelp(const char16_t* title, const char16_t* usage) {
  char16_t text[MAX_ARG_LEN];
  TextCopy(text, MAX_ARG_LEN, title);
  TextAppend(text, MAX_ARG_LEN, usage);
  PlatformShowMessage(text, HelpCaption);
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API Help(const char16_t* topic) {
  if (topic == nullptr) return 0;
  if (TextEqualsNoCase(topic, u"kelvo")) {
    ShowCommandHelp(KelvoHelpTitle, KelvoUsageText);
    return 1;
  }
  if (TextEqualsNoCase(topic, u"arraytable")) {
    ShowCommandHelp(ArrayTableHelpTitle, ArrayTableUsageText);
    return 1;
  }
  for (int i = 0; i < VARIABLE_FUNCTION_COUNT; ++i) {
    if (TextEqualsNoCase(topic, VariableFunctionTable[i].topic)) {
      PlatformShowMessage(VariableFunctionTable[i].help, HelpCaption);
      return 1;
    }
  }
  return 0;
}

PLUGIN_EXPORT int PLUGIN_API Usage(const char16_t* topic, char16_t* out) {
  if (topic == nullptr || out == nullptr) return 0;
  const char16_t* usage = nullptr;
  if (TextEqualsNoCase(topic, u"kelvo")) {
    usage = KelvoUsageText;
  } else if (TextEqualsNoCase(topic, u"arraytable")) {
    usage = ArrayTableUsageText;
  } else {
    return 0;
  }
  TextCopy(out, SMALL_BUF_LEN, usage);
  return 1;
}
