// Host variables: user variables, internal variables with their defaults,
// and the batch parameters. The user variables are also the plugin's
// environment (see PlatformPublishVariable and StandInEnvironment).

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "standin.h"
#include "takecmd_internal.h"
#include "takecmd_name_table.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

// Each under its name as first set, for listings.
NameTable<std::u16string> variables;

std::u16string batchParameters[10];
std::u16string batchAllArguments;

std::string lastValue;  // backs StandInGetVariable's result
std::string listing;    // backs StandInVariableList's result

const char16_t* const INTERNAL_DEFAULTS[][2] = {
    {u"_4ver", u"33.0"}, {u"_cmdproc", u"TCC"}, {u"_transient", u"1"}, {u"_pipe", u"0"},
    {u"_batch", u"0"},   {u"_batchname", u""},  {u"_batchline", u"0"},
};

bool IsInternalName(std::u16string_view name) { return !name.empty() && name[0] == u'_'; }

void SetDefaults() {
  for (const auto& entry : INTERNAL_DEFAULTS) variables.FindOrAdd(Fold(entry[0])).value = entry[1];
}

struct DefaultsAtLoad {
  DefaultsAtLoad() { SetDefaults(); }
} defaultsAtLoad;

// Blocks above Latin-1 that hold white space, punctuation and symbols
// but no letters or digits.
const char16_t NOT_NAME_RANGES[][2] = {
    {0x1680, 0x1680},  // Ogham space mark
    {0x2000, 0x206F},  // general punctuation, spaces among them
    {0x20A0, 0x20CF},  // currency signs
    {0x2190, 0x2BFF},  // arrows, mathematical operators, technical signs, shapes, dingbats
    {0x3000, 0x303F},  // CJK symbols and punctuation
    {0xE000, 0xF8FF},  // private use
    {0xFF01, 0xFF0F},  // fullwidth punctuation (the plugin's markup characters among them)
    {0xFF1A, 0xFF20},
    {0xFF3B, 0xFF40},
    {0xFF5B, 0xFF65},
    {0xFFF0, 0xFFFF},  // specials
};

}  // namespace

// Names are letters and digits of any script, '_' and '$'. In Latin-1
// the letters and the superscript digits count, as in the plugin's
// character classes; above it, everything outside the blocks of
// punctuation and symbols above.
bool IsNameChar(char16_t c) {
  if (c < 0x80) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$';
  }
  if (c < 0x100) return (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0xB2 || c == 0xB3 || c == 0xB9;
  for (const auto& range : NOT_NAME_RANGES) {
    if (c >= range[0] && c <= range[1]) return false;
  }
  return true;
}

bool IsValidVariableName(const std::u16string& name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

std::u16string UpperKey(const std::u16string& name) {
  std::u16string key = name;
  for (char16_t& c : key) c = FoldUnit(c);
  return key;
}

bool LookupVariable(const std::u16string& name, std::u16string& value) {
  const FoldedName key = Fold(name);
  const std::u16string* found = variables.Find(key);
  if (found == nullptr && !IsInternalName(name)) found = PlatformGetEnvironment(key);
  if (found == nullptr) return false;
  value = *found;
  return true;
}

// Internal variables keep an empty value (so a test can make %_4ver
// expand to nothing); an ordinary variable set to nothing is removed.
void SetVariable(const std::u16string& name, const std::u16string& value) {
  if (name.empty()) return;
  if (!IsInternalName(name) && value.empty()) {
    UnsetVariable(name);
    return;
  }
  auto& entry = variables.FindOrAdd(Fold(name));
  entry.value = value;
  // The environment keeps the name as first set, so that a change
  // written in another case replaces it rather than adding a second one.
  if (!IsInternalName(name)) PlatformPublishVariable(entry.name, value);
}

void UnsetVariable(const std::u16string& name) {
  if (name.empty()) return;
  const FoldedName key = Fold(name);
  if (!IsInternalName(name)) {
    const auto* stored = variables.FindEntry(key);
    PlatformPublishVariable(stored == nullptr ? name : stored->name, std::u16string());
  }
  variables.Erase(key);
}

void ResetVariables() {
  for (const auto& entry : variables.Entries()) {
    if (!IsInternalName(entry.name)) PlatformPublishVariable(entry.name, std::u16string());
  }
  variables.Clear();
  SetDefaults();
  SetBatchArguments(0, nullptr);
  PlatformRereadEnvironment();
}

std::string VariableListing() {
  std::vector<const NameTable<std::u16string>::Entry*> sorted;
  for (const auto& entry : variables.Entries()) {
    if (!IsInternalName(entry.name)) sorted.push_back(&entry);
  }
  std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) { return FoldedLess(a->name, b->name); });
  std::string text;
  for (const auto* entry : sorted) {
    text += utf::To8(entry->name);
    text += '=';
    text += utf::To8(entry->value);
    text += '\n';
  }
  return text;
}

void SetBatchArguments(int count, const char* const* arguments) {
  for (std::u16string& p : batchParameters) p.clear();
  batchAllArguments.clear();
  if (arguments == nullptr || count < 0) return;
  for (int i = 0; i < count; ++i) {
    std::u16string argument = utf::To16(arguments[i]);
    if (i < 10) batchParameters[i] = argument;
    if (i >= 1) {
      if (i > 1) batchAllArguments += u' ';
      batchAllArguments += argument;
    }
  }
}

const std::u16string* FindEnvironment(std::u16string_view name) {
  const FoldedName key = Fold(name);
  if (!IsInternalName(name)) {
    if (const std::u16string* value = variables.Find(key)) return value;
  }
  return PlatformGetEnvironment(key);
}

bool LookupBatchParameter(char16_t which, std::u16string& value) {
  if (which == u'*') {
    value = batchAllArguments;
    return true;
  }
  if (which >= u'0' && which <= u'9') {
    value = batchParameters[which - u'0'];
    return true;
  }
  return false;
}

}  // namespace takecmd

using namespace takecmd;

extern "C" {

HOST_IMPORT void STANDIN_API StandInSetVariable(const char* name, const char* value) {
  if (name == nullptr) return;
  SetVariable(utf::To16(name), utf::To16(value));
}

HOST_IMPORT void STANDIN_API StandInUnsetVariable(const char* name) {
  if (name == nullptr) return;
  UnsetVariable(utf::To16(name));
}

HOST_IMPORT const char* STANDIN_API StandInGetVariable(const char* name) {
  if (name == nullptr) return nullptr;
  std::u16string value;
  if (!LookupVariable(utf::To16(name), value)) return nullptr;
  lastValue = utf::To8(value);
  return lastValue.c_str();
}

HOST_IMPORT int STANDIN_API StandInEnvironment(const char16_t* name, char16_t* buffer, int capacity) {
  if (name == nullptr || buffer == nullptr || capacity <= 0) return -1;
  buffer[0] = 0;
  const size_t length = BoundedLength(name, MAX_TEXT_LEN);
  const std::u16string* value = length == 0 ? nullptr : FindEnvironment(std::u16string_view(name, length));
  if (value == nullptr) return 0;
  if (value->size() > size_t(capacity) - 1) return -1;
  value->copy(buffer, value->size());
  buffer[value->size()] = 0;
  return int(value->size());
}

HOST_IMPORT int STANDIN_API StandInSetEnvironment(const char* name, const char* value) {
  if (name == nullptr || name[0] == 0 || std::strchr(name, '=') != nullptr) return -1;
  return PlatformSetEnvironment(name, value) ? 0 : -1;
}

HOST_IMPORT int STANDIN_API StandInValidName(const char16_t* name) {
  if (name == nullptr) return 0;
  const size_t length = BoundedLength(name, size_t(MAX_TEXT_LEN) + 1);
  return length <= size_t(MAX_TEXT_LEN) && IsValidVariableName(std::u16string(name, length)) ? 1 : 0;
}

HOST_IMPORT void STANDIN_API StandInSyncEnvironment(void) { PlatformSyncEnvironment(); }

HOST_IMPORT void STANDIN_API StandInSetBatchArguments(int count, const char* const* arguments) {
  SetBatchArguments(count, arguments);
}

HOST_IMPORT const char* STANDIN_API StandInVariableList(void) {
  listing = VariableListing();
  return listing.c_str();
}

}  // extern "C"
