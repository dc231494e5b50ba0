// The settings of one ARRAYTABLE invocation and the reading of its
// command-line arguments into them.
#pragma once

#include <cstdint>

// Columns that can carry their own class and style; cells of later
// columns are written without either.
constexpr int MAX_STYLED_COLUMNS = 1024;

// Every text is a reference into the split argument text (ArgStore), or
// null for none. An option whose value is empty stores none.
struct ArrayTableSettings {
  char16_t* arrayName;  // upper-cased in place before use
  const char16_t* headerText;
  const char16_t* tableClass;
  const char16_t* tableStyle;
  bool lineNumbers;
  uint32_t firstLineNumber;
  const char16_t* lineNumberClass;
  const char16_t* lineNumberStyle;
  const char16_t* rowClass[2];  // [0] even rows, [1] odd rows
  const char16_t* rowStyle[2];
  const char16_t* columnClass[MAX_STYLED_COLUMNS];
  const char16_t* columnStyle[MAX_STYLED_COLUMNS];
};

void ClearArrayTableSettings(ArrayTableSettings* settings);

enum class ArgumentOutcome {
  Taken,
  AsksHelp,
  Rejected,  // the message is already on standard error
};

// Applies one split argument: an option, or the array name. A rejected
// argument has been upper-cased in place for its message.
ArgumentOutcome ApplyArrayTableArgument(ArrayTableSettings* settings, char16_t* argument);
