// The store as text, for comparing what runs left behind.
#pragma once

#include <string>

// The variables of the store other than the built-in functions, newest first, as
// "int x=5, double d=2.5, string s=\"abc\"" (a string without text shows as `string s=none`);
// doubles as "%g" writes them, or to their last bit.
std::string describe_variables(bool exact_doubles = false);
