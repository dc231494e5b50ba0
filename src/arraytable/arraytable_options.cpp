// ARRAYTABLE's options. Each argument is tried against the option forms
// in a fixed order and the first form that matches takes it; an argument
// that is no option is the array name.
#include "arraytable/arraytable_options.h"

#include <cstring>

#include "kelvo/services.h"
#include "kelvo/text.h"

namespace {

ArgumentOutcome Reject(const char16_t* format, char16_t* argument) {
  TextUpperAscii(argument);
  ReportError(format, argument);
  return ArgumentOutcome::Rejected;
}

const char16_t* SkipSeparator(const char16_t* text) {
  return IsValueSeparator(*text) ? text + 1 : text;
}

// The option's value: the rest after one optional ':' or '='; null when
// that is empty.
const char16_t* ValueOf(const char16_t* rest) {
  const char16_t* value = SkipSeparator(rest);
  return *value != 0 ? value : nullptr;
}

// An option handler gets the whole argument (for messages) and the text
// right behind the option name.
typedef ArgumentOutcome (*OptionHandler)(ArrayTableSettings* s, char16_t* argument,
                                         const char16_t* rest);

ArgumentOutcome AskHelp(ArrayTableSettings*, char16_t*, const char16_t*) {
  return ArgumentOutcome::AsksHelp;
}

ArgumentOutcome SetHeader(ArrayTableSettings* s, char16_t*, const char16_t* rest) {
  s->headerText = ValueOf(rest);
  return ArgumentOutcome::Taken;
}

ArgumentOutcome SetTableClass(ArrayTableSettings* s, char16_t*, const char16_t* rest) {
  s->tableClass = ValueOf(rest);
  return ArgumentOutcome::Taken;
}

ArgumentOutcome SetTableStyle(ArrayTableSettings* s, char16_t*, const char16_t* rest) {
  s->tableStyle = ValueOf(rest);
  return ArgumentOutcome::Taken;
}

ArgumentOutcome TurnOnLineNumbers(ArrayTableSettings* s, char16_t*, const char16_t*) {
  s->lineNumbers = true;
  return ArgumentOutcome::Taken;
}

// A non-empty value also asks for the line-number column; an empty one
// only clears the attribute.
ArgumentOutcome SetLineNumberAttribute(const char16_t** field, ArrayTableSettings* s,
                                       const char16_t* rest) {
  *field = ValueOf(rest);
  if (*field != nullptr) s->lineNumbers = true;
  return ArgumentOutcome::Taken;
}

ArgumentOutcome SetLineNumberClass(ArrayTableSettings* s, char16_t*, const char16_t* rest) {
  return SetLineNumberAttribute(&s->lineNumberClass, s, rest);
}

ArgumentOutcome SetLineNumberStyle(ArrayTableSettings* s, char16_t*, const char16_t* rest) {
  return SetLineNumberAttribute(&s->lineNumberStyle, s, rest);
}

ArgumentOutcome SetFirstLineNumber(ArrayTableSettings* s, char16_t* argument,
                                   const char16_t* rest) {
  s->lineNumbers = true;
  uint32_t first;
  if (ParseNumber(SkipSeparator(rest), &first, nullptr) != 0) {
    return Reject(u"Invalid integer \"%s\"\r\n", argument);
  }
  s->firstLineNumber = first;
  return ArgumentOutcome::Taken;
}

// /CKn:value and /CSn:value. The separator between the column number
// and the value is required; no number at all clears every column.
ArgumentOutcome SetColumnAttribute(const char16_t** table, char16_t* argument,
                                   const char16_t* rest) {
  const char16_t* p = SkipSeparator(rest);
  if (*p == 0) {
    std::memset(table, 0, sizeof(table[0]) * MAX_STYLED_COLUMNS);
    return ArgumentOutcome::Taken;
  }
  uint32_t column;
  const char16_t* end;
  if (ParseNumber(p, &column, &end) != 0 || column >= MAX_STYLED_COLUMNS) {
    return Reject(u"Invalid column number \"%s\"\r\n", argument);
  }
  if (*end == 0) {
    table[column] = nullptr;
  } else if (IsValueSeparator(*end)) {
    table[column] = end[1] != 0 ? end + 1 : nullptr;
  } else {
    return Reject(u"Syntax error \"%s\"\r\n", argument);
  }
  return ArgumentOutcome::Taken;
}

ArgumentOutcome SetColumnClass(ArrayTableSettings* s, char16_t* argument, const char16_t* rest) {
  return SetColumnAttribute(s->columnClass, argument, rest);
}

ArgumentOutcome SetColumnStyle(ArrayTableSettings* s, char16_t* argument, const char16_t* rest) {
  return SetColumnAttribute(s->columnStyle, argument, rest);
}

// /RK0 and /RK1 (even and odd rows); here the separator behind the
// selector is optional.
ArgumentOutcome SetRowAttribute(const char16_t** pair, char16_t* argument, const char16_t* rest) {
  const char16_t* p = SkipSeparator(rest);
  if (*p == 0) {
    pair[0] = pair[1] = nullptr;
    return ArgumentOutcome::Taken;
  }
  if (*p != u'0' && *p != u'1') return Reject(u"Syntax error \"%s\"\r\n", argument);
  pair[*p - u'0'] = ValueOf(p + 1);
  return ArgumentOutcome::Taken;
}

ArgumentOutcome SetRowClass(ArrayTableSettings* s, char16_t* argument, const char16_t* rest) {
  return SetRowAttribute(s->rowClass, argument, rest);
}

ArgumentOutcome SetRowStyle(ArrayTableSettings* s, char16_t* argument, const char16_t* rest) {
  return SetRowAttribute(s->rowStyle, argument, rest);
}

struct OptionForm {
  const char16_t* name;
  int nameLength;
  bool wholeArgument;  // else the argument only has to begin with the name
  OptionHandler apply;
};

// The order matters: /L alone is tried before /LK and /LS, and those
// before /L with a number.
const OptionForm OptionForms[] = {
    {u"/?", 2, true, AskHelp},
    {u"/H", 2, false, SetHeader},
    {u"/K", 2, false, SetTableClass},
    {u"/L", 2, true, TurnOnLineNumbers},
    {u"/LK", 3, false, SetLineNumberClass},
    {u"/LS", 3, false, SetLineNumberStyle},
    {u"/L", 2, false, SetFirstLineNumber},
    {u"/S", 2, false, SetTableStyle},
    {u"/CK", 3, false, SetColumnClass},
    {u"/CS", 3, false, SetColumnStyle},
    {u"/RK", 3, false, SetRowClass},
    {u"/RS", 3, false, SetRowStyle},
};

bool Matches(const OptionForm& form, const char16_t* argument) {
  if (!TextStartsWithNoCase(argument, form.name)) return false;
  return !form.wholeArgument || argument[form.nameLength] == 0;
}

ArgumentOutcome SetArrayName(ArrayTableSettings* s, char16_t* argument) {
  char16_t* name = argument;
  if (name[0] == u'%' && name[1] != 0) ++name;
  if (s->arrayName != nullptr) return Reject(u"Syntax error \"%s\"\r\n", name);
  s->arrayName = name;
  return ArgumentOutcome::Taken;
}

}  // namespace

void ClearArrayTableSettings(ArrayTableSettings* settings) {
  std::memset(settings, 0, sizeof *settings);
}

ArgumentOutcome ApplyArrayTableArgument(ArrayTableSettings* settings, char16_t* argument) {
  if (argument[0] != u'/') return SetArrayName(settings, argument);
  for (const OptionForm& form : OptionForms) {
    if (Matches(form, argument)) return form.apply(settings, argument, argument + form.nameLength);
  }
  return Reject(u"Unknown option \"%s\"\r\n", argument);
}
