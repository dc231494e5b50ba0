// Private declarations of the kelvo shell.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "kelvo/host.h"
#include "kelvo/plugin.h"

namespace shell {

typedef PluginInfoRecord*(PLUGIN_API* InfoEntry)(void);
typedef int(PLUGIN_API* InitializeEntry)(void);
typedef int(PLUGIN_API* ShutdownEntry)(int);
typedef int(PLUGIN_API* HelpEntry)(const char16_t*);
typedef int(PLUGIN_API* UsageEntry)(const char16_t*, char16_t*);
typedef int(PLUGIN_API* CommandEntry)(char16_t*);

// --- Platform (shell_loader_*.cpp, shell_system_*.cpp) ---------------------
// Loads a module; null with a reason in error when it cannot.
void* LoadModule(const std::string& path, std::string& error);
void* FindExport(void* module, const std::string& name);
// The plugin module beside the shell executable.
std::string DefaultPluginPath();
bool StdinIsTerminal();
// Process set-up before anything runs: a write to a pipe whose reader has
// gone fails with an error the host reports, instead of a silent signal.
void PrepareProcess();
// The absolute form of a path (the path itself when it cannot be made).
std::string FullPath(const std::string& path);
// fopen with a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);
HostHandle StdErrHandle();

// --- Plugin (shell_plugin.cpp) --------------------------------------------
struct Plugin {
  void* module = nullptr;
  InitializeEntry initialize = nullptr;
  ShutdownEntry shutdown = nullptr;
  HelpEntry help = nullptr;
  UsageEntry usage = nullptr;
  std::map<std::u16string, CommandEntry> commands;  // keyed by the lower-case name
  std::vector<std::u16string> topics;  // the names it implements, lower case, '@' for functions
};

// Loads the module, reads its identity and registers every name it
// implements, then initializes it. False (after a message) when the
// module cannot be used at all.
bool LoadPlugin(const std::string& path, Plugin& plugin);
void UnloadPlugin(Plugin& plugin);  // ShutdownPlugin(0)
// "NAME MAJOR.MINOR.BUILD (PATH)" from the module's identity record,
// without initializing it. False after a message.
bool PluginIdentity(const std::string& path, std::u16string& identity);

// --- Lines and commands (shell_run.cpp, shell_commands.cpp) ------------------
struct Session {
  Plugin* plugin = nullptr;
  int status = 0;         // result of the last command
  bool exiting = false;   // set by "exit"
};

void RunLine(Session& session, const std::u16string& line);
// Runs the expanded line's command word with its argument text.
int RunCommand(Session& session, const std::u16string& word, const std::u16string& arguments);
// Runs a batch file; false (after a message) when it cannot be read.
bool RunBatchFile(Session& session, const std::string& path);
// Reads a whole file of at most 256 MiB.
enum FileRead { FILE_READ, FILE_UNREADABLE, FILE_TOO_LARGE };
FileRead ReadTextFile(const std::string& path, std::string& content);
// Runs the lines of a batch file's decoded text.
void RunBatchText(Session& session, const std::u16string& text);
// Runs one line of input bytes (decoded as DecodeLineBytes does).
void RunInputLine(Session& session, const std::string& bytes);
// Runs the lines of standard input, read without a line editor; with a
// prompt before each when prompt is set.
void RunPlainInput(Session& session, bool prompt);
extern const char16_t PROMPT[];

// --- Help (shell_help.cpp) -------------------------------------------------
// help alone lists the topics; help TOPIC shows the plugin's help (TOPIC
// may leave out a function's '@') or a line on one of the shell's own
// commands, and suggests the nearest topic for one it does not know.
int Help(Session& session, const std::u16string& arguments);
int Usage(Session& session, const std::u16string& arguments);

// --- Redirection (shell_redirect.cpp) ----------------------------------------
// Takes the redirections (">", ">>", "2>", ">&", "2>&1" ...) out of an
// expanded line and sends the output there until StandInEndRedirection.
// False after a message when one names no file or its file cannot be
// opened.
bool ApplyRedirections(std::u16string& line);

// --- Interactive input (shell_editor_*.cpp) ----------------------------------
// Runs the lines of standard input: with line editing and history when
// it is a terminal and the system has a line editor.
void RunInteractive(Session& session);

// --- Batch text (shell_batch_text.cpp) ------------------------------------------
// A batch file's bytes as text: UTF-8 or UTF-16 (little or big endian)
// after a byte-order mark; without one UTF-8 when the bytes are valid
// UTF-8, else Windows-1252.
std::u16string DecodeBatchText(const std::string& bytes);
// One line of input or a command-line argument: UTF-8 when valid, else
// Windows-1252.
std::u16string DecodeLineBytes(const char* bytes, size_t length);
// The line that starts at at, ended by CR LF, LF or CR alone; at moves
// past its end. False when no text is left.
bool NextLine(const std::u16string& text, size_t& at, std::u16string& line);

// --- Text helpers (shell_text.cpp) ----------------------------------------
void ReportError(const std::u16string& message);  // "kelvo: MESSAGE"
void WriteOut(const std::u16string& text);
bool IsBlank(char16_t c);
std::u16string TrimBlanks(const std::u16string& text);
std::u16string LowerAscii(const std::u16string& text);
std::u16string Quoted(const std::u16string& text);

}  // namespace shell
