// Finished statements: each prints its trace line, sets the run result and frees the statement's
// temporary strings and deleted variables.
#pragma once

#include <cstdint>

// The result of the last integer, double or string statement; it carries over between runs.
extern int32_t run_result;
// The line of the syntax error that ended the run, or 0; the run entry resets it.
extern int32_t recorded_error_line;

void finish_integer_statement(int32_t value);
// The run result is 1, or 0 for a value that is zero or NaN.
void finish_double_statement(double value);
void finish_string_statement(const char* text);
// Records the line; the parse ends with the statement.
void finish_error_statement(int32_t line);
// Frees what the statements of a run left behind when the run ends (deleted variables).
void finish_run();
