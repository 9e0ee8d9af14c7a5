// What every fuzz target shares: a library that is initialised once, with standard output (the
// trace lines) thrown away, and a store filled with variables of every kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Initialises the library once per process and silences standard output.
void start_library_once();

// Resets the store and adds an integer, a double, a string, an empty string and a string that
// holds no text, named i, d, s, e and m.
void fill_store();

// The bytes as a NUL-terminated text (it ends at the first NUL byte of the input, as any C text).
std::string as_text(const uint8_t* data, size_t size);
