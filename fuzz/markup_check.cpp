#include "markup_check.h"

#include "harness.h"
#include "kelvo/markup.h"

namespace {

const char16_t* const Names[] = {u"lt;",    u"gt;",    u"amp;",  u"brvbar;", u"uarr;",
                                  u"darr;",  u"rarr;",  u"larr;", u"euro;",   u"quot;",
                                  u"ldquo;", u"rdquo;", u"nbsp;", u"mdash;",  u"#39;",
                                  u"apos;",  u"rsquo;", u"lsquo;"};

bool NameAt(const std::u16string& text, size_t at) {
  for (const char16_t* name : Names)
    if (text.compare(at, std::char_traits<char16_t>::length(name), name) == 0) return true;
  return false;
}

}  // namespace

void CheckEntitizedMarkup(const std::u16string& input, const std::u16string& output) {
  const bool inputHasAmp = input.find(MARK_AMP) != std::u16string::npos;
  bool inTag = false;
  for (size_t i = 0; i < output.size(); ++i) {
    const char16_t c = output[i];
    if (c == MARK_LT) inTag = true;
    if (c == MARK_GT) inTag = false;
    if (inTag) continue;
    FUZZ_CHECK(c != u'&' && c != u'<' && c != u'>' && c != u'|',
               "ASCII markup outside a tag in entitized text");
    if (c == MARK_AMP && !inputHasAmp)
      FUZZ_CHECK(NameAt(output, i + 1), "an entity that is not whole in entitized text");
  }
}
