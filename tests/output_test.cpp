// The trace lines must hold exactly the bytes printf gives for "%d" and "%f".
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numbers.h"
#include "output.h"

namespace {

std::string printf_line(double value) {
    char line[600];
    std::snprintf(line, sizeof line, "* Double statement result=%f\t marlin result=%d\n", value, double_to_int(value));
    return line;
}

// Doubles of every kind: random bit patterns (NaNs with and without sign, infinities,
// subnormals, huge values), values near rounding boundaries, and everyday numbers.
std::vector<double> sample_doubles(std::size_t count) {
    std::mt19937_64 random(20261208);
    std::vector<double> values = {0.0, -0.0, std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(), std::nan(""), -std::nan(""),
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                                  0.0000005, 0.0000015, 0.0000025, 1e-7, 2.5, 1e22, 1e23, 123456.7890125,
                                  // exact ties at the sixth decimal, a carry into the integer part,
                                  // and both sides of 2^52, where the short path ends
                                  0.0078125, -0.0078125, 0.0234375, 3.0078125, 0.9999999, -1.9999996,
                                  4503599627370495.5, 4503599627370496.0, std::ldexp(1.0, -75), std::ldexp(1.0, -21)};
    while (values.size() < count) {
        uint64_t bits = random();
        double value;
        switch (bits % 3) {
            case 0: std::memcpy(&value, &bits, sizeof value); break;
            case 1: value = static_cast<double>(static_cast<int64_t>(bits >> 20)) / 1e6; break;
            default: value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 100); break;
        }
        values.push_back(value);
    }
    return values;
}

TEST(TraceLines, DoublesMatchPrintf) {
    const std::vector<double> values = sample_doubles(1000000);
    constexpr std::size_t batch = 100000;
    for (std::size_t start = 0; start < values.size(); start += batch) {
        std::string expected;
        testing::internal::CaptureStdout();
        for (std::size_t i = start; i < start + batch && i < values.size(); ++i) {
            print_double_statement(values[i], double_to_int(values[i]));
            expected += printf_line(values[i]);
        }
        flush_output();  // the lines wait in the library until a run would end
        std::fflush(stdout);
        std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_EQ(printed, expected);
    }
}

TEST(TraceLines, IntegersAndTextsMatchPrintf) {
    const int32_t values[] = {0, 1, -1, 42, INT32_MAX, INT32_MIN, 1000000, -999999};
    std::string expected;
    char line[100];
    testing::internal::CaptureStdout();
    for (int32_t value : values) {
        print_integer_statement(value);
        std::snprintf(line, sizeof line, "* Integer statement result=%d\t marlin result=%d\n", value, value);
        expected += line;
    }
    print_string_statement(nullptr);
    print_string_statement("a\tb");
    flush_output();
    std::fflush(stdout);
    expected += "* String statement result=(null)\t marlin result=0\n* String statement result=a\tb\t marlin result=0\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
}

}  // namespace
