// The process environment on Windows, where the plugin reads it with
// GetEnvironmentVariableW. Each change there costs time in proportion to
// the whole environment, so a `set` only notes the change, and the notes
// are applied before the plugin is called: one by one when they are few,
// else as one new environment block.
#if defined(_WIN32)

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

// Changes not yet applied, keyed by the upper-cased name: the name as
// set and the value (empty: removed).
std::map<std::u16string, std::pair<std::u16string, std::u16string>> pending;

// Up to this many changes are applied one at a time.
constexpr size_t FEW_CHANGES = 32;

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The current block with the pending changes applied. Entries whose name
// starts with '=' (the current directory of each drive) are kept as they
// are.
std::u16string RebuiltBlock() {
  std::u16string block;
  wchar_t* strings = GetEnvironmentStringsW();
  if (strings != nullptr) {
    for (const char16_t* entry = reinterpret_cast<const char16_t*>(strings); *entry != 0;) {
      std::u16string text(entry);
      entry += text.size() + 1;
      size_t equals = text.find(u'=', 1);
      if (equals != std::u16string::npos && text[0] != u'=' &&
          pending.count(UpperKey(text.substr(0, equals))) != 0) {
        continue;  // replaced or removed below
      }
      block += text;
      block += u'\0';
    }
    FreeEnvironmentStringsW(strings);
  }
  for (const auto& change : pending) {
    if (change.second.second.empty()) continue;
    block += change.second.first + u'=' + change.second.second;
    block += u'\0';
  }
  block += u'\0';
  return block;
}

}  // namespace

void PlatformPublishVariable(const std::u16string& name, const std::u16string& value) {
  if (name.empty() || name.find(u'=') != std::u16string::npos) return;
  pending[UpperKey(name)] = std::make_pair(name, value);
}

void PlatformSyncEnvironment() {
  if (pending.empty()) return;
  if (pending.size() <= FEW_CHANGES) {
    for (const auto& change : pending) {
      const std::u16string& value = change.second.second;
      SetEnvironmentVariableW(Wide(change.second.first), value.empty() ? nullptr : Wide(value));
    }
  } else {
    std::u16string block = RebuiltBlock();
    SetEnvironmentStringsW(reinterpret_cast<wchar_t*>(&block[0]));
  }
  pending.clear();
}

const std::u16string* PlatformGetEnvironment(const FoldedName& key) {
  static std::u16string value;  // the last answer
  const std::u16string name(key.text);
  if (name.empty() || name.find(u'=') != std::u16string::npos) return nullptr;
  auto change = pending.find(UpperKey(name));
  if (change != pending.end()) return change->second.second.empty() ? nullptr : &change->second.second;
  DWORD needed = GetEnvironmentVariableW(Wide(name), nullptr, 0);
  if (needed == 0) return nullptr;
  std::u16string buffer(needed, u'\0');
  DWORD got = GetEnvironmentVariableW(Wide(name), reinterpret_cast<wchar_t*>(&buffer[0]), needed);
  if (got >= needed) return nullptr;
  buffer.resize(got);
  value = buffer;
  return &value;
}

bool PlatformSetEnvironment(const char* name, const char* value) {
  const std::u16string wideName = utf::To16(name);
  const std::u16string wideValue = utf::To16(value);
  return SetEnvironmentVariableW(Wide(wideName), value == nullptr ? nullptr : Wide(wideValue)) != 0;
}

// Read where it stands on every lookup: nothing to bring up to date.
void PlatformRereadEnvironment() {}

}  // namespace takecmd

#endif
