// Scripts run end to end through run_parser: result, error line, standard output and the
// variables left in the store.
#include "platform.h"
#include "regscript.h"
#include "script_cases.h"
#include "store.h"
#include "store_lock.h"

TEST_P(Scripts, RunAsExpected) {
    const ScriptCase& row = GetParam();
    run_script(row.setup);
    ScriptRun outcome = run_script(row.script);
    EXPECT_EQ(outcome.output, row.output);
    EXPECT_EQ(outcome.result, row.result);
    EXPECT_EQ(outcome.error_line, row.error_line);
    if (row.variables) {
        EXPECT_EQ(describe_variables(), row.variables);
    }
}

namespace {

INSTANTIATE_TEST_SUITE_P(Statements, Scripts, testing::Values(
    ScriptCase{.name = "EmptyScript", .script = "", .output = "", .result = 7, .variables = "", .setup = "7;"},
    ScriptCase{.name = "LoneSemicolon", .script = ";", .output = "", .result = 7, .variables = "", .setup = "7;"},
    ScriptCase{.name = "OnlyBlanksAndSemicolons", .script = " ;;\n ; ",
               .output = "", .result = 7, .variables = "", .setup = "7;"},
    ScriptCase{.name = "Integer", .script = "5;", .output = I(5), .result = 5},
    ScriptCase{.name = "NegativeInteger", .script = "-7;", .output = I(-7), .result = -7},
    ScriptCase{.name = "Zero", .script = "0;", .output = I(0), .result = 0, .variables = "", .setup = "7;"},
    ScriptCase{.name = "Double", .script = "2.5;", .output = D("2.500000", 2), .result = 1},
    ScriptCase{.name = "DoubleZero", .script = "0.0;", .output = D("0.000000", 0), .result = 0},
    ScriptCase{.name = "NegativeDoubleZero", .script = "-0.0;", .output = D("-0.000000", 0), .result = 0},
    ScriptCase{.name = "NegativeFraction", .script = "-0.25;", .output = D("-0.250000", 0), .result = 1},
    ScriptCase{.name = "NotANumber", .script = "sqrt(-1.0);", .output = D("-nan", 0), .result = 0},
    ScriptCase{.name = "Infinity", .script = "1e300 * 1e300;", .output = D("inf", 0), .result = 1},
    ScriptCase{.name = "DoubleBeyondInt", .script = "3000000000.0;",
               .output = D("3000000000.000000", -1294967296), .result = 1},
    ScriptCase{.name = "String", .script = "\"abc\";", .output = S("abc"), .result = 0},
    ScriptCase{.name = "EmptyStatementKeepsTheResult", .script = "1; ;", .output = I(1), .result = 1},
    ScriptCase{.name = "OneOfEachType", .script = "1; 2.5; \"x\";",
               .output = I(1) + D("2.500000", 2) + S("x"), .result = 0},
    ScriptCase{.name = "StringAfterInteger", .script = "1; \"abc\";", .output = I(1) + S("abc"), .result = 0},
    ScriptCase{.name = "EchoedByteBetweenStatements", .script = "1;#2;", .output = I(1) + "#" + I(2), .result = 2},
    ScriptCase{.name = "VariablesAcrossLines", .script = "x = 1;\ny = x + 1;\nx + y;",
               .output = I(1) + I(2) + I(3), .result = 3, .variables = "int y=2, int x=1"}),
    row_name);

INSTANTIATE_TEST_SUITE_P(SyntaxErrors, Scripts, testing::Values(
    ScriptCase{.name = "TwoNamesInARow", .script = "1; x y; 2;",
               .output = I(1) + parse_error, .result = 1, .error_line = 1, .variables = "int y=0, int x=0"},
    ScriptCase{.name = "MissingSemicolonAlone", .script = "3",
               .output = parse_error, .result = 9, .variables = "", .setup = "9;"},
    ScriptCase{.name = "MissingFinalSemicolon", .script = "1; 2", .output = I(1) + parse_error, .result = 1},
    ScriptCase{.name = "MissingOperand", .script = "x = 1 +\n;",
               .output = parse_error, .result = 0, .error_line = 2, .variables = "int x=0"},
    ScriptCase{.name = "MissingSemicolonBetweenLines", .script = "x = 1\ny = 2;",
               .output = parse_error, .result = 0, .error_line = 2, .variables = "int y=0, int x=1"},
    ScriptCase{.name = "DoubleIntoIntVariable", .script = "i = 2.5;",
               .output = parse_error, .result = 0, .error_line = 1, .variables = "int i=0"},
    ScriptCase{.name = "ErrorOnTheThirdLine", .script = "1;\n2;\n3 3;\n4;",
               .output = I(1) + I(2) + parse_error, .result = 2, .error_line = 3},
    ScriptCase{.name = "FirstErrorStopsTheRun", .script = "1 1; 2 2;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "NothingIsScannedAfterAnError", .script = "1 1; #x = 5;",
               .output = parse_error, .result = 0, .error_line = 1, .variables = ""},
    ScriptCase{.name = "ErrorLineOfTheOffendingToken", .script = "1 +\n\n2 3\n;",
               .output = parse_error, .result = 0, .error_line = 3},
    ScriptCase{.name = "LoneOperator", .script = ";\n+;", .output = parse_error, .result = 0, .error_line = 2},
    ScriptCase{.name = "EchoAfterTheErrorInItsStatement", .script = "1 1 #\n;",
               .output = "error: parse error\n#", .result = 0, .error_line = 1},
    ScriptCase{.name = "UnclosedParenthesisAtTheEnd", .script = "(1", .output = parse_error, .result = 0}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Typing, Scripts, testing::Values(
    ScriptCase{.name = "IntPlusDouble", .script = "1 + 2.0;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "CastIntToDouble", .script = "(double)1 + 2.0;", .output = D("3.000000", 3), .result = 1},
    ScriptCase{.name = "CastDoubleToInt", .script = "1 + (int)2.0;", .output = I(3), .result = 3},
    ScriptCase{.name = "DoubleCastBindsTighterThanPlus", .script = "i = 4; (double) i + 1;",
               .output = I(4) + parse_error, .result = 4, .error_line = 1},
    ScriptCase{.name = "DoubleCastOfParentheses", .script = "i = 4; (double)(i + 1);",
               .output = I(4) + D("5.000000", 5), .result = 1},
    ScriptCase{.name = "DoubleCastBindsLooserThanBitAnd", .script = "i = 4; (double) i & 1;",
               .output = I(4) + D("0.000000", 0), .result = 0},
    ScriptCase{.name = "IntCastBindsTighterThanTimes", .script = "(int) 2.5 * 2.0;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "IntCastBindsLooserThanPower", .script = "(int) 2.5 ** 2.0;", .output = I(6), .result = 6},
    ScriptCase{.name = "DoubleComparisonIsInt", .script = "1.0 < 2.0;", .output = I(1), .result = 1},
    ScriptCase{.name = "ChainedDoubleEquality", .script = "1.0 == 2.0 == 3.0;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "ChainedEquality", .script = "1 == 2 == 3;", .output = I(0), .result = 0},
    ScriptCase{.name = "ChainedEqualityFromTheLeft", .script = "3 == 3 == 1;", .output = I(0), .result = 0},
    ScriptCase{.name = "ChainedLessThan", .script = "1 < 2 < 3;", .output = I(0), .result = 0},
    ScriptCase{.name = "ChainedGreaterThan", .script = "3 > 2 > 1;", .output = I(1), .result = 1},
    ScriptCase{.name = "NotOfDouble", .script = "!1.0;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "BitAndOfDoubles", .script = "1.0 & 2.0;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "AndOfDoubles", .script = "1.0 and 2.0;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "ModuloOfDoubleAndInt", .script = "1.0 % 2;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "ModuloOfDoubles", .script = "1.0 % 2.0;", .output = D("1.000000", 1), .result = 1},
    ScriptCase{.name = "FunctionOfInt", .script = "sin(2);", .output = D("0.909297", 0), .result = 1},
    ScriptCase{.name = "FunctionWithoutCall", .script = "sin;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "AssignToFunction", .script = "sin = 1.0;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "DeleteFunction", .script = "delete sin;", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "DeclareFunctionName", .script = "int sin;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "DeclarationWithValue", .script = "int x = 5;",
               .output = parse_error, .result = 0, .error_line = 1, .variables = "int x=0"},
    ScriptCase{.name = "TickCountWithoutCall", .script = "gettickcount;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "DoubleNegation", .script = "--1;", .output = I(1), .result = 1},
    ScriptCase{.name = "BitNotOfNegative", .script = "~-1;", .output = I(0), .result = 0},
    ScriptCase{.name = "MinusNegative", .script = "1 - -1;", .output = I(2), .result = 2},
    ScriptCase{.name = "DoubleGreaterThanInt", .script = "1.5 > 1;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "DoubleCastPlusInt", .script = "(double) 1 + 2;",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "DoubleCastOfPower", .script = "(double) 2 ** 3;", .output = D("8.000000", 8), .result = 1}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Precedence, Scripts, testing::Values(
    ScriptCase{.name = "AndOrFromTheLeft", .script = "1 or 0 and 0;", .output = I(0), .result = 0},
    ScriptCase{.name = "AssignmentBelowEquality", .script = "a = 2; b = 2; i = a == b;",
               .output = I(2) + I(2) + I(1), .result = 1, .variables = "int i=1, int b=2, int a=2"},
    ScriptCase{.name = "AssignmentAboveAnd", .script = "i = 1 and 0;",
               .output = I(0), .result = 0, .variables = "int i=1"},
    ScriptCase{.name = "AssignmentFromTheRight", .script = "x = y = 3;",
               .output = I(3), .result = 3, .variables = "int y=3, int x=3"},
    ScriptCase{.name = "TimesAndShift", .script = "3 * 1 << 2;", .output = I(12), .result = 12},
    ScriptCase{.name = "PlusAndBitAnd", .script = "1 + 6 & 3;", .output = I(3), .result = 3},
    ScriptCase{.name = "BitXorBeforeTimes", .script = "2 * 3 ^ 1;", .output = I(4), .result = 4},
    ScriptCase{.name = "PowerBeforeNegation", .script = "-2 ** 2;", .output = I(-4), .result = -4},
    ScriptCase{.name = "NegationBeforeBitAnd", .script = "-3 & 5;", .output = I(5), .result = 5},
    ScriptCase{.name = "PowerFromTheRight", .script = "2 ** 3 ** 2;", .output = I(512), .result = 512},
    ScriptCase{.name = "MinusFromTheLeft", .script = "7 - 2 - 1;", .output = I(4), .result = 4},
    ScriptCase{.name = "DivideFromTheLeft", .script = "16 / 4 / 2;", .output = I(2), .result = 2},
    ScriptCase{.name = "IntCastOfPowerThenPlus", .script = "(int) 2.9 ** 2.0 + 1;", .output = I(9), .result = 9},
    ScriptCase{.name = "NotBeforePlus", .script = "!0 + 1;", .output = I(2), .result = 2}),
    row_name);

INSTANTIATE_TEST_SUITE_P(IntegerRules, Scripts, testing::Values(
    ScriptCase{.name = "DivisionByZero", .script = "7 / 0; 7 % 0;", .output = I(0) + I(0), .result = 0},
    ScriptCase{.name = "DivisionTruncatesTowardZero", .script = "-7 / 2; -7 % 2; 7 % -2;",
               .output = I(-3) + I(-1) + I(1), .result = 1},
    ScriptCase{.name = "AdditionWraps", .script = "2147483647 + 1;", .output = I(-2147483648L), .result = INT32_MIN},
    ScriptCase{.name = "SubtractionWraps", .script = "-2147483647 - 2;", .output = I(2147483647), .result = INT32_MAX},
    ScriptCase{.name = "MultiplicationWraps", .script = "65536 * 65536 + 46341 * 46341;",
               .output = I(-2147479015L), .result = -2147479015},
    ScriptCase{.name = "MostNegativeDividedByMinusOne", .script = "-2147483648 / -1; -2147483648 % -1;",
               .output = I(-2147483648L) + I(0), .result = 0},
    ScriptCase{.name = "NegatingMostNegative", .script = "-(-2147483648);",
               .output = I(-2147483648L), .result = INT32_MIN},
    ScriptCase{.name = "PowersOfTwo", .script = "2 ** 10; 2 ** 31; 2 ** 32;",
               .output = I(1024) + I(-2147483648L) + I(0), .result = 0},
    ScriptCase{.name = "PowerWrapsAndNegativeExponents", .script = "10 ** 10; 2 ** -1; (-2) ** 3;",
               .output = I(1410065408) + I(0) + I(-8), .result = -8},
    ScriptCase{.name = "PowersOfZero", .script = "0 ** -1; 0 ** 0;", .output = I(0) + I(1), .result = 1},
    ScriptCase{.name = "ShiftCountsWrap", .script = "1 << 32; 1 << 33; -1 >> 31; 1 << -1;",
               .output = I(1) + I(2) + I(-1) + I(-2147483648L), .result = INT32_MIN},
    ScriptCase{.name = "ArithmeticShiftXorAndNot", .script = "-8 >> 1; 1 >> 32; 12 ^ 10; ~0;",
               .output = I(-4) + I(1) + I(6) + I(-1), .result = -1},
    ScriptCase{.name = "CastsTruncateAndWrap", .script = "(int) 3000000000.0; (int) 1e19; (int) -0.5; (int) -1.9;",
               .output = I(-1294967296) + I(0) + I(0) + I(-1), .result = -1},
    ScriptCase{.name = "CastsWrapAndNotANumberIsZero", .script = "(int) 4294967297.5; (int) (0.0 / 0.0);",
               .output = I(1) + I(0), .result = 0},
    ScriptCase{.name = "CastsBeyond64BitsAreZero",
               .script = "(int) 9223372036854775807.0; (int) -9223372036854775808.0;", .output = I(0) + I(0),
               .result = 0},
    ScriptCase{.name = "CastOfLargestBelow64Bits", .script = "(int) 9223372036854774784.0;",
               .output = I(-1024), .result = -1024},
    ScriptCase{.name = "AndOrEvaluateBothSides", .script = "0 and (x = 5); 1 or (y = 5);",
               .output = I(0) + I(1), .result = 1, .variables = "int y=5, int x=5"},
    ScriptCase{.name = "LeftOperandReadFirst", .script = "x = 1; x + (x = 5);", .output = I(1) + I(6), .result = 6},
    ScriptCase{.name = "AssignmentOnTheLeftIsSeenOnTheRight", .script = "x = 1; (x = 5) + x;",
               .output = I(1) + I(10), .result = 10},
    ScriptCase{.name = "Comparisons", .script = "5 > 3; 5 >= 5; 3 < 5; 5 <= 4; 2 != 2; !7;",
               .output = I(1) + I(1) + I(1) + I(0) + I(0) + I(0), .result = 0}),
    row_name);

INSTANTIATE_TEST_SUITE_P(DoubleRules, Scripts, testing::Values(
    ScriptCase{.name = "DivisionAndModuloByZero", .script = "7.0 / 0.0; 7.0 / -0.0; 7.0 % 0.0;",
               .output = D("0.000000", 0) + D("0.000000", 0) + D("0.000000", 0), .result = 0},
    ScriptCase{.name = "ModuloTruncates", .script = "7.9 % 2.9; -7.5 % 2.0;",
               .output = D("1.000000", 1) + D("-1.000000", -1), .result = 1},
    ScriptCase{.name = "ModuloByFractionAndInfinity", .script = "5.0 % 0.5; 5.0 % (1e300 * 1e300);",
               .output = D("0.000000", 0) + D("0.000000", 0), .result = 0},
    ScriptCase{.name = "NegatedZero", .script = "-(0.0);", .output = D("-0.000000", 0), .result = 0},
    ScriptCase{.name = "Functions", .script = "sqrt(16); exp(0); ln(1); atan(0); cos(0.0);",
               .output = D("4.000000", 4) + D("1.000000", 1) + D("0.000000", 0) + D("0.000000", 0) + D("1.000000", 1),
               .result = 1},
    ScriptCase{.name = "NotANumberComparisons",
               .script = "double n; n = sqrt(-1.0); n == n; n != n; n < 1.0; n > 1.0; n <= 1.0; n >= 1.0;",
               .output = I(1) + D("-nan", 0) + I(1) + I(0) + I(1) + I(0) + I(1) + I(0), .result = 0},
    ScriptCase{.name = "DivisionByNotANumber", .script = "double n; n = sqrt(-1.0); 1.0 / n; 1.0 % n;",
               .output = I(1) + D("-nan", 0) + D("0.000000", 0) + D("0.000000", 0), .result = 0},
    ScriptCase{.name = "SignedZeroAndPowers", .script = "0.0 == -0.0; 1.5 >= 1.5; 2.0 ** 0.5; (-8.0) ** (1.0 / 3.0);",
               .output = I(1) + I(1) + D("1.414214", 1) + D("-nan", 0), .result = 0},
    ScriptCase{.name = "OverflowAndRounding", .script = "1e308 ** 2.0; 0.1 + 0.2 == 0.3;",
               .output = D("inf", 0) + I(0), .result = 0}),
    row_name);

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
        ScriptRun outcome = run_script(row.script.c_str());
        EXPECT_EQ(outcome.output, row.output) << row.script.substr(0, 20);
        EXPECT_EQ(outcome.error_line, 0);
    }
}

TEST_F(EngineTest, TickCountIsThePlatformsMilliseconds) {
    uint32_t before = platform_tick_count();
    run_script("t = gettickcount();");
    uint32_t after = platform_tick_count();
    const StoreLockScope lock;
    uint32_t tick = static_cast<uint32_t>(find_variable("t")->value.integer);
    EXPECT_LE(tick - before, after - before);
}

TEST_F(EngineTest, LinesRestartAtOneForEveryRun) {
    EXPECT_EQ(run_script("\n\n1 1;").error_line, 3);
    EXPECT_EQ(run_script("1 1;").error_line, 1);
}

}  // namespace
