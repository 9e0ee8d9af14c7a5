// The string operations of the language. Every string they make is a scratch string, freed when
// the statement ends. A string may be missing (no text at all, as in a string variable the host
// left without text); each operation says how it treats one.
#pragma once

#include <cstdint>

struct Variable;

// A scratch copy of the variable's text; missing when it holds none.
char* string_variable_value(const Variable* variable);

// s followed by t; a missing operand counts as empty, and the result is never missing.
char* concatenate_strings(const char* s, const char* t);

// The bytes of s at positions start to start + length - 1, those of them that exist: the
// `length` bytes from `start`, fewer where s ends first, none for a start at or past the end or
// a length below 1, and only those from position 0 on for a negative start. Missing s: missing.
char* cut_string(const char* s, int32_t start, int32_t length);

// s used as a template for one number (see format.h); missing s: missing.
char* format_integer_string(const char* s, int32_t value);
char* format_double_string(const char* s, double value);

// The number of bytes of s; 0 when missing, and 2^31 - 1 for any longer text.
int32_t string_length(const char* s);

// 1 when s and t hold the same bytes; a missing string counts as empty.
int32_t strings_equal(const char* s, const char* t);

// The position of the first t in s at or after `start`, counted from the start of s; -1 when
// there is none. A start equal to the length of s gives 0, and so does a missing s. A negative
// start searches from 0; a start past the end, or a missing t, finds nothing, and so does a t
// found only beyond position 2^31 - 1.
int32_t find_string(const char* s, const char* t, int32_t start);
