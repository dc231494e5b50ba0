// The kelvo shell's line runner and the stand-in host's expansion on any
// input: batch-file bytes in any encoding run line by line, or one text
// expanded by StandInExpand within any capacity.
//
// Input layout:
//   byte 0  bit 0: 0 runs the rest as a batch file, 1 expands it;
//           bit 1: Unicode output on
//   expansion: bytes 1-2 the capacity (1 to 16400, little-endian modulo),
//           then the text, decoded by DecodeUnits
//
// Invariants: no access outside any buffer (the sanitizers); every line
// ends with status 0 or 1 (or what exit gave); no redirection outlives
// its line; a batch file's text decodes to the length its encoding
// implies; an expansion stays within its capacity, ends with status 0 or
// 1, and agrees with the same expansion in a full buffer: equal when that
// one fits, status 1 when it does not.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "harness.h"
#include "kelvo/limits.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "options/plugin_options.h"
#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace {

constexpr int MAX_CAPACITY = 16400;

struct PluginFunctionName {
  const char* name;
  StandInFunction function;
};

const PluginFunctionName Functions[] = {
    {"entitize", f_entitize}, {"makeentity", f_makeentity}, {"entag", f_entag},
    {"deentitize", f_deentitize}, {"tag", f_tag}, {"hcomment", f_hcomment},
    {"doctype", f_doctype}, {"hexenc", f_hexenc}, {"hexdec", f_hexdec},
};

// The plugin as the shell sees it once loaded. ARRAYTABLE is left out: a
// table of two billion rows is a fine input but no quick one.
shell::Plugin& FuzzPlugin() {
  static shell::Plugin plugin;
  if (plugin.help == nullptr) {
    plugin.help = Help;
    plugin.usage = Usage;
    plugin.commands[u"kelvo"] = kelvo;
    plugin.topics.push_back(u"kelvo");
    for (const PluginFunctionName& f : Functions) {
      StandInRegisterFunction(f.name, f.function);
      plugin.topics.push_back(u"@" + utf::To16(f.name));
    }
  }
  return plugin;
}

// Values and arrays for the input to refer to, some near the limits.
void SetUpHost(bool unicode) {
  StandInReset();
  StandInCapture(1);
  PluginOptions = Options{};
  StandInSetUnicodeOutput(unicode ? 1 : 0);
  StandInSetVariable("x", "abc");
  StandInSetVariable("pct", "%x%@len[x]");
  StandInSetVariable("amp", "Fish & Chips's \"best\"");
  StandInSetVariable("long", std::string(8000, 'L').c_str());
  StandInSetVariable("full", std::string(MAX_TEXT_LEN, 'F').c_str());
  StandInDefineArray("grid", 2, 3, 3);
  StandInSetElement("grid", 1, 2, "a < b");
  StandInDefineArray("list", 1, 4, 0);
  StandInSetElement("list", 3, 0, "%pct");
  const char* arguments[] = {"case.btm", "one", "two words"};
  StandInSetBatchArguments(3, arguments);
}

void RunBatch(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::u16string text = shell::DecodeBatchText(bytes);
  bool bom8 = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  bool bom16 = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
  if (!bom8 && bom16) {
    FUZZ_CHECK(text.size() == (size - 1) / 2, "UTF-16 text: one unit per two bytes, and one for an odd byte");
  } else if (!bom8 && !utf::IsUtf8(bytes.data(), bytes.size())) {
    FUZZ_CHECK(text.size() == size, "Windows-1252 text: one unit per byte");
  }

  shell::Session session;
  session.plugin = &FuzzPlugin();
  size_t at = 0;
  std::u16string line;
  while (!session.exiting && shell::NextLine(text, at, line)) {
    size_t nul = line.find(u'\0');
    if (nul != std::u16string::npos) line.resize(nul);
    session.status = -1;
    shell::RunLine(session, line);
    if (!session.exiting && session.status != -1) {
      FUZZ_CHECK(session.status == 0 || session.status == 1, "a line ends with status 0 or 1");
    }
    size_t before = Captured(1).size();
    QPuts(u"\x01");
    FUZZ_CHECK(Captured(1).size() == before + 1, "no redirection outlives its line");
    StandInClearCaptured();
  }
}

// Expands the text within capacity units; returns the status and the
// result, checking that nothing was written past the buffer's terminator.
int ExpandWithin(const std::u16string& text, int capacity, std::u16string& result) {
  std::unique_ptr<char16_t[]> buffer(new char16_t[size_t(capacity)]);
  size_t length = text.copy(buffer.get(), size_t(capacity) - 1);
  buffer[length] = 0;
  int status = StandInExpand(buffer.get(), capacity);
  size_t end = 0;
  while (end < size_t(capacity) && buffer[end] != 0) ++end;
  FUZZ_CHECK(end < size_t(capacity), "the expansion is terminated inside its buffer");
  result.assign(buffer.get(), end);
  return status;
}

void RunExpansion(const uint8_t* data, size_t size) {
  if (size < 2) return;
  int capacity = 1 + int((data[0] | data[1] << 8) % MAX_CAPACITY);
  std::u16string text = DecodeUnits(data + 2, size - 2);
  size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  size_t limit = size_t(capacity) - 1 < size_t(MAX_TEXT_LEN) ? size_t(capacity) - 1 : size_t(MAX_TEXT_LEN);
  if (text.size() > limit) text.resize(limit);

  std::u16string small, full;
  int status = ExpandWithin(text, capacity, small);
  FUZZ_CHECK(status == 0 || status == 1, "an expansion ends with status 0 or 1");
  FUZZ_CHECK(small.size() <= limit, "an expansion is never longer than its limit");
  int fullStatus = ExpandWithin(text, MAX_ARG_LEN, full);
  if (fullStatus == 0 && full.size() <= limit) {
    FUZZ_CHECK(status == 0, "an expansion that fits succeeds");
    CheckSameText(full, small, "the expansion differs from the one in a full buffer", text);
  } else {
    FUZZ_CHECK(status == 1, "an expansion that fails or does not fit in a full buffer fails here too");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  SetUpHost((data[0] & 2) != 0);
  if ((data[0] & 1) == 0) {
    RunBatch(data + 1, size - 1);
  } else {
    RunExpansion(data + 1, size - 1);
  }
  return 0;
}
