#include "format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <variant>

#include "conversions.h"

namespace {

// The number to format, as printf's variadic argument: "%o", "%u", "%x" and "%X" read an
// unsigned int, the other integer conversions an int.
using Argument = std::variant<int, unsigned, double>;

// printf refuses widths and precisions above INT_MAX; larger ones in a template count as INT_MAX.
constexpr std::size_t field_value_limit = INT_MAX;

// Keeps every width and precision handed to printf, and so its int result, far below INT_MAX.
constexpr std::size_t capacity_limit = std::size_t{1} << 28;

// A double's exact decimal expansion has at most 1074 fractional and 767 significant digits, its
// hexadecimal one 13 fractional digits, and an int at most 11 octal digits. A precision beyond
// those only appends zeros (or, for "%g" without "#", nothing) and never changes the rounding, so
// a precision clamped to capacity + precision_margin prints the same bytes within the capacity.
constexpr std::size_t precision_margin = 1100;

constexpr std::string_view flag_characters = "-+ #0";

struct Conversion {
    std::array<bool, flag_characters.size()> flags{};  // which of flag_characters appear
    std::size_t width = 0;                             // 0 when there is none
    std::optional<std::size_t> precision;
    std::string_view length;                           // "", "h", "hh" or "l"
    char letter = '\0';
};

// The length modifiers (longest first) and letters allowed for one kind of number.
struct ConversionRules {
    std::array<std::string_view, 2> lengths;
    std::string_view letters;
};

constexpr ConversionRules integer_rules{{"hh", "h"}, "diouxXc"};
constexpr ConversionRules double_rules{{"l"}, "fFeEgGaA"};

bool contains(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

bool starts_with(const char* text, std::string_view prefix) {
    return std::strncmp(text, prefix.data(), prefix.size()) == 0;
}

// Reads decimal digits, saturating at field_value_limit.
std::size_t read_field_value(const char*& text) {
    std::uint64_t value = 0;
    for (; is_digit(*text); ++text) {
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(*text - '0'), field_value_limit);
    }
    return static_cast<std::size_t>(value);
}

// Reads the conversion after a "%", leaving `text` after it; nullopt for anything the rules
// do not accept.
std::optional<Conversion> read_conversion(const char*& text, const ConversionRules& rules) {
    Conversion conversion;
    for (std::size_t flag; (flag = flag_characters.find(*text)) != std::string_view::npos; ++text) {
        conversion.flags[flag] = true;
    }
    conversion.width = read_field_value(text);
    if (*text == '.') {
        ++text;
        conversion.precision = read_field_value(text);
    }
    for (std::string_view length : rules.lengths) {
        if (!length.empty() && starts_with(text, length)) {
            conversion.length = length;
            text += length.size();
            break;
        }
    }
    if (!contains(rules.letters, *text)) return std::nullopt;
    conversion.letter = *text++;
    return conversion;
}

// An accepted template: the text before and after its conversion. Without a conversion the
// text is all before it.
struct Template {
    std::string_view before;
    std::optional<Conversion> conversion;
    std::string_view after;
};

std::optional<Template> parse_template(const char* format, const ConversionRules& rules) {
    Template parsed;
    const char* conversion_begin = nullptr;
    const char* conversion_end = nullptr;
    const char* text = format;
    while (*text) {
        if (*text != '%') {
            ++text;
        } else if (text[1] == '%') {
            text += 2;
        } else {
            if (parsed.conversion) return std::nullopt;
            conversion_begin = text++;
            parsed.conversion = read_conversion(text, rules);
            if (!parsed.conversion) return std::nullopt;
            conversion_end = text;
        }
    }
    if (!parsed.conversion) conversion_begin = conversion_end = text;
    parsed.before = std::string_view(format, static_cast<std::size_t>(conversion_begin - format));
    parsed.after = std::string_view(conversion_end, static_cast<std::size_t>(text - conversion_end));
    return parsed;
}

// "%", flags, width, "." precision, length and letter: 1 + 5 + 10 + 1 + 10 + 2 + 1 bytes and a NUL.
using PrintfDirective = std::array<char, 32>;

// The conversion rebuilt piece by piece, so that printf never sees template text.
PrintfDirective printf_directive(const Conversion& conversion, std::size_t width,
                                 std::optional<std::size_t> precision) {
    PrintfDirective directive{};
    char* const end = directive.data() + directive.size();
    char* p = directive.data();
    *p++ = '%';
    for (std::size_t i = 0; i < flag_characters.size(); ++i) {
        if (conversion.flags[i]) *p++ = flag_characters[i];
    }
    if (width > 0) p = std::to_chars(p, end, width).ptr;
    if (precision) {
        *p++ = '.';
        p = std::to_chars(p, end, *precision).ptr;
    }
    p = std::copy(conversion.length.begin(), conversion.length.end(), p);
    *p = conversion.letter;
    return directive;
}

// C leaves these undefined and glibc ignores them, so they are dropped before printf sees the
// conversion: "#" with d, i, u and c; "0", a precision and a length modifier with c. And "#"
// with o and a precision of 0 gets the precision 1, which prints the same: C's "0" for a zero,
// which MinGW-w64's printf leaves out with the precision 0.
Conversion defined_for_printf(Conversion conversion) {
    if (contains("diuc", conversion.letter)) conversion.flags[flag_characters.find('#')] = false;
    if (conversion.letter == 'o' && conversion.flags[flag_characters.find('#')] && conversion.precision == 0u) {
        conversion.precision = 1;
    }
    if (conversion.letter == 'c') {
        conversion.flags[flag_characters.find('0')] = false;
        conversion.precision.reset();
        conversion.length = {};
    }
    return conversion;
}

// snprintf's result: the length of the whole text, of which at most room - 1 bytes are written.
int print_with_printf(char* out, std::size_t room, const PrintfDirective& directive, Argument value) {
    return std::visit([&](auto number) { return std::snprintf(out, room, directive.data(), number); }, value);
}

bool is_negative_nan(Argument value) {
    const double* number = std::get_if<double>(&value);
    return number && std::isnan(*number) && std::signbit(*number);
}

// The one place where numbers are formatted: a platform whose printf differs swaps this alone.
// The result is snprintf's. glibc prints a NaN's sign ("-nan"), MinGW-w64's printf drops it: a
// negative NaN is printed as the positive one with a forced "+", which then becomes the "-".
int print_number(char* out, std::size_t room, const Conversion& conversion, std::size_t width,
                 std::optional<std::size_t> precision, Argument value) {
    if (!is_negative_nan(value)) return print_with_printf(out, room, printf_directive(conversion, width, precision), value);
    Conversion signed_conversion = conversion;
    signed_conversion.flags[flag_characters.find('+')] = true;
    const int length = print_with_printf(out, room, printf_directive(signed_conversion, width, precision),
                                         std::fabs(std::get<double>(value)));
    if (room > 0) {
        if (char* sign = std::strchr(out, '+')) *sign = '-';
    }
    return length;
}

std::size_t unpadded_length(const Conversion& conversion, std::optional<std::size_t> precision, Argument value) {
    const int length = print_number(nullptr, 0, conversion, 0, precision, value);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

struct Field {
    std::size_t width;
    std::optional<std::size_t> precision;
};

// A width and precision that print the same first `capacity` bytes as the conversion's own, but
// cheaply. printf writes the unpadded text of length L(precision) and pads it to the width with
// max(0, width - L) bytes. The precision is clamped (see precision_margin). That shortens L by
// exactly the precision removed when the text is extended by zeros, which is measured as
// L(p + 1) > L(p), and not at all otherwise ("inf", "%g"). Then the padding is kept exact up to
// `capacity` bytes; more padding cannot be seen.
Field visible_field(const Conversion& conversion, Argument value, std::size_t capacity) {
    std::optional<std::size_t> precision = conversion.precision;
    if (precision) precision = std::min(*precision, capacity + precision_margin);
    const bool precision_clamped = precision != conversion.precision;
    if (conversion.width <= capacity && !precision_clamped) return {conversion.width, precision};

    const std::size_t length = unpadded_length(conversion, precision, value);
    std::size_t full_length = length;
    if (precision_clamped && unpadded_length(conversion, *precision + 1, value) > length) {
        full_length += *conversion.precision - *precision;
    }
    const std::size_t padding = conversion.width > full_length ? conversion.width - full_length : 0;
    return {length + std::min(padding, capacity), precision};
}

// The result being written: bytes that would leave no room for the NUL are dropped.
struct Output {
    char* text;
    std::size_t capacity;
    std::size_t length = 0;

    void append(char c) {
        if (length + 1 < capacity) text[length++] = c;
    }
};

void append_literal(Output& output, std::string_view literal) {
    for (std::size_t i = 0; i < literal.size(); ++i) {
        output.append(literal[i]);
        if (literal[i] == '%') ++i;  // the second "%" of "%%"
    }
}

// False when the number ends the text: a "%c" of 0 writes a NUL byte.
bool append_number(Output& output, const Conversion& parsed, Argument value) {
    const Conversion conversion = defined_for_printf(parsed);
    if (const int* integer = std::get_if<int>(&value); integer && contains("ouxX", conversion.letter)) {
        value = static_cast<unsigned>(*integer);
    }
    const Field field = visible_field(conversion, value, output.capacity);
    char* const start = output.text + output.length;
    const std::size_t room = output.capacity - output.length;
    const int length = print_number(start, room, conversion, field.width, field.precision, value);
    const std::size_t written = length > 0 ? std::min(static_cast<std::size_t>(length), room - 1) : 0;
    start[written] = '\0';
    const std::size_t shown = std::strlen(start);
    output.length += shown;
    return shown == written;
}

std::size_t format_number(const char* format, Argument value, char* out, std::size_t capacity) {
    if (capacity == 0) return 0;
    if (!format) format = "";
    Output output{out, std::min(capacity, capacity_limit)};
    const ConversionRules& rules = std::holds_alternative<double>(value) ? double_rules : integer_rules;
    if (const std::optional<Template> parsed = parse_template(format, rules)) {
        append_literal(output, parsed->before);
        if (!parsed->conversion || append_number(output, *parsed->conversion, value)) {
            append_literal(output, parsed->after);
        }
    } else {
        for (const char* p = format; *p; ++p) output.append(*p);
    }
    output.text[output.length] = '\0';
    return output.length;
}

}  // namespace

std::size_t format_integer(const char* format, int32_t value, char* out, std::size_t capacity) {
    return format_number(format, int{value}, out, capacity);
}

std::size_t format_double(const char* format, double value, char* out, std::size_t capacity) {
    return format_number(format, value, out, capacity);
}
