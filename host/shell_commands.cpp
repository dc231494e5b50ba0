// The shell's own commands, and the plugin's commands by name.

#include <cstdlib>
#include <string>
#include <vector>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace shell {
namespace {

std::vector<std::u16string> Words(const std::u16string& text) {
  std::vector<std::u16string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    size_t begin = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > begin) words.push_back(text.substr(begin, i - begin));
  }
  return words;
}

bool IsVariableName(const std::u16string& name) { return StandInValidName(name.c_str()) == 1; }

int Echo(const std::u16string& arguments, bool lineEnd) {
  if (lineEnd) {
    std::u16string word = LowerAscii(TrimBlanks(arguments));
    if (word == u"on" || word == u"off") return 0;  // there is no command echo to switch
  }
  WriteOut(arguments);
  if (lineEnd) WriteOut(u"\n");
  return 0;
}

int ShowVariable(const std::u16string& name) {
  const char* value = StandInGetVariable(utf::To8(name).c_str());
  if (value == nullptr) {
    ReportError(u"variable " + Quoted(name) + u" is not set");
    return 1;
  }
  WriteOut(utf::To16(value) + u"\n");
  return 0;
}

int Set(const std::u16string& arguments) {
  if (TrimBlanks(arguments).empty()) {
    WriteOut(utf::To16(StandInVariableList()));
    return 0;
  }
  size_t equals = arguments.find(u'=');
  std::u16string name = TrimBlanks(arguments.substr(0, equals));
  if (name.find(u'[') != std::u16string::npos) {
    if (equals == std::u16string::npos) {
      ReportError(u"set " + Quoted(name) + u" needs \"=\" and a value");
      return 1;
    }
    return StandInSetElementText(name.c_str(), arguments.substr(equals + 1).c_str());
  }
  if (!IsVariableName(name)) {
    ReportError(u"bad variable name " + Quoted(name));
    return 1;
  }
  if (equals == std::u16string::npos) return ShowVariable(name);
  StandInSetVariable(utf::To8(name).c_str(), utf::To8(arguments.substr(equals + 1)).c_str());
  return 0;
}

int Unset(const std::u16string& arguments) {
  std::vector<std::u16string> names = Words(arguments);
  if (names.empty()) {
    ReportError(u"unset needs a variable name");
    return 1;
  }
  for (const std::u16string& name : names) {
    if (!IsVariableName(name)) {
      ReportError(u"bad variable name " + Quoted(name));
      return 1;
    }
    StandInUnsetVariable(utf::To8(name).c_str());
  }
  return 0;
}

int SetArray(const std::u16string& arguments) {
  std::vector<std::u16string> declarations = Words(arguments);
  if (declarations.empty()) {
    ReportError(u"setarray needs NAME[size] or NAME[size,size]");
    return 1;
  }
  for (const std::u16string& declaration : declarations) {
    if (StandInDefineArrayText(declaration.c_str()) != 0) return 1;
  }
  return 0;
}

int UnsetArray(const std::u16string& arguments) {
  std::vector<std::u16string> names = Words(arguments);
  if (names.empty()) {
    ReportError(u"unsetarray needs an array name");
    return 1;
  }
  for (const std::u16string& name : names) StandInUndefineArray(utf::To8(name).c_str());
  return 0;
}

// Shows a text file, read as a batch file is (UTF-8, UTF-16 with a
// byte-order mark, or Windows-1252).
int Type(const std::u16string& arguments) {
  std::u16string name = TrimBlanks(arguments);
  if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') name = name.substr(1, name.size() - 2);
  if (name.empty()) {
    ReportError(u"type needs a file name");
    return 1;
  }
  std::string bytes;
  if (ReadTextFile(utf::To8(name), bytes) != FILE_READ) {
    ReportError(u"cannot read " + Quoted(name));
    return 1;
  }
  WriteOut(DecodeBatchText(bytes));
  return 0;
}

int Exit(Session& session, const std::u16string& arguments) {
  std::u16string text = TrimBlanks(arguments);
  if (text.empty()) {
    session.exiting = true;
    return session.status;
  }
  std::string digits = utf::To8(text);
  char* end = nullptr;
  long long value = std::strtoll(digits.c_str(), &end, 10);
  if (end == digits.c_str() || *end != 0) {
    ReportError(u"exit needs a number, not " + Quoted(text));
    return 1;
  }
  session.exiting = true;
  return int(value & 0xFF);
}

// The argument text goes in a buffer of the host's size, as the real host
// hands it over.
int RunPluginCommand(CommandEntry entry, const std::u16string& arguments) {
  static char16_t buffer[MAX_ARG_LEN];
  size_t length = arguments.copy(buffer, size_t(MAX_TEXT_LEN));
  buffer[length] = 0;
  StandInSyncEnvironment();
  return entry(buffer) & 0xFF;
}

}  // namespace

int RunCommand(Session& session, const std::u16string& word, const std::u16string& arguments) {
  std::u16string name = LowerAscii(word);
  auto command = session.plugin->commands.find(name);
  if (command != session.plugin->commands.end()) return RunPluginCommand(command->second, arguments);
  if (name == u"echo") return Echo(arguments, true);
  if (name == u"echos") return Echo(arguments, false);
  if (name == u"set") return Set(arguments);
  if (name == u"unset") return Unset(arguments);
  if (name == u"setarray") return SetArray(arguments);
  if (name == u"unsetarray") return UnsetArray(arguments);
  if (name == u"rem") return 0;
  if (name == u"help") return Help(session, arguments);
  if (name == u"usage") return Usage(session, arguments);
  if (name == u"exit") return Exit(session, arguments);
  if (name == u"type") return Type(arguments);
  ReportError(u"unknown command " + Quoted(word));
  return 1;
}

}  // namespace shell
