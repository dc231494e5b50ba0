// The @HCOMMENT text model: searches the text for each sequence on its
// own, rather than reading it once as the plugin does.
#include "models.h"

#include <string>
#include <string_view>

#include "kelvo/markup.h"

namespace {

const char16_t* const Breaking[] = {u"-->", u"--!>", u"<!--"};
constexpr size_t SEQUENCES = sizeof Breaking / sizeof Breaking[0];

}  // namespace

std::u16string ModelCommentText(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) c = FoldFullwidth(c);

  // Where a blank goes: between the two dashes of the sequence that ends
  // first. No sequence can hold that blank, so the next one to break
  // starts at the second of those dashes or later.
  std::u16string out;
  size_t copied = 0;
  size_t from = 0;
  size_t next[SEQUENCES];  // each sequence's first occurrence at or after `from`
  for (size_t k = 0; k < SEQUENCES; ++k) next[k] = folded.find(Breaking[k]);
  for (;;) {
    size_t endOfFirst = std::u16string::npos;
    size_t secondDash = 0;
    for (size_t k = 0; k < SEQUENCES; ++k) {
      if (next[k] != std::u16string::npos && next[k] < from) next[k] = folded.find(Breaking[k], from);
      const std::u16string_view sequence = Breaking[k];
      if (next[k] != std::u16string::npos && next[k] + sequence.size() - 1 < endOfFirst) {
        endOfFirst = next[k] + sequence.size() - 1;
        secondDash = next[k] + sequence.find(u"--") + 1;
      }
    }
    if (endOfFirst == std::u16string::npos) break;
    out.append(text, copied, secondDash - copied);
    out += u' ';
    copied = secondDash;
    from = secondDash;
  }
  out.append(text, copied, std::u16string::npos);
  return out;
}
