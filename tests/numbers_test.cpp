#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numbers.h"
#include "test_support.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

struct Truncation {
    const char* name;
    double value;
    int32_t expected;
};

class DoubleToInt : public testing::TestWithParam<Truncation> {};

TEST_P(DoubleToInt, TruncatesAndWrapsWithinTheSigned64BitRange) {
    EXPECT_EQ(double_to_int(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, DoubleToInt, testing::Values(
    Truncation{.name = "NegativeTowardZero", .value = -1.9, .expected = -1},
    Truncation{.name = "PositiveTowardZero", .value = 1.9, .expected = 1},
    Truncation{.name = "NegativeHalf", .value = -0.5, .expected = 0},
    Truncation{.name = "WrapsAt32Bits", .value = 3000000000.0, .expected = -1294967296},
    Truncation{.name = "WrapsWithAFraction", .value = 4294967297.5, .expected = 1},
    Truncation{.name = "Beyond64Bits", .value = 1e19, .expected = 0},
    Truncation{.name = "NegativeBeyond64Bits", .value = -1e19, .expected = 0},
    Truncation{.name = "Infinity", .value = inf, .expected = 0},
    Truncation{.name = "NegativeInfinity", .value = -inf, .expected = 0},
    Truncation{.name = "NotANumber", .value = nan, .expected = 0},
    Truncation{.name = "TwoToThe63", .value = 9223372036854775808.0, .expected = 0},
    Truncation{.name = "MinusTwoToThe63", .value = -9223372036854775808.0, .expected = 0},
    Truncation{.name = "BelowMinusTwoToThe63", .value = -9223372036854777856.0, .expected = 0},
    Truncation{.name = "TwoToThe31", .value = 2147483648.0, .expected = INT32_MIN},
    Truncation{.name = "BelowMinusTwoToThe31", .value = -2147483649.0, .expected = INT32_MAX}),
    row_name);

TEST(Numbers, UnorderedComparisonsFollowTheirOwnTable) {
    EXPECT_EQ(double_equal(nan, 1.0), 1);
    EXPECT_EQ(double_not_equal(nan, 1.0), 0);
    EXPECT_EQ(double_greater(1.0, nan), 0);
    EXPECT_EQ(double_greater_equal(nan, nan), 0);
    EXPECT_EQ(double_less(nan, 1.0), 1);
    EXPECT_EQ(double_less_equal(1.0, nan), 1);
    EXPECT_EQ(double_equal(0.0, -0.0), 1);
    EXPECT_EQ(double_greater(2.0, 1.0), 1);
}

TEST(Numbers, NothingTrapsAtTheEdges) {
    EXPECT_EQ(int_divide(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(int_modulo(INT32_MIN, -1), 0);
    EXPECT_EQ(int_divide(INT32_MIN, 0), 0);
    EXPECT_EQ(int_modulo(INT32_MIN, 0), 0);
    EXPECT_EQ(int_negate(INT32_MIN), INT32_MIN);
    EXPECT_EQ(int_multiply(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(int_shift_left(INT32_MIN, INT32_MIN), INT32_MIN);
    EXPECT_EQ(int_shift_right(INT32_MIN, 31), -1);
    EXPECT_EQ(int_power(INT32_MIN, INT32_MAX), 0);
    EXPECT_EQ(double_modulo(-2147483648.0, -1.0), 0.0);
    EXPECT_EQ(double_modulo(1e300, 3.0), 0.0);
    EXPECT_EQ(double_divide(1.0, nan), 0.0);
}

}  // namespace
