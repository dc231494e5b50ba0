// kelvo: a small command processor on the stand-in host. It loads the
// plugin module and runs one line (-c), a batch file, or the lines read
// from standard input.

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "kelvo/host.h"
#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace {

const char16_t USAGE[] =
    u"Usage: kelvo [OPTIONS] [-c LINE | FILE [ARGUMENTS...]]\n"
    u"\n"
    u"Runs one command line (-c), a batch file (%0 is its name, %1 to %9 and %*\n"
    u"its arguments), or else the lines read from standard input, with the\n"
    u"plugin loaded.\n"
    u"\n"
    u"Options:\n"
    u"  --plugin PATH      load the plugin from PATH (default: libkelvo.so beside\n"
    u"                     this program)\n"
    u"  --set NAME=VALUE   set a variable before the plugin loads; repeatable;\n"
    u"                     internal ones too (_4ver, _cmdproc, _transient, _pipe)\n"
    u"  --unicode-output   the host reports Unicode output, and fullwidth forms\n"
    u"                     are written as they are\n"
    u"  --help             show this text\n"
    u"  --version          show the versions of the shell and the plugin\n"
    u"\n"
    u"Commands: echo, echos, set, unset, setarray, unsetarray, type, rem, help\n"
    u"[TOPIC], usage TOPIC, exit [N], and the plugin's commands. Output goes to\n"
    u"a file with > FILE or >> FILE (2> for errors, >& for both).\n";

#if !defined(KELVO_SHELL_VERSION)
#define KELVO_SHELL_VERSION "unknown"
#endif

// Exit status for a shell that could not start.
constexpr int EXIT_CANNOT_START = 2;

struct Options {
  std::string pluginPath;
  std::vector<std::pair<std::string, std::string>> settings;
  bool unicodeOutput = false;
  bool help = false;
  bool version = false;
  bool hasLine = false;
  std::string line;
  std::vector<std::string> batch;  // file and its arguments
};

// Reads "--name VALUE" or "--name=VALUE"; advances i past what it used.
bool OptionValue(int argc, char** argv, int& i, const char* name, std::string& value) {
  size_t length = std::strlen(name);
  const char* arg = argv[i];
  if (std::strcmp(arg, name) == 0) {
    if (i + 1 >= argc) {
      shell::ReportError(u"option " + utf::To16(name) + u" needs a value");
      return false;
    }
    value = argv[++i];
    return true;
  }
  if (std::strncmp(arg, name, length) == 0 && arg[length] == '=') {
    value = arg + length + 1;
    return true;
  }
  return false;
}

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Returns false after reporting a bad command line.
bool ParseOptions(int argc, char** argv, Options& options) {
  int i = 1;
  for (; i < argc; ++i) {
    const char* arg = argv[i];
    std::string value;
    if (std::strcmp(arg, "--") == 0) {
      ++i;
      break;
    } else if (StartsWith(arg, "--plugin")) {
      if (!OptionValue(argc, argv, i, "--plugin", value)) return false;
      options.pluginPath = value;
    } else if (StartsWith(arg, "--set")) {
      if (!OptionValue(argc, argv, i, "--set", value)) return false;
      size_t equals = value.find('=');
      if (equals == std::string::npos || equals == 0) {
        shell::ReportError(u"--set needs NAME=VALUE, not " + shell::Quoted(utf::To16(value)));
        return false;
      }
      options.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (std::strcmp(arg, "--unicode-output") == 0) {
      options.unicodeOutput = true;
    } else if (std::strcmp(arg, "--help") == 0) {
      options.help = true;
      return true;
    } else if (std::strcmp(arg, "--version") == 0) {
      options.version = true;
      return true;
    } else if (std::strcmp(arg, "-c") == 0) {
      if (i + 1 >= argc) {
        shell::ReportError(u"-c needs a command line");
        return false;
      }
      options.hasLine = true;
      options.line = argv[i + 1];
      if (i + 2 < argc) {
        shell::ReportError(u"-c takes one command line; quote it");
        return false;
      }
      return true;
    } else if (arg[0] == '-' && arg[1] != 0) {
      shell::ReportError(u"unknown option " + shell::Quoted(utf::To16(arg)) + u" (kelvo --help)");
      return false;
    } else {
      break;
    }
  }
  for (; i < argc; ++i) options.batch.push_back(argv[i]);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  shell::PrepareProcess();
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    StandInFlush();
    return EXIT_CANNOT_START;
  }
  if (options.help) {
    QPuts(USAGE);
    StandInFlush();
    return 0;
  }
  std::string path = options.pluginPath.empty() ? shell::DefaultPluginPath() : options.pluginPath;
  if (options.version) {
    std::u16string identity;
    bool loaded = shell::PluginIdentity(path, identity);
    shell::WriteOut(u"kelvo shell " + utf::To16(KELVO_SHELL_VERSION) + u"\n");
    if (loaded) shell::WriteOut(u"plugin: " + identity + u"\n");
    StandInFlush();
    return loaded ? 0 : EXIT_CANNOT_START;
  }
  bool interactive = !options.hasLine && options.batch.empty();
  StandInSetVariable("_transient", interactive ? "0" : "1");
  StandInSetVariable("_pipe", shell::StdinIsTerminal() ? "0" : "1");
  for (const auto& setting : options.settings) {
    StandInSetVariable(setting.first.c_str(), setting.second.c_str());
  }
  if (options.unicodeOutput) StandInSetUnicodeOutput(1);

  shell::Plugin plugin;
  if (!shell::LoadPlugin(path, plugin)) {
    StandInFlush();
    return EXIT_CANNOT_START;
  }

  shell::Session session;
  session.plugin = &plugin;
  int exitCode = 0;
  if (options.hasLine) {
    shell::RunLine(session, shell::DecodeLineBytes(options.line.data(), options.line.size()));
    exitCode = session.status;
  } else if (!options.batch.empty()) {
    std::vector<const char*> arguments;
    for (const std::string& a : options.batch) arguments.push_back(a.c_str());
    StandInSetBatchArguments(int(arguments.size()), arguments.data());
    exitCode = shell::RunBatchFile(session, options.batch[0]) ? session.status : EXIT_CANNOT_START;
  } else {
    shell::RunInteractive(session);
    exitCode = session.status;
  }
  shell::UnloadPlugin(plugin);
  StandInFlush();
  return exitCode;
}
