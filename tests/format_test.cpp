#include "format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#ifdef _WIN32
#include <regex>
#endif
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// A buffer with guard bytes after the capacity, so that a write past it is noticed.
class GuardedOutput {
public:
    static constexpr char guard = '\x7f';

    explicit GuardedOutput(std::size_t capacity) : capacity_(capacity), bytes_(capacity + 64, guard) {}

    template <typename Number>
    std::string format(const char* format_template, Number value) {
        std::size_t length = 0;
        if constexpr (std::is_same_v<Number, double>) {
            length = format_double(format_template, value, bytes_.data(), capacity_);
        } else {
            length = format_integer(format_template, value, bytes_.data(), capacity_);
        }
        for (std::size_t i = capacity_; i < bytes_.size(); ++i) {
            EXPECT_EQ(bytes_[i], guard) << "written past the capacity at " << i << " by \"" << format_template << '"';
        }
        if (capacity_ == 0) return {};
        EXPECT_LT(length, capacity_);
        EXPECT_EQ(std::strlen(bytes_.data()), length) << format_template;
        return std::string(bytes_.data(), length);
    }

private:
    std::size_t capacity_;
    std::vector<char> bytes_;
};

// Formats with the capacity the interpreter gives: the template's length plus 100.
template <typename Number>
std::string formatted(const char* format, Number value) {
    return GuardedOutput(std::strlen(format) + 100).format(format, value);
}

template <typename Number>
struct Case {
    const char* format;
    Number value;
    std::string expected;
};

TEST(FormatInteger, AppliesTheOneConversion) {
    const Case<int32_t> cases[] = {
        {.format = "%05d", .value = 42, .expected = "00042"},
        {.format = "x=%d;", .value = 7, .expected = "x=7;"},
        {.format = "100%%", .value = 1, .expected = "100%"},
        {.format = "%x", .value = 255, .expected = "ff"},
        {.format = "%X", .value = -1, .expected = "FFFFFFFF"},
        {.format = "%hhd", .value = 300, .expected = "44"},
        {.format = "%hd", .value = 70000, .expected = "4464"},
        {.format = "%hhu", .value = -1, .expected = "255"},
        {.format = "abc", .value = 5, .expected = "abc"},
        {.format = "", .value = 5, .expected = ""},
        {.format = "%%%%", .value = 5, .expected = "%%"},
        {.format = "%%d%d%%", .value = 5, .expected = "%d5%"},
        {.format = "%--5d|", .value = 3, .expected = "3    |"},
        {.format = "%00005d", .value = 3, .expected = "00003"},
        {.format = "%.d", .value = 0, .expected = ""},
        {.format = "%#o", .value = 8, .expected = "010"},
        {.format = "%#.0o", .value = 0, .expected = "0"},
        {.format = "%#.0o", .value = 8, .expected = "010"},
        {.format = "%#5.0o", .value = 0, .expected = "    0"},
        {.format = "%c", .value = 'A', .expected = "A"},
        {.format = "%c", .value = 256 + 'A', .expected = "A"},
        {.format = "a%cb", .value = 0, .expected = "a"},
        {.format = "%d", .value = INT32_MIN, .expected = "-2147483648"},
        {.format = "\xff%d\x80", .value = 1, .expected = "\xff" "1\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatted(c.format, c.value), c.expected) << c.format;
}

TEST(FormatDouble, AppliesTheOneConversion) {
    const Case<double> cases[] = {
        {.format = "%.2f", .value = 3.14159, .expected = "3.14"},
        {.format = "%lf", .value = 2.5, .expected = "2.500000"},
        {.format = "%+.3e", .value = 12345.678, .expected = "+1.235e+04"},
        {.format = "%g", .value = 0.0001, .expected = "0.0001"},
        {.format = "%a", .value = 1.0, .expected = "0x1p+0"},
        {.format = "%.0f", .value = 2.5, .expected = "2"},
        {.format = "%f", .value = not_a_number, .expected = "nan"},
        {.format = "%F", .value = not_a_number, .expected = "NAN"},
        {.format = "%f", .value = -not_a_number, .expected = "-nan"},
        {.format = "%+f", .value = -not_a_number, .expected = "-nan"},
        {.format = "%+f", .value = not_a_number, .expected = "+nan"},
        {.format = "% .2e", .value = -not_a_number, .expected = "-nan"},
        {.format = "%-6G|", .value = -not_a_number, .expected = "-NAN  |"},
        {.format = "%06a", .value = -not_a_number, .expected = "  -nan"},
        {.format = "%f", .value = infinity, .expected = "inf"},
        {.format = "%06.1f", .value = -infinity, .expected = "  -inf"},
        {.format = "%E", .value = -infinity, .expected = "-INF"},
        {.format = "pi=%%%.1f%%", .value = 3.14159, .expected = "pi=%3.1%"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatted(c.format, c.value), c.expected) << c.format;
}

TEST(FormatInteger, RejectedTemplatesAreReturnedUnchanged) {
    const char* const templates[] = {
        "%s", "%n", "%p", "%d %d", "%*d", "%.*d", "%f", "%lf", "%ld", "%lld", "%jd", "%zd", "%td", "%qd",
        "%'d", "%Id", "%hhhd", "%hld", "%k", "%", "50%", "%5", "%-", "%.", "100%% %s", "%1$d", "%c%c",
    };
    for (const char* format : templates) EXPECT_EQ(formatted(format, int32_t{7}), format);
}

TEST(FormatDouble, RejectedTemplatesAreReturnedUnchanged) {
    const char* const templates[] = {
        "%d", "%x", "%c", "%s", "%Lf", "%llf", "%hf", "%.*f", "%*f", "%f%f", "%ls", "%'f", "%lf %", "%%%",
    };
    for (const char* format : templates) EXPECT_EQ(formatted(format, 1.5), format);
}

TEST(Format, NullTemplateIsEmpty) {
    EXPECT_EQ(GuardedOutput(10).format(nullptr, int32_t{1}), "");
    EXPECT_EQ(GuardedOutput(10).format(nullptr, 1.0), "");
}

struct CutCase {
    const char* format;
    int32_t value;
    std::size_t capacity;
    std::string expected;
};

TEST(FormatInteger, CutsAtTheCapacity) {
    const CutCase cases[] = {
        {.format = "%0200d", .value = 7, .capacity = 10, .expected = "000000000"},
        {.format = "abc%d", .value = 12345, .capacity = 5, .expected = "abc1"},
        {.format = "ab%%cd%d", .value = 7, .capacity = 4, .expected = "ab%"},
        {.format = "%d-tail", .value = -42, .capacity = 6, .expected = "-42-t"},
        {.format = "%d", .value = 42, .capacity = 1, .expected = ""},
        {.format = "%d", .value = 42, .capacity = 0, .expected = ""},
        {.format = "%s and more", .value = 1, .capacity = 5, .expected = "%s a"},
        {.format = "%-20x|", .value = 255, .capacity = 8, .expected = "ff     "},
    };
    for (const CutCase& c : cases) {
        EXPECT_EQ(GuardedOutput(c.capacity).format(c.format, c.value), c.expected) << c.format;
    }
}

// Widths and precisions that printf would take long over, or refuse, must still give the bytes
// that fit: here 19 of them.
TEST(Format, HugeWidthsAndPrecisionsGiveTheVisiblePrefix) {
    const Case<int32_t> integer_cases[] = {
        {.format = "%999999999d", .value = 5, .expected = std::string(19, ' ')},
        {.format = "%-999999999d", .value = 5, .expected = "5" + std::string(18, ' ')},
        {.format = "%0999999999d", .value = -5, .expected = "-" + std::string(18, '0')},
        {.format = "%2147483648d", .value = 5, .expected = std::string(19, ' ')},
        {.format = "%99999999999999999999d", .value = 5, .expected = std::string(19, ' ')},
        {.format = "%.999999999d", .value = 7, .expected = std::string(19, '0')},
        {.format = "%1000000005.1000000000d", .value = -3, .expected = "    -" + std::string(14, '0')},
    };
    for (const auto& c : integer_cases) EXPECT_EQ(GuardedOutput(20).format(c.format, c.value), c.expected) << c.format;

    const Case<double> double_cases[] = {
        {.format = "%.999999999f", .value = 1.5, .expected = "1.5" + std::string(16, '0')},
        {.format = "%.999999999e", .value = 1.5, .expected = "1.5" + std::string(16, '0')},
        {.format = "%.999999999a", .value = 1.0, .expected = "0x1." + std::string(15, '0')},
        {.format = "%999999999.999999999f", .value = 1.5, .expected = "1.5" + std::string(16, '0')},
        {.format = "%1000000010.1000000000f", .value = 1.5,
         .expected = std::string(8, ' ') + "1.5" + std::string(8, '0')},
        {.format = "%1000000010.1000000000e", .value = 1.5,
         .expected = std::string(4, ' ') + "1.5" + std::string(12, '0')},
        {.format = "%1000000010.1000000000g", .value = 1.5, .expected = std::string(19, ' ')},
        {.format = "%#1000000010.1000000000g", .value = 1.5,
         .expected = std::string(9, ' ') + "1.5" + std::string(7, '0')},
        {.format = "%1000000010.1000000000f", .value = infinity, .expected = std::string(19, ' ')},
        {.format = "%-1000000010.1000000000f", .value = infinity, .expected = "inf" + std::string(16, ' ')},
    };
    for (const auto& c : double_cases) EXPECT_EQ(GuardedOutput(20).format(c.format, c.value), c.expected) << c.format;
}

// What glibc's snprintf makes of the template, cut like format_* cuts, up to a NUL from "%c".
template <typename Number>
std::string printed_and_cut(const std::string& format, Number value, std::size_t capacity) {
    const int length = std::snprintf(nullptr, 0, format.c_str(), value);
    if (length < 0) return "<printf failed>";
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), value);
    const std::string visible(text.data(), std::min(static_cast<std::size_t>(length), capacity - 1));
    return visible.substr(0, visible.find('\0'));
}

std::string printf_reference(const std::string& format, double value, std::size_t capacity) {
    return printed_and_cut(format, value, capacity);
}

// The templates below end in the letter and "%%"; printf reads "%o", "%u", "%x" and "%X" as
// unsigned int.
std::string printf_reference(std::string format, int32_t value, std::size_t capacity) {
#ifdef _WIN32
    // MinGW-w64's printf prints nothing for "%#.0o" of a zero where C prints "0", as
    // format_integer does (see the table above): the reference is printed with the precision 1,
    // which C prints alike for every value.
    static const std::regex octal_precision_zero("(#[^.]*)\\.0?(h*o)");
    format = std::regex_replace(format, octal_precision_zero, "$1.1$2");
#endif
    if (std::string_view("ouxX").find(format[format.size() - 3]) != std::string_view::npos) {
        return printed_and_cut(format, static_cast<unsigned>(value), capacity);
    }
    return printed_and_cut(format, value, capacity);
}

struct TemplatePieces {
    std::vector<std::string> flags;
    std::vector<std::string> widths;
    std::vector<std::string> precisions;
    std::vector<std::string> lengths;
    std::string letters;
};

// Every accepted template built from the pieces, between literal text that includes "%%" so
// that cuts fall before, inside and after the number.
std::vector<std::string> templates_from(const TemplatePieces& pieces) {
    std::vector<std::string> templates;
    for (const std::string& flags : pieces.flags)
        for (const std::string& width : pieces.widths)
            for (const std::string& precision : pieces.precisions)
                for (const std::string& length : pieces.lengths)
                    for (char letter : pieces.letters)
                        templates.push_back("<%%%" + flags + width + precision + length + letter + "%%");
    return templates;
}

template <typename Number>
void expect_printf_results(const TemplatePieces& pieces, const std::vector<Number>& values,
                           const std::vector<std::size_t>& capacities) {
    for (const std::string& format : templates_from(pieces)) {
        for (Number value : values) {
            for (std::size_t capacity : capacities) {
                const std::string expected = printf_reference(format, value, capacity);
                ASSERT_EQ(GuardedOutput(capacity).format(format.c_str(), value), expected)
                    << format << " of " << value << " into " << capacity;
            }
        }
    }
}

const std::vector<std::string> some_flags = {"", "-", "+", " ", "#", "0", "-0", "+ #0"};
const std::vector<std::string> small_widths = {"", "1", "12", "40"};
const std::vector<std::string> small_precisions = {"", ".", ".0", ".3", ".17", ".60"};
const std::vector<std::size_t> small_capacities = {1, 4, 12, 120};

TEST(FormatInteger, MatchesPrintf) {
    expect_printf_results<int32_t>({some_flags, small_widths, small_precisions, {"", "h", "hh"}, "diouxXc"},
                                   {0, 1, -1, 7, 42, 255, 300, -300, -129, 65535, INT32_MAX, INT32_MIN},
                                   small_capacities);
}

TEST(FormatDouble, MatchesPrintf) {
    expect_printf_results<double>({some_flags, small_widths, small_precisions, {"", "l"}, "fFeEgGaA"},
                                  {0.0, -0.0, 1.0, -1.5, 0.1, 2.5, 1e300, -1e-300, 5e-324, 123456.789, infinity,
                                   -infinity, not_a_number, std::numeric_limits<double>::max()},
                                  small_capacities);
}

// Widths and precisions large enough to be clamped, yet small enough for printf to compare with.
// Widths near the precision leave a little padding in sight: exactly what the clamping must keep.
TEST(Format, LargeWidthsAndPrecisionsMatchPrintf) {
    const std::vector<std::string> flags = {"", "-", "0", "#", "+#0"};
    const std::vector<std::string> widths = {"", "1200", "4990", "5001", "5003", "5010", "5400", "9000"};
    const std::vector<std::string> precisions = {"", ".1150", ".4995", ".5000"};
    expect_printf_results<int32_t>({flags, widths, precisions, {""}, "dxoc"}, {0, -3, 255, INT32_MIN}, {16, 120});
    expect_printf_results<double>({flags, widths, precisions, {""}, "feEgGa"},
                                  {1.5, -1e300, 5e-324, 0.1, -infinity, not_a_number}, {16, 120});
}

// A clamped precision must not round where the full one does not: 1 - 2^-53 is 0.99999999999999988...,
// so rounding it to 14 or 15 digits carries into every digit in sight. Each of these precisions
// exceeds the exact expansion, so the full one's visible digits are printf's at "%.3000".
TEST(FormatDouble, ClampedPrecisionsRoundLikeTheFullOnes) {
    const double values[] = {std::nextafter(1.0, 0.0), 0.1, 1.0 / 3.0, 5e-324, 2.5, -1e300};
    const struct {
        const char* huge;
        const char* full;
    } templates[] = {{"%.999999999f", "%.3000f"}, {"%.999999999e", "%.3000e"}, {"%#.999999999g", "%#.3000g"},
                     {"%.999999999a", "%.3000a"}};
    for (const auto& format : templates) {
        for (double value : values) {
            for (std::size_t capacity = 1; capacity <= 60; ++capacity) {
                const std::string expected = printed_and_cut(std::string(format.full), value, capacity);
                ASSERT_EQ(GuardedOutput(capacity).format(format.huge, value), expected)
                    << format.huge << " of " << value << " into " << capacity;
            }
        }
    }
}

}  // namespace
