// The scanner: cuts the text of one run into tokens, one per request. Identifiers are resolved
// in the store as they are scanned (a new name becomes an integer variable of value 0), literals
// become values, and bytes that begin no token are echoed to standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script_warning.h"
#include "token_place.h"
#include "values.h"

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

// The token returned `back` requests ago (0: the last one); line 0 where there is none.
TokenPlace recent_token(int back);

// The line the scanner has reached; lines beyond 2^31 - 1 count as the last one.
int32_t scanner_line();

// Notes text of this run that runs but was probably not meant. The scanner keeps the run's
// warnings in the order they were met, the grammar's with its own; the run copies them out.
void scanner_note_warning(const ScriptWarning& warning);
// How many warnings were noted since scanner_open_text (more than warning_capacity when the room
// ran out), and the first of them.
int32_t scanner_warning_count();
const ScriptWarning* scanner_warnings();

// Frees the copy made by scanner_open_text.
void scanner_close_text();
