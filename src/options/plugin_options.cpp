// The stored settings, alive while the module is loaded.
#include "options/plugin_options.h"

Options PluginOptions;
