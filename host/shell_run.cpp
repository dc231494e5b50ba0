// Running lines: from -c, from a batch file, or read interactively.

#include <cstdio>
#include <string>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace shell {

const char16_t PROMPT[] = u"kelvo> ";

namespace {

// Files and interactive lines beyond these sizes are refused rather than
// read into memory.
constexpr size_t MAX_TEXT_FILE_BYTES = size_t(256) << 20;
constexpr size_t MAX_INPUT_LINE_BYTES = size_t(1) << 20;

size_t SkipBlanks(const std::u16string& text, size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

size_t WordEnd(const std::u16string& text, size_t at) {
  while (at < text.size() && !IsBlank(text[at])) ++at;
  return at;
}

// Comments are not expanded: "rem ..." and lines starting with ':'
// (labels and "::" comments).
bool IsComment(const std::u16string& line, size_t start) {
  if (start < line.size() && line[start] == u':') return true;
  size_t end = WordEnd(line, start);
  return LowerAscii(line.substr(start, end - start)) == u"rem";
}

void SetInternal(const char* name, const std::string& value) { StandInSetVariable(name, value.c_str()); }

}  // namespace

void RunLine(Session& session, const std::u16string& line) {
  size_t start = SkipBlanks(line, 0);
  if (start < line.size() && line[start] == u'@') start = SkipBlanks(line, start + 1);
  if (start >= line.size()) return;
  if (IsComment(line, start)) {
    session.status = 0;
    return;
  }
  if (line.size() - start > size_t(MAX_TEXT_LEN)) {
    ReportError(u"line too long (more than 16383 characters)");
    session.status = 1;
    return;
  }
  // Lines run one at a time (no command runs a line), so one buffer serves.
  static char16_t buffer[MAX_ARG_LEN];
  size_t length = line.copy(buffer, line.size() - start, start);
  buffer[length] = 0;
  if (StandInExpand(buffer, MAX_ARG_LEN) != 0) {
    session.status = 1;  // the reason has been reported
    return;
  }
  std::u16string expanded(buffer);
  if (!ApplyRedirections(expanded)) {
    StandInEndRedirection();
    session.status = 1;
    return;
  }
  size_t wordStart = SkipBlanks(expanded, 0);
  if (wordStart < expanded.size()) {
    size_t wordEnd = WordEnd(expanded, wordStart);
    std::u16string word = expanded.substr(wordStart, wordEnd - wordStart);
    std::u16string arguments = expanded.substr(SkipBlanks(expanded, wordEnd));
    session.status = RunCommand(session, word, arguments);
  }
  StandInEndRedirection();
}

void RunBatchText(Session& session, const std::u16string& text) {
  size_t at = 0;
  long lineNumber = 0;
  std::u16string line;
  while (!session.exiting && NextLine(text, at, line)) {
    ++lineNumber;
    SetInternal("_batchline", std::to_string(lineNumber));
    size_t nul = line.find(u'\0');  // text after a NUL is not part of the line
    if (nul != std::u16string::npos) line.resize(nul);
    RunLine(session, line);
  }
}

FileRead ReadTextFile(const std::string& path, std::string& content) {
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return FILE_UNREADABLE;
  content.clear();
  char chunk[65536];
  size_t n = 0;
  bool tooLarge = false;
  while (!tooLarge && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    tooLarge = content.size() + n > MAX_TEXT_FILE_BYTES;
    if (!tooLarge) content.append(chunk, n);
  }
  // A directory opens on some systems and fails only when read.
  bool unreadable = std::ferror(file) != 0;
  std::fclose(file);
  if (unreadable) return FILE_UNREADABLE;
  return tooLarge ? FILE_TOO_LARGE : FILE_READ;
}

bool RunBatchFile(Session& session, const std::string& path) {
  std::string content;
  FileRead read = ReadTextFile(path, content);
  if (read == FILE_UNREADABLE) {
    ReportError(u"cannot open the batch file " + Quoted(utf::To16(path)));
    return false;
  }
  if (read == FILE_TOO_LARGE) {
    ReportError(u"the batch file " + Quoted(utf::To16(path)) + u" is larger than 256 MiB");
    return false;
  }
  SetInternal("_batch", "1");
  SetInternal("_batchname", FullPath(path));
  RunBatchText(session, DecodeBatchText(content));
  return true;
}

void RunInputLine(Session& session, const std::string& bytes) {
  std::u16string line = DecodeLineBytes(bytes.data(), bytes.size());
  size_t nul = line.find(u'\0');
  if (nul != std::u16string::npos) line.resize(nul);
  RunLine(session, line);
}

// Lines from standard input when it is no terminal, or when the shell
// has no line editor: they end at CR LF, LF or CR alone.
void RunPlainInput(Session& session, bool prompt) {
  while (!session.exiting) {
    if (prompt) {
      WriteOut(PROMPT);
      StandInFlush();
    }
    std::string bytes;
    bool tooLong = false;
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n' && c != '\r') {
      if (bytes.size() < MAX_INPUT_LINE_BYTES) {
        bytes.push_back(char(c));
      } else {
        tooLong = true;
      }
    }
    if (c == '\r') {
      int next = std::getchar();
      if (next != '\n' && next != EOF) std::ungetc(next, stdin);
    }
    if (c == EOF && bytes.empty()) {
      if (prompt) WriteOut(u"\n");
      break;
    }
    if (tooLong) {
      ReportError(u"line too long (more than 16383 characters)");
      session.status = 1;
    } else {
      RunInputLine(session, bytes);
    }
    StandInFlush();
    if (c == EOF) break;
  }
}

}  // namespace shell
