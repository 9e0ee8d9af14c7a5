// The scanner: cuts the text of one run into tokens, one per request. Identifiers are resolved
// in the store as they are scanned (a new name becomes an integer variable of value 0), literals
// become values, and bytes that begin no token are echoed to standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "values.h"

// Where a token stands in the text: its line, counted from 1 by the newlines between tokens, the
// byte column of its first byte within that line, from 1, and its text.
struct TokenPlace {
    int32_t line;  // of the text, every line end counted: for messages
    int32_t column;
    std::string_view text;
    int32_t token;          // its code
    int32_t counted_line;   // not counting line ends inside strings: the run's error line
};

// Whether a script can write `name` as the name of a variable or function: letters or
// underscores, then digits, and no keyword.
bool is_script_name(std::string_view name);

// The column of a byte with `bytes_before` bytes before it on its line: from 1, and like the
// line, held at INT32_MAX rather than wrapping on a line of 2 GiB or more.
int32_t column_number(std::size_t bytes_before);

// Scans a private copy of `text` (up to its first NUL) from now on, from line 1. False when
// memory runs out; there is nothing to scan then.
bool scanner_open_text(const char* text);

// The next token's code, its value in `value` for literals and names; 0 at the end of the text
// (and on every request after it), and once memory has run out.
int next_token(SemanticValue* value);

// The last token returned, and the one before it; line 0 where there is none.
TokenPlace last_token();
TokenPlace token_before_last();

// The scanner remembers this many of the last tokens it returned, for the diagnostics.
constexpr int recent_token_count = 16;
// The token returned `back` requests ago (0: the last one); line 0 where there is none.
TokenPlace recent_token(int back);

// The line the scanner has reached; lines beyond 2^31 - 1 count as the last one.
int32_t scanner_line();

// Frees the copy made by scanner_open_text.
void scanner_close_text();
