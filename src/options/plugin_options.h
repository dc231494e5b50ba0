// The stored settings: written by the KELVO command, read by the boundary
// at the start of every call. They start at the initial values and are
// never saved.
#pragma once

#include "kelvo/options.h"

extern Options PluginOptions;
