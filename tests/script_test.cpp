// Scripts run end to end through run_parser: result, error line, standard output and the
// variables left in the store.
#include "platform.h"
#include "regscript.h"
#include "script_cases.h"
#include "store.h"

TEST_P(Scripts, RunAsExpected) {
    const ScriptCase& row = GetParam();
    run_script(row.setup);
    RunOutcome outcome = run_script(row.script);
    EXPECT_EQ(outcome.output, row.output);
    EXPECT_EQ(outcome.result, row.result);
    EXPECT_EQ(outcome.error_line, row.error_line);
    if (row.variables) {
        EXPECT_EQ(describe_variables(), row.variables);
    }
}

namespace {

INSTANTIATE_TEST_SUITE_P(Statements, Scripts, testing::Values(
    ScriptCase{"", "", 7, 0, "", "7;"},
    ScriptCase{";", "", 7, 0, "", "7;"},
    ScriptCase{" ;;\n ; ", "", 7, 0, "", "7;"},
    ScriptCase{"5;", I(5), 5},
    ScriptCase{"-7;", I(-7), -7},
    ScriptCase{"0;", I(0), 0, 0, "", "7;"},
    ScriptCase{"2.5;", D("2.500000", 2), 1},
    ScriptCase{"0.0;", D("0.000000", 0), 0},
    ScriptCase{"-0.0;", D("-0.000000", 0), 0},
    ScriptCase{"-0.25;", D("-0.250000", 0), 1},
    ScriptCase{"sqrt(-1.0);", D("-nan", 0), 0},
    ScriptCase{"1e300 * 1e300;", D("inf", 0), 1},
    ScriptCase{"3000000000.0;", D("3000000000.000000", -1294967296), 1},
    ScriptCase{"\"abc\";", S("abc"), 0},
    ScriptCase{"1; ;", I(1), 1},
    ScriptCase{"1; 2.5; \"x\";", I(1) + D("2.500000", 2) + S("x"), 0},
    ScriptCase{"1; \"abc\";", I(1) + S("abc"), 0},
    ScriptCase{"1;#2;", I(1) + "#" + I(2), 2},
    ScriptCase{"x = 1;\ny = x + 1;\nx + y;", I(1) + I(2) + I(3), 3, 0, "int y=2, int x=1"}));

INSTANTIATE_TEST_SUITE_P(SyntaxErrors, Scripts, testing::Values(
    ScriptCase{"1; x y; 2;", I(1) + parse_error, 1, 1, "int y=0, int x=0"},
    ScriptCase{"3", parse_error, 9, 0, "", "9;"},
    ScriptCase{"1; 2", I(1) + parse_error, 1, 0},
    ScriptCase{"x = 1 +\n;", parse_error, 0, 2, "int x=0"},
    ScriptCase{"x = 1\ny = 2;", parse_error, 0, 2, "int y=0, int x=1"},
    ScriptCase{"i = 2.5;", parse_error, 0, 1, "int i=0"},
    ScriptCase{"1;\n2;\n3 3;\n4;", I(1) + I(2) + parse_error, 2, 3},
    ScriptCase{"1 1; 2 2;", parse_error, 0, 1},
    ScriptCase{"1 1; #x = 5;", parse_error, 0, 1, ""},
    ScriptCase{"1 +\n\n2 3\n;", parse_error, 0, 3},
    ScriptCase{";\n+;", parse_error, 0, 2},
    ScriptCase{"1 1 #\n;", "error: parse error\n#", 0, 1},
    ScriptCase{"(1", parse_error, 0, 0}));

INSTANTIATE_TEST_SUITE_P(Typing, Scripts, testing::Values(
    ScriptCase{"1 + 2.0;", parse_error, 0, 1},
    ScriptCase{"(double)1 + 2.0;", D("3.000000", 3), 1},
    ScriptCase{"1 + (int)2.0;", I(3), 3},
    ScriptCase{"i = 4; (double) i + 1;", I(4) + parse_error, 4, 1},
    ScriptCase{"i = 4; (double)(i + 1);", I(4) + D("5.000000", 5), 1},
    ScriptCase{"i = 4; (double) i & 1;", I(4) + D("0.000000", 0), 0},
    ScriptCase{"(int) 2.5 * 2.0;", parse_error, 0, 1},
    ScriptCase{"(int) 2.5 ** 2.0;", I(6), 6},
    ScriptCase{"1.0 < 2.0;", I(1), 1},
    ScriptCase{"1.0 == 2.0 == 3.0;", parse_error, 0, 1},
    ScriptCase{"1 == 2 == 3;", I(0), 0},
    ScriptCase{"3 == 3 == 1;", I(0), 0},
    ScriptCase{"1 < 2 < 3;", I(0), 0},
    ScriptCase{"3 > 2 > 1;", I(1), 1},
    ScriptCase{"!1.0;", parse_error, 0, 1},
    ScriptCase{"1.0 & 2.0;", parse_error, 0, 1},
    ScriptCase{"1.0 and 2.0;", parse_error, 0, 1},
    ScriptCase{"1.0 % 2;", parse_error, 0, 1},
    ScriptCase{"1.0 % 2.0;", D("1.000000", 1), 1},
    ScriptCase{"sin(2);", D("0.909297", 0), 1},
    ScriptCase{"sin;", parse_error, 0, 1},
    ScriptCase{"sin = 1.0;", parse_error, 0, 1},
    ScriptCase{"delete sin;", parse_error, 0, 1},
    ScriptCase{"int sin;", parse_error, 0, 1},
    ScriptCase{"int x = 5;", parse_error, 0, 1, "int x=0"},
    ScriptCase{"gettickcount;", parse_error, 0, 1},
    ScriptCase{"--1;", I(1), 1},
    ScriptCase{"~-1;", I(0), 0},
    ScriptCase{"1 - -1;", I(2), 2},
    ScriptCase{"1.5 > 1;", parse_error, 0, 1},
    ScriptCase{"(double) 1 + 2;", parse_error, 0, 1},
    ScriptCase{"(double) 2 ** 3;", D("8.000000", 8), 1}));

INSTANTIATE_TEST_SUITE_P(Precedence, Scripts, testing::Values(
    ScriptCase{"1 or 0 and 0;", I(0), 0},
    ScriptCase{"a = 2; b = 2; i = a == b;", I(2) + I(2) + I(1), 1, 0, "int i=1, int b=2, int a=2"},
    ScriptCase{"i = 1 and 0;", I(0), 0, 0, "int i=1"},
    ScriptCase{"x = y = 3;", I(3), 3, 0, "int y=3, int x=3"},
    ScriptCase{"3 * 1 << 2;", I(12), 12},
    ScriptCase{"1 + 6 & 3;", I(3), 3},
    ScriptCase{"2 * 3 ^ 1;", I(4), 4},
    ScriptCase{"-2 ** 2;", I(-4), -4},
    ScriptCase{"-3 & 5;", I(5), 5},
    ScriptCase{"2 ** 3 ** 2;", I(512), 512},
    ScriptCase{"7 - 2 - 1;", I(4), 4},
    ScriptCase{"16 / 4 / 2;", I(2), 2},
    ScriptCase{"(int) 2.9 ** 2.0 + 1;", I(9), 9},
    ScriptCase{"!0 + 1;", I(2), 2}));

INSTANTIATE_TEST_SUITE_P(IntegerRules, Scripts, testing::Values(
    ScriptCase{"7 / 0; 7 % 0;", I(0) + I(0), 0},
    ScriptCase{"-7 / 2; -7 % 2; 7 % -2;", I(-3) + I(-1) + I(1), 1},
    ScriptCase{"2147483647 + 1;", I(-2147483648L), INT32_MIN},
    ScriptCase{"-2147483647 - 2;", I(2147483647), INT32_MAX},
    ScriptCase{"65536 * 65536 + 46341 * 46341;", I(-2147479015L), -2147479015},
    ScriptCase{"-2147483648 / -1; -2147483648 % -1;", I(-2147483648L) + I(0), 0},
    ScriptCase{"-(-2147483648);", I(-2147483648L), INT32_MIN},
    ScriptCase{"2 ** 10; 2 ** 31; 2 ** 32;", I(1024) + I(-2147483648L) + I(0), 0},
    ScriptCase{"10 ** 10; 2 ** -1; (-2) ** 3;", I(1410065408) + I(0) + I(-8), -8},
    ScriptCase{"0 ** -1; 0 ** 0;", I(0) + I(1), 1},
    ScriptCase{"1 << 32; 1 << 33; -1 >> 31; 1 << -1;", I(1) + I(2) + I(-1) + I(-2147483648L), INT32_MIN},
    ScriptCase{"-8 >> 1; 1 >> 32; 12 ^ 10; ~0;", I(-4) + I(1) + I(6) + I(-1), -1},
    ScriptCase{"(int) 3000000000.0; (int) 1e19; (int) -0.5; (int) -1.9;", I(-1294967296) + I(0) + I(0) + I(-1), -1},
    ScriptCase{"(int) 4294967297.5; (int) (0.0 / 0.0);", I(1) + I(0), 0},
    ScriptCase{"(int) 9223372036854775807.0; (int) -9223372036854775808.0;", I(0) + I(0), 0},
    ScriptCase{"(int) 9223372036854774784.0;", I(-1024), -1024},
    ScriptCase{"0 and (x = 5); 1 or (y = 5);", I(0) + I(1), 1, 0, "int y=5, int x=5"},
    ScriptCase{"x = 1; x + (x = 5);", I(1) + I(6), 6},
    ScriptCase{"x = 1; (x = 5) + x;", I(1) + I(10), 10},
    ScriptCase{"5 > 3; 5 >= 5; 3 < 5; 5 <= 4; 2 != 2; !7;", I(1) + I(1) + I(1) + I(0) + I(0) + I(0), 0}));

INSTANTIATE_TEST_SUITE_P(DoubleRules, Scripts, testing::Values(
    ScriptCase{"7.0 / 0.0; 7.0 / -0.0; 7.0 % 0.0;", D("0.000000", 0) + D("0.000000", 0) + D("0.000000", 0), 0},
    ScriptCase{"7.9 % 2.9; -7.5 % 2.0;", D("1.000000", 1) + D("-1.000000", -1), 1},
    ScriptCase{"5.0 % 0.5; 5.0 % (1e300 * 1e300);", D("0.000000", 0) + D("0.000000", 0), 0},
    ScriptCase{"-(0.0);", D("-0.000000", 0), 0},
    ScriptCase{"sqrt(16); exp(0); ln(1); atan(0); cos(0.0);",
               D("4.000000", 4) + D("1.000000", 1) + D("0.000000", 0) + D("0.000000", 0) + D("1.000000", 1), 1},
    ScriptCase{"double n; n = sqrt(-1.0); n == n; n != n; n < 1.0; n > 1.0; n <= 1.0; n >= 1.0;",
               I(1) + D("-nan", 0) + I(1) + I(0) + I(1) + I(0) + I(1) + I(0), 0},
    ScriptCase{"double n; n = sqrt(-1.0); 1.0 / n; 1.0 % n;", I(1) + D("-nan", 0) + D("0.000000", 0) + D("0.000000", 0), 0},
    ScriptCase{"0.0 == -0.0; 1.5 >= 1.5; 2.0 ** 0.5; (-8.0) ** (1.0 / 3.0);",
               I(1) + I(1) + D("1.414214", 1) + D("-nan", 0), 0},
    ScriptCase{"1e308 ** 2.0; 0.1 + 0.2 == 0.3;", D("inf", 0) + I(0), 0}));

std::string nested(int depth) { return std::string(depth, '(') + "1" + std::string(depth, ')'); }

std::string chain(const char* operation, int operands) {
    std::string text = "1";
    for (int i = 1; i < operands; ++i) text += operation;
    return text;
}

// The stacks start with 200 entries and double up to 10000; a program needs two entries below
// the first parenthesis and two above the last.
TEST_F(EngineTest, DeepNestingGrowsTheStacksUpToTheirLimit) {
    const std::string overflow = "error: parser stack overflow\n";
    struct {
        std::string script;
        std::string output;
    } rows[] = {
        {nested(199) + ";", I(1)},
        {nested(9995) + ";", I(1)},
        {"1;" + nested(9996) + "; 2;", I(1) + overflow},
        {chain("+1", 100000) + ";", I(100000)},
        {chain("**1", 4999) + ";", I(1)},
        {chain("**1", 5000) + ";", overflow},
        {chain("==1", 5000) + ";", overflow},
    };
    for (const auto& row : rows) {
        RunOutcome outcome = run_script(row.script.c_str());
        EXPECT_EQ(outcome.output, row.output) << row.script.substr(0, 20);
        EXPECT_EQ(outcome.error_line, 0);
    }
}

TEST_F(EngineTest, TickCountIsThePlatformsMilliseconds) {
    uint32_t before = platform_tick_count();
    run_script("t = gettickcount();");
    uint32_t after = platform_tick_count();
    uint32_t tick = static_cast<uint32_t>(find_variable("t")->value.integer);
    EXPECT_LE(tick - before, after - before);
}

TEST_F(EngineTest, LinesRestartAtOneForEveryRun) {
    EXPECT_EQ(run_script("\n\n1 1;").error_line, 3);
    EXPECT_EQ(run_script("1 1;").error_line, 1);
}

}  // namespace
