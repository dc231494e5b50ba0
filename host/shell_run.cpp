// Running lines: from -c, from a batch file, or read interactively.

#include <cstdio>
#include <string>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace shell {
namespace {

// Batch files and interactive lines beyond these sizes are refused
// rather than read into memory.
constexpr size_t MAX_BATCH_FILE_BYTES = size_t(256) << 20;
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

// Decodes one line of bytes; text after a NUL byte is not part of it.
std::u16string DecodeLine(const std::string& bytes) {
  std::u16string line = utf::To16(bytes);
  size_t nul = line.find(u'\0');
  if (nul != std::u16string::npos) line.resize(nul);
  return line;
}

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
  size_t wordStart = SkipBlanks(expanded, 0);
  if (wordStart >= expanded.size()) return;
  size_t wordEnd = WordEnd(expanded, wordStart);
  std::u16string word = expanded.substr(wordStart, wordEnd - wordStart);
  std::u16string arguments = expanded.substr(SkipBlanks(expanded, wordEnd));
  session.status = RunCommand(session, word, arguments);
}

bool RunBatchFile(Session& session, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    ReportError(u"cannot open the batch file " + Quoted(utf::To16(path)));
    return false;
  }
  std::string content;
  char chunk[65536];
  size_t n = 0;
  bool tooLarge = false;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (content.size() + n > MAX_BATCH_FILE_BYTES) {
      tooLarge = true;
      break;
    }
    content.append(chunk, n);
  }
  std::fclose(file);
  if (tooLarge) {
    ReportError(u"the batch file " + Quoted(utf::To16(path)) + u" is larger than 256 MiB");
    return false;
  }
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);  // byte-order mark

  SetInternal("_batch", "1");
  SetInternal("_batchname", FullPath(path));
  size_t begin = 0;
  long lineNumber = 0;
  while (begin < content.size() && !session.exiting) {
    size_t end = content.find('\n', begin);
    if (end == std::string::npos) end = content.size();
    size_t stop = (end > begin && content[end - 1] == '\r') ? end - 1 : end;
    ++lineNumber;
    SetInternal("_batchline", std::to_string(lineNumber));
    RunLine(session, DecodeLine(content.substr(begin, stop - begin)));
    begin = end + 1;
  }
  return true;
}

void RunInteractive(Session& session) {
  bool terminal = StdinIsTerminal();
  while (!session.exiting) {
    if (terminal) {
      WriteOut(u"kelvo> ");
      StandInFlush();
    }
    std::string bytes;
    bool tooLong = false;
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') {
      if (bytes.size() < MAX_INPUT_LINE_BYTES) {
        bytes.push_back(char(c));
      } else {
        tooLong = true;
      }
    }
    if (c == EOF && bytes.empty()) {
      if (terminal) WriteOut(u"\n");
      break;
    }
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    if (tooLong) {
      ReportError(u"line too long (more than 16383 characters)");
      session.status = 1;
    } else {
      RunLine(session, DecodeLine(bytes));
    }
    StandInFlush();
    if (c == EOF) break;
  }
}

}  // namespace shell
