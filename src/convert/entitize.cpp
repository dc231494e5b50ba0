// @ENTITIZE: plain text to HTML text in one pass. The scan
// (entitize_scan.h) copies the units that need no rule; the others go
// through ConvertOne, which keeps `prev`, the unit the best-guess rules
// look back at. Every entity is written whole or not at all.
#include <cstdint>

#include "convert/contraction.h"
#include "convert/conversion.h"
#include "convert/entitize_scan.h"
#include "convert/vector_paths.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"

namespace {

using entitize_scan::EM_DASH;

// An entity as it is written: U+FF06, the name and its ';'.
struct Entity {
  char16_t text[8];
  int length;
};

template <int N>
constexpr Entity Named(const char16_t (&name)[N]) {
  static_assert(N <= 8, "the longest entity written, \"&brvbar;\", has eight units");
  Entity e{};
  e.text[0] = MARK_AMP;
  for (int i = 0; i < N - 1; ++i) e.text[1 + i] = name[i];
  e.length = N;
  return e;
}

constexpr Entity UARR = Named(u"uarr;");
constexpr Entity DARR = Named(u"darr;");
constexpr Entity RARR = Named(u"rarr;");
constexpr Entity LARR = Named(u"larr;");
constexpr Entity AMP = Named(u"amp;");
constexpr Entity LT = Named(u"lt;");
constexpr Entity GT = Named(u"gt;");
constexpr Entity BRVBAR = Named(u"brvbar;");
constexpr Entity EURO = Named(u"euro;");
constexpr Entity QUOT = Named(u"quot;");
constexpr Entity LDQUO = Named(u"ldquo;");
constexpr Entity RDQUO = Named(u"rdquo;");
constexpr Entity NBSP = Named(u"nbsp;");
constexpr Entity MDASH = Named(u"mdash;");
constexpr Entity NUMERIC_APOS = Named(u"#39;");
constexpr Entity APOS = Named(u"apos;");
constexpr Entity LSQUO = Named(u"lsquo;");
constexpr Entity RSQUO = Named(u"rsquo;");

constexpr char16_t LEFT_SINGLE = 0x2018;
constexpr char16_t RIGHT_SINGLE = 0x2019;
constexpr char16_t LEFT_DOUBLE = 0x201C;
constexpr char16_t RIGHT_DOUBLE = 0x201D;

// A hyphen further on in the input than this never starts an em dash:
// the pair and the unit after it must lie within the text.
constexpr int LAST_DASH_POSITION = MAX_ARG_LEN - 3;

inline bool EndsLine(char16_t c) { return c == 0 || c == u'\n' || c == u'\r'; }

bool ClosesDoubleQuote(char16_t prev, char16_t next) {
  return (IsGraphicChar(prev) && prev != LEFT_SINGLE) || (IsWhiteSpaceChar(prev) && EndsLine(next));
}

enum class SingleQuote { Opening, Closing, Apostrophe };

// Four steps, each later one overriding what the earlier ones decided.
SingleQuote ClassifySingleQuote(char16_t prev, const char16_t* at) {
  const char16_t next = at[1];
  SingleQuote kind;
  if (IsGraphicChar(prev) && prev != LEFT_DOUBLE) {
    kind =
        (IsAlnumChar(prev) && IsAlphaChar(next)) ? SingleQuote::Apostrophe : SingleQuote::Closing;
  } else {
    kind = (IsWhiteSpaceChar(prev) && EndsLine(next)) ? SingleQuote::Closing : SingleQuote::Opening;
  }
  if (!IsAlphaChar(prev) && IsAlphaChar(next) && IsContraction(at)) {
    kind = SingleQuote::Apostrophe;
  }
  // An elided year such as '99; each look-ahead only past a digit.
  if (!IsAlnumChar(prev) && IsDigitChar(next) && IsDigitChar(at[2]) && !IsAlnumChar(at[3])) {
    kind = SingleQuote::Apostrophe;
  }
  return kind;
}

// Exactly two hyphens make a dash, and not right after another hyphen
// or dash.
bool StartsEmDash(const char16_t* input, const char16_t* at, char16_t prev) {
  return prev != u'-' && prev != EM_DASH && at - input <= LAST_DASH_POSITION && at[1] == u'-' &&
         at[2] != u'-';
}

// Best-guess spaces: a run of white space becomes one blank, or one
// non-breaking space when a dash or an ampersand follows its first
// character directly.
const char16_t* ConvertWhiteSpaceRun(const char16_t* at, ResultBuffer* out, char16_t* prev) {
  const char16_t next = at[1];
  if (next == u'-' || next == EM_DASH || next == u'&') {
    ResultAppendPiece(out, NBSP.text, NBSP.length);
  } else {
    ResultAppendUnit(out, u' ');
  }
  const char16_t* p = at + 1;
  while (IsWhiteSpaceChar(*p)) ++p;
  *prev = u' ';
  return p;
}

// Text from a tag marker up to its closing marker is copied unchanged; an
// unclosed marker protects the rest of the input.
const char16_t* CopyProtectedRun(const char16_t* at, ResultBuffer* out, char16_t* prev) {
  const char16_t* p = at + 1;
  while (*p != 0 && *p != MARK_GT) ++p;
  ResultAppendRun(out, at, static_cast<int>(p - at));
  *prev = p[-1];
  return *p == 0 ? nullptr : p;
}

// Converts the character at `at` and returns where conversion goes on,
// or null when the input has ended.
inline const char16_t* ConvertOne(const char16_t* input, const char16_t* at, ResultBuffer* out,
                                  const Options& s, char16_t* prev) {
  const char16_t c = *at;
  const Entity* entity = nullptr;
  char16_t prevAfter = c;
  const char16_t* resume = at + 1;
  switch (c) {
    case 0:
      return nullptr;
    case 0x0018:
    case 0x2191:
      entity = &UARR;
      break;
    case 0x0019:
    case 0x2193:
      entity = &DARR;
      break;
    case 0x001A:
    case 0x2192:
      entity = &RARR;
      break;
    case 0x001B:
    case 0x2190:
      entity = &LARR;
      break;
    case u'&':
      entity = &AMP;
      break;
    case u'<':
      entity = &LT;
      break;
    case u'>':
      entity = &GT;
      break;
    case u'|':
      entity = &BRVBAR;
      break;
    case 0x20AC:
      entity = &EURO;
      break;
    case u'"':
      if (s.quotes == Quotes::Always) {
        entity = &QUOT;
      } else if (s.quotes == Quotes::BestGuess) {
        const bool closing = ClosesDoubleQuote(*prev, at[1]);
        entity = closing ? &RDQUO : &LDQUO;
        prevAfter = closing ? RIGHT_DOUBLE : LEFT_DOUBLE;
      }
      break;
    case u'\'':
      if (s.apos == Apos::Numeric) {
        entity = &NUMERIC_APOS;
      } else if (s.apos == Apos::Named) {
        entity = &APOS;
      } else if (s.apos == Apos::BestGuess) {
        const SingleQuote kind = ClassifySingleQuote(*prev, at);
        entity = kind == SingleQuote::Opening ? &LSQUO : &RSQUO;
        prevAfter = kind == SingleQuote::Opening   ? LEFT_SINGLE
                    : kind == SingleQuote::Closing ? RIGHT_SINGLE
                                                   : u'\'';
      }
      break;
    case u'-':
      if (s.dash == Dash::EmDash && StartsEmDash(input, at, *prev)) {
        entity = &MDASH;
        prevAfter = EM_DASH;
        resume = at + 2;
      }
      break;
    case u'\t':
    case u'\n':
    case u'\r':
    case u' ':
      if (s.spaces == Spaces::Always) {
        entity = &NBSP;
        prevAfter = u' ';
      } else if (s.spaces == Spaces::BestGuess) {
        return ConvertWhiteSpaceRun(at, out, prev);
      }
      break;
    case MARK_LT:
      return CopyProtectedRun(at, out, prev);
    default:
      break;
  }
  if (entity != nullptr) {
    ResultAppendPiece(out, entity->text, entity->length);
  } else {
    ResultAppendUnit(out, c);
  }
  *prev = prevAfter;
  return resume;
}

// The scan and the rules in turn, from the start of the text to its end
// or until the result is full.
template <bool Blocks>
[[gnu::always_inline]] inline Status EntitizeText(const Argument& argument, const Options& options,
                                                  ResultBuffer* out) {
  if (ResultRoom(out) == 0) return Status::Converted;
  const entitize_scan::Scan scan = entitize_scan::ScanFor(options, argument.end);
  char16_t prev = u' ';
  const char16_t* p = argument.text;
  while ((p = entitize_scan::ScanToRule<Blocks>(p, scan, out, &prev)) != nullptr) {
    p = ConvertOne(argument.text, p, out, options, &prev);
    if (p == nullptr || ResultRoom(out) == 0) break;
  }
  return Status::Converted;
}

#if KELVO_SSE2
// Built for SSSE3, which the block class test needs. Everything it calls
// is inlined into it: the scan's functions are built for the baseline, and
// the class test, built for SSSE3 alone, can be inlined only here.
[[gnu::target("ssse3"), gnu::flatten]] Status EntitizeByBlocks(const Argument& argument,
                                                               const Options& options, ResultBuffer* out) {
  return EntitizeText<true>(argument, options, out);
}
#endif

}  // namespace

Status Entitize(const Argument& argument, const Options& options, ResultBuffer* out) {
#if KELVO_SSE2
  if (CpuHasSsse3()) return EntitizeByBlocks(argument, options, out);
#endif
  return EntitizeText<false>(argument, options, out);
}
