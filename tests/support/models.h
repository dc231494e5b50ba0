// Plain, character-by-character models of the conversions, written
// straight from their rules without the fast paths of the real code: one
// unit at a time, every rule in the order the rules are stated, entity
// names found by a scan of the whole table. The unit tests, the corpus
// consistency test and the fuzz targets compare the functions with them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/options.h"

// @ENTITIZE of text (up to its first NUL) into a result of at most
// `capacity` units, cut as the result buffer cuts: plain units one by one,
// pieces whole, a pair never split, nothing after the first cut.
std::u16string ModelEntitize(const std::u16string& text, const Options& options, int capacity);

// @DEENTITIZE of an argument (read up to its NUL and no further than
// MAX_TEXT_LEN units).
std::u16string ModelDeentitize(const char16_t* argument, bool approximate);

// The keep-set @HEXENC builds from HEXENC_KEEP: `present` false for an
// unset, empty or overlong variable (the default set applies).
std::u16string ModelKeepSet(bool present, const std::u16string& value);
std::u16string ModelHexenc(const std::u16string& text, const std::u16string& keep);
// The same with HEXENC_KEEP set to keepValue (empty: unset).
std::u16string ModelHexencWithKeep(const std::u16string& text, const std::u16string& keepValue);
std::u16string ModelHexdec(const char16_t* argument);
// What @HEXDEC gives back from @HEXENC's result of text under keep, when
// that result was not cut: the text (up to its first NUL) folded, each
// lone surrogate as U+FFFD, and U+00D7 directly followed by a character
// of U+0080..U+00BF, both escaped, as the one character their two escapes
// form in UTF-8 (U+05C0..U+05FF).
std::u16string ModelHexRoundTrip(const std::u16string& text, const std::u16string& keep);

// The text of an @HCOMMENT comment: the input with one blank between the
// two dashes of every "-->", "--!>" and "<!--" (read with the fullwidth
// forms folded), found one after another, each the one that ends first.
std::u16string ModelCommentText(const std::u16string& text);

// The command-line splitter on a store without a limit: the arguments
// (at most MAX_ARGS, trimmed), and whether a character that survives the
// trimming lies beyond the 16383 usable slots of the real store.
struct SplitModel {
  std::vector<std::u16string> arguments;
  bool overflows;
};
SplitModel ModelSplitArguments(const std::u16string& text);

// The functions that may refuse their argument: the result, or the
// message that follows the error prefix.
struct ModelOutcome {
  std::u16string text;
  const char16_t* refusal = nullptr;
  std::u16string entitizedFrom = u"";  // @ENTAG: its string, and what
  std::u16string entitized = u"";      // @ENTITIZE made of it between the tags
};
ModelOutcome ModelTag(const std::u16string& argument);
ModelOutcome ModelComment(const std::u16string& argument);
ModelOutcome ModelMakeEntity(const std::u16string& argument);
ModelOutcome ModelEntag(const std::u16string& argument, const Options& options);

// ParseNumber from the C library's wcstoul, as on a host with 32-bit
// unsigned long: 0 and the outputs, or -1.
int ModelParseNumber(const std::u16string& text, bool wantEnd, uint32_t* value, size_t* end);
// wcstol-like leading signed decimal clamped to 32 bits, from the C library.
int32_t ModelLeadingInteger(const std::u16string& text);
