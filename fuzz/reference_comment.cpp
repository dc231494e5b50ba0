// The @HCOMMENT text model: searches the text for each sequence on its
// own, rather than reading it once as the plugin does.
#include <string>

#include "kelvo/markup.h"
#include "reference.h"

namespace {

const char16_t* const kBreaking[] = {u"-->", u"--!>", u"<!--"};
constexpr size_t kSequences = sizeof kBreaking / sizeof kBreaking[0];

}  // namespace

std::u16string ModelCommentText(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) c = FoldFullwidth(c);

  // Where a blank goes: before the last character of the sequence that
  // ends first. No sequence can hold that blank, so the next one to break
  // starts at that character or later.
  std::u16string out;
  size_t copied = 0;
  size_t from = 0;
  size_t next[kSequences];  // each sequence's first occurrence at or after `from`
  for (size_t k = 0; k < kSequences; ++k) next[k] = folded.find(kBreaking[k]);
  for (;;) {
    size_t lastOfFirst = std::u16string::npos;
    for (size_t k = 0; k < kSequences; ++k) {
      if (next[k] != std::u16string::npos && next[k] < from) next[k] = folded.find(kBreaking[k], from);
      const size_t length = std::char_traits<char16_t>::length(kBreaking[k]);
      if (next[k] != std::u16string::npos && next[k] + length - 1 < lastOfFirst) {
        lastOfFirst = next[k] + length - 1;
      }
    }
    if (lastOfFirst == std::u16string::npos) break;
    out.append(text, copied, lastOfFirst - copied);
    out += u' ';
    copied = lastOfFirst;
    from = lastOfFirst;
  }
  out.append(text, copied, std::u16string::npos);
  return out;
}
