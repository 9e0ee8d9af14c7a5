// Scratch strings: the temporary texts of one statement (literals, copies of variables, results
// of string operations). Each is recorded in one list and all are freed together once the
// statement is finished, so string values never need an owner of their own.
#pragma once

#include <cstddef>

struct ScratchString {
    char* text;
    ScratchString* next;
};

// A new recorded buffer of n bytes, contents undefined; null when memory runs out.
char* scratch_alloc(std::size_t n);

// A new recorded text of n bytes plus a NUL, filled from `text` as strncpy fills (NUL after the
// end of `text`); null when memory runs out.
char* scratch_copy(const char* text, std::size_t n);

// A recorded copy of `text`; null for a null text.
char* scratch_dup(const char* text);

// Frees every recorded text.
void scratch_free_all();

// True when no scratch text is recorded.
bool scratch_empty();
