// Everything the engine writes: statement trace lines, parser messages and echoed script bytes
// to standard output, and the one message of a script that could not be copied to standard
// error.
#pragma once

#include <cstdint>

// Whether anything is written to standard output; on from the start. Error printing to standard
// error is not affected.
void set_output_enabled(bool enabled);

void print_integer_statement(int32_t value);
void print_double_statement(double value, int32_t truncated);
// A missing text prints as "(null)".
void print_string_statement(const char* text);
void print_parser_error(const char* message);
// Memory for the scanner's copy of a script ran out; the run executes nothing.
void print_script_copy_failure();
// A script byte that begins no token.
void echo_byte(char byte);
