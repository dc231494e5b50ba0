// Uniform error reporting: the plugin's name, the batch file's name and
// line when inside one, then the caller's one-line message.
#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/platform.h"
#include "kelvo/services.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"

HostHandle StdErrHandle(void) { return PlatformStdErrHandle(); }

int ErrorPrefix(void) {
  HostHandle err = StdErrHandle();
  Qprintf(err, u"%s plugin: ", PluginName);

  // ExpandVariables takes no capacity, so the buffer is a full ArgBuffer.
  char16_t where[MAX_ARG_LEN];
  TextCopy(where, MAX_ARG_LEN, u"%_batch");
  ExpandVariables(where, 1);
  if (where[0] != u'0') {
    TextCopy(where, MAX_ARG_LEN, u"%_batchname [%_batchline]  ");
    ExpandVariables(where, 1);
    where[MAX_ARG_LEN - 1] = 0;
    // Written as data, never as a format: a batch name may hold '%'.
    Qprintf(err, u"%s", where);
  }
  return 0;
}

void ReportError(const char16_t* format, const char16_t* argument) {
  ErrorPrefix();
  Qprintf(StdErrHandle(), format, argument != nullptr ? argument : u"");
}
