#include "numbers.h"

#include <cmath>
#include <limits>

#include "platform.h"
#include "variable.h"

namespace {

// Integer arithmetic is done on unsigned values, where wrapping is defined; the result is read
// back as two's complement.
int32_t wrap(uint32_t bits) { return static_cast<int32_t>(bits); }

uint32_t bits_of(int32_t a) { return static_cast<uint32_t>(a); }

bool unordered(double d, double e) { return std::isnan(d) || std::isnan(e); }

// Zero or NaN: both make a divisor that divides nothing.
bool is_zero_divisor(double e) { return double_equal(e, 0.0) != 0; }

}  // namespace

int32_t double_to_int(double x) {
    // 2^63 is exact as a double; every double below it in magnitude truncates into int64_t.
    constexpr double limit = 9223372036854775808.0;
    if (!(x >= -limit && x < limit)) return 0;
    return wrap(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(x))));
}

int32_t int_add(int32_t a, int32_t b) { return wrap(bits_of(a) + bits_of(b)); }
int32_t int_subtract(int32_t a, int32_t b) { return wrap(bits_of(a) - bits_of(b)); }
int32_t int_multiply(int32_t a, int32_t b) { return wrap(bits_of(a) * bits_of(b)); }
int32_t int_negate(int32_t a) { return wrap(0u - bits_of(a)); }

int32_t int_divide(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (b == -1) return int_negate(a);
    return a / b;
}

int32_t int_modulo(int32_t a, int32_t b) {
    if (b == 0 || b == -1) return 0;
    return a % b;
}

int32_t int_power(int32_t a, int32_t b) {
    return double_to_int(std::pow(static_cast<double>(a), static_cast<double>(b)));
}

int32_t int_shift_left(int32_t a, int32_t count) { return wrap(bits_of(a) << (bits_of(count) & 31)); }

int32_t int_shift_right(int32_t a, int32_t count) { return a >> (bits_of(count) & 31); }

double double_divide(double d, double e) { return is_zero_divisor(e) ? 0.0 : d / e; }

double double_modulo(double d, double e) {
    if (is_zero_divisor(e)) return 0.0;
    return int_modulo(double_to_int(d), double_to_int(e));
}

double double_power(double d, double e) { return std::pow(d, e); }

int32_t double_equal(double d, double e) { return unordered(d, e) || d == e; }
int32_t double_not_equal(double d, double e) { return !unordered(d, e) && d != e; }
int32_t double_greater(double d, double e) { return !unordered(d, e) && d > e; }
int32_t double_greater_equal(double d, double e) { return !unordered(d, e) && d >= e; }
int32_t double_less(double d, double e) { return unordered(d, e) || d < e; }
int32_t double_less_equal(double d, double e) { return unordered(d, e) || d <= e; }

double apply_function(const Variable* function, double x) { return function->value.function(x); }

int32_t tick_count() { return wrap(platform_tick_count()); }
