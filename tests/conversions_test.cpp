#include "conversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Bitwise equality, so that -0.0 and 0.0 differ.
testing::AssertionResult same_double(double actual, double expected) {
    if (std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "got " << actual << ", expected " << expected;
}

struct Case {
    const char* text;
    double expected;
};

TEST(TextToDouble, ReadsTheLongestNumberPrefix) {
    const Case cases[] = {
        {.text = "1.5d2", .expected = 150.0},
        {.text = "  -2.5e1x", .expected = -25.0},
        {.text = "abc", .expected = 0.0},
        {.text = "0x10", .expected = 0.0},
        {.text = "inf", .expected = 0.0},
        {.text = "infinity", .expected = 0.0},
        {.text = "nan", .expected = 0.0},
        {.text = "", .expected = 0.0},
        {.text = ".5", .expected = 0.5},
        {.text = "5.", .expected = 5.0},
        {.text = ".", .expected = 0.0},
        {.text = "1e", .expected = 1.0},
        {.text = "1e+", .expected = 1.0},
        {.text = "1d", .expected = 1.0},
        {.text = "1D-2", .expected = 0.01},
        {.text = "+3", .expected = 3.0},
        {.text = "-0", .expected = -0.0},
        {.text = "-0.0e5", .expected = -0.0},
        {.text = "-x", .expected = 0.0},
        {.text = "-", .expected = 0.0},
        {.text = "+-5", .expected = 0.0},
        {.text = "- 5", .expected = 0.0},
        {.text = ".e5", .expected = 0.0},
        {.text = "1.e2", .expected = 100.0},
        {.text = ".5E1", .expected = 5.0},
        {.text = "1e5.5", .expected = 1e5},
        {.text = "1e+-2", .expected = 1.0},
        {.text = "1..5", .expected = 1.0},
        {.text = "1,5", .expected = 1.0},
        {.text = "12 34", .expected = 12.0},
        {.text = " \t\n\v\f\r42", .expected = 42.0},
        {.text = "\xa0" "42", .expected = 0.0},
        {.text = "0x1p3", .expected = 0.0},
        {.text = "1e999", .expected = infinity},
        {.text = "-1e999", .expected = -infinity},
        {.text = "1e-999", .expected = 0.0},
        {.text = "-1e-999", .expected = -0.0},
        {.text = "0.1", .expected = 0.1},
    };
    for (const Case& c : cases) EXPECT_TRUE(same_double(text_to_double(c.text), c.expected)) << '"' << c.text << '"';
}

TEST(TextToDouble, NullTextIsZero) { EXPECT_TRUE(same_double(text_to_double(nullptr), 0.0)); }

TEST(DecimalToDouble, RoundsToNearestAndSaturatesOutOfRange) {
    const Case cases[] = {
        {.text = "0", .expected = 0.0},
        {.text = "1.5", .expected = 1.5},
        {.text = "123e2", .expected = 12300.0},
        {.text = "1E-2", .expected = 0.01},
        {.text = "9007199254740993", .expected = 9007199254740992.0},  // a tie rounds to even
        {.text = "1.7976931348623157e308", .expected = std::numeric_limits<double>::max()},
        {.text = "1.7976931348623159e308", .expected = infinity},
        {.text = "4e-324", .expected = std::numeric_limits<double>::denorm_min()},
        {.text = "2.4703282292062328e-324", .expected = std::numeric_limits<double>::denorm_min()},
        {.text = "2.4703282292062327e-324", .expected = 0.0},
        {.text = "0e99999999999999999999", .expected = 0.0},
        {.text = "1e99999999999999999999", .expected = infinity},
        {.text = "1e-99999999999999999999", .expected = 0.0},
        {.text = "100e-99999999999999999999999", .expected = 0.0},
        {.text = "0.0001e-305", .expected = 1e-309},
        {.text = "1.5x", .expected = 1.5},
        {.text = "abc", .expected = 0.0},
    };
    for (const Case& c : cases) EXPECT_TRUE(same_double(decimal_to_double(c.text), c.expected)) << c.text;
}

// Digits far beyond a double's precision still decide the rounding, and the place of the first
// significant digit, not the exponent alone, decides between infinity and zero.
TEST(DecimalToDouble, LongDigitStrings) {
    struct LongCase {
        std::string text;
        double expected;
    };
    const std::string zeros(100000, '0');
    const LongCase cases[] = {
        {.text = "9007199254740993" + zeros + "1e-100001", .expected = 9007199254740994.0},
        {.text = "9007199254740993." + zeros + "1", .expected = 9007199254740994.0},
        {.text = "9007199254740993" + zeros + "1d-100001", .expected = 9007199254740994.0},
        {.text = "9007199254740993" + zeros + "0D-100001", .expected = 9007199254740992.0},
        {.text = "1" + zeros, .expected = infinity},
        {.text = "1" + zeros + "e-100000", .expected = 1.0},
        {.text = "0." + zeros + "1", .expected = 0.0},
        {.text = "0." + zeros + "1e100001", .expected = 1.0},
        {.text = "0." + zeros + "1e99600", .expected = 0.0},
        {.text = "0." + zeros + "1e100400", .expected = infinity},
        {.text = "0" + zeros + "1e308", .expected = 1e308},
        {.text = "0." + zeros + "1d100001", .expected = 1.0},
        {.text = "1" + zeros + "d-100000", .expected = 1.0},
    };
    for (const LongCase& c : cases) {
        EXPECT_TRUE(same_double(decimal_to_double(c.text), c.expected)) << c.text.substr(0, 20);
        EXPECT_TRUE(same_double(text_to_double(c.text.c_str()), c.expected)) << c.text.substr(0, 20);
    }
}

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Short numbers take a shortcut past the general reader: it must give the same double.
TEST(TextToDouble, ShortNumbersMatchTheGeneralReader) {
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 200000; ++i) {
        std::string text = std::to_string(random() % 1000000000000000u);
        text.insert(random() % (text.size() + 1), ".");
        if (text.front() == '.') text.insert(0, "0");
        text += "e" + std::to_string(static_cast<int>(random() % 61) - 30);
        double expected = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_TRUE(same_double(text_to_double(text.c_str()), expected)) << text;
    }
}

TEST(TextToDouble, RoundTripsSeventeenSignificantDigits) {
    std::mt19937_64 random(20240601);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        const std::string text = printed("%.17g", value);
        ASSERT_TRUE(same_double(text_to_double(text.c_str()), value)) << text;
        std::string with_d = printed("%.16e", value);
        with_d[with_d.find('e')] = 'd';
        ASSERT_TRUE(same_double(text_to_double(with_d.c_str()), value)) << with_d;
        ASSERT_TRUE(same_double(decimal_to_double(printed("%.17g", std::fabs(value))), std::fabs(value))) << text;
    }
}

}  // namespace
