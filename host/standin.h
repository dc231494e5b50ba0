// Control interface of the stand-in host library (libtakecmd.so). Tests,
// fuzzers, benchmarks and the kelvo shell use it to set up what the
// plugin will see and to read back what it wrote.
#pragma once

#include "kelvo/host.h"

#if defined(_WIN32)
#define STANDIN_API __cdecl
#else
#define STANDIN_API
#endif

extern "C" {

// Variables, matched without regard to case. Values are UTF-8. Ordinary
// variables are also the plugin's environment, as in the real host
// (StandInEnvironment below; on Windows they are set in the process
// environment); internal variables (names starting with '_') are not.
HOST_IMPORT void STANDIN_API StandInSetVariable(const char* name, const char* value);
HOST_IMPORT void STANDIN_API StandInUnsetVariable(const char* name);
// The value, or null when unset. Valid until the next change.
HOST_IMPORT const char* STANDIN_API StandInGetVariable(const char* name);

// 1 when name is a valid variable or array name: letters and digits of
// any script, '_' and '$'; else 0.
HOST_IMPORT int STANDIN_API StandInValidName(const char16_t* name);

// Restores the defaults: no user variables or arrays, internal variables
// at their defaults (_4ver 33.0, _cmdproc TCC, _transient 1, _pipe 0,
// _batch 0, _batchname empty, _batchline 0), no batch parameters,
// Unicode output off, capture off and empty, the process environment
// read afresh when next needed. Registered functions stay.
HOST_IMPORT void STANDIN_API StandInReset(void);

// Further details of variables:
// - An ordinary variable set to an empty value is removed; an internal
//   one keeps the empty value (so %_4ver can be made to expand to
//   nothing). Unsetting an internal variable makes it expand to nothing.
// - A name that is not set as a variable is looked up in the process
//   environment (internal names excepted), as the real host does.
// Values given and returned here may carry lone surrogates as
// three-byte sequences (WTF-8), so any UTF-16 text survives the trip.

// The plugin's environment on systems other than Windows, with the
// contract of its platform lookup: an ordinary variable (not an internal
// one) or else the process environment, names matched without regard to
// case as on Windows. Writes the value into buffer (capacity units,
// terminator included) and returns its length; 0 when absent or empty;
// -1 when it does not fit (the buffer is then left empty).
HOST_IMPORT int STANDIN_API StandInEnvironment(const char16_t* name, char16_t* buffer, int capacity);

// Sets a variable of the process environment (value null: removes it;
// empty: sets it empty), name and value in UTF-8. 0, or -1 for a null or
// empty name, one holding '=', or a refusal of the system.
// The host reads the process environment when it first needs it and
// again only after a change made here or a StandInReset: a program that
// changes it otherwise (setenv, putenv) must not expect the host to see
// the change before its next reset. (On Windows the environment is read
// where it stands on every lookup.)
HOST_IMPORT int STANDIN_API StandInSetEnvironment(const char* name, const char* value);

// Brings the process environment up to date with the variables where
// the plugin reads it there (Windows; nothing elsewhere). The host does it
// before each plugin function it calls; a program that calls the plugin's
// entry points itself calls this first.
HOST_IMPORT void STANDIN_API StandInSyncEnvironment(void);

// Batch parameters: arguments[0] is %0, arguments[1..9] are %1..%9, and
// %* is arguments[1..] joined by blanks. count 0 clears them.
HOST_IMPORT void STANDIN_API StandInSetBatchArguments(int count, const char* const* arguments);

// The ordinary variables as "Name=value\n" lines sorted by name (case
// ignored), without the internal ones. Valid until the next call.
HOST_IMPORT const char* STANDIN_API StandInVariableList(void);

// QueryUnicodeOutput returns this value (default 0).
HOST_IMPORT void STANDIN_API StandInSetUnicodeOutput(int value);

// Arrays of one (columns 0) or two dimensions; more dimensions exist only
// so that a caller can see them refused. Returns 0, or -1 on a bad shape.
// Shapes: 1 to 4 dimensions, every size at least 1, at most 2147483647
// elements in all (elements are stored only once set, so a large shape
// costs nothing). StandInDefineArray gives a third and fourth dimension
// size 1. Defining an existing array replaces it; elements start empty.
HOST_IMPORT int STANDIN_API StandInDefineArray(const char* name, int dimensions, int rows, int columns);
HOST_IMPORT int STANDIN_API StandInDefineArrayN(const char* name, int dimensions, const int* sizes);
// Element [row] of a one-dimensional array (column must be 0) or
// [row,column] of a two-dimensional one. 0, or -1 when there is no such
// element.
HOST_IMPORT int STANDIN_API StandInSetElement(const char* name, int row, int column, const char* value);
HOST_IMPORT void STANDIN_API StandInUndefineArray(const char* name);
// What %@arrayinfo[name,what] gives: 0 dimensions, 1..4 the size of that
// dimension, 5 the total; 0 for a name that is no array.
HOST_IMPORT long long STANDIN_API StandInArrayInfo(const char* name, int what);

// The shell's "set NAME[i,j]=value" and "setarray NAME[a,b]", with the
// same parsing and messages as %NAME[i,j]. 0, or 1 after reporting an
// error ("kelvo: bad array ...") on standard error.
HOST_IMPORT int STANDIN_API StandInSetElementText(const char16_t* reference, const char16_t* value);
HOST_IMPORT int STANDIN_API StandInDefineArrayText(const char16_t* declaration);

// Variable functions of the plugin, called by %@NAME[...] expansion.
// name is given without '@' (a leading '@' is ignored); a null function
// removes the registration. Plugin functions come before the host's own
// (@arrayinfo, @char, @unicode, @len, @repeat).
// Plugin exports use the Windows API calling convention on Windows.
#if defined(_WIN32)
#define STANDIN_PLUGIN_CC __stdcall
#else
#define STANDIN_PLUGIN_CC
#endif
typedef int(STANDIN_PLUGIN_CC* StandInFunction)(char16_t* buffer);
HOST_IMPORT void STANDIN_API StandInRegisterFunction(const char* name, StandInFunction function);

// Expansion:
// - %NAME and %NAME% (name: as StandInValidName), %[NAME],
//   %% for '%', %0..%9 and %*; unset variables give nothing.
// - %NAME[i] / %NAME[i,j]: array elements; the indices are expanded first.
// - %@NAME[args]: variable functions, arguments expanded first (innermost
//   first); brackets nest.
// - Values are inserted as they are, never expanded again.
// - A bad array reference, an unknown function or one that fails stops
//   nothing else: the reference expands to nothing, a line
//   "kelvo: ..." goes to standard error (not for a failing plugin
//   function, which has said why itself), and the result is 1.
// ExpandVariables returns the same 0 or 1 and keeps the result to
// MAX_TEXT_LEN characters. StandInExpand does the same within capacity
// units (terminator included).
HOST_IMPORT int STANDIN_API StandInExpand(char16_t* text, int capacity);

// Capture: while on, output is kept in memory instead of written.
// Streams: 1 standard output, 2 standard error, 3 message boxes (each box
// recorded as its caption, a line feed, its text and a line feed), 4
// output redirected to files (no file is opened while capturing).
// Captured text is the raw UTF-16 the plugin wrote, before the console
// conversion of fullwidth forms.
HOST_IMPORT void STANDIN_API StandInCapture(int on);
HOST_IMPORT const char16_t* STANDIN_API StandInCaptured(int stream);
HOST_IMPORT void STANDIN_API StandInClearCaptured(void);

// Console output: UTF-8. Unless Unicode output is on (exactly 1), the
// fullwidth forms U+FF01..U+FF5E are written as U+0021..U+007E; a lone
// surrogate is written as U+FFFD. CrLf writes "\r\n". Qprintf writes to
// standard output for handle 1 and standard error for handle 2 (the
// GetStdHandle handles on Windows) and ignores any other handle.
// StandInConsoleBytes converts text as the console would write it into
// out (capacity bytes, terminator included; cut to fit) and returns the
// number of bytes.
HOST_IMPORT int STANDIN_API StandInConsoleBytes(const char16_t* text, char* out, int capacity);
// Flushes standard output and standard error.
HOST_IMPORT void STANDIN_API StandInFlush(void);

// Redirection: stream 1 (standard output) or 2 (standard error) is
// written to the file at path from now on, in UTF-8 converted as the
// console is; the file is emptied first unless append is set. Returns 0,
// or -1 after a message ("kelvo: cannot open ...") when it cannot be
// opened. StandInRedirectErrorToOutput sends standard error wherever
// standard output goes now. StandInEndRedirection closes the files and
// sends both streams to the console again.
HOST_IMPORT int STANDIN_API StandInRedirect(int stream, const char16_t* path, int append);
HOST_IMPORT void STANDIN_API StandInRedirectErrorToOutput(void);
HOST_IMPORT void STANDIN_API StandInEndRedirection(void);

// A write that fails (a full disk, a pipe whose reader has gone) ends the
// process with status 1 after the line "kelvo: cannot write to WHAT:
// REASON" on standard error (unless that is what failed): lost output
// must not look like success.

// The message box the plugin's platform layer calls on Linux. Always
// recorded in stream 3; drawn as a frame on standard output when output
// is not captured. Returns 1 (the OK button).
HOST_IMPORT int STANDIN_API StandInMessageBox(const char16_t* text, const char16_t* caption);

}  // extern "C"
