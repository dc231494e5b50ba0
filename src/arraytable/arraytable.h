// The ARRAYTABLE command and its helpers.
#pragma once

#include <cstdint>

#include "kelvo/limits.h"
#include "kelvo/options.h"

// Runs the command on its argument text (terminated): 0 after the table or
// the help, 1 after an error reported on standard error. Each cell is
// entitized under options.
int ArrayTableCommand(const char16_t* text, const Options& options);

// Room for an element reference or an @arrayinfo query around any array
// name, the longest being one whole split argument (MAX_TEXT_LEN): the
// decoration takes at most 26 characters ("%NAME[-2147483648,-2147483648]").
// The host writes its expansion into the same buffer, at most MAX_ARG_LEN.
constexpr int REFERENCE_BUFFER_LEN = MAX_ARG_LEN + 32;

// One number of an array's shape from the host: index 0 the number of
// dimensions, 1 the rows, 2 the columns. -1 without asking the host for
// a null or empty name or an index above 5.
int32_t QueryArrayInfo(const char16_t* name, int index);

// True when the header text holds both an opening and a closing th tag
// (with '<' or the fullwidth U+FF1C), so it is written as it stands.
bool HeaderHasCellTags(const char16_t* text);

// Bounded formatting into buffer (capacity slots, terminator included);
// a text that does not fit is cut. Both return the length written.
// "%@arrayinfo[NAME,index]":
int FormatArrayInfoQuery(char16_t* buffer, int capacity, const char16_t* name, int index);
// "%NAME[row]" for one dimension (column < 0), else "%NAME[row,column]":
int FormatElementReference(char16_t* buffer, int capacity, const char16_t* name, int row,
                           int column);
