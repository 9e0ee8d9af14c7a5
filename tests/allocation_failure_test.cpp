// Every allocation fails in turn: the first of an operation, then the second, and so on until the
// operation runs without meeting a failure. Each time the failure must be reported, nothing may
// leak (LeakSanitizer) and the store must be as it was before the operation, or for a script as
// the statements that completed left it.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "memory.h"
#include "regscript.h"
#include "regscript_ext.h"
#include "script_cases.h"
#include "test_support.h"

namespace {

#ifdef REGSCRIPT_FAULT_INJECTION

// Runs `operation` with the `nth` allocation from now failing; true when it got that far.
bool with_failing_allocation(std::size_t nth, const std::function<void()>& operation) {
    fail_allocation_after(nth);
    operation();
    return fail_allocation_after(0) >= nth;
}

// The variables each statement of `script` leaves, from none run to all.
std::vector<std::string> states_after_each_statement(const char* setup, const char* script) {
    std::vector<std::string> states;
    for (std::string_view rest = script;; rest.remove_prefix(rest.find(';') + 1)) {
        reset_registers();
        run_script(setup);
        run_script(std::string(script, static_cast<std::size_t>(rest.data() - script)).c_str());
        states.push_back(describe_variables());
        if (rest.find(';') == std::string_view::npos) return states;
    }
}

struct ScriptSweep {
    const char* name;
    // Declares every name the script uses: scanning creates none (a name scanned after its
    // deletion would come back as an integer variable, whatever the statement then did).
    const char* setup;
    const char* script;
};

// A host function for the scripts: its argument, returned.
void REGSCRIPT_STDCALL echo(regscript_call* call, void*) {
    regscript_return_string(call, regscript_argument_string(call, 0));
}

class AllocationFailures : public EngineTest, public testing::WithParamInterface<ScriptSweep> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_EQ(regscript_define_function("echo", REGSCRIPT_TYPE_STRING, "s", echo, nullptr), 0);
    }
};

TEST_P(AllocationFailures, StopTheRunAndKeepWhatRan) {
    const ScriptSweep& sweep = GetParam();
    const std::vector<std::string> states = states_after_each_statement(sweep.setup, sweep.script);
    for (std::size_t nth = 1;; ++nth) {
        reset_registers();
        run_script(sweep.setup);
        ScriptRun run;
        if (!with_failing_allocation(nth, [&] { run = run_script(sweep.script); })) {
            EXPECT_EQ(run.error_line, 0);
            EXPECT_EQ(describe_variables(), states.back());
            return;
        }
        SCOPED_TRACE("allocation " + std::to_string(nth));
        EXPECT_GE(run.error_line, 1);
        EXPECT_NE(run.output.find("error: out of memory\n"), std::string::npos);
        EXPECT_EQ(regscript_last_outcome(), REGSCRIPT_RUN_OUT_OF_MEMORY);
        EXPECT_NE(std::find(states.begin(), states.end(), describe_variables()), states.end()) << describe_variables();
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, AllocationFailures, testing::Values(
    ScriptSweep{.name = "strings",
                .setup = "string s; string t; int n; double d;",
                .script = "s = \"hello\";\nt = s + \" world\";\nn = strlen(t + s);\n"
                          "t = cut(t, 1, 4) + format(\"%5.2f\", 2.5);\nd = strtodouble(\"12.5d0\");\n"
                          "n = substr(t, \"l\", 0);\ns = format(\"%d\", n) + t;\ndelete t;"},
    ScriptSweep{.name = "declarations",
                .setup = "int a; int b; int c;",
                .script = "string a;\na = \"x\";\ndouble b;\nb = 1.5;\nc = strlen(a + a);\ndelete c;"},
    ScriptSweep{.name = "long_text",
                .setup = "string s;",
                .script = "s = \"0123456789012345678901234567890123456789012345678901234567890123456789"
                          "0123456789012345678901234567890123456789012345678901234567890123456789"
                          "0123456789012345678901234567890123456789012345678901234567890123456789"
                          "0123456789\";\ns = s + s;"},
    ScriptSweep{.name = "host_calls",
                .setup = "string s; int n;",
                .script = "s = echo(\"ab\") + \"c\";\nn = strlen(echo(echo(s) + s));\ns = echo(s);"}),
    [](const auto& info) { return std::string(info.param.name); });

// One host call and what the host sees of it, with and without a failure.
struct HostSweep {
    const char* name;
    std::function<std::string()> call;
    std::string completed;  // what `call` gives when no allocation fails
    std::string failed;     // what it gives when one does
};

class HostAllocationFailures : public EngineTest, public testing::WithParamInterface<HostSweep> {};

TEST_P(HostAllocationFailures, ReportTheFailureAndChangeNothing) {
    for (std::size_t nth = 1;; ++nth) {
        deinit_registers();
        init_registers();
        set_string_variable("s", "abc");
        std::string outcome;
        bool failed = with_failing_allocation(nth, [&] { outcome = GetParam().call(); });
        SCOPED_TRACE("allocation " + std::to_string(nth));
        EXPECT_EQ(outcome, failed ? GetParam().failed : GetParam().completed);
        if (!failed) return;
    }
}

std::string result_and_store(int32_t result) { return std::to_string(result) + " | " + describe_variables(); }

INSTANTIATE_TEST_SUITE_P(Host, HostAllocationFailures, testing::Values(
    HostSweep{"set_new_string", [] { return result_and_store(set_string_variable("t", "text")); },
              "0 | string t=\"text\", string s=\"abc\"", "-1 | string s=\"abc\""},
    HostSweep{"set_existing_string", [] { return result_and_store(set_string_variable("s", "longer text")); },
              "0 | string s=\"longer text\"", "-1 | string s=\"abc\""},
    HostSweep{"set_new_int", [] { return result_and_store(set_int_variable("n", 5)); },
              "0 | int n=5, string s=\"abc\"", "-1 | string s=\"abc\""},
    HostSweep{"substitute", [] { return substituted("value [s], again [s]"); }, "value abc, again abc", ""},
    HostSweep{"define_function",
              [] { return result_and_store(regscript_define_function("f", REGSCRIPT_TYPE_INT, "i", echo, nullptr)); },
              "0 | string s=\"abc\"", "-1 | string s=\"abc\""},
    HostSweep{"define_over_variable",
              [] { return result_and_store(regscript_define_function("s", REGSCRIPT_TYPE_INT, "", echo, nullptr)); },
              "0 | ", "-1 | string s=\"abc\""},
    HostSweep{"reset", [] { return result_and_store(reset_registers()); }, "0 | ", "-1 | "},
    HostSweep{"reset_then_builtins",
              [] { return reset_registers() == 0 ? run_script("sin(0.0) + sqrt(4.0) == 2.0;").output : "failed"; },
              I(1), "failed"},
    HostSweep{"init_after_deinit",
              [] {
                  deinit_registers();
                  int32_t result = init_registers();
                  return std::to_string(result) + " | " + std::to_string(get_variable_type("s"));
              },
              "0 | -1", "-1 | -1"}),
    [](const auto& info) { return std::string(info.param.name); });

// my_parse copies its text on a thread that cannot have the lock: a failure there must not end a
// run that another thread is making meanwhile.
TEST(AllocationFailures, BelongToTheThreadThatMetThem) {
    forget_allocation_failures();
    fail_allocation_after(1);
    std::thread([] {
        EXPECT_EQ(allocate(1), nullptr);
        EXPECT_TRUE(allocation_failed());
    }).join();
    EXPECT_FALSE(allocation_failed());
}

// A failure the thread met before a run (here in a host call) is not the run's: a prepared script
// that compiles at the start of that run compiles, and runs, all of its text.
TEST_F(EngineTest, AFailureBeforeAPreparedRunIsNotTheCompilersToo) {
    regscript_script* script = regscript_prepare("x = x + 1;");
    ASSERT_NE(script, nullptr);
    run_script("x = 0;");
    for (int run = 1; run <= 3; ++run) {
        fail_allocation_after(1);
        EXPECT_EQ(set_string_variable("s", "text"), -1);
        fail_allocation_after(0);
        int32_t result;
        {
            SilencedOutput silence;
            result = regscript_run_prepared(script, nullptr);
        }
        EXPECT_EQ(result, run) << "run " << run;
    }
    regscript_free_prepared(script);
}

#else

TEST(AllocationFailures, NeedTheFaultInjectionBuild) { GTEST_SKIP() << "built without REGSCRIPT_FAULT_INJECTION"; }

#endif

}  // namespace
