// Checks on entitized text that do not depend on the model.
#pragma once

#include <string>

// Outside the tags (U+FF1C to U+FF1E) the output holds no ASCII '&', '<',
// '>' or '|', and every U+FF06 that the input did not bring is followed by
// one of the names @ENTITIZE writes, whole, even where the output was cut.
void CheckEntitizedMarkup(const std::u16string& input, const std::u16string& output);
