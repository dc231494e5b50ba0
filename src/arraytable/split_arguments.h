// Cuts a command's argument text into separate arguments (options and
// operands alike) and leaves them in file-scope tables read by index.
// White space separates arguments, double quotes group text, options
// written one against the other come apart at each '/', and a quote
// right behind a two-character option such as /H becomes ':'.
#pragma once

#include <cstdint>

#include "kelvo/limits.h"

constexpr int MAX_ARGS = 1024;

// The result of the latest SplitArguments call. Each argument is
// NUL-terminated inside ArgStore; entries from ArgCount on are null / 0.
// Callers may change the argument texts in place until the next call.
extern int32_t ArgCount;
extern char16_t* ArgPointers[MAX_ARGS];
extern int32_t ArgLengths[MAX_ARGS];
extern char16_t ArgStore[MAX_ARG_LEN];

// Returns the number of arguments (0 to MAX_ARGS; the text of arguments
// beyond MAX_ARGS is dropped silently), or -1 for a null text or when
// a character of the arguments does not fit ArgStore (reported on
// standard error; ArgCount is then 0). White space that the trimming
// would remove anyway never counts as lost. The text itself is never
// changed.
int SplitArguments(const char16_t* text);
