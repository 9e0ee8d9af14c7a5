// Everything the engine writes: statement trace lines, parser messages and echoed script bytes,
// all to standard output.
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
// A script byte that begins no token.
void echo_byte(char byte);
