// --expand, --expand-file and :expand: a text with its [name] references replaced.
#pragma once

#include <string>

// Prints `text` with every [name] replaced by the variable's current value, exactly as the
// library's my_parse gives it.
void print_expansion(const std::string& text);
