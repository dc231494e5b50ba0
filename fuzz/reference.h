// Plain, character-by-character models of the conversions, written
// straight from their rules without the fast paths of the real code. The
// fuzz targets compare each function with its model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EntitizeSettings {
  int quotes, spaces, dash, apos;
};

// @ENTITIZE of text (up to its first NUL) into a result of at most
// `capacity` units: plain characters are cut one by one, and the first
// entity that does not fit whole ends the result.
std::u16string ModelEntitize(const std::u16string& text, const EntitizeSettings& s,
                             int capacity);

// @DEENTITIZE of an ArgBuffer's contents (MAX_ARG_LEN units; the last one
// always counts as the terminator).
std::u16string ModelDeentitize(const char16_t* buffer, bool approximate);

// The text of an @HCOMMENT comment: the input with one blank before the
// last character of every "-->", "--!>" and "<!--" (read with the
// fullwidth forms folded), found one after another, each the one that
// ends first.
std::u16string ModelCommentText(const std::u16string& text);

// The command-line splitter on a store without a limit: the arguments
// (at most MAX_ARGS, trimmed), and whether a character that survives the
// trimming lies beyond the 16383 usable slots of the real store.
struct SplitModel {
  std::vector<std::u16string> arguments;
  bool overflows;
};
SplitModel ModelSplitArguments(const std::u16string& text);

// The keep-set @HEXENC builds from HEXENC_KEEP: `present` false for an
// unset, empty or overlong variable (the default set applies).
std::u16string ModelKeepSet(bool present, const std::u16string& value);
std::u16string ModelHexenc(const std::u16string& text, const std::u16string& keep);
std::u16string ModelHexdec(const char16_t* buffer);

// ParseNumber from the C library's wcstoul, as on a host with 32-bit
// unsigned long: 0 and the outputs, or -1.
int ModelParseNumber(const std::u16string& text, bool wantEnd, uint32_t* value, size_t* end);
// wcstol-like leading signed decimal clamped to 32 bits, from the C library.
int32_t ModelLeadingInteger(const std::u16string& text);
