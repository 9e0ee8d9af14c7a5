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
        {"%05d", 42, "00042"},
        {"x=%d;", 7, "x=7;"},
        {"100%%", 1, "100%"},
        {"%x", 255, "ff"},
        {"%X", -1, "FFFFFFFF"},
        {"%hhd", 300, "44"},
        {"%hd", 70000, "4464"},
        {"%hhu", -1, "255"},
        {"abc", 5, "abc"},
        {"", 5, ""},
        {"%%%%", 5, "%%"},
        {"%%d%d%%", 5, "%d5%"},
        {"%--5d|", 3, "3    |"},
        {"%00005d", 3, "00003"},
        {"%.d", 0, ""},
        {"%#o", 8, "010"},
        {"%#.0o", 0, "0"},
        {"%#.0o", 8, "010"},
        {"%#5.0o", 0, "    0"},
        {"%c", 'A', "A"},
        {"%c", 256 + 'A', "A"},
        {"a%cb", 0, "a"},
        {"%d", INT32_MIN, "-2147483648"},
        {"\xff%d\x80", 1, "\xff" "1\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatted(c.format, c.value), c.expected) << c.format;
}

TEST(FormatDouble, AppliesTheOneConversion) {
    const Case<double> cases[] = {
        {"%.2f", 3.14159, "3.14"},
        {"%lf", 2.5, "2.500000"},
        {"%+.3e", 12345.678, "+1.235e+04"},
        {"%g", 0.0001, "0.0001"},
        {"%a", 1.0, "0x1p+0"},
        {"%.0f", 2.5, "2"},
        {"%f", not_a_number, "nan"},
        {"%F", not_a_number, "NAN"},
        {"%f", -not_a_number, "-nan"},
        {"%+f", -not_a_number, "-nan"},
        {"%+f", not_a_number, "+nan"},
        {"% .2e", -not_a_number, "-nan"},
        {"%-6G|", -not_a_number, "-NAN  |"},
        {"%06a", -not_a_number, "  -nan"},
        {"%f", infinity, "inf"},
        {"%06.1f", -infinity, "  -inf"},
        {"%E", -infinity, "-INF"},
        {"pi=%%%.1f%%", 3.14159, "pi=%3.1%"},
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
        {"%0200d", 7, 10, "000000000"},
        {"abc%d", 12345, 5, "abc1"},
        {"ab%%cd%d", 7, 4, "ab%"},
        {"%d-tail", -42, 6, "-42-t"},
        {"%d", 42, 1, ""},
        {"%d", 42, 0, ""},
        {"%s and more", 1, 5, "%s a"},
        {"%-20x|", 255, 8, "ff     "},
    };
    for (const CutCase& c : cases) {
        EXPECT_EQ(GuardedOutput(c.capacity).format(c.format, c.value), c.expected) << c.format;
    }
}

// Widths and precisions that printf would take long over, or refuse, must still give the bytes
// that fit: here 19 of them.
TEST(Format, HugeWidthsAndPrecisionsGiveTheVisiblePrefix) {
    const Case<int32_t> integer_cases[] = {
        {"%999999999d", 5, std::string(19, ' ')},
        {"%-999999999d", 5, "5" + std::string(18, ' ')},
        {"%0999999999d", -5, "-" + std::string(18, '0')},
        {"%2147483648d", 5, std::string(19, ' ')},
        {"%99999999999999999999d", 5, std::string(19, ' ')},
        {"%.999999999d", 7, std::string(19, '0')},
        {"%1000000005.1000000000d", -3, "    -" + std::string(14, '0')},
    };
    for (const auto& c : integer_cases) EXPECT_EQ(GuardedOutput(20).format(c.format, c.value), c.expected) << c.format;

    const Case<double> double_cases[] = {
        {"%.999999999f", 1.5, "1.5" + std::string(16, '0')},
        {"%.999999999e", 1.5, "1.5" + std::string(16, '0')},
        {"%.999999999a", 1.0, "0x1." + std::string(15, '0')},
        {"%999999999.999999999f", 1.5, "1.5" + std::string(16, '0')},
        {"%1000000010.1000000000f", 1.5, std::string(8, ' ') + "1.5" + std::string(8, '0')},
        {"%1000000010.1000000000e", 1.5, std::string(4, ' ') + "1.5" + std::string(12, '0')},
        {"%1000000010.1000000000g", 1.5, std::string(19, ' ')},
        {"%#1000000010.1000000000g", 1.5, std::string(9, ' ') + "1.5" + std::string(7, '0')},
        {"%1000000010.1000000000f", infinity, std::string(19, ' ')},
        {"%-1000000010.1000000000f", infinity, "inf" + std::string(16, ' ')},
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
