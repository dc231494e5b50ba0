// Output redirection: the words of an expanded line that start with ">"
// outside double quotes.
//
//   > FILE   >> FILE     standard output to FILE (emptied first / appended to)
//   2> FILE  2>> FILE    standard error to FILE
//   >& FILE  >>& FILE    both to FILE
//   2>&1                 standard error to wherever standard output goes
//
// Only a ">" at the start of a word redirects, so text such as "<b>" or
// "a>b" stays as it is. The plugin writes its own markup in fullwidth
// characters, so what it returns is never taken for a redirection.

#include <string>
#include <vector>

#include "shell.h"
#include "standin.h"

namespace shell {
namespace {

enum Target { TO_FILE, BOTH_TO_FILE, ERROR_TO_OUTPUT };

struct Redirection {
  Target target = TO_FILE;
  int stream = 1;
  bool append = false;
  std::u16string path;
};

bool StartsWord(const std::u16string& line, size_t at) { return at == 0 || IsBlank(line[at - 1]); }

// Reads the redirection that starts at at; end is set past it. False
// after a message when it names no file.
bool ReadRedirection(const std::u16string& line, size_t at, size_t& end, Redirection& r) {
  size_t i = at;
  if (line[i] == u'2') {
    r.stream = 2;
    ++i;
  }
  ++i;  // '>'
  if (i < line.size() && line[i] == u'>') {
    r.append = true;
    ++i;
  }
  if (i < line.size() && line[i] == u'&') {
    ++i;
    if (r.stream == 2 && i < line.size() && line[i] == u'1' && (i + 1 == line.size() || IsBlank(line[i + 1]))) {
      r.target = ERROR_TO_OUTPUT;
      end = i + 1;
      return true;
    }
    if (r.stream == 1) r.target = BOTH_TO_FILE;
  }
  std::u16string opText = line.substr(at, i - at);
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i < line.size() && line[i] == u'"') {
    size_t close = line.find(u'"', i + 1);
    size_t stop = close == std::u16string::npos ? line.size() : close;
    r.path = line.substr(i + 1, stop - i - 1);
    i = close == std::u16string::npos ? line.size() : close + 1;
  } else {
    size_t begin = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    r.path = line.substr(begin, i - begin);
  }
  if (r.path.empty()) {
    ReportError(u"missing file name after " + Quoted(opText));
    return false;
  }
  end = i;
  return true;
}

// Takes the redirections out of line; false after a message.
bool TakeRedirections(std::u16string& line, std::vector<Redirection>& found) {
  bool quoted = false;
  size_t i = 0;
  while (i < line.size()) {
    char16_t c = line[i];
    bool redirects = !quoted && StartsWord(line, i) &&
                     (c == u'>' || (c == u'2' && i + 1 < line.size() && line[i + 1] == u'>'));
    if (!redirects) {
      if (c == u'"') quoted = !quoted;
      ++i;
      continue;
    }
    Redirection r;
    size_t end = i;
    if (!ReadRedirection(line, i, end, r)) return false;
    found.push_back(r);
    size_t begin = i;
    while (begin > 0 && IsBlank(line[begin - 1])) --begin;  // "echo text > f" writes "text"
    line.erase(begin, end - begin);
    i = begin;
  }
  return true;
}

}  // namespace

bool ApplyRedirections(std::u16string& line) {
  std::vector<Redirection> found;
  if (!TakeRedirections(line, found)) return false;
  for (const Redirection& r : found) {
    if (r.target == ERROR_TO_OUTPUT) {
      StandInRedirectErrorToOutput();
      continue;
    }
    if (StandInRedirect(r.stream, r.path.c_str(), r.append ? 1 : 0) != 0) return false;
    if (r.target == BOTH_TO_FILE) StandInRedirectErrorToOutput();
  }
  return true;
}

}  // namespace shell
