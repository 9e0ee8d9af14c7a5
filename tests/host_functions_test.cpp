// Host functions called from scripts: typed calls of each arity, the errors a call can meet, the
// host's calls back into the library while the run's statement is in progress (ASan checks that
// nothing it holds is freed under it), the output function, and calls from several threads.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "regscript.h"
#include "regscript_ext.h"
#include "test_support.h"

namespace {

// A host function's behaviour, handed to the one callback as its context.
using Behaviour = std::function<void(regscript_call*)>;

void REGSCRIPT_STDCALL behave(regscript_call* call, void* context) { (*static_cast<Behaviour*>(context))(call); }

void REGSCRIPT_STDCALL append_output(const char* bytes, int32_t length, void* context) {
    static_cast<std::string*>(context)->append(bytes, static_cast<std::size_t>(length));
}

int32_t define(const char* name, int32_t result_type, const char* parameters, Behaviour* behaviour) {
    return regscript_define_function(name, result_type, parameters, behave, behaviour);
}

Behaviour add = [](regscript_call* call) {
    regscript_return_int(call, regscript_argument_int(call, 0) + regscript_argument_int(call, 1));
};
Behaviour scale = [](regscript_call* call) {
    regscript_return_double(call, regscript_argument_double(call, 0) * regscript_argument_double(call, 1));
};
Behaviour greet = [](regscript_call* call) {
    regscript_return_string(call, ("hello " + std::string(regscript_argument_string(call, 0))).c_str());
};
Behaviour describe = [](regscript_call* call) {
    std::string text = std::to_string(regscript_argument_int(call, 0)) + "/" +
                       std::to_string(regscript_argument_double(call, 1)) + "/" + regscript_argument_string(call, 2) +
                       "/" + std::to_string(regscript_argument_int(call, 1));  // a double read as an int: 0
    regscript_return_string(call, text.c_str());
};
Behaviour sum_of_eight = [](regscript_call* call) {
    int32_t sum = 0;
    for (int32_t i = 0; i < 9; ++i) sum = sum * 10 + regscript_argument_int(call, i);  // the 9th reads 0
    regscript_return_int(call, sum);
};
Behaviour nothing = [](regscript_call*) {};
Behaviour fail = [](regscript_call* call) { regscript_fail(call, regscript_argument_string(call, 0)); };
std::string call_order;
Behaviour note = [](regscript_call* call) {
    call_order += std::to_string(regscript_argument_int(call, 0));
    regscript_return_double(call, regscript_argument_int(call, 0) + 0.75);  // an int function truncates
};

class HostFunctions : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_EQ(define("add", REGSCRIPT_TYPE_INT, "ii", &add), 0);
        ASSERT_EQ(define("scale", REGSCRIPT_TYPE_DOUBLE, "dd", &scale), 0);
        ASSERT_EQ(define("greet", REGSCRIPT_TYPE_STRING, "s", &greet), 0);
        ASSERT_EQ(define("describe", REGSCRIPT_TYPE_STRING, "ids", &describe), 0);
        ASSERT_EQ(define("eight", REGSCRIPT_TYPE_INT, "iiiiiiii", &sum_of_eight), 0);
        ASSERT_EQ(define("nothing", REGSCRIPT_TYPE_STRING, "", &nothing), 0);
        ASSERT_EQ(define("fail", REGSCRIPT_TYPE_INT, "s", &fail), 0);
        ASSERT_EQ(define("note", REGSCRIPT_TYPE_INT, "i", &note), 0);
        call_order.clear();
    }
};

// A run as "result, error line, outcome | last error | output | variables".
std::string run_described(const char* script) {
    run_script("0;");  // the run result carries over from the run before
    ScriptRun run = run_script(script);
    int32_t line = 0;
    int32_t column = 0;
    char message[400];
    regscript_last_error(&line, &column, message, sizeof message);
    return std::to_string(run.result) + ", " + std::to_string(run.error_line) + ", " +
           std::to_string(regscript_last_outcome()) + " | " + std::to_string(line) + ":" + std::to_string(column) +
           " " + message + " | " + run.output + "| " + describe_variables();
}

struct CallCase {
    const char* name;
    const char* script;
    std::string expected;
};

void PrintTo(const CallCase& row, std::ostream* out) { *out << row.name; }

class Calls : public HostFunctions, public testing::WithParamInterface<CallCase> {};

TEST_P(Calls, RunAsTyped) { EXPECT_EQ(run_described(GetParam().script), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Scripts, Calls, testing::Values(
    CallCase{.name = "an int function in an integer statement",
             .script = "int x; x = add(2, 3) * 2;",
             .expected = "10, 0, 0 | 0:0  | * Integer statement result=1\t marlin result=1\n* Integer statement result=10\t marlin result=10\n| int x=10"},
    CallCase{.name = "nested calls, an int for a double",
             .script = "scale(add(add(1, 2), 3), 0.5);",
             .expected = "1, 0, 0 | 0:0  | * Double statement result=3.000000\t marlin result=3\n| "},
    CallCase{.name = "a string function",
             .script = "string s; s = \"you\"; s = greet(s) + \"!\";",
             .expected = "0, 0, 0 | 0:0  | * Integer statement result=1\t marlin result=1\n"
                         "* String statement result=you\t marlin result=0\n"
                         "* String statement result=hello you!\t marlin result=0\n| string s=\"hello you!\""},
    CallCase{.name = "mixed parameters",
             .script = "describe(7, 2.5, \"z\");",
             .expected = "0, 0, 0 | 0:0  | * String statement result=7/2.500000/z/0\t marlin result=0\n| "},
    CallCase{.name = "eight parameters",
             .script = "eight(1, 2, 3, 4, 5, 6, 7, 8);",
             .expected = "123456780, 0, 0 | 0:0  | * Integer statement result=123456780\t marlin result=123456780\n| "},
    CallCase{.name = "a function that returns nothing",
             .script = "nothing();",
             .expected = "0, 0, 0 | 0:0  | * String statement result=\t marlin result=0\n| "},
    CallCase{.name = "calls in the order of evaluation",
             .script = "note(1) + note(2) * note(3);",
             .expected = "7, 0, 0 | 0:0  | * Integer statement result=7\t marlin result=7\n| "},
    CallCase{.name = "an argument of the wrong type",
             .script = "int x;\ndescribe(1, \"a\", \"z\");",
             .expected = "1, 2, 1 | 2:1 `describe` takes (int, double, string); argument 2 is a string | "
                         "* Integer statement result=1\t marlin result=1\nerror: parse error\n| int x=0"},
    CallCase{.name = "a double for an int",
             .script = "add(1, 2.0);",
             .expected = "0, 1, 1 | 1:1 `add` takes (int, int); argument 2 is a double | error: parse error\n| "},
    CallCase{.name = "one argument too many",
             .script = "nothing(1);",
             .expected = "0, 1, 1 | 1:1 `nothing` takes (); argument 1 is one too many | error: parse error\n| "},
    CallCase{.name = "one argument too few",
             .script = "x = 1 +\n  add(1);",
             .expected = "0, 2, 1 | 2:3 `add` takes (int, int); it was given 1 argument | error: parse error\n| "
                         "int x=0"},
    CallCase{.name = "a call without parentheses",
             .script = "greet;",
             .expected = "0, 1, 1 | 1:6 unexpected `;` after `greet`; expected `(` | error: parse error\n| "},
    CallCase{.name = "the host fails: the statement has no effect",
             .script = "int x; x = 1;\nx = fail(\"axis jammed\") + 5;\nx = 3;",
             .expected = "1, 2, 6 | 2:5 axis jammed | * Integer statement result=1\t marlin result=1\n"
                         "* Integer statement result=1\t marlin result=1\n| int x=1"}),
    row_name);

// What the library gives back to the host that defines: the result of each definition, and how
// the host's other functions see a host function.
TEST_F(HostFunctions, DefinitionsAreCheckedAndInvisibleAsVariables) {
    struct Definition {
        const char* name;
        int32_t result_type;
        const char* parameters;
        int32_t expected;
    };
    for (const Definition& row : {Definition{"while", REGSCRIPT_TYPE_INT, "", 0}, Definition{"a1", 1, nullptr, 0},
                                  Definition{"a1b", 1, "", -1}, Definition{"1a", 1, "", -1},
                                  Definition{"delete", 1, "", -1}, Definition{"TRUE", 1, "", -1},
                                  Definition{"sqrt", 2, "d", -1}, Definition{"", 1, "", -1},
                                  Definition{nullptr, 1, "", -1}, Definition{"f", 4, "", -1},
                                  Definition{"f", 1, "x", -1}, Definition{"f", 1, "iiiiiiiii", -1}}) {
        EXPECT_EQ(define(row.name, row.result_type, row.parameters, &nothing), row.expected) << (row.name ? row.name : "NULL");
    }
    EXPECT_EQ(regscript_define_function("f", 1, "", nullptr, nullptr), -1);

    set_int_variable("v", 4);
    EXPECT_EQ(define("v", REGSCRIPT_TYPE_INT, "i", &add), 0);  // replaces the variable
    EXPECT_EQ(run_script("v(1, 2);").error_line, 1);
    EXPECT_EQ(define("v", REGSCRIPT_TYPE_INT, "", &nothing), 0);
    EXPECT_EQ(run_script("v();").output, "* Integer statement result=0\t marlin result=0\n");
    EXPECT_EQ(get_variable_type("v"), -1);
    EXPECT_EQ(set_int_variable("v", 1), -1);
    delete_variable("v");
    EXPECT_EQ(substituted("[v]|[add]"), "|");
    EXPECT_EQ(describe_variables(), "");
    EXPECT_EQ(run_script("delete add;").error_line, 1);
    EXPECT_EQ(run_script("int add;").error_line, 1);

    EXPECT_EQ(reset_registers(), 0);
    EXPECT_EQ(run_script("v();").error_line, 0);
    EXPECT_EQ(regscript_remove_function("v"), 0);
    EXPECT_EQ(regscript_remove_function("v"), -1);
    EXPECT_EQ(regscript_remove_function("sqrt"), -1);
    EXPECT_EQ(run_script("v();").error_line, 1);  // a new integer variable v, called
    deinit_registers();
    init_registers();
    EXPECT_EQ(run_script("add(1, 2);").error_line, 1);
}

// The host calls back into the library while `x = f() + x;` or `s = g() + s;` is in progress.
struct Callback {
    const char* name;
    std::function<std::string()> host_call;  // its result, as text
    const char* script;
    std::string expected;  // "host call result | output | variables"
};

void PrintTo(const Callback& row, std::ostream* out) { *out << row.name; }

class CallsBack : public HostFunctions, public testing::WithParamInterface<Callback> {};

TEST_P(CallsBack, LeaveTheStatementWhatItHolds) {
    std::string host_result;
    Behaviour call_back = [&](regscript_call* call) {
        host_result = GetParam().host_call();
        regscript_return_int(call, 1);
        regscript_return_string(call, "new ");
    };
    ASSERT_EQ(define("f", REGSCRIPT_TYPE_INT, "", &call_back), 0);
    ASSERT_EQ(define("g", REGSCRIPT_TYPE_STRING, "", &call_back), 0);
    run_script("int x; x = 5; string s; s = \"old\";");
    ScriptRun run = run_script(GetParam().script);
    EXPECT_EQ(host_result + " | " + run.output + "| " + describe_variables(), GetParam().expected);
    if (std::string(GetParam().name) == "deinit") {
        EXPECT_EQ(init_registers(), 0);
    }
}

std::string text(int32_t value) { return std::to_string(value); }

INSTANTIATE_TEST_SUITE_P(Library, CallsBack, testing::Values(
    Callback{"delete the assigned variable", [] { delete_variable("x"); return std::string("-"); },
             "x = f() + x;",  // the second x is read after the call: a new variable
             "- | * Integer statement result=1\t marlin result=1\n| int x=0, string s=\"old\""},
    Callback{"replace the assigned text", [] { return text(set_string_variable("s", "a much longer text than before")); },
             "s = g() + s;",
             "0 | * String statement result=new a much longer text than before\t marlin result=0\n"
             "| string s=\"new a much longer text than before\", int x=5"},
    Callback{"delete the assigned text", [] { delete_variable("s"); return std::string("-"); },
             "s = g() + \"x\";", "- | * String statement result=new x\t marlin result=0\n| int x=5"},
    Callback{"reset", [] { return text(reset_registers()); }, "x = f() + x;",
             "-1 | * Integer statement result=6\t marlin result=6\n| string s=\"old\", int x=6"},
    Callback{"define", [] { return text(define("h", 1, "", &nothing)); }, "x = f() + x;",
             "-1 | * Integer statement result=6\t marlin result=6\n| string s=\"old\", int x=6"},
    Callback{"remove", [] { return text(regscript_remove_function("f")); }, "x = f() + x;",
             "-1 | * Integer statement result=6\t marlin result=6\n| string s=\"old\", int x=6"},
    Callback{"run a script",
             [] {
                 int32_t line = -1;
                 int32_t result = run_parser("x = 100;", &line);
                 return text(result) + "," + text(line) + "," + text(regscript_last_outcome());
             },
             "x = f() + x;", "0,0,7 | * Integer statement result=6\t marlin result=6\n| string s=\"old\", int x=6"},
    Callback{"deinit", [] { return text(deinit_registers()); }, "x = f() + x;\nx;",
             "0 | * Integer statement result=6\t marlin result=6\n* Integer statement result=6\t marlin result=6\n| "}),
    row_name);

// Everything a run writes reaches the output function, byte for byte what standard output gets.
TEST_F(HostFunctions, OutputFunctionReceivesWhatStandardOutputWould) {
    const char* script = "int x; x = 2; string s; s = greet(\"w\"); 1.5 + 1.0; # x = ;";
    const std::string standard = run_script(script).output;
    std::string received;
    regscript_set_output_function(append_output, &received);
    EXPECT_EQ(run_script(script).output, "");
    regscript_set_output(0);
    run_script(script);
    regscript_set_output(1);
    regscript_set_output_function(nullptr, nullptr);
    EXPECT_EQ(received, standard);
    EXPECT_EQ(run_script(script).output, standard);
}

// What the run wrote before a call reaches standard output before what the host's function writes
// there itself, and what it wrote after the call comes after.
TEST_F(HostFunctions, AFunctionsOwnOutputStandsBetweenTheLinesAroundItsCall) {
    Behaviour print = [](regscript_call* call) {
        std::fputs("[host]\n", stdout);
        regscript_return_int(call, 5);
    };
    ASSERT_EQ(define("print", REGSCRIPT_INT, "", &print), 0);
    EXPECT_EQ(run_script("1; print(); 2;").output,
              "* Integer statement result=1\t marlin result=1\n[host]\n* Integer statement result=5\t marlin result=5\n"
              "* Integer statement result=2\t marlin result=2\n");
}

// Runs on several threads call host functions; each call sees its own arguments.
TEST_F(HostFunctions, CallsFromRunsOnSeveralThreads) {
    SilencedOutput silenced;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong, t] {
            const std::string script = "add(" + std::to_string(t) + ", greet(\"x\") == \"hello x\");";
            for (int i = 0; i < 200; ++i) {
                if (run_parser(script.c_str(), nullptr) != t + 1) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
