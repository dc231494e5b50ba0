// Interactive input on POSIX systems: at a terminal, lines are read with
// libedit (line editing, history kept in ~/.kelvo_history); otherwise
// they are read as plain lines.
//
// Ctrl+C at the prompt drops the line being typed and shows a new
// prompt; Ctrl+D on an empty line ends the session.
#if !defined(_WIN32)

#include <histedit.h>
#include <signal.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell.h"
#include "standin.h"
#include "utf_convert.h"

namespace shell {
namespace {

constexpr int HISTORY_SIZE = 1000;

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

const char* Prompt(EditLine*) { return "kelvo> "; }

std::string HistoryPath() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] != 0 ? std::string(home) + "/.kelvo_history" : std::string();
}

// Ctrl+C while a line is typed interrupts the read (no SA_RESTART), so
// that el_gets returns and the line can be dropped. While a command runs
// the signal ends the shell, as it would end any program.
void CatchInterrupts(bool catching) {
  struct sigaction action = {};
  action.sa_handler = catching ? OnInterrupt : SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

void RunEditedInput(Session& session) {
  // The terminal's character set, so that characters beyond ASCII are
  // edited as characters rather than bytes.
  std::setlocale(LC_CTYPE, "");
  // The prompt and the line being edited go to the terminal, also when
  // the output itself goes to a file or a pipe.
  std::FILE* screen = isatty(1) ? stdout : stderr;
  EditLine* editor = el_init("kelvo", stdin, screen, stderr);
  History* past = history_init();
  if (editor == nullptr || past == nullptr) {
    if (editor != nullptr) el_end(editor);
    if (past != nullptr) history_end(past);
    RunPlainInput(session, true);
    return;
  }
  HistEvent event;
  history(past, &event, H_SETSIZE, HISTORY_SIZE);
  history(past, &event, H_SETUNIQUE, 1);
  std::string historyPath = HistoryPath();
  if (!historyPath.empty()) history(past, &event, H_LOAD, historyPath.c_str());
  el_set(editor, EL_EDITOR, "emacs");
  el_set(editor, EL_PROMPT, Prompt);
  el_set(editor, EL_HIST, history, past);
  el_source(editor, nullptr);  // the user's ~/.editrc

  while (!session.exiting) {
    interrupted = 0;
    CatchInterrupts(true);
    int count = 0;
    const char* text = el_gets(editor, &count);
    CatchInterrupts(false);
    if (text == nullptr && interrupted) {
      // The typed line is dropped; a new prompt starts on a fresh line.
      el_reset(editor);
      std::fputs("^C\n", screen);
      std::fflush(screen);
      continue;
    }
    if (text == nullptr || count <= 0) {  // Ctrl+D on an empty line, or the end of input
      std::fputs("\n", screen);
      std::fflush(screen);
      break;
    }
    std::string bytes(text, size_t(count));
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
    if (bytes.find_first_not_of(" \t") != std::string::npos) {
      history(past, &event, H_ENTER, bytes.c_str());
      if (!historyPath.empty()) history(past, &event, H_SAVE, historyPath.c_str());
    }
    RunInputLine(session, bytes);
    StandInFlush();
  }
  el_end(editor);
  history_end(past);
}

}  // namespace

void RunInteractive(Session& session) {
  if (StdinIsTerminal() && (isatty(1) || isatty(2))) {
    RunEditedInput(session);
  } else {
    RunPlainInput(session, false);
  }
}

}  // namespace shell

#endif
