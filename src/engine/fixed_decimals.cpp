#include "fixed_decimals.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

#if defined(__SIZEOF_INT128__)
using Wide = unsigned __int128;

constexpr uint64_t million = 1000000;

// A double below 2^52 in magnitude, the usual trace value, is m * 2^-k with k >= 1: its integer
// part and its fraction's six rounded decimals come from one 128-bit product, where the general
// conversion (std::to_chars) would take several hundred instructions. False for the rest.
bool write_small(char*& out, double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const int exponent_field = static_cast<int>(bits >> 52 & 0x7FF);
    if (exponent_field == 0x7FF || exponent_field >= 1075) return false;  // inf, nan, or 2^52 and more
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (exponent_field ? uint64_t{1} << 52 : 0);
    const int shift = (exponent_field ? 1075 - exponent_field : 1074);  // value = mantissa * 2^-shift
    uint64_t integer = 0, decimals = 0;
    // Below 2^-75 times 2^53 a value times a million is under a quarter: it rounds to zero.
    if (shift <= 75) {
        const uint64_t fraction = shift < 64 ? mantissa & ((uint64_t{1} << shift) - 1) : mantissa;
        integer = shift < 64 ? mantissa >> shift : 0;
        const Wide scaled = Wide{fraction} * million;
        decimals = static_cast<uint64_t>(scaled >> shift);
        const Wide rest = scaled & ((Wide{1} << shift) - 1), half = Wide{1} << (shift - 1);
        if (rest > half || (rest == half && (decimals & 1))) ++decimals;
        if (decimals == million) {
            decimals = 0;
            ++integer;
        }
    }
    if (bits >> 63) *out++ = '-';
    out = std::to_chars(out, out + 20, integer).ptr;
    *out++ = '.';
    for (int digit = 5; digit >= 0; --digit, decimals /= 10) out[digit] = static_cast<char>('0' + decimals % 10);
    out += 6;
    return true;
}
#else
bool write_small(char*&, double) { return false; }
#endif

}  // namespace

char* write_fixed_six(char* out, double value) {
    if (write_small(out, value)) return out;
    return std::to_chars(out, out + fixed_decimals_capacity, value, std::chars_format::fixed, 6).ptr;
}
