// Running one script through the library and reporting how it went, in the form compilers use:
// "FILE:LINE:COLUMN: error: MESSAGE", the source line, and a caret under the column.
#pragma once

#include <cstdint>
#include <string>

#include "inputs.h"

struct ScriptOutcome {
    int32_t result;
    int32_t outcome;  // REGSCRIPT_RUN_ of regscript_ext.h
    int32_t warnings;
};

// Runs the script in the current store; its trace lines go to standard output as the library
// prints them.
ScriptOutcome run_script(const Script& script);

// Reports the last run's warnings and error on standard error, and a script text that the
// library stops reading at a NUL byte. True when there was an error, or a warning and
// `warnings_are_errors`.
bool report_problems(const Script& script, const ScriptOutcome& outcome, bool warnings_are_errors);

// Runs the script in the current store, reporting every statement with a syntax error: after
// each, the text after its `;` runs. True when there was none (and, with `warnings_are_errors`,
// no warning).
bool check_script(const Script& script, bool warnings_are_errors);

// "result: N" on standard output.
void print_result(int32_t result);
