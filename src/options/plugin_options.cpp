// The stored settings, alive while the module is loaded.
#include "kelvo/options.h"

Options PluginOptions;
