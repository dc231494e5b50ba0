// Private declarations shared by the files of the stand-in host library.
// Nothing here is exported; tests and the shell go through standin.h.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "standin.h"
#include "takecmd_name_table.h"

namespace takecmd {

// Output streams; STREAM_BOX and STREAM_FILES exist only as capture
// streams.
enum Stream { STREAM_OUT = 1, STREAM_ERR = 2, STREAM_BOX = 3, STREAM_FILES = 4 };

// --- Console (takecmd_console.cpp) -----------------------------------
// Writes UTF-16 text to a stream: into the capture while capturing,
// else converted for the console and written out.
void WriteText(int stream, const char16_t* text, size_t length);
void WriteText(int stream, const std::u16string& text);
// One line "kelvo: MESSAGE\n" on standard error.
void ReportShellError(const std::u16string& message);
bool Capturing();
bool UnicodeOutputOn();  // exactly 1
int UnicodeOutputValue();
void SetUnicodeOutputFlag(int value);
void ResetConsole();
void RecordMessageBox(const char16_t* text, const char16_t* caption);
// Flushes a stream; a failure ends the run as a failed write does.
void FlushStream(int stream);
// Console conversion: fullwidth forms folded unless Unicode output is
// on, lone surrogates as U+FFFD, everything else as UTF-8.
void AppendConsoleBytes(std::string& out, const char16_t* text, size_t length, bool unicode);

// --- Platform console (takecmd_platform_*.cpp) --------------------------
// Each stream goes to its standard handle or, while redirected, to a
// file. A write or flush that fails returns false with the reason.
bool PlatformConsoleWrite(int stream, const char* bytes, size_t length, std::u16string& reason);
bool PlatformConsoleFlush(int stream, std::u16string& reason);
// 1 or 2 for the standard handles, 0 for anything else.
int PlatformHandleStream(HostHandle handle);
// Sends a stream to the file at path, emptied first unless append;
// false with the reason when it cannot be opened.
bool PlatformRedirect(int stream, const std::u16string& path, bool append, std::u16string& reason);
// Sends a stream wherever the other one goes.
void PlatformRedirectLike(int stream, int other);
// Closes the files; both streams go to their standard handles again.
// False with the stream and reason of the first file that could not be
// written.
bool PlatformEndRedirections(int& failedStream, std::u16string& reason);
// Writes straight to the standard error handle, ignoring any failure.
void PlatformLastWords(const char* bytes, size_t length);
// Ends the process at once, keeping what can still be written.
[[noreturn]] void PlatformEndProcess(int status);
// Makes a user variable's new value (empty: removed) visible to the
// plugin's environment lookups. On Windows the plugin asks the process
// environment, so the variable is set there (at the next
// PlatformSyncEnvironment); elsewhere it asks the host
// (StandInEnvironment), which answers from its table, so nothing is done.
// Either way a `set` costs the same however many variables there are.
void PlatformPublishVariable(const std::u16string& name, const std::u16string& value);
// Applies the published changes to the process environment where they
// were deferred (Windows); called before the plugin runs.
void PlatformSyncEnvironment();
// A process environment variable, its name matched without regard to
// case as on Windows: the value, or null when unset. Valid until the
// next lookup or change.
const std::u16string* PlatformGetEnvironment(const FoldedName& name);
// Sets (value null: removes) a variable of the process environment,
// name and value in UTF-8, so that the next lookup sees it. False when
// the system refuses.
bool PlatformSetEnvironment(const char* name, const char* value);
// Makes the next lookup read the process environment afresh, for a
// change made behind the host's back.
void PlatformRereadEnvironment();

// --- Formatter (takecmd_format.cpp) ------------------------------------
// printf-style formatting of %s %d %u %c %% (width, '-' and precision
// allowed; 'l' reads a long). Output is cut at limit characters.
std::u16string FormatText(const char16_t* format, va_list args, size_t limit);

// --- Variables (takecmd_variables.cpp) ----------------------------------
bool IsNameChar(char16_t c);
bool IsValidVariableName(const std::u16string& name);
std::u16string UpperKey(const std::u16string& name);
// Looks up a variable: user and internal variables first, then the
// process environment (for ordinary names). False when unset.
bool LookupVariable(const std::u16string& name, std::u16string& value);
// What the plugin's environment holds: an ordinary variable, else the
// process environment. Null when absent; valid until the next lookup or
// change. The plugin asks on every call of a function that reads a
// variable, so this copies nothing.
const std::u16string* FindEnvironment(std::u16string_view name);
void SetVariable(const std::u16string& name, const std::u16string& value);
void UnsetVariable(const std::u16string& name);
void ResetVariables();
std::string VariableListing();
// Batch parameters %0..%9 and %* (arguments after %0 joined by blanks).
void SetBatchArguments(int count, const char* const* arguments);
bool LookupBatchParameter(char16_t which, std::u16string& value);

// --- Arrays (takecmd_arrays.cpp) --------------------------------------
constexpr int MAX_ARRAY_DIMENSIONS = 4;
constexpr int64_t MAX_ARRAY_ELEMENTS = INT32_MAX;

// 0 on success; -1 on a bad shape.
int DefineArray(const std::u16string& name, int dimensions, const int64_t* sizes);
void UndefineArray(const std::u16string& name);
void ResetArrays();
// @arrayinfo: 0 dimensions, 1..4 size of that dimension, 5 total.
// 0 for a name that is no array or a dimension it does not have.
int64_t ArrayInfo(const std::u16string& name, int what);

enum ElementStatus { ELEMENT_OK, ELEMENT_NOT_ARRAY, ELEMENT_WRONG_COUNT, ELEMENT_OUT_OF_RANGE };
ElementStatus GetElement(const std::u16string& name, int count, const int64_t* indices,
                         const std::u16string** value);
ElementStatus SetElement(const std::u16string& name, int count, const int64_t* indices,
                         const std::u16string& value);
int ArrayDimensions(const std::u16string& name);

// --- Expansion (takecmd_expand.cpp) ------------------------------------
// Expands text into out, at most limit characters. Returns 0, or 1
// after an error (reported on standard error, or by a plugin function
// that failed); out then holds the expansion with the failed reference
// expanding to nothing.
int ExpandText(const char16_t* text, size_t length, std::u16string& out, size_t limit);

// Parses "NAME[i,j,...]" (indices already expanded). Reports its own
// errors; returns false after one.
struct ArrayReference {
  std::u16string name;
  int count = 0;
  int64_t indices[MAX_ARRAY_DIMENSIONS] = {0, 0, 0, 0};
};
bool ParseArrayReference(const std::u16string& text, ArrayReference& ref, bool sizes);
// Reports "bad array reference" with the reason for a status.
void ReportElementStatus(const std::u16string& reference, ElementStatus status);

// --- Functions (takecmd_functions.cpp) ----------------------------------
typedef StandInFunction PluginFunction;
void RegisterFunction(const std::u16string& name, PluginFunction function);
// Runs @NAME on its expanded argument. Returns 0 with the value in
// result, or 1 after an error.
int CallFunction(const std::u16string& name, const std::u16string& argument,
                 std::u16string& result);

// The length of text up to its terminator, reading at most limit units:
// the host never trusts a plugin's or a caller's text to be terminated.
inline size_t BoundedLength(const char16_t* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length] != 0) ++length;
  return length;
}

// Clamps a length to the text limit of one host buffer.
inline size_t TextLimit(size_t capacity) {
  if (capacity == 0) return 0;
  size_t limit = capacity - 1;
  return limit > size_t(MAX_TEXT_LEN) ? size_t(MAX_TEXT_LEN) : limit;
}

// Appends, but never past limit characters.
inline void AppendBounded(std::u16string& out, const char16_t* text, size_t length, size_t limit) {
  if (out.size() >= limit) return;
  size_t room = limit - out.size();
  out.append(text, length < room ? length : room);
}
inline void AppendBounded(std::u16string& out, const std::u16string& text, size_t limit) {
  AppendBounded(out, text.data(), text.size(), limit);
}

}  // namespace takecmd
