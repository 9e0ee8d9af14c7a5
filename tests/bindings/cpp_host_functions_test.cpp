// Host functions, the output function and prepared scripts through the C++ interface: types
// deduced from callables, exceptions turned into failed runs, callables kept while defined.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "regscript.hpp"

namespace {

struct HostFunctionRow {
    const char* name;
    std::function<void(regscript::Session&)> define;
    const char* script;
    std::string expected;  // the run's outcome, then the variable r as text, or the run's error
};

void PrintTo(const HostFunctionRow& row, std::ostream* out) { *out << row.name; }

int32_t add(int32_t a, int32_t b) { return a + b; }

std::string text_of(regscript::Session& session, const regscript::RunResult& run) {
    if (!run.ok()) return std::to_string(run.outcome) + " " + run.error.message;
    for (const regscript::Variable& v : session.variables()) {
        if (v.name != "r") continue;
        if (const auto* integer = std::get_if<int32_t>(&v.value)) return std::to_string(*integer);
        if (const auto* number = std::get_if<double>(&v.value)) return std::to_string(*number);
        return std::get<std::string>(v.value);
    }
    return "no r";
}

const HostFunctionRow host_function_rows[] = {
    {.name = "DoubleFromALambda",
     .define = [](regscript::Session& s) { s.define("twice", [](double v) { return 2 * v; }); },
     .script = "double r; r = twice(1.25);",
     .expected = "2.500000"},
    {.name = "IntegersFromAFunction",
     .define = [](regscript::Session& s) { s.define("add", add); },
     .script = "r = add(40, 2);",
     .expected = "42"},
    {.name = "TextsInAndOut",
     .define = [](regscript::Session& s) {
         s.define("greet", [](std::string_view who, const std::string& end) { return "Dear " + std::string(who) + end; });
     },
     .script = "string r; r = greet(\"Ada\", \"!\");",
     .expected = "Dear Ada!"},
    {.name = "NoResultGivesZero",
     .define = [](regscript::Session& s) { s.define("nothing", [] {}); },
     .script = "r = 5; r = nothing();",
     .expected = "0"},
    {.name = "StatefulCallableKeepsItsState",
     .define = [](regscript::Session& s) { s.define("next", [count = 0]() mutable { return ++count; }); },
     .script = "r = next(); r = next();",
     .expected = "2"},
    {.name = "ExceptionFailsTheRunWithItsMessage",
     .define = [](regscript::Session& s) {
         s.define("sensor", [](int32_t) -> double { throw std::runtime_error("sensor 2 is offline"); });
     },
     .script = "double r; r = sensor(2);",
     .expected = std::to_string(REGSCRIPT_RUN_HOST_FAILED) + " sensor 2 is offline"},
    {.name = "RedefinitionReplaces",
     .define = [](regscript::Session& s) {
         s.define("f", [] { return 1; });
         s.define("f", [] { return 2; });
     },
     .script = "r = f();",
     .expected = "2"},
};

class HostFunctions : public testing::TestWithParam<HostFunctionRow> {};

TEST_P(HostFunctions, AreCalledWithDeducedTypes) {
    regscript_set_output(0);
    regscript::Session session;
    GetParam().define(session);
    EXPECT_EQ(text_of(session, session.run(GetParam().script)), GetParam().expected);
    regscript_set_output(1);
}

std::string row_name(const testing::TestParamInfo<HostFunctionRow>& row) { return row.param.name; }

INSTANTIATE_TEST_SUITE_P(Cpp, HostFunctions, testing::ValuesIn(host_function_rows), row_name);

TEST(CppSession, KeywordCannotBeDefined) {
    regscript::Session session;
    EXPECT_THROW(session.define("int", [] { return 1; }), regscript::Error);
}

TEST(CppSession, OutputGoesToTheFunctionUntilCleared) {
    regscript::Session session;
    std::string written;
    session.on_output([&](std::string_view text) { written += text; });
    session.run("x = 1;");
    session.on_output(nullptr);
    testing::internal::CaptureStdout();
    session.run("x = 2;");
    std::fflush(stdout);
    EXPECT_EQ(written, "* Integer statement result=1\t marlin result=1\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "* Integer statement result=2\t marlin result=2\n");
}

TEST(CppSession, PreparedScriptRunsAgain) {
    regscript_set_output(0);
    regscript::Session session;
    session.set("n", 0);
    regscript::Script counter = session.prepare("n = n + 1;");
    counter.run();
    const regscript::RunResult second = counter.run();
    EXPECT_TRUE(second.ok());
    EXPECT_EQ(second.result, 2);
    EXPECT_EQ(session.get<int32_t>("n"), 2);
    regscript_set_output(1);
}

}  // namespace
