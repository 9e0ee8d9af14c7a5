// Running one script through the library and reporting how it went.
#pragma once

#include <cstdint>
#include <string>

#include "inputs.h"

enum class SyntaxError {
    none,
    at_line,     // run_parser named the line
    unfinished,  // the script ended inside a statement
    too_deep,    // the parser's stacks overflowed
};

struct ScriptOutcome {
    int32_t result;
    int32_t error_line;
    SyntaxError error;
};

// Runs the script in the current store; its trace lines go to standard output as the library
// prints them.
ScriptOutcome run_script(const Script& script);

// Reports the outcome's syntax error on standard error, e.g. "tour.regs:3: parse error", and a
// script text that the library stops reading at a NUL byte. True when there was a syntax error.
bool report_problems(const Script& script, const ScriptOutcome& outcome);

// "result: N" on standard output.
void print_result(int32_t result);
