// How an HTML parser reads a comment: the comment states of the WHATWG
// tokenizer, run on text that starts with "<!--". Used to check that
// @HCOMMENT's result, as the console prints it, is one comment.
#pragma once

#include <string>

struct CommentReading {
  bool closed;          // a '>' ended the comment (not the end of the text)
  size_t end;           // where the text goes on after the comment
  bool parseError;      // nested comment, "--!>", or a comment closed abruptly
  std::u16string data;  // the comment's text as the parser keeps it
};

CommentReading ReadComment(const std::u16string& html);

// The text as the console prints it: the fullwidth forms U+FF01..U+FF5E
// as their ASCII counterparts.
std::u16string ConsoleForm(const std::u16string& text);

// True when wider is narrower with blanks (U+0020) put in, and nothing else.
bool OnlyBlanksAdded(const std::u16string& narrower, const std::u16string& wider);
