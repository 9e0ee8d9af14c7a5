// Text to numbers: the conversions of the scanner's literals and of strtoint, hextoint and
// strtodouble, and the character classes they and the scanner share. No locale is consulted.
//
// The C library's strtod and atof are not used: they follow the C locale (a decimal comma), accept
// hexadecimal, "inf" and "nan" forms, and differ between C libraries in how they treat a "d"
// exponent. The double conversions accept plain decimal text only and round it correctly to the
// nearest double, whatever the locale or platform.
#pragma once

#include <cstdint>
#include <string_view>

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
inline bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Blanks separate tokens on a line.
inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
// White space as the C library's conversions skip it in the C locale.
inline bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Where the decimal digits that start the bytes from `text` to `end` end.
inline const char* skip_digits(const char* text, const char* end) {
    while (text < end && is_digit(*text)) ++text;
    return text;
}

// How far the number literal that begins at `start` (a digit) reaches, before `end`: a decimal or
// hexadecimal integer, or a double, which is digits with a fraction, an exponent or both. A "."
// or an exponent that is not followed by a digit is not part of the number.
struct NumberLiteral {
    const char* end;
    bool is_double;
};
NumberLiteral number_literal_at(const char* start, const char* end);

// Decimal text to integer, wrapping modulo 2^32: spaces are skipped; then a leading "0x" means
// hexadecimal, any other leading "0" not followed by a digit gives 0, and the rest reads as
// atoi does (blanks, a sign, digits). A null text gives 0.
int32_t text_to_int(const char* text);

// Hexadecimal text to integer, wrapping modulo 2^32: white space, a sign, an optional "0x" or
// "0X", hex digits. No digits, or a null text, give 0.
int32_t hex_text_to_int(const char* text);

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
