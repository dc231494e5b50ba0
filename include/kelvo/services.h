// Services shared by the boundary, the commands and the conversions: error
// reporting (never from a conversion) and number parsing.
#pragma once

#include <cstdint>

#include "kelvo/host.h"

// Writes "Kelvo plugin: " and, inside a batch file, "NAME [LINE]  " to
// standard error. Always 0.
int ErrorPrefix(void);

// Unsigned decimal, or 0x-hexadecimal, 32-bit number. Without end the
// whole text must be the number. 0 on success, -1 on failure (outputs
// untouched).
int ParseNumber(const char16_t* text, uint32_t* value, const char16_t** end);

// 1 for ':' or '=', else 0.
int IsValueSeparator(char16_t ch);

// The standard-error handle the messages are written to.
HostHandle StdErrHandle(void);

// ErrorPrefix, then the message with its one %s argument (may be null
// when the format has none) on standard error.
void ReportError(const char16_t* format, const char16_t* argument);

// wcstol-like signed decimal read: leading white space and a sign
// accepted, stops at the first non-digit, clamps to the 32-bit range,
// 0 when no digit.
int32_t ReadLeadingInteger(const char16_t* text);
