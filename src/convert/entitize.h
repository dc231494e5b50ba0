// The entitizing step shared by @ENTITIZE, @ENTAG, @MAKEENTITY and the
// ARRAYTABLE cells.
#pragma once

#include "kelvo/result_buffer.h"

// Appends the entitized form of the NUL-terminated input to out, under
// the current Quotes, Spaces, Dash and Apos options. When out fills up,
// plain characters are cut one by one and an entity that does not fit
// closes it, so what it holds is always a clean prefix of the full
// result. The input's storage ends at inputEnd: units up to there may be
// read ahead of the terminator, but nothing after the terminator changes
// the result.
void EntitizeText(const char16_t* input, const char16_t* inputEnd, ResultBuffer* out);
