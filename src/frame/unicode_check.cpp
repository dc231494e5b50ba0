// Conversions that write fullwidth markup refuse to run when the host
// writes Unicode output: there the markup would reach the page as
// fullwidth characters instead of '&', '<' and '>'.
#include "kelvo/host.h"
#include "kelvo/options.h"
#include "kelvo/services.h"

int CheckUnicodeOutput(void) {
  if (!PluginOptions.unicodeCheck) return 0;
  if (QueryUnicodeOutput() != 1) return 0;
  ErrorPrefix();
  Qprintf(StdErrHandle(), u"Unicode output not supported\r\n");
  return 2;
}
