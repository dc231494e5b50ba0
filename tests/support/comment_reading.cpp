#include "comment_reading.h"

namespace {

enum State {
  START, START_DASH, COMMENT, LESS_THAN, BANG, BANG_DASH, BANG_DASH_DASH, END_DASH, END, END_BANG
};

}  // namespace

CommentReading ReadComment(const std::u16string& html) {
  CommentReading r = {false, html.size(), false, u""};
  if (html.compare(0, 4, u"<!--") != 0) return r;
  State state = START;
  size_t i = 4;
  while (i <= html.size()) {
    const bool eof = i == html.size();
    const char16_t c = eof ? 0 : html[i];
    bool reconsume = false;
    auto close = [&](bool error) {
      r.closed = true;
      r.end = i + 1;
      r.parseError = r.parseError || error;
    };
    switch (state) {
      case START:
        if (c == u'-' && !eof) {
          state = START_DASH;
        } else if (c == u'>') {
          close(true);
        } else {
          state = COMMENT, reconsume = true;
        }
        break;
      case START_DASH:
        if (c == u'-' && !eof) {
          state = END;
        } else if (c == u'>') {
          close(true);
        } else if (!eof) {
          r.data += u'-';
          state = COMMENT, reconsume = true;
        }
        break;
      case COMMENT:
        if (eof) break;
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
        if (c == u'!' && !eof) {
          r.data += c;
          state = BANG;
        } else if (c == u'<' && !eof) {
          r.data += c;
        } else {
          state = COMMENT, reconsume = true;
        }
        break;
      case BANG:
        if (c == u'-' && !eof) {
          state = BANG_DASH;
        } else {
          state = COMMENT, reconsume = true;
        }
        break;
      case BANG_DASH:
        if (c == u'-' && !eof) {
          state = BANG_DASH_DASH;
        } else {
          state = END_DASH, reconsume = true;
        }
        break;
      case BANG_DASH_DASH:
        if (!eof && c != u'>') r.parseError = true;  // a nested comment
        state = END, reconsume = true;
        break;
      case END_DASH:
        if (eof) break;
        if (c == u'-') {
          state = END;
        } else {
          r.data += u'-';
          state = COMMENT, reconsume = true;
        }
        break;
      case END:
        if (eof) break;
        if (c == u'>') {
          close(false);
        } else if (c == u'!') {
          state = END_BANG;
        } else if (c == u'-') {
          r.data += u'-';
        } else {
          r.data += u"--";
          state = COMMENT, reconsume = true;
        }
        break;
      case END_BANG:
        if (eof) break;
        if (c == u'-') {
          r.data += u"--!";
          state = END_DASH;
        } else if (c == u'>') {
          close(true);
        } else {
          r.data += u"--!";
          state = COMMENT, reconsume = true;
        }
        break;
    }
    if (r.closed || (eof && !reconsume)) break;
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
