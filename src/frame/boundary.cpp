// The boundary: where each host call meets the plugin.
//
// A variable function's call goes export -> RunRow -> its conversion
// (src/convert) -> the result buffer -> back here, which copies the result
// over the host's buffer and gives the host its result code.
// The commands' exports hand their text, bounded, to the commands
// (src/options, src/arraytable). The stored options are read here for
// every call, and written only by the KELVO command.
#include "frame/boundary.h"

#include <cstring>

#include "arraytable/arraytable.h"
#include "frame/help_texts.h"
#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/platform.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"
#include "options/kelvo_command.h"
#include "options/plugin_options.h"

namespace {

using enum UnicodeOutput;
using enum ResultPlace;

// The nine variable functions, one row each: the export, its help topic,
// the conversion, whether it refuses under Unicode output, where it writes
// its result, the environment variable it reads, and its help text.
// Adding a function takes a conversion in src/convert, a row here with its
// help text, and its export in kelvo.def and plugin.h (a test checks the
// module definition against this table).
#define VARIABLE_FUNCTIONS(ROW)                                                        \
  ROW(f_deentitize, u"@deentitize", Deentitize, Accepted, OverArgument, nullptr, DeentitizeHelp) \
  ROW(f_doctype, u"@doctype", DocType, Accepted, OwnBuffer, nullptr, DocTypeHelp)                \
  ROW(f_entag, u"@entag", Entag, Refused, OwnBuffer, nullptr, EntagHelp)                         \
  ROW(f_entitize, u"@entitize", Entitize, Refused, OwnBuffer, nullptr, EntitizeHelp)             \
  ROW(f_hcomment, u"@hcomment", Comment, Refused, OwnBuffer, nullptr, HcommentHelp)              \
  ROW(f_hexdec, u"@hexdec", HexDecode, Refused, OverArgument, nullptr, HexdecHelp)               \
  ROW(f_hexenc, u"@hexenc", HexEncode, Refused, OwnBuffer, u"HEXENC_KEEP", HexencHelp)           \
  ROW(f_makeentity, u"@makeentity", MakeEntity, Refused, OwnBuffer, nullptr, MakeEntityHelp)     \
  ROW(f_tag, u"@tag", Tag, Refused, OwnBuffer, nullptr, TagHelp)

// Each row as a constant of its own, f_name_row, for the export to run.
#define DEFINE_ROW(exportName, ...) constexpr VariableFunction exportName##_row = {#exportName, __VA_ARGS__};
VARIABLE_FUNCTIONS(DEFINE_ROW)

// The message of each refusal, by status; every refusal gives the host -1.
constexpr const char16_t* RefusalMessages[] = {
    nullptr,                    // Converted
    nullptr,                    // DecimalReference
    u"Missing argument\r\n",     // MissingArgument
    u"Missing tag name\r\n",     // MissingTagName
    u"Tag name too long\r\n",    // TagNameTooLong
    u"Comment too long\r\n",     // CommentTooLong
    u"Entity name too long\r\n", // EntityNameTooLong
    u"Bad value \"%s\"\r\n",      // BadValue: quotes the result
};
static_assert(sizeof RefusalMessages / sizeof RefusalMessages[0] == static_cast<int>(Status::BadValue) + 1,
              "a message for every status");

// Inlined into each export with its row, so that the conversion is called
// directly and the checks a row does not ask for cost nothing.
// The options are taken by value: the call works on a copy of them.
[[gnu::always_inline]] inline int RunRow(char16_t* buffer, const VariableFunction& function,
                                          Options options) {
  if (buffer == nullptr) return -1;
  if (function.unicodeOutput == Refused && options.unicodeCheck && QueryUnicodeOutput() == 1) {
    ReportError(u"Unicode output not supported\r\n", nullptr);
    return -2;
  }
  // The text ends at the last slot at the latest, terminated or not. The
  // slot is put back unless the result replaces the text, so that a
  // refusal leaves the buffer as it was.
  const char16_t lastSlot = buffer[MAX_TEXT_LEN];
  buffer[MAX_TEXT_LEN] = 0;
  Argument argument = {buffer, buffer + MAX_ARG_LEN};
  char16_t variable[SMALL_BUF_LEN];
  // An unset, empty or overlong variable counts as unset.
  if (function.variable != nullptr &&
      PlatformGetEnvironment(function.variable, variable, SMALL_BUF_LEN) > 0) {
    argument.variable = variable;
  }

  char16_t own[MAX_ARG_LEN];
  ResultBuffer out;
  ResultInit(&out, function.resultPlace == OverArgument ? buffer : own, MAX_ARG_LEN);
  const Status status = function.convert(argument, options, &out);
  // A bad value's result, the argument upper-cased, replaces it as well.
  if (status == Status::Converted || status == Status::DecimalReference || status == Status::BadValue) {
    const int length = ResultFinish(&out);
    if (out.text != buffer) std::memcpy(buffer, out.text, sizeof(char16_t) * static_cast<size_t>(length + 1));
  } else {
    buffer[MAX_TEXT_LEN] = lastSlot;
  }
  if (status == Status::Converted) return 0;
  if (status == Status::DecimalReference) {
    Sprintf(buffer, u"%c#%d;", static_cast<int>(MARK_AMP), static_cast<int>(buffer[0]));
    return 0;
  }
  ReportError(RefusalMessages[static_cast<int>(status)], status == Status::BadValue ? buffer : nullptr);
  return -1;
}

// A command's text is read up to its terminator or MAX_TEXT_LEN units,
// whichever comes first, and never written: the command works on a copy.
void BoundCommandText(const char16_t* arguments, char16_t* text) { TextCopy(text, MAX_ARG_LEN, arguments); }

}  // namespace

#define TABLE_ENTRY(exportName, ...) exportName##_row,
const VariableFunction VariableFunctionTable[] = {VARIABLE_FUNCTIONS(TABLE_ENTRY)};
const int VARIABLE_FUNCTION_COUNT = sizeof VariableFunctionTable / sizeof VariableFunctionTable[0];

int RunVariableFunction(char16_t* buffer, const VariableFunction& function, const Options& options) {
  return RunRow(buffer, function, options);
}

int EntitizeCell(char16_t* cell, const Options& options) { return RunRow(cell, f_entitize_row, options); }

#define EXPORT(exportName, ...)                             \
  PLUGIN_EXPORT int PLUGIN_API exportName(char16_t* buffer) { \
    return RunRow(buffer, exportName##_row, PluginOptions);   \
  }

VARIABLE_FUNCTIONS(EXPORT)

PLUGIN_EXPORT int PLUGIN_API kelvo(char16_t* arguments) {
  if (arguments == nullptr) return -1;
  char16_t text[MAX_ARG_LEN];
  BoundCommandText(arguments, text);
  return KelvoCommand(text, &PluginOptions);
}

PLUGIN_EXPORT int PLUGIN_API arraytable(char16_t* arguments) {
  if (arguments == nullptr) return -1;
  char16_t text[MAX_ARG_LEN];
  BoundCommandText(arguments, text);
  return ArrayTableCommand(text, PluginOptions);
}
