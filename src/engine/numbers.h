// The meaning of the integer and double operators. Integers are 32-bit two's complement and wrap;
// no operation traps: division by zero gives 0, shift counts are taken modulo 32.
#pragma once

#include <cstdint>

struct Variable;

// Truncates toward zero; keeps the low 32 bits of a result that fits in 64 bits; 0 for NaN,
// the infinities and everything beyond the 64-bit range.
int32_t double_to_int(double x);

int32_t int_add(int32_t a, int32_t b);
int32_t int_subtract(int32_t a, int32_t b);
int32_t int_multiply(int32_t a, int32_t b);
int32_t int_negate(int32_t a);
// Truncating division; 0 for a zero divisor; INT_MIN / -1 wraps to INT_MIN.
int32_t int_divide(int32_t a, int32_t b);
// Remainder with the sign of a; 0 for a zero divisor and for INT_MIN % -1.
int32_t int_modulo(int32_t a, int32_t b);
// pow of the two as doubles, through double_to_int.
int32_t int_power(int32_t a, int32_t b);
int32_t int_shift_left(int32_t a, int32_t count);
// Arithmetic shift: the sign bit is copied in.
int32_t int_shift_right(int32_t a, int32_t count);

// d / e; 0.0 when e is zero or NaN.
double double_divide(double d, double e);
// The integer remainder of double_to_int of both, as a double; 0.0 when e is zero or NaN, and
// when e converts to the integer 0.
double double_modulo(double d, double e);
double double_power(double d, double e);

// Comparisons of doubles. A pair with a NaN is equal, less and less-or-equal, and nothing else.
int32_t double_equal(double d, double e);
int32_t double_not_equal(double d, double e);
int32_t double_greater(double d, double e);
int32_t double_greater_equal(double d, double e);
int32_t double_less(double d, double e);
int32_t double_less_equal(double d, double e);

// A built-in math function applied to x.
double apply_function(const Variable* function, double x);

// Milliseconds since the system started, as a 32-bit count that wraps.
int32_t tick_count();
