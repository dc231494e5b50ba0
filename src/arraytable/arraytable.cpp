// ARRAYTABLE: writes a host array of one or two dimensions to standard
// output as an HTML table, one row per element of the first dimension,
// each cell the element's value entitized.
#include "arraytable/arraytable.h"

#include "arraytable/arraytable_options.h"
#include "arraytable/split_arguments.h"
#include "frame/boundary.h"
#include "kelvo/charclass.h"
#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"
#include "kelvo/services.h"
#include "kelvo/text.h"
#include "kelvo/texts.h"

namespace {

void AppendText(ResultBuffer* rb, const char16_t* text) {
  ResultAppendRun(rb, text, TextLengthBounded(text, rb->capacity));
}

// What comes before the name in a query and in an element reference.
constexpr char16_t ArrayInfoOpening[] = u"%@arrayinfo[";
constexpr char16_t ReferenceOpening[] = u"%";
constexpr int ARRAY_INFO_OPENING_LENGTH = sizeof ArrayInfoOpening / sizeof ArrayInfoOpening[0] - 1;
constexpr int REFERENCE_OPENING_LENGTH = sizeof ReferenceOpening / sizeof ReferenceOpening[0] - 1;

// The opening (its length given, so the compiler sees how much is read),
// the name, the unit after it, one number and, when second is not
// negative, a comma and another, then ']'; cut where the buffer ends.
int FormatReference(char16_t* buffer, int capacity, const char16_t* opening, int openingLength,
                    const char16_t* name, char16_t after, int first, int second) {
  ResultBuffer rb;
  ResultInit(&rb, buffer, capacity);
  ResultAppendRun(&rb, opening, openingLength);
  AppendText(&rb, name);
  ResultAppendUnit(&rb, after);
  ResultAppendDecimal(&rb, first);
  if (second >= 0) {
    ResultAppendUnit(&rb, u',');
    ResultAppendDecimal(&rb, second);
  }
  ResultAppendUnit(&rb, u']');
  return ResultFinish(&rb);
}

// A name is letters, digits, '_' and '$', and does not begin with a digit.
bool IsValidArrayName(const char16_t* name) {
  if (IsDigitChar(name[0])) return false;
  for (const char16_t* p = name; *p != 0; ++p) {
    if (!IsAlnumChar(*p) && *p != u'_' && *p != u'$') return false;
  }
  return true;
}

// 't' 'h' in either case, then a character that cannot continue a tag
// name (the end of the text included).
bool IsThNameAt(const char16_t* p) {
  return (p[0] | 0x20) == u't' && (p[1] | 0x20) == u'h' && !IsAlnumChar(p[2]);
}

void WriteHelp() {
  CrLf();
  QPuts(ArrayTableHelpTitle);
  QPuts(ArrayTableUsageText);
  CrLf();
}

void WriteAttributes(const char16_t* cssClass, const char16_t* style) {
  if (cssClass != nullptr) Printf(u" class=\"%s\"", cssClass);
  if (style != nullptr) Printf(u" style=\"%s\"", style);
}

// The header cell spans every cell of a row: the data cells and the
// line-number cell. A row without cells still gets a header cell of one.
unsigned HeaderSpan(const ArrayTableSettings& s, int columns) {
  unsigned span = (columns > 0 ? static_cast<unsigned>(columns) : 0u) + (s.lineNumbers ? 1u : 0u);
  return span > 0 ? span : 1u;
}

void WriteHeaderRow(const ArrayTableSettings& s, int columns) {
  QPuts(u"   <tr>\n");
  if (HeaderHasCellTags(s.headerText)) {
    Printf(u"      %s\n", s.headerText);
  } else {
    Printf(u"      <th colspan=\"%u\">%s</th>\n", HeaderSpan(s, columns), s.headerText);
  }
  QPuts(u"   </tr>\n");
}

// The cell buffer is reused for every cell: only the reference written
// into it and the host's expansion decide its contents.
void WriteCell(char16_t* cell, const char16_t* name, int row, int column, const Options& options) {
  FormatElementReference(cell, REFERENCE_BUFFER_LEN, name, row, column);
  ExpandVariables(cell, 1);
  cell[MAX_ARG_LEN - 1] = 0;
  if (cell[0] == 0) {
    QPuts(u"&nbsp;");
    return;
  }
  // A refusal has written its own message and left the text unconverted.
  EntitizeCell(cell, options);
  QPuts(cell);
}

void WriteTable(const ArrayTableSettings& s, int dimensions, int rows, int columns,
                const Options& options) {
  char16_t cell[REFERENCE_BUFFER_LEN];
  cell[0] = 0;

  QPuts(u"<table");
  WriteAttributes(s.tableClass, s.tableStyle);
  QPuts(u">\n");
  if (s.headerText != nullptr) WriteHeaderRow(s, columns);

  for (int r = 0; r < rows; ++r) {
    QPuts(u"   <tr");
    WriteAttributes(s.rowClass[r & 1], s.rowStyle[r & 1]);
    QPuts(u">\n");
    if (s.lineNumbers) {
      QPuts(u"      <td");
      WriteAttributes(s.lineNumberClass, s.lineNumberStyle);
      Printf(u">%u</td>\n", static_cast<unsigned>(static_cast<uint32_t>(r) + s.firstLineNumber));
    }
    for (int n = 0; n < columns; ++n) {
      QPuts(u"      <td");
      if (n < MAX_STYLED_COLUMNS) WriteAttributes(s.columnClass[n], s.columnStyle[n]);
      QPuts(u">");
      WriteCell(cell, s.arrayName, r, dimensions == 1 ? -1 : n, options);
      QPuts(u"</td>\n");
    }
    QPuts(u"   </tr>\n");
  }
  QPuts(u"</table>\n");
}

}  // namespace

int FormatArrayInfoQuery(char16_t* buffer, int capacity, const char16_t* name, int index) {
  return FormatReference(buffer, capacity, ArrayInfoOpening, ARRAY_INFO_OPENING_LENGTH, name, u',', index, -1);
}

int FormatElementReference(char16_t* buffer, int capacity, const char16_t* name, int row, int column) {
  return FormatReference(buffer, capacity, ReferenceOpening, REFERENCE_OPENING_LENGTH, name, u'[', row, column);
}

int32_t QueryArrayInfo(const char16_t* name, int index) {
  if (name == nullptr || name[0] == 0 || static_cast<unsigned>(index) > 5) return -1;
  // Holds the query around any name, and any expansion the host writes
  // back (ExpandVariables takes no capacity).
  char16_t query[REFERENCE_BUFFER_LEN];
  FormatArrayInfoQuery(query, REFERENCE_BUFFER_LEN, name, index);
  ExpandVariables(query, 1);
  query[MAX_ARG_LEN - 1] = 0;
  return ReadLeadingInteger(query);
}

bool HeaderHasCellTags(const char16_t* text) {
  if (text == nullptr) return false;
  bool opens = false;
  bool closes = false;
  for (const char16_t* p = text; *p != 0; ++p) {
    if (*p != u'<' && *p != MARK_LT) continue;
    if (IsThNameAt(p + 1)) {
      opens = true;
    } else if (p[1] == u'/' && IsThNameAt(p + 2)) {
      closes = true;
    }
    if (opens && closes) return true;
  }
  return false;
}

int ArrayTableCommand(const char16_t* text, const Options& options) {
  SplitArguments(text);
  if (ArgCount < 1) {
    ReportError(u"Missing array name\r\n", nullptr);
    return 1;
  }

  ArrayTableSettings settings;
  ClearArrayTableSettings(&settings);
  for (int k = 0; k < ArgCount; ++k) {
    switch (ApplyArrayTableArgument(&settings, ArgPointers[k])) {
      case ArgumentOutcome::Taken:
        break;
      case ArgumentOutcome::AsksHelp:
        WriteHelp();
        return 0;
      case ArgumentOutcome::Rejected:
        return 1;
    }
  }
  char16_t* name = settings.arrayName;
  if (name == nullptr) {
    ReportError(u"Missing array name\r\n", nullptr);
    return 1;
  }
  TextUpperAscii(name);
  if (!IsValidArrayName(name)) {
    ReportError(u"Bad array name \"%s\"\r\n", name);
    return 1;
  }

  int32_t dimensions = QueryArrayInfo(name, 0);
  if (dimensions < 1) {
    ReportError(u"Not an array \"%s\"\r\n", name);
    return 1;
  }
  if (dimensions > 2) {
    ReportError(u"Too many dimensions \"%s\"\r\n", name);
    return 1;
  }
  int32_t rows = QueryArrayInfo(name, 1);
  int32_t columns = dimensions == 1 ? 1 : QueryArrayInfo(name, 2);
  WriteTable(settings, dimensions, rows, columns, options);
  return 0;
}
