// The command-line host run as a user runs it: arguments, files in a working directory of its
// own, standard input; then its exit status, standard output and standard error.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "process.h"
#include "script_cases.h"

namespace {

// What one stream must hold.
struct Expect {
    enum class Mode { exactly, containing, ending_with, anything };
    Mode mode;
    std::string text;
};

Expect is(std::string text) { return {Expect::Mode::exactly, std::move(text)}; }
Expect has(std::string text) { return {Expect::Mode::containing, std::move(text)}; }
Expect ends(std::string text) { return {Expect::Mode::ending_with, std::move(text)}; }
const Expect anything{Expect::Mode::anything, ""};
const Expect nothing = is("");

void check(const char* stream, const std::string& actual, const Expect& expected) {
    switch (expected.mode) {
        case Expect::Mode::exactly: EXPECT_EQ(actual, expected.text) << stream; break;
        case Expect::Mode::containing: EXPECT_NE(actual.find(expected.text), std::string::npos) << stream << ": " << actual; break;
        case Expect::Mode::ending_with: EXPECT_TRUE(actual.ends_with(expected.text)) << stream << ": " << actual; break;
        case Expect::Mode::anything: break;
    }
}

struct HostRun {
    const char* label;
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> files;  // written to the working directory first
    std::string input;
    int exit_code;
    Expect out;
    Expect err;
    const char* standard_output = nullptr;  // a file instead of `out` ("/dev/full"); "" closes it
};

void PrintTo(const HostRun& row, std::ostream* out) { *out << row.label; }

class HostRuns : public testing::TestWithParam<HostRun> {};

TEST_P(HostRuns, BehaveAsExpected) {
    const HostRun& row = GetParam();
    ScratchDirectory directory;
    for (const auto& [name, text] : row.files) directory.write(name, text);
    const ProcessOutcome outcome = run_process(REGSCRIPT_HOST, row.arguments, row.input, directory.path(), row.standard_output);
    EXPECT_EQ(outcome.exit_code, row.exit_code);
    check("standard output", outcome.out, row.out);
    check("standard error", outcome.err, row.err);
}

std::string row_name(const testing::TestParamInfo<HostRun>& info) { return info.param.label; }

std::string source_file(const char* name) { return std::string(REGSCRIPT_SOURCE_DIR) + "/" + name; }

std::string nested(int depth) { return std::string(depth, '(') + "1" + std::string(depth, ')') + ";"; }

// The caret line under a message's source line.
std::string caret(int column) { return std::string(static_cast<std::size_t>(column - 1), ' ') + "^\n"; }
const std::string long_name(300, 'n');
const std::string long_text(5000, 't');

INSTANTIATE_TEST_SUITE_P(Scripts, HostRuns, testing::Values(
    HostRun{"FilesRunInOrderInOneStore", {"a.regs", "b.regs"}, {{"a.regs", "x = 1;"}, {"b.regs", "x = x + 1; x;"}}, "",
            0, is(I(1) + I(2) + I(2)), nothing},
    HostRun{"TextsAndFilesKeepTheirOrder", {"-e", "x = 10;", "a.regs", "--eval=x * 2;"}, {{"a.regs", "x = x + 1;"}}, "",
            0, is(I(10) + I(11) + I(22)), nothing},
    HostRun{"DashReadsStandardInput", {"-e", "x = 1;", "-", "-e", "x;"}, {}, "x = x + 5;",
            0, is(I(1) + I(6) + I(6)), nothing},
    HostRun{"DoubleDashEndsTheOptions", {"--", "-e"}, {{"-e", "5;"}}, "", 0, is(I(5)), nothing},
    HostRun{"ResultsFollowTheirScripts", {"--result", "-e", "7;", "-e", "2.5;", "-e", "\"s\";"}, {}, "",
            0, is(I(7) + "result: 7\n" + D("2.500000", 2) + "result: 1\n" + S("s") + "result: 0\n"), nothing},
    HostRun{"EchoedBytesAfterTheLastStatementAreNoError", {"-e", "1; #"}, {}, "", 0, is(I(1) + "#"),
            has("-e:1:4: warning: `#` begins no token")},
    HostRun{"TheLibrarysMessageInsideAStringIsNoError", {"-e", "\"x\nerror: parse error\";"}, {}, "",
            0, is(S("x\nerror: parse error")), nothing},
    HostRun{"TheTourRunsCleanly", {source_file("examples/tour.regs")}, {}, "", 0, anything, nothing},
    HostRun{"TheTemplateExpandsAfterTheTour",
            {source_file("examples/tour.regs"), "--expand-file", source_file("examples/template.txt")}, {}, "",
            0, ends("Dear Ada,\n"
                    "your order 1017 of 3 items comes to 22.50000 (with 12% off).\n"
                    "Shipping: express; reference RS-1017-ADA.\n"
                    "Write [[ in a template to get [.\n"), nothing}),
    row_name);

INSTANTIATE_TEST_SUITE_P(SyntaxErrors, HostRuns, testing::Values(
    HostRun{"NameTheFileAndLineAndStopTheRun", {"bad.regs", "-e", "4;", "--vars"}, {{"bad.regs", "1;\n2 2;\n3;"}}, "",
            1, is(I(1) + parse_error), is("bad.regs:2:3: error: `;` expected before `2`\n2 2;\n" + caret(3) +
                                          "regscript: stopped after the error in bad.regs; left out: the scripts after it and --vars; "
                                          "--keep-going runs them\n")},
    HostRun{"KeepGoingRunsTheRestAndNumbersEachE", {"--keep-going", "-e", "1 1;", "-e", "x = 2;", "--expand", "[x]!"}, {}, "",
            1, is(parse_error + I(2) + "2!\n"), is("-e#1:1:3: error: `;` expected before `1`\n1 1;\n" + caret(3))},
    HostRun{"OnStandardInputAreNamedStdin", {"-"}, {}, "\n1 1;", 1, is(parse_error), is("<stdin>:2:3: error: `;` expected before `1`\n1 1;\n" + caret(3))},
    HostRun{"AMissingFinalSemicolonIsReported", {"-e", "x = 1"}, {}, "", 1, is(parse_error), is("-e:1:6: error: `;` expected at the end of the script, after `1`\nx = 1\n" + caret(6))},
    HostRun{"ErrorsAfterEchoedBytesAreReported", {"-e", "#(1"}, {}, "", 1, is("#" + parse_error),
            is("-e:1:1: warning: `#` begins no token: it is printed and skipped; there are no comments\n#(1\n" + caret(1) +
               "-e:1:4: error: the script ends inside a statement, after `1`; finish the statement and end it with `;`\n"
               "#(1\n" + caret(4))},
    HostRun{"TooDeepNestingIsReported", {"-e", nested(10000)}, {}, "", 1, is("error: parser stack overflow\n"),
            has("-e:1:9998: error: this statement nests too deeply")},
    HostRun{"ANulByteEndsAScriptWithAWarning", {"nul.regs"}, {{"nul.regs", std::string("1;\0 2 2;", 8)}}, "",
            0, is(I(1)), is("nul.regs: warning: a NUL byte at offset 2 ends the script; the rest is not run\n")}),
    row_name);

const std::string checked_script = "x = 1;\ny = 2.5;\nstrlen(5); a1b;\n\"abc\";";

INSTANTIATE_TEST_SUITE_P(Diagnostics, HostRuns, testing::Values(
    HostRun{"CheckReportsEveryErrorAndRunsNothingElse", {"--check", "c.regs", "ok.regs"},
            {{"c.regs", checked_script}, {"ok.regs", "y;"}}, "", 1, nothing,
            is("c.regs:2:5: error: `y` is an integer variable and `2.5` is a double; to store doubles in it, declare it "
               "first: `double y;`\ny = 2.5;\n" + caret(5) +
               "c.regs:3:8: error: `strlen` takes a string, and `5` is an integer; convert it with `format(\"%d\", ...)`\n"
               "strlen(5); a1b;\n" + caret(8) +
               "c.regs:3:14: error: `b` starts a new name: a name ends at its digits, so `a1b` reads as `a1 b`\n"
               "strlen(5); a1b;\n" + caret(14))},
    HostRun{"CheckOfACleanScriptSaysNothing", {"--check", "-e", "x = 1; x + 1;"}, {}, "", 0, nothing, nothing},
    HostRun{"WarningsDoNotChangeTheExitStatus", {"-e", "x = 5.;"}, {}, "", 0, is("." + I(5)),
            is("-e:1:5: warning: `5.` is not a number: the `.` is printed and skipped; write `5.0`\nx = 5.;\n" + caret(5))},
    HostRun{"WarningsAsErrorsFail", {"-Werror", "-e", "\t\"ab;"}, {}, "", 1, is("\"" + I(0)),
            is("-e:1:2: error: this `\"` has no closing quote: it is printed, and the text after it runs as statements; "
               "end the string with `\"`\n\t\"ab;\n\t^\n")}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Variables, HostRuns, testing::Values(
    HostRun{"HostVariablesAreListedByName", {"-i", "n=-5", "-d", "r=0.1", "-s", "name=World", "-s", "empty=", "--vars"},
            {}, "", 0, is("string empty = \"\"\nint n = -5\nstring name = \"World\"\ndouble r = 0.1\n"), nothing},
    HostRun{"HostVariablesAreThereForScripts", {"-i", "n=20", "-d", "r=5e-1", "-s", "who=you", "-e", "n + 1; r * 2.0; who + \"!\";"},
            {}, "", 0, is(I(21) + D("1.000000", 1) + S("you!")), nothing},
    HostRun{"TheListingShowsWhatScriptsLeft", {"-e", "double d; d = 2.5; string s; s = \"a b\"; int i; delete i; k = 3;", "--vars"},
            {}, "", 0, is(I(1) + D("2.500000", 2) + I(1) + S("a b") + I(1) + I(1) + I(3) +
                          "double d = 2.5\nint k = 3\nstring s = \"a b\"\n"), nothing},
    HostRun{"LongNamesAndTextsAreListedWhole", {"-i", long_name + "=1", "-s", "t=" + long_text, "--vars"}, {}, "",
            0, is("int " + long_name + " = 1\nstring t = \"" + long_text + "\"\n"), nothing},
    HostRun{"ExpandReplacesReferences", {"-i", "n=5", "-s", "who=World", "--expand", "[who] has [n], [[n] and [none]."},
            {}, "", 0, is("World has 5, [n] and .\n"), nothing},
    HostRun{"ExpandFileKeepsTheFilesText", {"-s", "who=Ann", "-d", "owed=3.5", "--expand-file", "letter.txt"},
            {{"letter.txt", "Dear [who],\nyou owe [owed]."}}, "", 0, is("Dear Ann,\nyou owe 3.50000."), nothing},
    HostRun{"ActionsComeAfterTheScriptsInTheirOwnOrder", {"--expand", "[x]", "-e", "x = 4;", "--vars", "--expand", "[x]!"},
            {}, "", 0, is(I(4) + "4\nint x = 4\n4!\n"), nothing}),
    row_name);

INSTANTIATE_TEST_SUITE_P(UsageErrors, HostRuns, testing::Values(
    HostRun{"NoScriptReadsPipedInput", {"-i", "n=1"}, {}, "x = n;\nx + 1;", 0, is(I(1) + I(2)), nothing},
    HostRun{"UnknownOption", {"-z"}, {}, "", 2, nothing,
            is("regscript: The following argument was not expected: -z; 'regscript --help' lists the options\n")},
    HostRun{"UnknownWarningOption", {"-Wall"}, {}, "", 2, nothing, has("unknown option '-Wall'; the only -W option is -Werror")},
    HostRun{"MissingValue", {"-e"}, {}, "", 2, nothing, has("--eval: 1 required TEXT missing")},
    HostRun{"NotAnInteger", {"-i", "x=1.5"}, {}, "", 2, nothing, has("-i 'x=1.5': '1.5' is not a whole number")},
    HostRun{"IntegerOutOfRange", {"-i", "x=2147483648"}, {}, "", 2, nothing, has("'2147483648' is not a whole number")},
    HostRun{"NoEqualsSign", {"-i", "count"}, {}, "", 2, nothing, has("-i 'count': expected NAME=INT, e.g. -i count=3")},
    HostRun{"BlanksAroundTheNameAreRefused", {"-i", " y =4", "--vars"}, {}, "", 2, nothing,
            is("regscript: -i ' y =4': ' y ' is not a name: a name is letters or underscores, then digits (count, x_1, "
               "a2), with no blanks around the '='\n")},
    HostRun{"AKeywordIsNoName", {"-s", "int=1"}, {}, "", 2, nothing, has("'int' is a keyword of the language, not a name")},
    HostRun{"ValuesAttachToShortOptions", {"-ex=6;", "-in=7", "-e", "x * n;"}, {}, "", 0, is(I(6) + I(42)), nothing},
    HostRun{"NameOfAnotherKind", {"-i", "x=1", "-d", "x=2", "-e", "x;"}, {}, "", 2, nothing,
            has("-d 'x=2': 'x' is already an integer variable")},
    HostRun{"NameOfABuiltIn", {"-d", "sqrt=1", "--vars"}, {}, "", 2, nothing, has("'sqrt' is the name of a built-in function")},
    HostRun{"UnreadableScriptStopsEverything", {"-e", "1;", "missing.regs"}, {}, "", 2, nothing,
            has("cannot read 'missing.regs': No such file or directory")},
    HostRun{"UnreadableTemplateStopsEverything", {"-e", "1;", "--expand-file", "missing.txt"}, {}, "", 2, nothing,
            has("cannot read 'missing.txt'")},
    HostRun{"AStatementGivenAsAFileName", {"x = 1;"}, {}, "", 2, nothing, has("use -e 'x = 1;'")},
    HostRun{"Help", {"--help"}, {}, "", 0, has("Usage: regscript [OPTION]... [FILE]..."), nothing},
    HostRun{"Version", {"--version"}, {}, "", 0, is(std::string("regscript ") + REGSCRIPT_VERSION + "\n"), nothing}),
    row_name);

// A script of `blocks` errors, each followed by `lines` statements that run cleanly and hold a `;`
// and a line end inside a string; and what --check reports for it as c.regs.
std::pair<std::string, std::string> erring_script(int blocks, int lines) {
    std::string script = "string s;\n", reports;
    for (int block = 0; block < blocks; ++block) {
        reports += "c.regs:" + std::to_string(2 + block * (1 + 2 * lines)) +
                   ":5: error: unexpected `;` after `=`; expected a value or `(`\nx = ;\n" + caret(5);
        script += "x = ;\n";
        for (int line = 0; line < lines; ++line) script += "s = \"a;\nb\";\n";
    }
    return {script, reports};
}
const auto [long_erring_script, its_reports] = erring_script(40, 150);

INSTANTIATE_TEST_SUITE_P(AsATool, HostRuns, testing::Values(
    HostRun{"CheckReadsPipedInput", {"--check"}, {}, "x = 1;\nx = ;", 1, nothing,
            is("<stdin>:2:5: error: unexpected `;` after `=`; expected a value or `(`\nx = ;\n" + caret(5))},
    HostRun{"CheckStoresTheHostVariables", {"--check", "-s", "who=World", "-e", "string g; g = \"Hi \" + who;"}, {}, "",
            0, nothing, nothing},
    HostRun{"CheckRefusesWhatTheRunRefuses", {"--check", "-i", "sqrt=1", "-e", "1;"}, {}, "", 2, nothing,
            has("'sqrt' is the name of a built-in function")},
    HostRun{"CheckReportsEveryErrorOfALongScript", {"--check", "c.regs"}, {{"c.regs", long_erring_script}}, "", 1,
            nothing, is(its_reports)},
    HostRun{"AFullOutputFails", {"-e", "x = 1;", "--vars"}, {}, "", 1, nothing,
            is("regscript: cannot write standard output: No space left on device\n"), "/dev/full"},
    HostRun{"AClosedOutputFails", {"--version"}, {}, "", 1, nothing, has("regscript: cannot write standard output"), ""},
    HostRun{"ListedStringsAreQuotedAsInC", {"-s", "t=a\"b\\\nint fake = 99\x1b\x7f\xc3\xa9\xc2\x9b", "--vars"}, {}, "",
            0, is("string t = \"a\\\"b\\\\\\nint fake = 99\\033\\177\xc3\xa9\\302\\233\"\n"), nothing},
    HostRun{"SourceLinesShowNoControlBytes", {"e.regs"}, {{"e.regs", "\"\xc3\xa9\x1b[2J\x1b]0;t\x07\"; 1 1;"}}, "",
            1, anything, is("e.regs:1:19: error: `;` expected before `1`\n\"\xc3\xa9\\033[2J\\033]0;t\\007\"; 1 1;\n" +
                            caret(27))},
    HostRun{"AnEndlessInputIsRefused", {"/dev/zero"}, {}, "", 2, nothing,
            is("regscript: cannot read '/dev/zero': it is longer than 256 MiB, the most read of one input\n")},
    HostRun{"TheNoteNamesWhatAFailureLeftOut", {"-e", "1 1;", "--expand", "[x]", "--vars"}, {}, "", 1, anything,
            ends("left out: --expand and --vars; --keep-going runs them\n")},
    HostRun{"IntegersMayBeHexadecimal", {"-i", "m=0xff", "-i", "n=-0x10", "-i", "all=0xFFFFFFFF", "--vars"}, {}, "",
            0, is("int all = -1\nint m = 255\nint n = -16\n"), nothing},
    HostRun{"HexadecimalBeyond32BitsIsRefused", {"-i", "m=0x100000000"}, {}, "", 2, nothing,
            has("'0x100000000' is not a whole number")}),
    row_name);

// Piped into a session, lines run without prompts; a session's errors leave the exit status 0.
INSTANTIATE_TEST_SUITE_P(InteractiveSessions, HostRuns, testing::Values(
    HostRun{"RunLinesAndCommands", {"-I"}, {},
            "x = 2;\nx * 21;\n\n :vars \n:expand [x]!\n:reset\n:vars\nx = (1 +\n2);\n1 1;\n:nope\nquit\n:quit now\n:quit\n9;\n",
            0, is(I(2) + "result: 2\n" + I(42) + "result: 42\n" + "int x = 2\n" + "2!\n" + "every variable removed\n" +
                  "no variables yet\n" + I(3) + "result: 3\n" + parse_error),
            is("<input>:10:3: error: `;` expected before `1`\n1 1;\n" + caret(3) +
               "unknown command ':nope'; type :help for the commands\nto leave, type :quit or press Ctrl-D\n"
               "':quit' takes nothing after it; type it alone\n")},
    HostRun{"StatementsAndStringsSpanLines", {"-I"}, {}, "string s; s = \"a;\nb\";\nx = (1 +\n2 2);\ny = 1",
            0, is(I(1) + S("a;\nb") + "result: 0\n" + parse_error + parse_error),
            is("<input>:4:3: error: unexpected `2` after `2`; expected an operator or `)`\n2 2);\n" + caret(3) +
               "<input>:5:6: error: `;` expected at the end of the script, after `1`\ny = 1\n" + caret(6))},
    HostRun{"FollowTheScriptsAndPrecedeTheActions", {"-e", "x = 7;", "-I", "--vars"}, {}, "x = x + 1;\n",
            0, is(I(7) + I(8) + "result: 8\n" + "int x = 8\n"), nothing}),
    row_name);

}  // namespace
