// The process-wide conversion settings, alive while the module is loaded.
#include "kelvo/options.h"

PluginOptionsRecord PluginOptions = {2, 2, 1, 3, 1, 1};

void ResetPluginOptions(void) { PluginOptions = PluginOptionsRecord{2, 2, 1, 3, 1, 1}; }
