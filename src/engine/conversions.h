// Reading decimal text as a double, with the same result on every platform.
//
// The C library's strtod and atof are not used: they follow the C locale (a decimal comma), accept
// hexadecimal, "inf" and "nan" forms, and differ between C libraries in how they treat a "d"
// exponent. These functions accept plain decimal text only and round it correctly to the nearest
// double, whatever the locale or platform.
#pragma once

#include <string_view>

// The value of `digits`, a text of the form  D+ [ "." D+ ] [ ("e"|"E") ["+"|"-"] D+ ], rounded to
// the nearest double. Used for the double literals of the script language.
// Too large for a double gives +infinity, too small gives 0.0, as the C library does.
// The function never fails: any other text is read as far as it forms a number the way
// text_to_double reads one after its sign (so "1.5x" gives 1.5 and "abc" gives 0.0).
double decimal_to_double(std::string_view digits);

// The script conversion of text to a double (strtodouble):
//   - leading white space (space, \t, \n, \v, \f, \r) is skipped;
//   - then the longest prefix of this form is read: an optional "+" or "-"; decimal digits with an
//     optional decimal point "." (at least one digit in all, before or after the point); then
//     optionally an exponent: "e", "E", "d" or "D", an optional sign and one or more digits. An
//     exponent marker that is not followed by digits does not belong to the number ("1e" gives 1.0);
//   - the prefix is rounded to the nearest double and its sign applied, so "-0" gives -0.0;
//   - too large gives +-infinity, too small +-0.0.
// Without such a prefix, or for a null text, the result is 0.0. Hexadecimal, infinity and
// not-a-number forms are not numbers here: "0x10" gives 0.0 (only the "0" is read), "inf" 0.0.
double text_to_double(const char* text);
