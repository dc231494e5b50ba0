// Recognises the elided words that begin with an apostrophe ('tis, 'n',
// 'twas ...), so that @ENTITIZE writes their apostrophe as a closing
// quote rather than an opening one.
#pragma once

// True when the word that starts at the apostrophe is one of the known
// contractions. The word runs over letters and apostrophes (U+0027,
// U+2018, U+2019 and U+FF07 all count as one), without regard to ASCII
// case, and ends before any other character or the terminator. Reads
// nothing past the terminator and at most eleven characters.
bool IsContraction(const char16_t* apostrophe);
