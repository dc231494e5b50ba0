// @ENTITIZE: plain text to HTML text in one pass. The scan of
// entitize_scan.h copies the characters that need no rule; the others go
// through ConvertOne, which keeps `prev`, the character the best-guess
// rules look back at.
#include "convert/entitize.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/contraction.h"
#include "convert/entitize_scan.h"
#include "kelvo/charclass.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"

namespace {

using entitize_scan::CopyPlainRun;
using entitize_scan::FollowsCandidate;
using entitize_scan::kEmDash;
using entitize_scan::RunEnd;
using entitize_scan::ScanTableFor;

// The longest entity written, "&brvbar;", fills a block of eight units.
constexpr int kEntityBlock = 8;

struct Entity {
  char16_t block[kEntityBlock];  // the ampersand marker, the name with its ';', padding
  int length;                    // of the name
};

template <int N>
constexpr Entity Named(const char16_t (&name)[N]) {
  static_assert(N <= kEntityBlock, "an entity fills at most one block");
  Entity e{};
  e.block[0] = MARK_AMP;
  for (int i = 0; i < N - 1; ++i) e.block[1 + i] = name[i];
  e.length = N - 1;
  return e;
}

constexpr Entity kUarr = Named(u"uarr;");
constexpr Entity kDarr = Named(u"darr;");
constexpr Entity kRarr = Named(u"rarr;");
constexpr Entity kLarr = Named(u"larr;");
constexpr Entity kAmp = Named(u"amp;");
constexpr Entity kLt = Named(u"lt;");
constexpr Entity kGt = Named(u"gt;");
constexpr Entity kBrvbar = Named(u"brvbar;");
constexpr Entity kEuro = Named(u"euro;");
constexpr Entity kQuot = Named(u"quot;");
constexpr Entity kLdquo = Named(u"ldquo;");
constexpr Entity kRdquo = Named(u"rdquo;");
constexpr Entity kNbsp = Named(u"nbsp;");
constexpr Entity kMdash = Named(u"mdash;");
constexpr Entity kNumericApos = Named(u"#39;");
constexpr Entity kApos = Named(u"apos;");
constexpr Entity kLsquo = Named(u"lsquo;");
constexpr Entity kRsquo = Named(u"rsquo;");

constexpr char16_t kLeftSingle = 0x2018;
constexpr char16_t kRightSingle = 0x2019;
constexpr char16_t kLeftDouble = 0x201C;
constexpr char16_t kRightDouble = 0x201D;

// A hyphen further on in the input than this never starts an em dash:
// the pair and the character after it must lie within the text.
constexpr int kLastDashPosition = MAX_ARG_LEN - 3;

inline bool EndsLine(char16_t c) { return c == 0 || c == u'\n' || c == u'\r'; }

bool ClosesDoubleQuote(char16_t prev, char16_t next) {
  return (IsGraphicChar(prev) && prev != kLeftSingle) || (IsWhiteSpaceChar(prev) && EndsLine(next));
}

enum class SingleQuote { Opening, Closing, Apostrophe };

// Four steps, each later one overriding what the earlier ones decided.
SingleQuote ClassifySingleQuote(char16_t prev, const char16_t* at) {
  const char16_t next = at[1];
  SingleQuote kind;
  if (IsGraphicChar(prev) && prev != kLeftDouble) {
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
  return prev != u'-' && prev != kEmDash && at - input <= kLastDashPosition && at[1] == u'-' &&
         at[2] != u'-';
}

// Appends U+FF06 and the name, all or none, as ResultAppendEntity does;
// inline, since nearly every character that takes a rule writes one.
inline void AppendEntity(ResultBuffer* out, const Entity& entity) {
  if (entity.length + 1 > ResultRoom(out)) {
    out->closed = true;
    return;
  }
  char16_t* at = out->text + out->length;
  if (ResultRoom(out) >= kEntityBlock) {
    // One fixed-size move; what lies past the entity is overwritten later.
    std::memcpy(at, entity.block, sizeof entity.block);
  } else {
    for (int i = 0; i <= entity.length; ++i) at[i] = entity.block[i];
  }
  out->length += entity.length + 1;
  out->text[out->length] = 0;
}

// Best-guess spaces: a run of white space becomes one blank, or one
// non-breaking space when a dash or an ampersand follows its first
// character directly.
const char16_t* ConvertWhiteSpaceRun(const char16_t* at, ResultBuffer* out, char16_t* prev) {
  const char16_t next = at[1];
  if (next == u'-' || next == kEmDash || next == u'&') {
    AppendEntity(out, kNbsp);
  } else {
    ResultAppendChar(out, u' ');
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
      entity = &kUarr;
      break;
    case 0x0019:
    case 0x2193:
      entity = &kDarr;
      break;
    case 0x001A:
    case 0x2192:
      entity = &kRarr;
      break;
    case 0x001B:
    case 0x2190:
      entity = &kLarr;
      break;
    case u'&':
      entity = &kAmp;
      break;
    case u'<':
      entity = &kLt;
      break;
    case u'>':
      entity = &kGt;
      break;
    case u'|':
      entity = &kBrvbar;
      break;
    case 0x20AC:
      entity = &kEuro;
      break;
    case u'"':
      if (s.quotes == Quotes::Always) {
        entity = &kQuot;
      } else if (s.quotes == Quotes::BestGuess) {
        const bool closing = ClosesDoubleQuote(*prev, at[1]);
        entity = closing ? &kRdquo : &kLdquo;
        prevAfter = closing ? kRightDouble : kLeftDouble;
      }
      break;
    case u'\'':
      if (s.apos == Apos::Numeric) {
        entity = &kNumericApos;
      } else if (s.apos == Apos::Named) {
        entity = &kApos;
      } else if (s.apos == Apos::BestGuess) {
        const SingleQuote kind = ClassifySingleQuote(*prev, at);
        entity = kind == SingleQuote::Opening ? &kLsquo : &kRsquo;
        prevAfter = kind == SingleQuote::Opening   ? kLeftSingle
                    : kind == SingleQuote::Closing ? kRightSingle
                                                   : u'\'';
      }
      break;
    case u'-':
      if (s.dash == Dash::EmDash && StartsEmDash(input, at, *prev)) {
        entity = &kMdash;
        prevAfter = kEmDash;
        resume = at + 2;
      }
      break;
    case u'\t':
    case u'\n':
    case u'\r':
    case u' ':
      if (s.spaces == Spaces::Always) {
        entity = &kNbsp;
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
    AppendEntity(out, *entity);
  } else {
    ResultAppendChar(out, c);
  }
  *prev = prevAfter;
  return resume;
}

}  // namespace

void EntitizeText(const char16_t* input, const char16_t* inputEnd, ResultBuffer* out) {
  if (ResultRoom(out) == 0) return;
  const Options settings = PluginOptions;
  const uint16_t* const table = ScanTableFor(settings);
  const entitize_scan::BlockSettings blockSettings = entitize_scan::BlockSettingsFor(settings.spaces);
  char16_t prev = u' ';
  const char16_t* p = input;
  for (;;) {
    const int room = ResultRoom(out);
    const RunEnd run = CopyPlainRun(p, inputEnd, out->text + out->length, room, table, blockSettings);
    out->length += run.written;
    int written = run.written;
    const char16_t* at = p + run.read;
    if (*at == 0) break;  // the terminator, and no candidate waits for it
    if (run.waiting != 0 && FollowsCandidate(table, *at, run.waiting)) {
      // The candidate written last takes its rule after all.
      --at;
      --out->length;
      --written;
    } else if (run.written == room) {
      break;  // the result is full
    }
    // What was written of the run is what the rules look back at.
    if (written > 0) prev = out->text[out->length - 1];
    p = ConvertOne(input, at, out, settings, &prev);
    if (p == nullptr || ResultRoom(out) == 0) break;
  }
  out->text[out->length] = 0;
}

PLUGIN_EXPORT int PLUGIN_API f_entitize(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;
  // The text has at most MAX_TEXT_LEN characters: a buffer whose text
  // lacks its terminator is read no further. The buffer is overwritten
  // with the result in any case.
  buffer[MAX_TEXT_LEN] = 0;
  char16_t result[MAX_ARG_LEN];
  ResultBuffer rb;
  ResultInit(&rb, result, MAX_ARG_LEN);
  EntitizeText(buffer, buffer + MAX_ARG_LEN, &rb);
  std::memcpy(buffer, result, sizeof(char16_t) * static_cast<size_t>(rb.length + 1));
  return 0;
}
