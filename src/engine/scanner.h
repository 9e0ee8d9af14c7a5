// The scanner: cuts the text of one run into tokens, one per request. Identifiers are resolved
// in the store as they are scanned (a new name becomes an integer variable of value 0), literals
// become values, and bytes that begin no token are echoed to standard output.
#pragma once

#include <cstdint>

#include "values.h"

// The value of the last token that carries one (literals and variables).
extern SemanticValue token_value;
// first_line counts lines; first_column counts semicolons since the start of the line. The run
// entry sets them to 1 and 0 before each run.
extern SourceLocation token_location;

// Scans a private copy of `text` (up to its first NUL) from now on. False when memory runs out;
// the message is on standard error and there is nothing to scan.
bool scanner_open_text(const char* text);

// The next token's code, or 0 at the end of the text (and on every request after it).
int next_token();

// The line of the token returned before the most recent one; 0 when there is none.
int32_t line_before_last_token();

// Frees the copy made by scanner_open_text.
void scanner_close_text();

// Decimal text to integer, wrapping modulo 2^32: spaces are skipped; then a leading "0x" means
// hexadecimal, any other leading "0" not followed by a digit gives 0, and the rest reads as
// atoi does (blanks, a sign, digits). A null text gives 0.
int32_t text_to_int(const char* text);

// Hexadecimal text to integer, wrapping modulo 2^32: white space, a sign, an optional "0x" or
// "0X", hex digits. No digits, or a null text, give 0.
int32_t hex_text_to_int(const char* text);
