// Everything the engine writes: statement trace lines, parser messages and echoed script bytes,
// all to standard output or to the host's output function. Only runs write.
#pragma once

#include <cstdint>

#include "regscript_ext.h"

// Whether anything is written at all; on from the start. Error printing to standard error is not
// affected.
void set_output_enabled(bool enabled);
bool output_enabled();

// Where the output goes instead of standard output; a null function restores standard output.
void set_output_function(regscript_output_function function, void* context);

// A run's output to standard output waits in the library until the run ends, a host function is
// called or this is called; then it goes to the C library's stdout, in the order written.
void flush_output();

void print_integer_statement(int32_t value);
void print_double_statement(double value, int32_t truncated);
// A missing text prints as "(null)".
void print_string_statement(const char* text);
void print_parser_error(const char* message);
// A script byte that begins no token.
void echo_byte(char byte);
