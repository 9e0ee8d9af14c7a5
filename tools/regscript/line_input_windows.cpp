#include <io.h>

#include <cstdio>
#include <iostream>

#include "line_input.h"

bool standard_input_is_terminal() { return _isatty(_fileno(stdin)) != 0; }

LineInput::LineInput() : terminal_(standard_input_is_terminal()) {}

LineInput::~LineInput() = default;

// The console edits the line and keeps its own history (F7, the up arrow).
InputLine LineInput::read(const char* prompt) {
    if (terminal_) {
        std::fputs(prompt, stdout);
        std::fflush(stdout);
    }
    std::string line;
    if (!std::getline(std::cin, line)) return {InputLine::Kind::end, ""};
    if (line.ends_with('\r')) line.pop_back();
    return {InputLine::Kind::text, line};
}

void LineInput::remember(const std::string&) {}
