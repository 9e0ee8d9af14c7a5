// --vars and :vars: every variable of the store with its kind and value.
#pragma once

#include <cstddef>

// Prints one line per variable, sorted by name: `int count = 3`, `double ratio = 0.5` (the
// shortest text that reads back as the same double), `string name = "World"` (quoted as a C
// string literal, so that no value can forge a line); how many there were.
std::size_t print_variables();
