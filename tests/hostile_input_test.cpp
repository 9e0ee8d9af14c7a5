// Scripts no one would write: huge, long, full of odd bytes. Each must run to its end with the
// expected effect, under the sanitizers, and leave nothing behind.
#include <string>

#include "regscript.h"
#include "script_cases.h"
#include "scratch.h"
#include "store.h"
#include "store_lock.h"

namespace {

using HostileInput = EngineTest;

TEST_F(HostileInput, AHundredMegabyteScript) {
    std::string script(100u << 20, ' ');
    script.replace(script.size() - 20, 11, "x = 7;\n\"a\";");
    ScriptRun outcome = run_script(script.c_str());
    EXPECT_EQ(outcome.output, I(7) + S("a"));
    EXPECT_EQ(describe_variables(), "int x=7");
}

// Oldest first is the worst order for a walk of the list from its newest record; removal that
// walks takes a hundred times longer that way than newest first.
TEST_F(HostileInput, AHundredThousandDeletionsInEitherOrderTakeAlike) {
    constexpr int count = 100000;
    auto deleting = [](int first, int step) {
        for (int i = 0; i < count; ++i) set_int_variable(("v" + std::to_string(i)).c_str(), i);
        return milliseconds_taken([first, step] {
            for (int i = first; i >= 0 && i < count; i += step) delete_variable(("v" + std::to_string(i)).c_str());
        });
    };
    long long oldest_first = deleting(0, 1);
    long long newest_first = deleting(count - 1, -1);
    EXPECT_LT(oldest_first, 3 * newest_first + 200);
    EXPECT_EQ(describe_variables(), "");
}

TEST_F(HostileInput, AMillionStatements) {
    std::string script;
    for (int i = 0; i < 1000000; ++i) script += "x = x + 1;";
    int32_t error_line = -1, result;
    {
        SilencedOutput silence;
        result = run_parser(script.c_str(), &error_line);
    }
    EXPECT_EQ(result, 1000000);
    EXPECT_EQ(error_line, 0);
}

TEST_F(HostileInput, EveryByteOutsideAndInsideAStringLiteral) {
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '"') bytes += static_cast<char>(byte);
    }
    ScriptRun inside = run_script(("\"" + bytes + "\";").c_str());
    EXPECT_EQ(inside.output, S(bytes.c_str()));
    // Outside a literal, a lone double quote is echoed and the rest scanned as tokens; whatever
    // that gives, the run ends cleanly and frees what it made.
    run_script(bytes.c_str());
    run_script(("\"" + bytes).c_str());
    EXPECT_EQ(run_script("1;").result, 1);
    EXPECT_TRUE(scratch_empty());
}

TEST_F(HostileInput, TheScriptEndsAtItsFirstNul) {
    const char script[] = "1;\0 x = 2;";
    ScriptRun outcome = run_script(script);
    EXPECT_EQ(outcome.output, I(1));
    const StoreLockScope lock;
    EXPECT_EQ(find_variable("x"), nullptr);
}

// A million such runs once held every string they made.
TEST_F(HostileInput, AStatementCutOffFreesItsStringsWithTheRun) {
    run_script("\"a\" + \"b\" + ");
    EXPECT_TRUE(scratch_empty());
    run_script("\"abc\" + \"def\" + 1;");
    EXPECT_TRUE(scratch_empty());
}

INSTANTIATE_TEST_SUITE_P(HostileFormats, Scripts, testing::Values(
    ScriptCase{.name = "HugeWidth", .script = "format(\"%999999999d\", 1) == \"\";", .output = I(0), .result = 0},
    ScriptCase{.name = "HugePrecision", .script = "strlen(format(\"%.999999999f\", 1.0));",
               .output = I(111), .result = 111},
    ScriptCase{.name = "RejectedConversions", .script = "format(\"%s%n%p%*d%.*f%ld%Lf%\", 1);",
               .output = S("%s%n%p%*d%.*f%ld%Lf%"), .result = 0},
    ScriptCase{.name = "ConversionsOfAnotherType",
               .script = "format(\"%d%d\", 1); format(\"%f\", 1); format(\"%e\", 1);",
               .output = S("%d%d") + S("%f") + S("%e"), .result = 0},
    ScriptCase{.name = "ZeroPaddedWidth", .script = "strlen(format(\"%0500d\", -1));", .output = I(105), .result = 105},
    ScriptCase{.name = "InfinitiesAndTheirCast", .script = "1e308 ** 2.0; -(1e308 ** 2.0); (int) (1e308 ** 2.0);",
               .output = D("inf", 0) + D("-inf", 0) + I(0), .result = 0}),
    row_name);

}  // namespace
