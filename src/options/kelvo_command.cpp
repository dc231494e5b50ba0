// The KELVO command: shows, changes or resets the conversion settings.
#include "options/kelvo_command.h"

#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"
#include "kelvo/version.h"

namespace {

// One KELVO option: the names it is known by, its largest value, its
// display names by value, and how its field of the settings is read and
// written.
struct OptionForm {
  const char16_t* names[4];  // accepted names, null-terminated list
  int32_t largest;
  const char16_t* label;     // as the display shows it
  const char16_t* const* displayNames;
  int32_t (*get)(const Options& options);
  void (*set)(Options* options, int32_t value);
};

const char16_t* const QuoteNames[] = {u"Never", u"&quot; always", u"Best guess"};
const char16_t* const SpaceNames[] = {u"Never", u"&nbsp; always", u"Best guess"};
const char16_t* const DashNames[] = {u"No", u"Yes"};
const char16_t* const AposNames[] = {u"Never", u"&#39;", u"&apos;", u"Best guess"};

const OptionForm OptionForms[] = {
    {{u"Quotes", u"Quote", u"Q", nullptr}, 2, u"Quotes", QuoteNames,
     [](const Options& o) { return static_cast<int32_t>(o.quotes); },
     [](Options* o, int32_t v) { o->quotes = static_cast<Quotes>(v); }},
    {{u"Spaces", u"Space", u"S", nullptr}, 2, u"Spaces", SpaceNames,
     [](const Options& o) { return static_cast<int32_t>(o.spaces); },
     [](Options* o, int32_t v) { o->spaces = static_cast<Spaces>(v); }},
    {{u"Dashes", u"Dash", u"D", nullptr}, 1, u"Dash  ", DashNames,
     [](const Options& o) { return static_cast<int32_t>(o.dash); },
     [](Options* o, int32_t v) { o->dash = static_cast<Dash>(v); }},
    {{u"Apostrophe", u"Apostrophes", u"Apos", u"A"}, 3, u"Apos  ", AposNames,
     [](const Options& o) { return static_cast<int32_t>(o.apos); },
     [](Options* o, int32_t v) { o->apos = static_cast<Apos>(v); }},
};

enum class TokenResult { Applied, Stop, Failed };

const OptionForm* FindOption(const char16_t* name) {
  for (const OptionForm& option : OptionForms) {
    for (const char16_t* accepted : option.names) {
      if (accepted != nullptr && TextEqualsNoCase(name, accepted)) return &option;
    }
  }
  return nullptr;
}

// Reads the whole value as a signed decimal, as wcstol would; false when
// anything is left after the number.
bool ReadWholeValue(const char16_t* text, int32_t* value) {
  const char16_t* p = text;
  while (*p >= u'0' && *p <= u'9') ++p;
  if (p == text || *p != 0) return false;
  *value = ReadLeadingInteger(text);
  return true;
}

TokenResult HandleToken(char16_t* token, int separator, Options* stored) {
  if (TextEqualsNoCase(token, u"/?")) {
    Printf(u"\r\n%s%s\r\n", KelvoHelpTitle, KelvoUsageText);
    return TokenResult::Stop;
  }
  if (TextEqualsNoCase(token, u"Defaults")) {
    *stored = Options{};
    return TokenResult::Stop;
  }
  if (separator <= 0) {
    TextUpperAscii(token);
    ReportError(u"Option with no value \"%s\"\r\n", token);
    return TokenResult::Failed;
  }

  char16_t* value = token + separator + 1;
  int32_t number = 0;
  if (!IsAlnumChar(value[0])) {
    TextUpperAscii(value);
    ReportError(u"Bad option value \"%s\"\r\n", value);
    return TokenResult::Failed;
  }
  if (!ReadWholeValue(value, &number)) {
    ReportError(u"Bad option value \"%s\"\r\n", value);
    return TokenResult::Failed;
  }

  token[separator] = 0;
  const OptionForm* option = FindOption(token);
  if (option == nullptr) {
    TextUpperAscii(token);
    ReportError(u"Unknown option \"%s\"\r\n", token);
    return TokenResult::Failed;
  }
  if (number > option->largest) {
    // The message names the option as NAME:VALUE whatever separator was typed.
    token[separator] = u':';
    TextUpperAscii(token);
    ReportError(u"Option value out of range \"%s\"\r\n", token);
    return TokenResult::Failed;
  }
  option->set(stored, number);
  return TokenResult::Applied;
}

void ShowOptions(const Options& stored) {
  Printf(u"\nKelvo plugin options:\n\n");
  for (const OptionForm& option : OptionForms) {
    const int32_t value = option.get(stored);
    // The fields only ever hold values in range, but a display must not
    // index outside its tables whatever they hold.
    const int32_t shown = (value >= 0 && value <= option.largest) ? value : 0;
    Printf(u"  %s : %d  (%s)\n", option.label, value, option.displayNames[shown]);
  }
  Printf(u"\nPlugin version: %d.%d.%d\n", PLUGIN_VERSION_MAJOR, PLUGIN_VERSION_MINOR,
         PLUGIN_VERSION_BUILD);
}

}  // namespace

int KelvoCommand(const char16_t* text, Options* stored) {
  char16_t token[MAX_ARG_LEN];
  int length = 0;     // characters gathered in the open token
  int separator = -1; // position of the token's last ':' or '='
  bool open = false;
  bool applied = false;

  for (const char16_t* p = text;; ++p) {
    char16_t ch = *p;
    bool ends = (ch == 0) || IsWhiteSpaceChar(ch);
    if (!open) {
      if (ch == 0) break;
      if (ends) continue;
      open = true;
      length = 0;
      separator = -1;
      if (ch == u'/' && IsAlphaChar(p[1])) continue;
    }
    if (ends) {
      token[length] = 0;
      TokenResult result = HandleToken(token, separator, stored);
      if (result == TokenResult::Stop) return 0;
      if (result == TokenResult::Failed) return 1;
      applied = true;
      open = false;
      if (ch == 0) break;
      continue;
    }
    // A token longer than the buffer keeps its first characters only.
    if (length < MAX_TEXT_LEN) {
      if (IsValueSeparator(ch)) separator = length;
      token[length++] = ch;
    }
  }

  if (!applied) ShowOptions(*stored);
  return 0;
}
