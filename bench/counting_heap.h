// The heap bytes in use, counted by malloc, calloc, realloc and free of this program, which
// replace the C library's for every library the program loads: regscript and Lua alike. Only
// regscript_memory links it, so that the timed programs call the C library's heap directly.
#pragma once

#include <cstdint>

// What the live blocks hold, malloc's rounding included (malloc_usable_size).
int64_t heap_bytes_in_use();

// Starts a new peak at the bytes in use now.
void start_heap_peak();
int64_t heap_peak();
