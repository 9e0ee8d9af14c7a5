// String expressions, declarations, assignments and deletion in scripts.
#include "script_cases.h"
#include "store.h"

namespace {

const std::string empty_line = S("");

INSTANTIATE_TEST_SUITE_P(StringFunctions, Scripts, testing::Values(
    ScriptCase{"cut(\"abcdef\", 2, 3); cut(\"abcdef\", 4, 10);", S("cde") + S("ef"), 0},
    ScriptCase{"cut(\"abc\", 3, 1); cut(\"abc\", 0, 0); cut(\"abc\", 99, 1);", empty_line + empty_line + empty_line, 0},
    ScriptCase{"cut(\"abcdef\", -2, 4); cut(\"abc\", 1, -1); cut(\"abc\", -5, 2);", S("ab") + empty_line + empty_line, 0},
    ScriptCase{"cut(\"abc\", 1, 2147483647); cut(\"abc\", 2147483647, 2147483647);", S("bc") + empty_line, 0},
    ScriptCase{"cut(\"abc\", -2147483648, 2147483647); cut(\"abc\", -2147483648, -2147483648);", empty_line + empty_line, 0},
    ScriptCase{"substr(\"abcabc\", \"bc\", 0); substr(\"abcabc\", \"bc\", 2);", I(1) + I(4), 4},
    ScriptCase{"substr(\"abc\", \"x\", 0); substr(\"abc\", \"\", 1); substr(\"abc\", \"a\", 3);", I(-1) + I(1) + I(0), 0},
    ScriptCase{"substr(\"\", \"a\", 0); substr(\"abc\", \"a\", 4); substr(\"abc\", \"c\", -2147483648);", I(0) + I(-1) + I(2), 2},
    ScriptCase{"format(\"%05d\", 42); format(\"x=%d;\", 7);", S("00042") + S("x=7;"), 0},
    ScriptCase{"format(\"%.2f\", 3.14159); format(\"100%%\", 1);", S("3.14") + S("100%"), 0},
    ScriptCase{"format(\"%s\", 1); format(\"%d\", 1.5); format(\"%n\", 1);", S("%s") + S("%d") + S("%n"), 0},
    ScriptCase{"\"ab\" + \"cd\"; \"\" + \"\"; strlen(\"\"); strlen(\"abc\");", S("abcd") + empty_line + I(0) + I(3), 3},
    ScriptCase{"strtodouble(\"1.5d2\"); strtodouble(\"  -2.5e1x\");", D("150.000000", 150) + D("-25.000000", -25), 1},
    ScriptCase{"strtodouble(\"abc\"); strtodouble(\"0x10\"); strtodouble(\"inf\");",
               D("0.000000", 0) + D("0.000000", 0) + D("0.000000", 0), 0},
    ScriptCase{"strtoint(\"  42\"); strtoint(\"0x1f\"); hextoint(\"ff\"); hextoint(\"\");", I(42) + I(31) + I(255) + I(0), 0},
    ScriptCase{"\"abc\" == \"abc\"; \"abc\" == \"ABC\"; \"abc\" != \"abcd\"; \"a\" != \"a\";", I(1) + I(0) + I(1) + I(0), 0},
    ScriptCase{"\"a\" < \"b\";", parse_error, 0, 1},
    ScriptCase{"\"a\" - \"b\";", parse_error, 0, 1},
    ScriptCase{"sin(\"x\");", parse_error, 0, 1},
    ScriptCase{"string s; s = \"a\" + \"b\" == \"c\";", I(1) + I(0), 0, 0, "string s=\"ab\""},
    ScriptCase{"\"line\none\";\n1 1;", S("line\none") + parse_error, 0, 2},
    ScriptCase{"string s; s = \"x\"; s = s + \"!\"; s + s;", I(1) + S("x") + S("x!") + S("x!x!"), 0, 0, "string s=\"x!\""}));

INSTANTIATE_TEST_SUITE_P(Declarations, Scripts, testing::Values(
    ScriptCase{"x = 5;", I(5), 5, 0, "int x=5"},
    ScriptCase{"d = 1.5;", parse_error, 0, 1, "int d=0"},
    ScriptCase{"double d; d = 1.5;", I(1) + D("1.500000", 1), 1, 0, "double d=1.5"},
    ScriptCase{"string s; s = \"abc\";", I(1) + S("abc"), 0, 0, "string s=\"abc\""},
    ScriptCase{"s = \"abc\";", parse_error, 0, 1, "int s=0"},
    ScriptCase{"int x;", I(1), 1, 0, "int x=7", "x = 7;"},
    ScriptCase{"double x;", I(1), 1, 0, "double x=0", "x = 7;"},
    ScriptCase{"string x;", I(1), 1, 0, "string x=\"\"", "x = 7;"},
    ScriptCase{"int s;", I(1), 1, 0, "int s=0", "string s; s = \"t\";"},
    ScriptCase{"double s;", I(1), 1, 0, "double s=0", "string s; s = \"t\";"},
    ScriptCase{"string s;", I(1), 1, 0, "string s=\"t\"", "string s; s = \"t\";"},
    ScriptCase{"double d;", I(1), 1, 0, "double d=2.5", "double d; d = 2.5;"},
    ScriptCase{"int d; string e; e = \"x\"; double e;", I(1) + I(1) + S("x") + I(1), 1, 0, "double e=0, int d=0",
               "double d; d = 2.5;"},
    ScriptCase{"double d and d > 1.0;", I(0), 0, 0, "double d=0"},
    ScriptCase{"double x + 1.5;", parse_error, 0, 1, "double x=0"},
    ScriptCase{"delete x;", I(1), 1, 0, "", "x = 1;"},
    ScriptCase{"delete x + x;", I(1), 1, 0, "int x=0", "x = 1;"},
    ScriptCase{"delete x + delete x;", I(2), 2, 0, ""},
    ScriptCase{"delete s; s;", I(1) + I(0), 0, 0, "int s=0", "string s; s = \"t\";"},
    ScriptCase{"y = 3; x = y = y + 1;", I(3) + I(4), 4, 0, "int x=4, int y=4"}));

// A statement may delete or re-declare the record that one of its own assignments targets.
INSTANTIATE_TEST_SUITE_P(RecordsChangedWithinAStatement, Scripts, testing::Values(
    ScriptCase{"x = delete x;", I(1), 1, 0, "", "x = 3;"},
    ScriptCase{"x = (string x);", I(1), 1, 0, "string x=\"\""},
    ScriptCase{"d = (double)(string d);", D("1.000000", 1), 1, 0, "string d=\"\"", "double d;"},
    ScriptCase{"s = cut(\"abc\", int s, 1);", S("b"), 0, 0, "int s=0", "string s; s = \"t\";"},
    ScriptCase{"(s = \"a\") + (s = \"b\");", S("ab"), 0, 0, "string s=\"b\"", "string s;"},
    ScriptCase{"s = (s = \"x\");", S("x"), 0, 0, "string s=\"x\"", "string s;"},
    ScriptCase{"format(s = \"%d\", delete s);", S("1"), 0, 0, "", "string s;"},
    ScriptCase{"s + (s = \"new\") + format(\"%d\", delete s);", S("oldnew1"), 0, 0, "",
               "string s; s = \"old\";"},
    ScriptCase{"x = 1 + delete x; x;", I(2) + I(0), 0, 0, "int x=0", "x = 5;"}));

// `m` is a string variable that holds no text, as only the host can make one.
class ScriptsWithMissingText : public Scripts {
protected:
    void SetUp() override {
        Scripts::SetUp();
        create_variable("m", STRING_VAR);
    }
};

TEST_P(ScriptsWithMissingText, RunAsExpected) {
    const ScriptCase& row = GetParam();
    RunOutcome outcome = run_script(row.script);
    EXPECT_EQ(outcome.output, row.output);
    EXPECT_EQ(outcome.result, row.result);
    if (row.variables) {
        EXPECT_EQ(describe_variables(), row.variables);
    }
}

INSTANTIATE_TEST_SUITE_P(MissingStrings, ScriptsWithMissingText, testing::Values(
    ScriptCase{"m; strlen(m); m + \"x\";", S("(null)") + I(0) + S("x"), 0},
    ScriptCase{"cut(m, 0, 1); format(m, 1); format(m, 1.0);", S("(null)") + S("(null)") + S("(null)"), 0},
    ScriptCase{"strtoint(m); hextoint(m); strtodouble(m);", I(0) + I(0) + D("0.000000", 0), 0},
    ScriptCase{"substr(m, \"a\", 5); substr(m, m, 0); substr(\"abc\", m, 3); substr(\"abc\", m, 1);", I(0) + I(0) + I(0) + I(-1), -1},
    ScriptCase{"m == \"\"; m != \"\"; m == m; m == \"a\";", I(1) + I(0) + I(1) + I(0), 0},
    ScriptCase{"string s; s = \"keep\"; s = m; s;", I(1) + S("keep") + S("(null)") + S("keep"), 0, 0, "string s=\"keep\", string m=none"},
    ScriptCase{"string m; int m; m;", I(1) + I(1) + I(0), 0, 0, "int m=0"}));

}  // namespace
