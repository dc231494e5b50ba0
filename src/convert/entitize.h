// The entitizing step shared by @ENTITIZE, @ENTAG, @MAKEENTITY and the
// ARRAYTABLE cells.
#pragma once

#include "kelvo/result_buffer.h"

// Appends the entitized form of the NUL-terminated input to out, under
// the current Quotes, Spaces, Dash and Apos options. When out fills up,
// plain characters are cut one by one and an entity that does not fit
// closes it, so what it holds is always a clean prefix of the full
// result. Reads nothing past the input's terminator.
void EntitizeText(const char16_t* input, ResultBuffer* out);
