#include <editline/readline.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "line_input.h"

namespace {

constexpr int history_entries = 1000;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void note_interrupt(int) { interrupted = 1; }

// Without SA_RESTART, so that Ctrl-C ends the editor's wait for a key.
struct sigaction interrupt_noting() {
    struct sigaction action {};
    action.sa_handler = note_interrupt;
    sigemptyset(&action.sa_mask);
    return action;
}

struct sigaction interrupt_before;

// The history file, or "" for none. Only a regular file, or none yet, is read and written: a
// symbolic link would have the history written through it into whatever file it names.
std::string history_file() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    const std::string file = std::string(home) + "/.regscript_history";
    struct stat status {};
    if (lstat(file.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return file;
    std::fprintf(stderr, "regscript: %s is not a regular file; the history is neither read nor saved\n",
                 file.c_str());
    return "";
}

}  // namespace

bool standard_input_is_terminal() { return isatty(STDIN_FILENO) == 1; }

LineInput::LineInput() : terminal_(standard_input_is_terminal()), history_file_(terminal_ ? history_file() : "") {
    if (!terminal_) return;
    rl_readline_name = "regscript";
    using_history();
    stifle_history(history_entries);
    if (!history_file_.empty()) read_history(history_file_.c_str());
    const struct sigaction action = interrupt_noting();
    sigaction(SIGINT, &action, &interrupt_before);
}

LineInput::~LineInput() {
    if (!terminal_) return;
    sigaction(SIGINT, &interrupt_before, nullptr);
    if (!history_file_.empty()) write_history(history_file_.c_str());
}

InputLine LineInput::read(const char* prompt) {
    if (!terminal_) {
        std::string line;
        if (!std::getline(std::cin, line)) return {InputLine::Kind::end, ""};
        return {InputLine::Kind::text, line};
    }
    std::fflush(stdout);
    interrupted = 0;
    const std::unique_ptr<char, void (*)(void*)> line(readline(prompt), std::free);
    if (line) return {InputLine::Kind::text, line.get()};
    return {interrupted ? InputLine::Kind::cancelled : InputLine::Kind::end, ""};
}

void LineInput::remember(const std::string& line) {
    if (terminal_) add_history(line.c_str());
}
