// The plugin's boundary with the host: every export of a variable function
// or command comes through here, and nothing else deals with the host's
// rules for them (see boundary.cpp).
#pragma once

#include "convert/conversion.h"
#include "kelvo/options.h"

// Whether a function refuses to run when the host writes Unicode output,
// where its fullwidth markup would reach the page as it stands.
enum class UnicodeOutput { Refused, Accepted };

// Where a conversion writes its result: a buffer of its own that is copied
// over the argument when it succeeds, or over the argument directly. Only
// a conversion that never refuses and never writes ahead of its reading
// may write over its argument.
enum class ResultPlace { OwnBuffer, OverArgument };

// One row of the table of variable functions.
struct VariableFunction {
  const char* exportName;  // as the module exports it, "f_" and the name
  const char16_t* topic;   // "@name": its help topic and its entry in ImplementedNames
  Conversion convert;
  UnicodeOutput unicodeOutput;
  ResultPlace resultPlace;
  const char16_t* variable;  // environment variable read on every call, or null
  const char16_t* help;
};

extern const VariableFunction VariableFunctionTable[];
extern const int VARIABLE_FUNCTION_COUNT;

// A host call of a variable function, under a copy of the given options:
// the null check, the Unicode-output check, the bound of the text at
// MAX_TEXT_LEN units whether or not it is terminated, the conversion, the
// copy back and the host's result code. The exports run the same with the
// stored options.
int RunVariableFunction(char16_t* buffer, const VariableFunction& function, const Options& options);

// @ENTITIZE on an ARRAYTABLE cell buffer (MAX_ARG_LEN units), through the
// same checks as a host call.
int EntitizeCell(char16_t* cell, const Options& options);
