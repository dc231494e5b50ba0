// The KELVO command: shows, changes or resets the conversion settings.
#include <cstdint>

#include "kelvo/charclass.h"
#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"
#include "kelvo/version.h"

namespace {

struct OptionForm {
  const char16_t* names[4];  // accepted names, null-terminated list
  int32_t PluginOptionsRecord::*field;
  int32_t largest;
};

const OptionForm kOptions[] = {
    {{u"Quotes", u"Quote", u"Q", nullptr}, &PluginOptionsRecord::Quotes, 2},
    {{u"Spaces", u"Space", u"S", nullptr}, &PluginOptionsRecord::Spaces, 2},
    {{u"Dashes", u"Dash", u"D", nullptr}, &PluginOptionsRecord::Dash, 1},
    {{u"Apostrophe", u"Apostrophes", u"Apos", u"A"}, &PluginOptionsRecord::Apos, 3},
};

const char16_t kQuoteNames[3][15] = {u"Never", u"&quot; always", u"Best guess"};
const char16_t kSpaceNames[3][15] = {u"Never", u"&nbsp; always", u"Best guess"};
const char16_t kDashNames[2][4] = {u"No", u"Yes"};
const char16_t kAposNames[4][15] = {u"Never", u"&#39;", u"&apos;", u"Best guess"};

enum class TokenResult { Applied, Stop, Failed };

const OptionForm* FindOption(const char16_t* name) {
  for (const OptionForm& option : kOptions) {
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

TokenResult HandleToken(char16_t* token, int separator) {
  if (TextEqualsNoCase(token, u"/?")) {
    Printf(u"\r\n%s%s\r\n", KelvoHelpTitle, KelvoUsageText);
    return TokenResult::Stop;
  }
  if (TextEqualsNoCase(token, u"Defaults")) {
    ResetPluginOptions();
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
  PluginOptions.*(option->field) = number;
  return TokenResult::Applied;
}

void ShowOptions(void) {
  const PluginOptionsRecord& o = PluginOptions;
  // The fields only ever hold values in range, but a display must not
  // index outside its tables whatever they hold.
  auto pick = [](int32_t v, int32_t largest) { return (v >= 0 && v <= largest) ? v : 0; };
  Printf(u"\nKelvo plugin options:\n\n");
  Printf(u"  Quotes : %d  (%s)\n", o.Quotes, kQuoteNames[pick(o.Quotes, 2)]);
  Printf(u"  Spaces : %d  (%s)\n", o.Spaces, kSpaceNames[pick(o.Spaces, 2)]);
  Printf(u"  Dash   : %d  (%s)\n", o.Dash, kDashNames[pick(o.Dash, 1)]);
  Printf(u"  Apos   : %d  (%s)\n", o.Apos, kAposNames[pick(o.Apos, 3)]);
  Printf(u"\nPlugin version: %d.%d.%d\n", PLUGIN_VERSION_MAJOR, PLUGIN_VERSION_MINOR,
         PLUGIN_VERSION_BUILD);
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API kelvo(char16_t* arguments) {
  if (arguments == nullptr) return -1;

  char16_t token[MAX_ARG_LEN];
  int length = 0;     // characters gathered in the open token
  int separator = -1; // position of the token's last ':' or '='
  bool open = false;
  bool applied = false;

  for (const char16_t* p = arguments;; ++p) {
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
      TokenResult result = HandleToken(token, separator);
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

  if (!applied) ShowOptions();
  return 0;
}
