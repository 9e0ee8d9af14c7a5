// String expressions, declarations, assignments and deletion in scripts.
#include "script_cases.h"
#include "store.h"
#include "store_lock.h"

namespace {

const std::string empty_line = S("");

INSTANTIATE_TEST_SUITE_P(StringFunctions, Scripts, testing::Values(
    ScriptCase{.name = "CutWithinAndPastTheEnd", .script = "cut(\"abcdef\", 2, 3); cut(\"abcdef\", 4, 10);",
               .output = S("cde") + S("ef"), .result = 0},
    ScriptCase{.name = "CutEmptyResults", .script = "cut(\"abc\", 3, 1); cut(\"abc\", 0, 0); cut(\"abc\", 99, 1);",
               .output = empty_line + empty_line + empty_line, .result = 0},
    ScriptCase{.name = "CutNegativeStartsAndLengths",
               .script = "cut(\"abcdef\", -2, 4); cut(\"abc\", 1, -1); cut(\"abc\", -5, 2);",
               .output = S("ab") + empty_line + empty_line, .result = 0},
    ScriptCase{.name = "CutHugeLengths", .script = "cut(\"abc\", 1, 2147483647); cut(\"abc\", 2147483647, 2147483647);",
               .output = S("bc") + empty_line, .result = 0},
    ScriptCase{.name = "CutMostNegative",
               .script = "cut(\"abc\", -2147483648, 2147483647); cut(\"abc\", -2147483648, -2147483648);",
               .output = empty_line + empty_line, .result = 0},
    ScriptCase{.name = "SubstrFromAPosition", .script = "substr(\"abcabc\", \"bc\", 0); substr(\"abcabc\", \"bc\", 2);",
               .output = I(1) + I(4), .result = 4},
    ScriptCase{.name = "SubstrMissesAndEmptyNeedle",
               .script = "substr(\"abc\", \"x\", 0); substr(\"abc\", \"\", 1); substr(\"abc\", \"a\", 3);",
               .output = I(-1) + I(1) + I(0), .result = 0},
    ScriptCase{.name = "SubstrEmptyTextAndOutOfRangeStarts",
               .script = "substr(\"\", \"a\", 0); substr(\"abc\", \"a\", 4); substr(\"abc\", \"c\", -2147483648);",
               .output = I(0) + I(-1) + I(2), .result = 2},
    ScriptCase{.name = "FormatInteger", .script = "format(\"%05d\", 42); format(\"x=%d;\", 7);",
               .output = S("00042") + S("x=7;"), .result = 0},
    ScriptCase{.name = "FormatDoubleAndPercent", .script = "format(\"%.2f\", 3.14159); format(\"100%%\", 1);",
               .output = S("3.14") + S("100%"), .result = 0},
    ScriptCase{.name = "FormatRejectsOtherConversions",
               .script = "format(\"%s\", 1); format(\"%d\", 1.5); format(\"%n\", 1);",
               .output = S("%s") + S("%d") + S("%n"), .result = 0},
    ScriptCase{.name = "ConcatenationAndLength",
               .script = "\"ab\" + \"cd\"; \"\" + \"\"; strlen(\"\"); strlen(\"abc\");",
               .output = S("abcd") + empty_line + I(0) + I(3), .result = 3},
    ScriptCase{.name = "StrToDoubleReadsAPrefix", .script = "strtodouble(\"1.5d2\"); strtodouble(\"  -2.5e1x\");",
               .output = D("150.000000", 150) + D("-25.000000", -25), .result = 1},
    ScriptCase{.name = "StrToDoubleRejectsOtherForms",
               .script = "strtodouble(\"abc\"); strtodouble(\"0x10\"); strtodouble(\"inf\");",
               .output = D("0.000000", 0) + D("0.000000", 0) + D("0.000000", 0), .result = 0},
    ScriptCase{.name = "StrToIntAndHexToInt",
               .script = "strtoint(\"  42\"); strtoint(\"0x1f\"); hextoint(\"ff\"); hextoint(\"\");",
               .output = I(42) + I(31) + I(255) + I(0), .result = 0},
    ScriptCase{.name = "StringEquality",
               .script = "\"abc\" == \"abc\"; \"abc\" == \"ABC\"; \"abc\" != \"abcd\"; \"a\" != \"a\";",
               .output = I(1) + I(0) + I(1) + I(0), .result = 0},
    ScriptCase{.name = "StringLessThan", .script = "\"a\" < \"b\";",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "StringMinus", .script = "\"a\" - \"b\";", .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "FunctionOfString", .script = "sin(\"x\");",
               .output = parse_error, .result = 0, .error_line = 1},
    ScriptCase{.name = "AssignmentBeforeStringComparison", .script = "string s; s = \"a\" + \"b\" == \"c\";",
               .output = I(1) + I(0), .result = 0, .variables = "string s=\"ab\""},
    ScriptCase{.name = "NewlineInALiteralIsNoLine", .script = "\"line\none\";\n1 1;",
               .output = S("line\none") + parse_error, .result = 0, .error_line = 2},
    ScriptCase{.name = "AppendToAStringVariable", .script = "string s; s = \"x\"; s = s + \"!\"; s + s;",
               .output = I(1) + S("x") + S("x!") + S("x!x!"), .result = 0, .variables = "string s=\"x!\""}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Declarations, Scripts, testing::Values(
    ScriptCase{.name = "UndeclaredIsInt", .script = "x = 5;", .output = I(5), .result = 5, .variables = "int x=5"},
    ScriptCase{.name = "UndeclaredRefusesDouble", .script = "d = 1.5;",
               .output = parse_error, .result = 0, .error_line = 1, .variables = "int d=0"},
    ScriptCase{.name = "DeclareDouble", .script = "double d; d = 1.5;",
               .output = I(1) + D("1.500000", 1), .result = 1, .variables = "double d=1.5"},
    ScriptCase{.name = "DeclareString", .script = "string s; s = \"abc\";",
               .output = I(1) + S("abc"), .result = 0, .variables = "string s=\"abc\""},
    ScriptCase{.name = "UndeclaredRefusesString", .script = "s = \"abc\";",
               .output = parse_error, .result = 0, .error_line = 1, .variables = "int s=0"},
    ScriptCase{.name = "RedeclareIntKeepsValue", .script = "int x;",
               .output = I(1), .result = 1, .variables = "int x=7", .setup = "x = 7;"},
    ScriptCase{.name = "RedeclareIntAsDouble", .script = "double x;",
               .output = I(1), .result = 1, .variables = "double x=0", .setup = "x = 7;"},
    ScriptCase{.name = "RedeclareIntAsString", .script = "string x;",
               .output = I(1), .result = 1, .variables = "string x=\"\"", .setup = "x = 7;"},
    ScriptCase{.name = "RedeclareStringAsInt", .script = "int s;",
               .output = I(1), .result = 1, .variables = "int s=0", .setup = "string s; s = \"t\";"},
    ScriptCase{.name = "RedeclareStringAsDouble", .script = "double s;",
               .output = I(1), .result = 1, .variables = "double s=0", .setup = "string s; s = \"t\";"},
    ScriptCase{.name = "RedeclareStringKeepsText", .script = "string s;",
               .output = I(1), .result = 1, .variables = "string s=\"t\"", .setup = "string s; s = \"t\";"},
    ScriptCase{.name = "RedeclareDoubleKeepsValue", .script = "double d;",
               .output = I(1), .result = 1, .variables = "double d=2.5", .setup = "double d; d = 2.5;"},
    ScriptCase{.name = "RedeclareSeveral", .script = "int d; string e; e = \"x\"; double e;",
               .output = I(1) + I(1) + S("x") + I(1), .result = 1,
               .variables = "double e=0, int d=0", .setup = "double d; d = 2.5;"},
    ScriptCase{.name = "DeclarationAsOperand", .script = "double d and d > 1.0;",
               .output = I(0), .result = 0, .variables = "double d=0"},
    ScriptCase{.name = "DeclarationValueIsInt", .script = "double x + 1.5;",
               .output = parse_error, .result = 0, .error_line = 1, .variables = "double x=0"},
    ScriptCase{.name = "Delete", .script = "delete x;",
               .output = I(1), .result = 1, .variables = "", .setup = "x = 1;"},
    ScriptCase{.name = "DeleteThenUseRecreates", .script = "delete x + x;",
               .output = I(1), .result = 1, .variables = "int x=0", .setup = "x = 1;"},
    ScriptCase{.name = "DeleteTwice", .script = "delete x + delete x;", .output = I(2), .result = 2, .variables = ""},
    ScriptCase{.name = "UseAfterDeleteIsANewInt", .script = "delete s; s;",
               .output = I(1) + I(0), .result = 0, .variables = "int s=0", .setup = "string s; s = \"t\";"},
    ScriptCase{.name = "ChainedAssignment", .script = "y = 3; x = y = y + 1;",
               .output = I(3) + I(4), .result = 4, .variables = "int x=4, int y=4"}),
    row_name);

// A statement may delete or re-declare the record that one of its own assignments targets.
INSTANTIATE_TEST_SUITE_P(RecordsChangedWithinAStatement, Scripts, testing::Values(
    ScriptCase{.name = "AssignDeleteOfTarget", .script = "x = delete x;",
               .output = I(1), .result = 1, .variables = "", .setup = "x = 3;"},
    ScriptCase{.name = "AssignRedeclarationOfTarget", .script = "x = (string x);",
               .output = I(1), .result = 1, .variables = "string x=\"\""},
    ScriptCase{.name = "AssignCastOfRedeclaredTarget", .script = "d = (double)(string d);",
               .output = D("1.000000", 1), .result = 1, .variables = "string d=\"\"", .setup = "double d;"},
    ScriptCase{.name = "TargetRedeclaredInsideAFunction", .script = "s = cut(\"abc\", int s, 1);",
               .output = S("b"), .result = 0, .variables = "int s=0", .setup = "string s; s = \"t\";"},
    ScriptCase{.name = "TwoAssignmentsToOneString", .script = "(s = \"a\") + (s = \"b\");",
               .output = S("ab"), .result = 0, .variables = "string s=\"b\"", .setup = "string s;"},
    ScriptCase{.name = "NestedAssignmentsToOneString", .script = "s = (s = \"x\");",
               .output = S("x"), .result = 0, .variables = "string s=\"x\"", .setup = "string s;"},
    ScriptCase{.name = "FormatOfADeletedString", .script = "format(s = \"%d\", delete s);",
               .output = S("1"), .result = 0, .variables = "", .setup = "string s;"},
    ScriptCase{.name = "OldTextNewTextAndDelete", .script = "s + (s = \"new\") + format(\"%d\", delete s);",
               .output = S("oldnew1"), .result = 0, .variables = "", .setup = "string s; s = \"old\";"},
    ScriptCase{.name = "DeletedTargetIsNotAssigned", .script = "x = 1 + delete x; x;",
               .output = I(2) + I(0), .result = 0, .variables = "int x=0", .setup = "x = 5;"}),
    row_name);

// `m` is a string variable that holds no text, as only the host can make one.
class ScriptsWithMissingText : public Scripts {
protected:
    void SetUp() override {
        Scripts::SetUp();
        const StoreLockScope lock;
        create_variable("m", STRING_VAR);
    }
};

TEST_P(ScriptsWithMissingText, RunAsExpected) {
    const ScriptCase& row = GetParam();
    ScriptRun outcome = run_script(row.script);
    EXPECT_EQ(outcome.output, row.output);
    EXPECT_EQ(outcome.result, row.result);
    if (row.variables) {
        EXPECT_EQ(describe_variables(), row.variables);
    }
}

INSTANTIATE_TEST_SUITE_P(MissingStrings, ScriptsWithMissingText, testing::Values(
    ScriptCase{.name = "ReadAndConcatenated", .script = "m; strlen(m); m + \"x\";",
               .output = S("(null)") + I(0) + S("x"), .result = 0},
    ScriptCase{.name = "CutAndFormat", .script = "cut(m, 0, 1); format(m, 1); format(m, 1.0);",
               .output = S("(null)") + S("(null)") + S("(null)"), .result = 0},
    ScriptCase{.name = "Conversions", .script = "strtoint(m); hextoint(m); strtodouble(m);",
               .output = I(0) + I(0) + D("0.000000", 0), .result = 0},
    ScriptCase{.name = "Substr",
               .script = "substr(m, \"a\", 5); substr(m, m, 0); substr(\"abc\", m, 3); substr(\"abc\", m, 1);",
               .output = I(0) + I(0) + I(0) + I(-1), .result = -1},
    ScriptCase{.name = "Comparisons", .script = "m == \"\"; m != \"\"; m == m; m == \"a\";",
               .output = I(1) + I(0) + I(1) + I(0), .result = 0},
    ScriptCase{.name = "AssignedToAString", .script = "string s; s = \"keep\"; s = m; s;",
               .output = I(1) + S("keep") + S("(null)") + S("keep"), .result = 0,
               .variables = "string s=\"keep\", string m=none"},
    ScriptCase{.name = "Redeclared", .script = "string m; int m; m;",
               .output = I(1) + I(1) + I(0), .result = 0, .variables = "int m=0"}),
    row_name);

}  // namespace
