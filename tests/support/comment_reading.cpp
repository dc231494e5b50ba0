#include "comment_reading.h"

namespace {

enum State {
  START, START_DASH, COMMENT, LESS_THAN, BANG, BANG_DASH, BANG_DASH_DASH, END_DASH, END, END_BANG
};

}  // namespace

CommentReading ReadComment(const std::u16string& html) {
  CommentReading r = {false, html.size(), false, u""};
  if (html.compare(0, 4, u"<!--") != 0) return r;
  // The end of the text in any of these states leaves the comment open and
  // adds nothing to it, so the reading simply stops there.
  State state = START;
  size_t i = 4;
  while (i < html.size() && !r.closed) {
    const char16_t c = html[i];
    bool reconsume = false;
    auto close = [&](bool error) {
      r.closed = true;
      r.end = i + 1;
      r.parseError = r.parseError || error;
    };
    // Goes on in `next`, which reads c again.
    auto reconsumeIn = [&](State next) {
      state = next;
      reconsume = true;
    };
    // What was held back as a possible end turns out to be text.
    auto backToComment = [&](const char16_t* held) {
      r.data += held;
      reconsumeIn(COMMENT);
    };
    switch (state) {
      case START:
      case START_DASH:
        if (c == u'>') {
          close(true);
        } else if (c == u'-') {
          state = state == START ? START_DASH : END;
        } else {
          backToComment(state == START ? u"" : u"-");
        }
        break;
      case COMMENT:
        if (c == u'<') {
          r.data += c;
          state = LESS_THAN;
        } else if (c == u'-') {
          state = END_DASH;
        } else {
          r.data += c == 0 ? u'\uFFFD' : c;
        }
        break;
      case LESS_THAN:
        if (c == u'!' || c == u'<') {
          r.data += c;
          if (c == u'!') state = BANG;
        } else {
          reconsumeIn(COMMENT);
        }
        break;
      case BANG:
      case BANG_DASH:
        if (c == u'-') {
          state = state == BANG ? BANG_DASH : BANG_DASH_DASH;
        } else {
          reconsumeIn(state == BANG ? COMMENT : END_DASH);
        }
        break;
      case BANG_DASH_DASH:
        if (c != u'>') r.parseError = true;  // a nested comment
        reconsumeIn(END);
        break;
      case END_DASH:
        if (c == u'-') state = END;
        else backToComment(u"-");
        break;
      case END:
        if (c == u'>') close(false);
        else if (c == u'!') state = END_BANG;
        else if (c == u'-') r.data += u'-';
        else backToComment(u"--");
        break;
      case END_BANG:
        if (c == u'>') close(true);
        else if (c == u'-') r.data += u"--!", state = END_DASH;
        else backToComment(u"--!");
        break;
    }
    if (!reconsume) ++i;
  }
  return r;
}

std::u16string ConsoleForm(const std::u16string& text) {
  std::u16string out = text;
  for (char16_t& c : out) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = char16_t(c - 0xFEE0);
  }
  return out;
}

bool OnlyBlanksAdded(const std::u16string& narrower, const std::u16string& wider) {
  size_t n = 0;
  for (char16_t c : wider) {
    if (n < narrower.size() && narrower[n] == c) {
      ++n;
    } else if (c != u' ') {
      return false;
    }
  }
  return n == narrower.size();
}
