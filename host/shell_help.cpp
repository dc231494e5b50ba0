// help and usage: the plugin's help texts, a line for each of the shell's
// own commands, the list of topics, and a suggestion for a mistyped one.

#include <string>
#include <vector>

#include "kelvo/limits.h"
#include "shell.h"
#include "standin.h"

namespace shell {
namespace {

struct BuiltinHelp {
  const char16_t* name;
  const char16_t* text;
};

const BuiltinHelp BUILTINS[] = {
    {u"echo", u"echo TEXT            writes TEXT and a line end"},
    {u"echos", u"echos TEXT           writes TEXT without a line end"},
    {u"set", u"set NAME=VALUE       sets a variable (an empty VALUE removes it); set NAME\n"
             u"                     shows one, set alone lists them; set NAME[i,j]=VALUE\n"
             u"                     sets an array element"},
    {u"unset", u"unset NAME...        removes variables"},
    {u"setarray", u"setarray NAME[ROWS] or NAME[ROWS,COLUMNS]...  defines arrays"},
    {u"unsetarray", u"unsetarray NAME...   removes arrays"},
    {u"type", u"type FILE            shows a text file"},
    {u"rem", u"rem TEXT             a comment, as is a line that starts with ':'"},
    {u"help", u"help [TOPIC]         lists the topics, or shows help on one"},
    {u"usage", u"usage COMMAND        shows the syntax of a plugin command"},
    {u"exit", u"exit [N]             ends the batch file or the session with status N"},
};

const BuiltinHelp* FindBuiltin(const std::u16string& topic) {
  for (const BuiltinHelp& b : BUILTINS) {
    if (topic == b.name) return &b;
  }
  return nullptr;
}

// Edits (insert, delete, replace) that turn a into b.
size_t EditDistance(const std::u16string& a, const std::u16string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      size_t replace = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      size_t best = replace < above + 1 ? replace : above + 1;
      row[j] = best < row[j - 1] + 1 ? best : row[j - 1] + 1;
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::vector<std::u16string> AllTopics(const Plugin& plugin) {
  std::vector<std::u16string> topics = plugin.topics;
  for (const BuiltinHelp& b : BUILTINS) topics.push_back(b.name);
  return topics;
}

// The topic closest to what was typed, or empty when none is close: at
// most one edit in three characters, and '@' may be left out.
std::u16string Suggestion(const Plugin& plugin, const std::u16string& typed) {
  std::u16string best;
  size_t bestDistance = typed.size() / 3 + 1;
  for (const std::u16string& topic : AllTopics(plugin)) {
    std::u16string bare = topic[0] == u'@' ? topic.substr(1) : topic;
    size_t distance = EditDistance(typed, topic);
    size_t bareDistance = EditDistance(typed, bare);
    if (bareDistance < distance) distance = bareDistance;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = topic;
    }
  }
  return best;
}

// Appends each name after a blank.
void AppendNames(std::u16string& line, const std::vector<std::u16string>& names) {
  for (const std::u16string& name : names) {
    line += u' ';
    line += name;
  }
}

void ListTopics(const Plugin& plugin) {
  std::vector<std::u16string> commands, functions, builtins;
  for (const std::u16string& topic : plugin.topics) (topic[0] == u'@' ? functions : commands).push_back(topic);
  for (const BuiltinHelp& b : BUILTINS) builtins.push_back(b.name);
  std::u16string text = u"Help topics (help TOPIC):\n  plugin commands:";
  AppendNames(text, commands);
  text += u"\n  plugin functions:";
  AppendNames(text, functions);
  text += u"\n  shell commands:";
  AppendNames(text, builtins);
  text += u'\n';
  WriteOut(text);
}

bool PluginHelp(const Plugin& plugin, const std::u16string& topic) {
  StandInSyncEnvironment();
  return plugin.help != nullptr && plugin.help(topic.c_str()) != 0;
}

}  // namespace

int Help(Session& session, const std::u16string& arguments) {
  const Plugin& plugin = *session.plugin;
  std::u16string typed = TrimBlanks(arguments);
  if (typed.empty()) {
    ListTopics(plugin);
    return 0;
  }
  if (PluginHelp(plugin, typed)) return 0;
  if (typed[0] != u'@' && PluginHelp(plugin, u"@" + typed)) return 0;
  std::u16string topic = LowerAscii(typed);
  if (const BuiltinHelp* builtin = FindBuiltin(topic)) {
    WriteOut(std::u16string(builtin->text) + u"\n");
    return 0;
  }
  std::u16string suggestion = Suggestion(plugin, topic);
  if (suggestion.empty()) {
    ReportError(u"no help for " + Quoted(typed) + u" (help alone lists the topics)");
  } else {
    ReportError(u"no help for " + Quoted(typed) + u"; did you mean " + suggestion + u"?");
  }
  return 1;
}

int Usage(Session& session, const std::u16string& arguments) {
  std::u16string topic = TrimBlanks(arguments);
  char16_t buffer[SMALL_BUF_LEN] = {};
  StandInSyncEnvironment();
  if (session.plugin->usage == nullptr || session.plugin->usage(topic.c_str(), buffer) == 0) {
    ReportError(u"no usage for " + Quoted(topic));
    return 1;
  }
  buffer[SMALL_BUF_LEN - 1] = 0;
  WriteOut(buffer);
  WriteOut(u"\n");
  return 0;
}

}  // namespace shell
