// The KELVO command: shows, changes or resets the stored settings.
#pragma once

#include "kelvo/options.h"

// Runs the command on its argument text (terminated) against the stored
// settings: 0 after a display, the usage, "Defaults" or options applied;
// 1 after an error, reported on standard error.
int KelvoCommand(const char16_t* text, Options* stored);
