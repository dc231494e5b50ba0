// The @HCOMMENT text model: search the whole text again after every
// blank, rather than reading it once as the plugin does.
#include <string>

#include "kelvo/markup.h"
#include "reference.h"

namespace {

const char16_t* const kBreaking[] = {u"-->", u"--!>", u"<!--"};

std::u16string Folded(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) c = FoldFullwidth(c);
  return folded;
}

}  // namespace

std::u16string ModelCommentText(const std::u16string& text) {
  std::u16string out = text;
  size_t from = 0;
  for (;;) {
    const std::u16string folded = Folded(out);
    size_t lastOfFirst = std::u16string::npos;  // the last character of the one that ends first
    for (const char16_t* sequence : kBreaking) {
      const std::u16string s = sequence;
      const size_t at = folded.find(s, from);
      if (at != std::u16string::npos && at + s.size() - 1 < lastOfFirst) lastOfFirst = at + s.size() - 1;
    }
    if (lastOfFirst == std::u16string::npos) return out;
    // No sequence can hold the blank, so none that ends later starts
    // before it.
    out.insert(lastOfFirst, 1, u' ');
    from = lastOfFirst + 1;
  }
}
