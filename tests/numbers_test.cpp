#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numbers.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

struct Truncation {
    double value;
    int32_t expected;
};

class DoubleToInt : public testing::TestWithParam<Truncation> {};

TEST_P(DoubleToInt, TruncatesAndWrapsWithinTheSigned64BitRange) {
    EXPECT_EQ(double_to_int(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, DoubleToInt, testing::Values(
    Truncation{-1.9, -1}, Truncation{1.9, 1}, Truncation{-0.5, 0}, Truncation{3000000000.0, -1294967296},
    Truncation{4294967297.5, 1}, Truncation{1e19, 0}, Truncation{-1e19, 0}, Truncation{inf, 0}, Truncation{-inf, 0},
    Truncation{nan, 0}, Truncation{9223372036854775808.0, 0}, Truncation{-9223372036854775808.0, 0},
    Truncation{-9223372036854777856.0, 0}, Truncation{2147483648.0, INT32_MIN}, Truncation{-2147483649.0, INT32_MAX}));

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
