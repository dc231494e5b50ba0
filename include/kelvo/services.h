// Services shared by every command and variable function: error
// reporting, the Unicode-output check, bounded appends, number parsing.
#pragma once

#include <cstdint>

#include "kelvo/host.h"

// Writes "Kelvo plugin: " and, inside a batch file, "NAME [LINE]  " to
// standard error. Always 0.
int ErrorPrefix(void);

// 0 when the caller may go on; 2 after reporting "Unicode output not
// supported" because the host writes Unicode output.
int CheckUnicodeOutput(void);

// Appends to a NUL-terminated buffer of MAX_ARG_LEN characters.
// AppendChar: 0, or -1 (null buffer, or buffer already full).
// AppendEntity / AppendTag: 0, or -1 for a null pointer; the piece goes
// in whole or not at all.
int AppendChar(char16_t* buffer, char16_t ch);
int AppendEntity(char16_t* buffer, const char16_t* name);
int AppendTag(char16_t* buffer, const char16_t* text);

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
