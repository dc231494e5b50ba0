// The command-line splitter: one pass over the argument text, storing
// each argument's characters one after another in ArgStore, each
// followed by its terminator.
#include "arraytable/split_arguments.h"

#include <cstring>

#include "kelvo/charclass.h"
#include "kelvo/host.h"
#include "kelvo/services.h"

int32_t ArgCount;
char16_t* ArgPointers[MAX_ARGS];
int32_t ArgLengths[MAX_ARGS];
char16_t ArgStore[MAX_ARG_LEN];

namespace {

// Characters go to positions 0 .. MAX_ARG_LEN - 2; the last slot is kept
// for a terminator.
constexpr int STORE_LIMIT = MAX_ARG_LEN - 1;

int ReportOverflow(int reached) {
  ErrorPrefix();
  Qprintf(StdErrHandle(), u"Buffer overflow: b = %d, MAX_ARG_LEN = %d \r\n", reached, MAX_ARG_LEN);
  return -1;
}

// A quote that opens right behind "/X" (X a letter) stands for the value
// separator, so that /H"Some title" reads as /H:Some title.
bool IsShortOptionName(const char16_t* arg, int length) {
  return length == 2 && arg[0] == u'/' && IsAlphaChar(arg[1]);
}

void TrimTrailingWhiteSpace(int count) {
  for (int k = 0; k < count; ++k) {
    char16_t* arg = ArgPointers[k];
    int length = ArgLengths[k];
    while (length > 0 && IsWhiteSpaceChar(arg[length - 1])) arg[--length] = 0;
    ArgLengths[k] = length;
  }
}

}  // namespace

int SplitArguments(const char16_t* text) {
  if (text == nullptr) return -1;
  std::memset(ArgPointers, 0, sizeof ArgPointers);
  std::memset(ArgLengths, 0, sizeof ArgLengths);
  ArgCount = 0;

  bool quoted = false;
  int count = 0;   // arguments ended so far; the current one is ArgPointers[count]
  int length = 0;  // characters of the current argument
  int write = 0;   // next free slot of ArgStore, where a terminator stands

  for (const char16_t* p = text;; ++p) {
    char16_t c = *p;
    if (c == 0) {
      if (length > 0) ++count;
      break;
    }
    bool endsArgument = false;
    if (c == u'"') {
      quoted = !quoted;
      if (!quoted || count >= MAX_ARGS || !IsShortOptionName(ArgPointers[count], length)) continue;
      c = u':';
    } else if (IsWhiteSpaceChar(c)) {
      if (length == 0) continue;
      endsArgument = !quoted;
    } else if (c == u'/' && !quoted && length >= 2 && ArgPointers[count][0] == u'/') {
      endsArgument = true;
    }

    if (endsArgument) {
      ++count;
      length = 0;
      // With the store full there is no slot for the terminator that
      // opens the next argument; nothing is lost unless a character
      // follows, and that one reports the overflow.
      if (write + 1 < MAX_ARG_LEN) {
        ArgStore[++write] = 0;
      } else {
        write = MAX_ARG_LEN;
      }
      if (c != u'/') continue;  // a '/' begins the next argument
    }

    if (count >= MAX_ARGS) continue;
    if (write >= STORE_LIMIT) {
      // White space that finds the store full is dropped: the argument
      // ends there and loses it to the trimming, or a character follows
      // in the same argument and reports the overflow.
      if (IsWhiteSpaceChar(c)) continue;
      return ReportOverflow(write);
    }
    if (length == 0) ArgPointers[count] = ArgStore + write;
    ArgLengths[count] = ++length;
    ArgStore[write++] = c;
    ArgStore[write] = 0;
  }

  TrimTrailingWhiteSpace(count);
  ArgCount = count;
  return count;
}
