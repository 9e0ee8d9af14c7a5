// format(template, number): a printf-style template from a script applied to one number.
//
// Templates come from untrusted scripts, so only this grammar is accepted:
//
//   template   = { literal | "%%" } [ conversion ] { literal | "%%" }
//   literal    = any byte other than "%"
//   "%%"       = one percent sign in the result
//   conversion = "%" { flag } [ width ] [ "." [ precision ] ] [ length ] letter
//   flag       = "-" | "+" | " " | "#" | "0"     (any number, in any order)
//   width      = a decimal digit other than "0", then any decimal digits
//   precision  = decimal digits; a "." without digits means precision 0
//
//   for an integer:  length = "h" | "hh",  letter = "d" | "i" | "o" | "u" | "x" | "X" | "c"
//   for a double:    length = "l",         letter = "f" | "F" | "e" | "E" | "g" | "G" | "a" | "A"
//
// At most one conversion may appear; a template without one is its text with every "%%" turned
// into "%". Everything else is rejected, among others: "%s", "%n", "%p", "*" as a width or
// precision, a second conversion, a conversion for the other kind of number ("%f" with an
// integer, "%d" with a double), the length modifiers "l" and "ll" for an integer and "L", "j",
// "z", "t", "q" for either, the flags "'" and "I", an unknown letter, and a "%" at the very end.
//
// A REJECTED TEMPLATE IS THE RESULT ITSELF: its text is returned unchanged ("%%" is not collapsed),
// so a faulty template shows up in the script's output instead of failing silently.
//
// An accepted conversion is formatted as C's printf formats it, the integer taken as a C int
// (with "h" and "hh" narrowing it as printf does) and "%c" giving the byte value modulo 256; a
// "%c" of 0 ends the text there. Pieces that C leaves undefined have no effect: "#" with d, i, u
// and c; "0", a precision, "h" and "hh" with c. Widths and precisions above 2147483647, which
// printf refuses, count as 2147483647. The C library never sees the template's own text.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes `format` with its one conversion applied to `value` into `out`, which has room for
// `capacity` bytes. The text is cut so that it and its terminating NUL fit; a capacity of 0
// writes nothing, and at most 2^28 bytes are written whatever the capacity. A null format is an
// empty template. Returns the number of bytes written before the NUL.
std::size_t format_integer(const char* format, int32_t value, char* out, std::size_t capacity);
std::size_t format_double(const char* format, double value, char* out, std::size_t capacity);
