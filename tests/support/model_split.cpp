// The command-line splitter model: the splitting rules on a store that
// never runs out, each character remembering the slot it would take in
// the real one. Whether the real store overflows is decided afterwards,
// from the characters that are still there after the trimming.
#include "models.h"

#include <vector>

#include "arraytable/split_arguments.h"
#include "kelvo/charclass.h"

namespace {

struct StoredArgument {
  std::u16string text;
  std::vector<int> slots;
};

}  // namespace

SplitModel ModelSplitArguments(const std::u16string& text) {
  std::vector<StoredArgument> stored;
  StoredArgument current;
  bool quoted = false;
  int slot = 0;
  auto endArgument = [&]() {
    stored.push_back(current);
    current = StoredArgument();
    ++slot;  // the terminator behind it
  };
  for (char16_t c : text) {
    if (c == 0) break;
    if (c == u'"') {
      quoted = !quoted;
      const bool shortOption = current.text.size() == 2 && current.text[0] == u'/' &&
                               IsAlphaChar(current.text[1]);
      if (!quoted || !shortOption) continue;
      c = u':';
    } else if (IsWhiteSpaceChar(c) && current.text.empty()) {
      continue;
    } else if (IsWhiteSpaceChar(c) && !quoted) {
      endArgument();
      continue;
    } else if (c == u'/' && !quoted && current.text.size() >= 2 && current.text[0] == u'/') {
      endArgument();
    }
    if (stored.size() >= size_t(MAX_ARGS)) continue;  // dropped without a word
    current.text += c;
    current.slots.push_back(slot++);
  }
  if (!current.text.empty()) stored.push_back(current);

  SplitModel model = {{}, false};
  for (StoredArgument& a : stored) {
    if (model.arguments.size() >= size_t(MAX_ARGS)) break;
    while (!a.text.empty() && IsWhiteSpaceChar(a.text.back())) {
      a.text.pop_back();
      a.slots.pop_back();
    }
    for (int s : a.slots) model.overflows = model.overflows || s >= MAX_ARG_LEN - 1;
    model.arguments.push_back(a.text);
  }
  return model;
}
