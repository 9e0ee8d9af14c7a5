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

// Scans `text`, `length` bytes and a NUL that stay unchanged until the text closes, where it is.
void scanner_open_text_in_place(const char* text, std::size_t length);

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

// Where a quiet scan finds the token of a name, instead of the store: the name's token code, with
// its value in `value`, or 0 for a name it does not know.
struct NameResolver {
    virtual int token_of(std::string_view name, SemanticValue* value) const = 0;

protected:
    ~NameResolver() = default;
};

// From now on, until the text closes or this is called with null, the scan changes nothing: names
// are resolved by `resolver` (no variable is made), and a string literal, a byte that would be
// printed or a name the resolver does not know ends the text instead (scanner_stopped_quietly).
// The line count and the recent tokens are kept as in a run.
void scanner_scan_quietly(const NameResolver* resolver);
bool scanner_stopped_quietly();

// How far the scan has come: bytes from the start of the text.
std::size_t scanner_offset();

// Scans quietly up to `offset`, a place where a token ends, and scans as a run from there: a run
// that goes on from there finds the scanner as the run of the whole text would have, also after
// a failed allocation. False when the quiet scan stopped or passed the offset; the text then
// ends.
bool scanner_skip_quietly(std::size_t offset, const NameResolver& resolver);

// Frees the copy made by scanner_open_text.
void scanner_close_text();
