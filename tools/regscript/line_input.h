// Where the interactive session gets its lines: an editor with a history on a POSIX terminal,
// plain lines from a pipe, a file or a Windows console (which edits lines itself).
#pragma once

#include <string>

bool standard_input_is_terminal();

struct InputLine {
    enum class Kind { text, cancelled, end };  // cancelled: Ctrl-C while the line was typed
    Kind kind;
    std::string text;  // without its line end
};

// Reads standard input line by line. On a POSIX terminal the lines are edited, and the history
// is read from and written back to ~/.regscript_history ($HOME's), when that is a regular file or
// none yet; Ctrl-C there cancels the line instead of ending the program.
class LineInput {
public:
    LineInput();
    ~LineInput();
    LineInput(const LineInput&) = delete;
    LineInput& operator=(const LineInput&) = delete;

    // Shows `prompt` on a terminal only, so that piped input gets no prompts in its output.
    InputLine read(const char* prompt);
    // Remembers a line in the history, for the up arrow.
    void remember(const std::string& line);

private:
    bool terminal_;
    std::string history_file_;  // "" for none
};
