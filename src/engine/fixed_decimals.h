// A double in fixed notation with six decimals, as printf's "%f" writes it: its exact binary
// value rounded to six decimals, ties to even, with a sign for every negative value and for -0.
#pragma once

#include <cstddef>

// Room for the longest text: a sign, 309 integer digits, the point and six decimals.
constexpr std::size_t fixed_decimals_capacity = 320;

// Writes the text at `out`, which has room for fixed_decimals_capacity bytes, and returns its end.
char* write_fixed_six(char* out, double value);
