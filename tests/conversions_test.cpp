#include "conversions.h"

#include <gtest/gtest.h>

#include <bit>
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
        {"1.5d2", 150.0},
        {"  -2.5e1x", -25.0},
        {"abc", 0.0},
        {"0x10", 0.0},
        {"inf", 0.0},
        {"infinity", 0.0},
        {"nan", 0.0},
        {"", 0.0},
        {".5", 0.5},
        {"5.", 5.0},
        {".", 0.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1d", 1.0},
        {"1D-2", 0.01},
        {"+3", 3.0},
        {"-0", -0.0},
        {"-0.0e5", -0.0},
        {"-x", 0.0},
        {"-", 0.0},
        {"+-5", 0.0},
        {"- 5", 0.0},
        {".e5", 0.0},
        {"1.e2", 100.0},
        {".5E1", 5.0},
        {"1e5.5", 1e5},
        {"1e+-2", 1.0},
        {"1..5", 1.0},
        {"1,5", 1.0},
        {"12 34", 12.0},
        {" \t\n\v\f\r42", 42.0},
        {"\xa0" "42", 0.0},
        {"0x1p3", 0.0},
        {"1e999", infinity},
        {"-1e999", -infinity},
        {"1e-999", 0.0},
        {"-1e-999", -0.0},
        {"0.1", 0.1},
    };
    for (const Case& c : cases) EXPECT_TRUE(same_double(text_to_double(c.text), c.expected)) << '"' << c.text << '"';
}

TEST(TextToDouble, NullTextIsZero) { EXPECT_TRUE(same_double(text_to_double(nullptr), 0.0)); }

TEST(DecimalToDouble, RoundsToNearestAndSaturatesOutOfRange) {
    const Case cases[] = {
        {"0", 0.0},
        {"1.5", 1.5},
        {"123e2", 12300.0},
        {"1E-2", 0.01},
        {"9007199254740993", 9007199254740992.0},  // a tie rounds to even
        {"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"1.7976931348623159e308", infinity},
        {"4e-324", std::numeric_limits<double>::denorm_min()},
        {"2.4703282292062328e-324", std::numeric_limits<double>::denorm_min()},
        {"2.4703282292062327e-324", 0.0},
        {"0e99999999999999999999", 0.0},
        {"1e99999999999999999999", infinity},
        {"1e-99999999999999999999", 0.0},
        {"100e-99999999999999999999999", 0.0},
        {"0.0001e-305", 1e-309},
        {"1.5x", 1.5},
        {"abc", 0.0},
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
        {"9007199254740993" + zeros + "1e-100001", 9007199254740994.0},
        {"9007199254740993." + zeros + "1", 9007199254740994.0},
        {"9007199254740993" + zeros + "1d-100001", 9007199254740994.0},
        {"9007199254740993" + zeros + "0D-100001", 9007199254740992.0},
        {"1" + zeros, infinity},
        {"1" + zeros + "e-100000", 1.0},
        {"0." + zeros + "1", 0.0},
        {"0." + zeros + "1e100001", 1.0},
        {"0." + zeros + "1e99600", 0.0},
        {"0." + zeros + "1e100400", infinity},
        {"0" + zeros + "1e308", 1e308},
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
