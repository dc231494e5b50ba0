// Loads kelvo.dll as the host does and checks, against a real Windows
// API (wine in CI), what only the Windows build has: entry points called
// through __stdcall pointers found by name, the identity record's layout,
// the load and unload entry, error messages on the GetStdHandle handle,
// Help's message box (owner, text, caption, buttons) and HEXENC_KEEP read
// through GetEnvironmentVariableW.
//
// Usage: dll_probe PATH\kelvo.dll    Last line: "N passed, N failed".
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "kelvo/plugin.h"
#include "kelvo/version.h"
#include "standin.h"

namespace {

int passed = 0;
int failed = 0;

std::string Shown(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += char(c);
    } else {
      char code[12];
      std::snprintf(code, sizeof code, "\\u%04X", unsigned(c));
      out += code;
    }
  }
  return out;
}

void Check(const std::string& name, bool ok, const std::string& detail = "") {
  if (ok) {
    ++passed;
    std::printf("ok   %s\n", name.c_str());
  } else {
    ++failed;
    std::printf("FAIL %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
  }
}

void CheckText(const std::string& name, const std::u16string& got, const std::u16string& want) {
  Check(name, got == want, "got \"" + Shown(got) + "\", want \"" + Shown(want) + "\"");
}

std::u16string Text(const char16_t* text) { return text != nullptr ? text : u"(null)"; }
std::u16string Joined(const char16_t* first, const char16_t* second) {
  std::u16string text(first);
  text.append(second);
  return text;
}
std::u16string Text(const wchar_t* text) { return Text(reinterpret_cast<const char16_t*>(text)); }
const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// --- Entry points, found by name as the host finds them ---------------------
typedef PluginInfoRecord*(PLUGIN_API* InfoEntry)(void);
typedef int(PLUGIN_API* InitializeEntry)(void);
typedef int(PLUGIN_API* ShutdownEntry)(int);
typedef int(PLUGIN_API* HelpEntry)(const char16_t*);
typedef int(PLUGIN_API* UsageEntry)(const char16_t*, char16_t*);
typedef int(PLUGIN_API* TextEntry)(char16_t*);

template <typename Entry>
Entry Find(HMODULE module, const char* name) {
  Entry entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  Check(std::string("export ") + name + " is found by name", entry != nullptr);
  return entry;
}

// --- The message box, caught in the module's import table -------------------
const HWND FOREGROUND = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4B31));

struct Box {
  int count = 0;
  HWND owner = nullptr;
  std::u16string text, caption;
  UINT type = 0;
} box;

HWND WINAPI FakeForegroundWindow() { return FOREGROUND; }

int WINAPI FakeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  ++box.count;
  box.owner = owner;
  box.text = Text(text);
  box.caption = Text(caption);
  box.type = type;
  return IDOK;
}

// Points the module's import of dll!function at replacement.
bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return false;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) continue;
    DWORD lookup = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) {
        return false;
      }
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return true;
    }
  }
  return false;
}

// --- The checks ------------------------------------------------------------
void CheckIdentity(InfoEntry getInfo) {
  PluginInfoRecord* info = getInfo();
  Check("GetPluginInfo returns its record", info != nullptr);
  if (info == nullptr) return;
  CheckText("identity: name", Text(info->Name), u"Kelvo");
  CheckText("identity: description", Text(info->Description), u"Kelvo plugin");
  CheckText("identity: implemented names", Text(info->Implements),
            u"kelvo,arraytable,@deentitize,@doctype,@entag,@entitize,@hcomment,@hexdec,@hexenc,"
            u"@makeentity,@tag");
  Check("identity: the project's version",
        info->Major == PLUGIN_VERSION_MAJOR && info->Minor == PLUGIN_VERSION_MINOR &&
            info->Build == PLUGIN_VERSION_BUILD);
  Check("identity: reserved fields stay zero", info->Reserved1 == 0 && info->Reserved2 == 0);
  Check("identity: author, e-mail and web page are set",
        info->Author != nullptr && info->Email != nullptr && info->WebPage != nullptr);
}

void CheckOutputHandles(InitializeEntry initialize, TextEntry kelvo) {
  StandInReset();
  StandInSetVariable("_transient", "0");
  StandInSetVariable("_pipe", "0");
  StandInCapture(1);
  Check("InitializePlugin returns 0", initialize() == 0);
  CheckText("the load line goes to standard output", Text(StandInCaptured(1)),
            u"Kelvo plugin v" PLUGIN_VERSION_TEXT u" loaded.\n");

  StandInClearCaptured();
  static char16_t arguments[16384] = u"q:9";
  Check("a bad option makes the command return 1", kelvo(arguments) == 1);
  CheckText("its message goes to the GetStdHandle(STD_ERROR_HANDLE) handle",
            Text(StandInCaptured(2)), u"Kelvo plugin: Option value out of range \"Q:9\"\r\n");
  CheckText("and nothing to standard output", Text(StandInCaptured(1)), u"");
  StandInCapture(0);
  StandInReset();
}

void CheckHelp(HMODULE module, HelpEntry help, UsageEntry usage) {
  Check("MessageBoxW is imported from USER32.dll",
        PatchImport(module, "USER32.dll", "MessageBoxW", reinterpret_cast<void*>(&FakeMessageBoxW)));
  Check("GetForegroundWindow is imported from USER32.dll",
        PatchImport(module, "USER32.dll", "GetForegroundWindow",
                    reinterpret_cast<void*>(&FakeForegroundWindow)));

  char16_t kelvoUsage[1024] = u"";
  char16_t tableUsage[1024] = u"";
  Check("Usage kelvo returns 1", usage(u"kelvo", kelvoUsage) == 1);
  Check("Usage ARRAYTABLE returns 1", usage(u"ARRAYTABLE", tableUsage) == 1);
  Check("Usage kelvo copies the 327-character usage text", Text(kelvoUsage).size() == 327);
  Check("Usage arraytable copies the 419-character usage text, first line ending in CR LF",
        Text(tableUsage).size() == 419 &&
            Text(tableUsage).find(u"\r\n") == Text(tableUsage).find(u'\n') - 1);
  char16_t untouched[1024] = u"untouched";
  Check("Usage @entitize returns 0", usage(u"@entitize", untouched) == 0);
  CheckText("Usage @entitize leaves the buffer alone", untouched, u"untouched");
  Check("Usage with a null topic or buffer returns 0",
        usage(nullptr, untouched) == 0 && usage(u"kelvo", nullptr) == 0);

  struct Row {
    const char16_t* topic;
    int result;
    std::u16string text;  // empty: no box
  } rows[] = {
      {u"kelvo", 1, Joined(u"KELVO:  Display or change plugin options.\n\n", kelvoUsage)},
      {u"Kelvo", 1, Joined(u"KELVO:  Display or change plugin options.\n\n", kelvoUsage)},
      {u"ARRAYTABLE", 1,
       Joined(u"ARRAYTABLE:  Dump a 2-dimensional array to stdout as an HTML table.\n\n", tableUsage)},
      {u"@tag", 1, u"@TAG[tag]\n\nReturns an HTML tag.\n\n  C:\\> echo %@tag[p]  \n  <p>\n\n  C:\\>"},
      {u"@HCOMMENT", 1,
       u"@HCOMMENT[string]\n\nReturns string in an HTML comment.\n\n  C:\\> echo %@hcomment[Hello, "
       u"world.]  \n  <!-- Hello, world. -->\n\n  C:\\>"},
      {u"entag", 0, u""},
      {u"", 0, u""},
      {nullptr, 0, u""},
  };
  for (const Row& row : rows) {
    std::string name = "Help ";
    name += row.topic != nullptr ? Shown(row.topic) : "(null)";
    box = Box();
    int result = help(row.topic);
    Check(name + " returns " + std::to_string(row.result), result == row.result,
          "got " + std::to_string(result));
    if (row.text.empty()) {
      Check(name + " shows no box", box.count == 0);
      continue;
    }
    Check(name + " shows one box", box.count == 1, "got " + std::to_string(box.count));
    Check(name + ": owner is the foreground window", box.owner == FOREGROUND);
    CheckText(name + ": caption", box.caption, u"Kelvo Plugin Help");
    Check(name + ": an OK button only (MB_OK)", box.type == MB_OK,
          "got " + std::to_string(box.type));
    CheckText(name + ": text", box.text, row.text);
  }
}

void CheckEnvironment(TextEntry hexenc) {
  // "!" and then letters, which are never kept.
  std::u16string longValue1023(1023, u'a');
  longValue1023[0] = u'!';
  std::u16string longValue1024(1024, u'a');
  longValue1024[0] = u'!';
  struct Row {
    const char* name;
    const char16_t* keep;  // null: unset
    std::u16string input, output;
  } rows[] = {
      {"unset: the default keep-set", nullptr, u"This is a test.",
       u"This\uFF0520is\uFF0520a\uFF0520test."},
      {"empty: the default keep-set", u"", u"a!.", u"a\uFF0521."},
      {"only usable characters are kept", u" %ab!", u"a b!.c%", u"a\uFF0520b!\uFF052Ec\uFF0525"},
      {"no usable character: an empty keep-set", u"abc", u".", u"\uFF052E"},
      {"a character above U+00FF", u"\u2014", u"x\u2014y\u20AC", u"x\u2014y\uFF05E2\uFF0582\uFF05AC"},
      {"a character above U+FFFF", u"\U0001F600", u"\U0001F600\U0001F601",
       u"\U0001F600\uFF05F0\uFF059F\uFF0598\uFF0581"},
      {"1023 characters fit the read buffer", longValue1023.c_str(), u"a b!.",
       u"a\uFF0520b!\uFF052E"},
      {"1024 characters do not fit: the default keep-set", longValue1024.c_str(), u"a b!.",
       u"a\uFF0520b\uFF0521."},
  };
  for (const Row& row : rows) {
    SetEnvironmentVariableW(L"HEXENC_KEEP", row.keep != nullptr ? Wide(row.keep) : nullptr);
    char16_t buffer[16384];
    std::memcpy(buffer, row.input.c_str(), (row.input.size() + 1) * sizeof(char16_t));
    int result = hexenc(buffer);
    Check(std::string("HEXENC_KEEP ") + row.name + ": @HEXENC returns 0", result == 0);
    CheckText(std::string("HEXENC_KEEP ") + row.name, Text(buffer), row.output);
  }
  SetEnvironmentVariableW(L"HEXENC_KEEP", nullptr);
}

// Called after the last FreeLibrary of the module.
void CheckReload(const std::u16string& path) {
  Check("FreeLibrary unloads the module", GetModuleHandleW(Wide(path)) == nullptr);
  HMODULE module = LoadLibraryW(Wide(path));
  Check("the module loads again (the load entry reports success)", module != nullptr);
  if (module != nullptr) FreeLibrary(module);
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 2) {
    std::fprintf(stderr, "usage: dll_probe PATH\\kelvo.dll\n");
    return 2;
  }
  std::u16string path = Text(arguments[1]);
  LocalFree(arguments);

  HMODULE module = LoadLibraryW(Wide(path));
  Check("LoadLibraryW loads the module (the load entry reports success)", module != nullptr,
        "error " + std::to_string(GetLastError()));
  if (module == nullptr) {
    std::printf("%d passed, %d failed\n", passed, failed);
    return 1;
  }
  auto getInfo = Find<InfoEntry>(module, "GetPluginInfo");
  auto initialize = Find<InitializeEntry>(module, "InitializePlugin");
  auto shutdown = Find<ShutdownEntry>(module, "ShutdownPlugin");
  auto help = Find<HelpEntry>(module, "Help");
  auto usage = Find<UsageEntry>(module, "Usage");
  auto kelvo = Find<TextEntry>(module, "kelvo");
  auto hexenc = Find<TextEntry>(module, "f_hexenc");
  Check("an undecorated name only: no GetPluginInfo@0",
        GetProcAddress(module, "GetPluginInfo@0") == nullptr &&
            GetProcAddress(module, "_GetPluginInfo@0") == nullptr);

  if (getInfo && initialize && shutdown && help && usage && kelvo && hexenc) {
    CheckIdentity(getInfo);
    CheckOutputHandles(initialize, kelvo);
    CheckHelp(module, help, usage);
    CheckEnvironment(hexenc);
    Check("ShutdownPlugin returns 0", shutdown(0) == 0);
  }
  FreeLibrary(module);
  CheckReload(path);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}
