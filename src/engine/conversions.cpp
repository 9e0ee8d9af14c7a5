#include "conversions.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

// The bytes a C "isspace" accepts in the C locale; named here so no locale is consulted.
constexpr std::string_view white_space = " \t\n\v\f\r";

bool is_exponent_marker(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Where the digits from `position` end.
std::size_t skip_digits(std::string_view text, std::size_t position) {
    return static_cast<std::size_t>(::skip_digits(text.data() + position, text.data() + text.size()) - text.data());
}

// An unsigned number at the start of a text: D* ["." D*] with at least one digit, then an
// optional exponent.
struct NumberText {
    std::string_view text;         // empty when the text does not start with a number
    std::size_t mantissa_length;   // where the exponent marker is, or text.size() without one
};

NumberText number_prefix(std::string_view text) {
    std::size_t end = skip_digits(text, 0);
    bool has_digits = end > 0;
    if (end < text.size() && text[end] == '.') {
        std::size_t fraction_end = skip_digits(text, end + 1);
        has_digits = has_digits || fraction_end > end + 1;
        end = fraction_end;
    }
    if (!has_digits) return {};

    const std::size_t mantissa_length = end;
    if (end < text.size() && is_exponent_marker(text[end])) {
        std::size_t exponent_start = end + 1;
        if (exponent_start < text.size() && (text[exponent_start] == '+' || text[exponent_start] == '-')) {
            ++exponent_start;
        }
        const std::size_t exponent_end = skip_digits(text, exponent_start);
        if (exponent_end > exponent_start) end = exponent_end;
    }
    return {text.substr(0, end), mantissa_length};
}

// The exponent's value, saturated far beyond any double's range so that no digit count overflows.
std::int64_t exponent_value(std::string_view exponent) {
    constexpr std::int64_t saturation = std::int64_t{1} << 50;
    const bool negative = exponent.front() == '-';
    if (exponent.front() == '+' || negative) exponent.remove_prefix(1);
    std::int64_t value = 0;
    for (char c : exponent) {
        value = value * 10 + (c - '0');
        if (value >= saturation) {
            value = saturation;
            break;
        }
    }
    return negative ? -value : value;
}

// Whether a number that no double can hold is too large rather than too small: its first
// significant digit stands for a power of ten >= 0. The number has a nonzero digit, as a zero
// mantissa always reads as 0.0.
bool overflows(const NumberText& number) {
    const std::string_view mantissa = number.text.substr(0, number.mantissa_length);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first_significant = mantissa.find_first_not_of("0.");
    // Both terms are bounded by the text's size, which is far below 2^62.
    const std::int64_t leading_power =
        first_significant < point ? static_cast<std::int64_t>(point - first_significant) - 1
                                  : -static_cast<std::int64_t>(first_significant - point);
    const std::string_view exponent = number.text.substr(number.mantissa_length);
    return leading_power + (exponent.empty() ? 0 : exponent_value(exponent.substr(1))) >= 0;
}

// A number of at most 15 significant digits (below 2^53) times a power of ten up to 10^22 in
// either direction is one exactly held integer multiplied or divided by another, which IEEE
// arithmetic rounds correctly in one step. Most literals are such numbers; false for any other,
// and for every number where doubles are computed with more precision and rounded twice (the
// x87 unit of 32-bit x86).
bool read_small_decimal(std::string_view text, double* value) {
    if (FLT_EVAL_METHOD != 0) return false;
    constexpr double powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int max_power = 22;
    uint64_t mantissa = 0;
    int significant_digits = 0;
    int exponent = 0;
    bool after_point = false;
    std::size_t at = 0;
    for (; at < text.size() && (is_digit(text[at]) || text[at] == '.'); ++at) {
        if (text[at] == '.') {
            after_point = true;
            continue;
        }
        if (after_point) --exponent;
        if (mantissa == 0 && text[at] == '0') continue;
        if (++significant_digits > 15) return false;
        mantissa = mantissa * 10 + static_cast<uint64_t>(text[at] - '0');
    }
    if (at < text.size()) {  // "e" or "E", a sign, digits
        std::string_view written = text.substr(at + 1);
        const bool negative = written.front() == '-';
        if (written.front() == '+' || negative) written.remove_prefix(1);
        if (written.size() > 3) return false;
        int power = 0;
        for (char digit : written) power = power * 10 + (digit - '0');
        exponent += negative ? -power : power;
    }
    if (exponent < -max_power || exponent > max_power) return mantissa == 0 ? (*value = 0.0, true) : false;
    const double whole = static_cast<double>(mantissa);
    *value = exponent < 0 ? whole / powers_of_ten[-exponent] : whole * powers_of_ten[exponent];
    return true;
}

// `text` is the number's text with "e" or "E" as its exponent marker, if any.
double read_decimal(std::string_view text, const NumberText& number) {
    double value = 0.0;
    if (read_small_decimal(text, &value)) return value;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    // from_chars leaves the value untouched when it is out of range.
    if (result.ec == std::errc::result_out_of_range) {
        return overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

// A decimal number rounds to a double as its first 768 significant digits do when a nonzero
// digit is put behind them for any nonzero digit dropped: no double's rounding depends on more.
constexpr std::size_t deciding_digits = 768;

// from_chars knows only "e" and "E" as exponent markers. A number with a "d" exponent is read as
// an equal text with an "e", written into a fixed buffer however long the number is: its
// significant digits (the deciding ones, and a sticky 1) and the exponent adjusted for the point
// and for the digits dropped.
double read_d_exponent(const NumberText& number) {
    char text[deciding_digits + 1 + 24];  // the digits, a sticky digit, "e" and a 64-bit exponent
    std::size_t length = 0;
    std::int64_t exponent = exponent_value(number.text.substr(number.mantissa_length + 1));
    bool after_point = false;
    bool nonzero_dropped = false;
    for (char c : number.text.substr(0, number.mantissa_length)) {
        if (c == '.') {
            after_point = true;
            continue;
        }
        if (after_point) --exponent;
        if (length == 0 && c == '0') continue;
        if (length < deciding_digits) {
            text[length++] = c;
        } else {
            ++exponent;
            nonzero_dropped = nonzero_dropped || c != '0';
        }
    }
    if (length == 0) return 0.0;
    if (nonzero_dropped) {
        text[length++] = '1';
        --exponent;
    }
    text[length++] = 'e';
    length = static_cast<std::size_t>(std::to_chars(text + length, text + sizeof text, exponent).ptr - text);
    return read_decimal({text, length}, number);
}

double number_value(const NumberText& number) {
    if (number.text.empty()) return 0.0;
    if (number.mantissa_length == number.text.size() || number.text[number.mantissa_length] == 'e' ||
        number.text[number.mantissa_length] == 'E') {
        return read_decimal(number.text, number);
    }
    return read_d_exponent(number);
}

int hex_digit_value(char c) {
    if (is_digit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// The low 32 bits of the number that the hex digits from p make.
uint32_t read_hex_digits(const char* p) {
    uint32_t value = 0;
    for (; is_hex_digit(*p); ++p) value = value << 4 | static_cast<uint32_t>(hex_digit_value(*p));
    return value;
}

int32_t negate_if(bool negative, uint32_t magnitude) {
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

// atoi with 32-bit wrap: white space, an optional sign, decimal digits.
int32_t read_decimal_int(const char* p) {
    while (is_space(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    uint32_t value = 0;
    for (; is_digit(*p); ++p) value = value * 10u + static_cast<uint32_t>(*p - '0');
    return negate_if(negative, value);
}

}  // namespace

int32_t text_to_int(const char* text) {
    if (!text) return 0;
    const char* lead = text;
    while (*lead == ' ') ++lead;
    if (*lead != '0') return read_decimal_int(lead);
    if (is_digit(lead[1])) return read_decimal_int(lead);
    if (lead[1] == 'x') return static_cast<int32_t>(read_hex_digits(lead + 2));
    return 0;
}

int32_t hex_text_to_int(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (is_space(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && is_hex_digit(p[2])) p += 2;
    return negate_if(negative, read_hex_digits(p));
}

double decimal_to_double(std::string_view digits) { return number_value(number_prefix(digits)); }

double text_to_double(const char* text) {
    if (!text) return 0.0;
    std::string_view rest(text);
    rest.remove_prefix(std::min(rest.find_first_not_of(white_space), rest.size()));
    const bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && (rest.front() == '+' || negative)) rest.remove_prefix(1);
    const NumberText number = number_prefix(rest);
    // A sign without a number is no number: "-x" gives 0.0, not -0.0.
    if (number.text.empty()) return 0.0;
    const double magnitude = number_value(number);
    return negative ? -magnitude : magnitude;
}

NumberLiteral number_literal_at(const char* start, const char* end) {
    if (start[0] == '0' && start[1] == 'x' && is_hex_digit(start[2])) {
        const char* digit = start + 2;
        while (is_hex_digit(*digit)) ++digit;
        return {digit, false};
    }
    NumberLiteral literal{skip_digits(start, end), false};
    if (literal.end[0] == '.' && is_digit(literal.end[1])) literal = {skip_digits(literal.end + 1, end), true};
    if (*literal.end == 'e' || *literal.end == 'E') {
        const char* exponent = literal.end + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (is_digit(*exponent)) literal = {skip_digits(exponent, end), true};
    }
    return literal;
}
