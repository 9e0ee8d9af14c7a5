// What a script's author and a host learn about a run through regscript_ext.h: the message, line
// and column of each kind of mistake, the warnings, and the outcome.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <thread>

#include "regscript_ext.h"
#include "test_support.h"
#include "token_words.h"
#include "vocabulary.h"

namespace {

struct Located {
    int32_t line;
    int32_t column;
    std::string message;
};

Located last_error() {
    Located error{0, 0, ""};
    char message[512];
    if (regscript_last_error(&error.line, &error.column, message, sizeof message) == 0) error.message = message;
    return error;
}

struct Trap {
    const char* name;
    const char* script;
    int32_t outcome;
    int32_t line;
    int32_t column;
    const char* message;
};

void PrintTo(const Trap& trap, std::ostream* out) { *out << trap.name; }

class Traps : public EngineTest, public testing::WithParamInterface<Trap> {};

TEST_P(Traps, SayWhereAndWhy) {
    const Trap& trap = GetParam();
    SilencedOutput silenced;
    run_parser(trap.script, nullptr);
    EXPECT_EQ(regscript_last_outcome(), trap.outcome);
    const Located error = last_error();
    EXPECT_EQ(error.message, trap.message);
    EXPECT_EQ(error.line, trap.line);
    EXPECT_EQ(error.column, trap.column);
}

INSTANTIATE_TEST_SUITE_P(Diagnostics, Traps, testing::Values(
    Trap{.name = "NewNameTakesNoDouble", .script = "y = 2.5;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 5,
         .message = "`y` is an integer variable and `2.5` is a double; to store doubles in it, declare it first: `double y;`"},
    Trap{.name = "RetryMeetsTheIntegerLeftBehind", .script = "s = \"abc\";\n s = \"abc\";", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR,
         .line = 1, .column = 5,
         .message = "`s` is an integer variable and `\"abc\"` is a string; to store strings in it, declare it first: `string s;`"},
    Trap{.name = "LongerValueIsNamedByItsPlace", .script = "x = 2.5 * (1.5 + 1.0);", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR,
         .line = 1, .column = 5,
         .message = "`x` is an integer variable and the value after `=` is a double; to store doubles in it, declare it first: `double x;`"},
    Trap{.name = "IntegerPlusDouble", .script = "1 + 2.0;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 5,
         .message = "an integer and a double cannot be added; convert one with `(double)` or `(int)`"},
    Trap{.name = "CastBindsTighterThanPlus", .script = "i = 1;\n(double) i + 1;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR,
         .line = 2, .column = 14,
         .message = "a double and an integer cannot be added; convert one with `(int)` or `(double)`"},
    Trap{.name = "NameEndsAtItsDigits", .script = "a1b;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 3,
         .message = "`b` starts a new name: a name ends at its digits, so `a1b` reads as `a1 b`"},
    Trap{.name = "CapitalHexPrefix", .script = "0X1F;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 2,
         .message = "`X1` starts a new name: a number ends at its digits, so `0X1` reads as `0 X1`; a hexadecimal number "
                    "starts with a lower-case `0x`"},
    Trap{.name = "ArgumentOfAnotherKind", .script = "strlen(5);", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 8,
         .message = "`strlen` takes a string, and `5` is an integer; convert it with `format(\"%d\", ...)`"},
    Trap{.name = "SecondArgument", .script = "cut(\"abc\", 1.5, 2);", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 12,
         .message = "`cut` takes an integer as its second argument, and `1.5` is a double; convert it with `(int)`"},
    Trap{.name = "NoSuchFunction", .script = "print(1);", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 6,
         .message = "`print` is no function but an integer variable (a new name is an integer variable); the functions are "
                    "`sin`, `cos`, `atan`, `ln`, `exp`, `sqrt`, `strlen`, `strtoint`, `strtodouble`, `hextoint`, `substr`, "
                    "`cut`, `format` and `gettickcount`"},
    Trap{.name = "MissingSemicolon", .script = "x = 1\ny = 2;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 2, .column = 1,
         .message = "`;` expected before `y`"},
    Trap{.name = "OperatorForIntegersOnly", .script = "2.5 & 1;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 5,
         .message = "`&` takes integers, and the value before it is a double; convert it with `(int)`"},
    Trap{.name = "StringsTakeFewOperators", .script = "\"a\" - \"b\";", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1,
         .column = 5, .message = "`-` takes numbers, and the value before it is a string; strings take only `+`, `==` and `!=`"},
    Trap{.name = "EndWithoutSemicolon", .script = "1; 2", .outcome = REGSCRIPT_RUN_ENDED_INSIDE_STATEMENT, .line = 1,
         .column = 5, .message = "`;` expected at the end of the script, after `2`"},
    Trap{.name = "EndInsideAnExpression", .script = "x = 1 +", .outcome = REGSCRIPT_RUN_ENDED_INSIDE_STATEMENT, .line = 1,
         .column = 8, .message = "the script ends inside a statement, after `+`; finish the statement and end it with `;`"},
    Trap{.name = "GeneralMessageNamesTokenAndExpectation", .script = "int 5;", .outcome = REGSCRIPT_RUN_SYNTAX_ERROR,
         .line = 1, .column = 5, .message = "unexpected `5` after `int`; expected a variable name"},
    Trap{.name = "ScriptTextIsQuotedBounded", .script = "x = 1 \"0123456789012345678901234567890123456789\";",
         .outcome = REGSCRIPT_RUN_SYNTAX_ERROR, .line = 1, .column = 7,
         .message = "`;` expected before `\"0123456789012345678901234567890...`"},
    Trap{.name = "CleanRun", .script = "double y; y = 2.5;", .outcome = REGSCRIPT_RUN_COMPLETED, .line = 0, .column = 0,
         .message = ""}),
    [](const testing::TestParamInfo<Trap>& info) { return std::string(info.param.name); });

struct Warned {
    const char* name;
    const char* script;
    int32_t column;
    const char* message;
};

void PrintTo(const Warned& row, std::ostream* out) { *out << row.name; }

class Warnings : public EngineTest, public testing::WithParamInterface<Warned> {};

TEST_P(Warnings, NameWhatRunsButWasProbablyNotMeant) {
    const Warned& row = GetParam();
    SilencedOutput silenced;
    run_parser(row.script, nullptr);
    ASSERT_EQ(regscript_last_warning_count(), 1);
    int32_t line = 0, column = 0;
    char message[512];
    ASSERT_EQ(regscript_last_warning(0, &line, &column, message, sizeof message), 0);
    EXPECT_EQ(message, std::string(row.message));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, row.column);
}

INSTANTIATE_TEST_SUITE_P(Diagnostics, Warnings, testing::Values(
    Warned{.name = "UnterminatedString", .script = "s = \"abc;", .column = 5,
           .message = "this `\"` has no closing quote: it is printed, and the text after it runs as statements; end the string with `\"`"},
    Warned{.name = "DotAfterDigits", .script = "x = 15.;", .column = 5,
           .message = "`15.` is not a number: the `.` is printed and skipped; write `15.0`"},
    Warned{.name = "DotBeforeDigits", .script = "x = .5;", .column = 5,
           .message = "`.5` is not a number: the `.` is printed and skipped; write `0.5`"},
    Warned{.name = "DotAfterANameIsJustAByte", .script = "a1.;", .column = 3, .message = "`.` begins no token: it is printed and skipped"},
    Warned{.name = "OnlyTheFirstCarriageReturn", .script = "1;\r\n2;\r\n", .column = 3,
           .message = "the script has CR LF line ends: every carriage return is printed; save it with LF line ends"},
    Warned{.name = "ByteOrderMark", .script = "\xEF\xBB\xBF" "1;", .column = 1,
           .message = "the script starts with a byte-order mark, whose three bytes are printed; save it without one"},
    Warned{.name = "ControlByte", .script = "1;\x07", .column = 3, .message = "the byte 0x07 begins no token: it is printed and skipped"}),
    [](const testing::TestParamInfo<Warned>& info) { return std::string(info.param.name); });

class LastRun : public EngineTest {};

TEST_F(LastRun, IsTheCallingThreadsOwn) {
    SilencedOutput silenced;
    run_parser("1 + 2.0;", nullptr);
    std::thread other([] {
        EXPECT_EQ(regscript_last_outcome(), REGSCRIPT_RUN_NONE);
        run_parser("1;", nullptr);
        EXPECT_EQ(regscript_last_outcome(), REGSCRIPT_RUN_COMPLETED);
    });
    other.join();
    EXPECT_EQ(regscript_last_outcome(), REGSCRIPT_RUN_SYNTAX_ERROR);
    EXPECT_EQ(last_error().column, 5);
}

TEST_F(LastRun, MessageFollowsTheBufferRule) {
    SilencedOutput silenced;
    run_parser("a1b;", nullptr);
    const int32_t length = regscript_last_error(nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(length, static_cast<int32_t>(last_error().message.size()));
    char cut[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(regscript_last_error(nullptr, nullptr, cut, 3), 0);
    EXPECT_EQ(std::string(cut, 4), "`b`x");
    run_parser("1;", nullptr);
    EXPECT_EQ(regscript_last_error(nullptr, nullptr, cut, sizeof cut), -1);
    EXPECT_EQ(cut[0], '\0');
    EXPECT_EQ(regscript_last_warning(16, nullptr, nullptr, nullptr, 0), -1);
}

TEST_F(LastRun, OutputSwitchWritesNothingAndChangesNoResult) {
    regscript_set_output(0);
    testing::internal::CaptureStdout();
    int32_t line = -1;
    const int32_t result = run_parser("7; #\n2 2;", &line);
    std::fflush(stdout);
    const std::string printed = testing::internal::GetCapturedStdout();
    regscript_set_output(1);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(result, 7);
    EXPECT_EQ(line, 2);
}

// The functions that a message lists, in an order of their own, are the language's: the built-in
// math functions and the keywords that are called, those with parameters and gettickcount.
TEST(FunctionNames, AreTheVocabularysFunctions) {
    std::set<std::string_view> listed;
    const std::string_view names = diagnosis::function_names;
    for (std::size_t open = names.find('`'); open != std::string_view::npos;) {
        const std::size_t close = names.find('`', open + 1);
        ASSERT_NE(close, std::string_view::npos);
        listed.insert(names.substr(open + 1, close - open - 1));
        open = names.find('`', close + 1);
    }
    std::set<std::string_view> functions = {word_of(TOKEN_GETTICKCOUNT).spelling};
    for (const BuiltinFunction& builtin : builtin_functions) functions.insert(builtin.name);
    for (const Word& word : vocabulary) {
        if (is_keyword(word) && diagnosis::parameters_of(word.token)) functions.insert(word.spelling);
    }
    EXPECT_EQ(listed, functions);
}

}  // namespace
