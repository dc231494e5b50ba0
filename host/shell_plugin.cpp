// Loading the plugin: its identity, the names it implements, its
// lifecycle entry points.

#include <string>

#include "kelvo/limits.h"
#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace shell {
namespace {

// Longest implemented name the shell accepts; real names are short.
constexpr size_t MAX_NAME = 64;

std::u16string ImplementsText(const PluginInfoRecord* info) {
  std::u16string text;
  if (info == nullptr || info->Implements == nullptr) return text;
  size_t n = 0;
  while (n < size_t(MAX_TEXT_LEN) && info->Implements[n] != 0) ++n;
  text.assign(info->Implements, n);
  return text;
}

void RegisterName(Plugin& plugin, const std::u16string& entry) {
  bool isFunction = entry[0] == u'@';
  std::u16string name = LowerAscii(isFunction ? entry.substr(1) : entry);
  if (name.empty() || name.size() > MAX_NAME) {
    ReportError(u"the plugin lists a bad name " + Quoted(entry));
    return;
  }
  std::u16string exportName = isFunction ? u"f_" + name : name;
  void* address = FindExport(plugin.module, utf::To8(exportName));
  if (address == nullptr) {
    ReportError(u"the plugin lists " + Quoted(entry) + u" but does not export " + Quoted(exportName));
    return;
  }
  if (isFunction) {
    StandInRegisterFunction(utf::To8(name).c_str(), reinterpret_cast<StandInFunction>(address));
  } else {
    plugin.commands[name] = reinterpret_cast<CommandEntry>(address);
  }
  plugin.topics.push_back(isFunction ? u"@" + name : name);
}

// Entries are separated by ',' or ';'; blanks around them are ignored.
void RegisterImplementedNames(Plugin& plugin, const std::u16string& list) {
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = list.find_first_of(u",;", begin);
    if (end == std::u16string::npos) end = list.size();
    std::u16string entry = TrimBlanks(list.substr(begin, end - begin));
    if (!entry.empty()) RegisterName(plugin, entry);
    begin = end + 1;
  }
}

}  // namespace

bool LoadPlugin(const std::string& path, Plugin& plugin) {
  std::string error;
  plugin.module = LoadModule(path, error);
  if (plugin.module == nullptr) {
    ReportError(u"cannot load the plugin " + Quoted(utf::To16(path)) + u": " + utf::To16(error));
    return false;
  }
  InfoEntry getInfo = reinterpret_cast<InfoEntry>(FindExport(plugin.module, "GetPluginInfo"));
  if (getInfo == nullptr) {
    ReportError(u"the plugin " + Quoted(utf::To16(path)) + u" does not export \"GetPluginInfo\"");
    return false;
  }
  plugin.initialize = reinterpret_cast<InitializeEntry>(FindExport(plugin.module, "InitializePlugin"));
  plugin.shutdown = reinterpret_cast<ShutdownEntry>(FindExport(plugin.module, "ShutdownPlugin"));
  plugin.help = reinterpret_cast<HelpEntry>(FindExport(plugin.module, "Help"));
  plugin.usage = reinterpret_cast<UsageEntry>(FindExport(plugin.module, "Usage"));
  RegisterImplementedNames(plugin, ImplementsText(getInfo()));
  StandInSyncEnvironment();
  if (plugin.initialize != nullptr) plugin.initialize();
  return true;
}

bool PluginIdentity(const std::string& path, std::u16string& identity) {
  std::string error;
  void* module = LoadModule(path, error);
  if (module == nullptr) {
    ReportError(u"cannot load the plugin " + Quoted(utf::To16(path)) + u": " + utf::To16(error));
    return false;
  }
  InfoEntry getInfo = reinterpret_cast<InfoEntry>(FindExport(module, "GetPluginInfo"));
  const PluginInfoRecord* info = getInfo != nullptr ? getInfo() : nullptr;
  if (info == nullptr) {
    ReportError(u"the plugin " + Quoted(utf::To16(path)) + u" does not export \"GetPluginInfo\"");
    return false;
  }
  std::u16string name;
  for (size_t n = 0; info->Name != nullptr && n < MAX_NAME && info->Name[n] != 0; ++n) name += info->Name[n];
  std::string version = std::to_string(info->Major) + "." + std::to_string(info->Minor) + "." +
                        std::to_string(info->Build);
  identity = name + u" " + utf::To16(version) + u" (" + utf::To16(path) + u")";
  return true;
}

void UnloadPlugin(Plugin& plugin) {
  if (plugin.shutdown != nullptr) plugin.shutdown(0);
}

}  // namespace shell
