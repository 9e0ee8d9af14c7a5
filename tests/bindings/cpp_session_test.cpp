// The C++ interface as a C++17 host sees it, over the shared library: values and their types,
// long texts and names, diagnostics, and the lock wait that fails.
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>
#include <thread>

#include "regscript.hpp"

namespace {

struct SessionCall {
    const char* name;
    std::function<std::string(regscript::Session&)> call;
    std::string expected;
};

void PrintTo(const SessionCall& row, std::ostream* out) { *out << row.name; }

std::string described(const regscript::RunResult& run) {
    std::string text = std::to_string(run.result) + (run.ok() ? " ok" : " outcome " + std::to_string(run.outcome));
    if (!run.error.message.empty() || run.error.line != 0) {
        text += " | " + std::to_string(run.error.line) + ":" + std::to_string(run.error.column) + " " + run.error.message;
    }
    for (const regscript::Diagnostic& warning : run.warnings) text += " | warning " + std::to_string(warning.line);
    return text;
}

std::string described(const regscript::Value& value) {
    if (const auto* integer = std::get_if<int32_t>(&value)) return "int " + std::to_string(*integer);
    if (const auto* number = std::get_if<double>(&value)) return "double " + std::to_string(*number);
    return "string \"" + std::get<std::string>(value) + "\"";
}

template <typename T>
std::string described(const std::optional<T>& value) {
    return value ? described(regscript::Value(*value)) : "none";
}

std::string thrown_by(const std::function<void()>& call) {
    try {
        call();
    } catch (const regscript::Error& error) {
        return error.what();
    }
    return "nothing thrown";
}

const std::string long_text(5000, 't');
const std::string long_name(300, 'n');

const SessionCall session_calls[] = {
    {.name = "RunGivesItsResult",
     .call = [](regscript::Session& s) { return described(s.run("x = 6 * 7;")); },
     .expected = "42 ok"},
    {.name = "SyntaxErrorGivesPlaceAndMessage",
     .call = [](regscript::Session& s) { return described(s.run("x = 1;\nx = 2.5;")); },
     .expected = "1 outcome 1 | 2:5 `x` is an integer variable and `2.5` is a double; to store doubles in it, "
                 "declare it first: `double x;`"},
    {.name = "WarningsComeWithTheRun",
     .call = [](regscript::Session& s) { return described(s.run("x = 1;\n#")); },
     .expected = "1 ok | warning 2"},
    {.name = "GetIsTypedAndEmptyForAnotherType",
     .call = [](regscript::Session& s) {
         s.set("n", 5);
         return described(s.get<int32_t>("n")) + ", " + described(s.get<double>("n")) + ", " +
                described(s.get<int32_t>("missing"));
     },
     .expected = "int 5, none, none"},
    {.name = "LongTextsComeWhole",
     .call = [](regscript::Session& s) {
         s.set("s", long_text);
         return std::to_string(s.get<std::string>("s").value_or("").size()) + " " +
                std::to_string(s.expand("[s]").size());
     },
     .expected = "5000 5000"},
    {.name = "SetKeepsTheType",
     .call = [](regscript::Session& s) {
         s.set("d", 2.5);
         return thrown_by([&] { s.set("d", "text"); }) + " | " + described(s.get<double>("d"));
     },
     .expected = "regscript: `d` holds a double; a variable keeps its type | double 2.500000"},
    {.name = "ExpandFillsBrackets",
     .call = [](regscript::Session& s) {
         s.set("name", std::string("Ada"));
         s.set("n", 3);
         return s.expand("Dear [name], [n] [[x] [unknown]");
     },
     .expected = "Dear Ada, 3 [x] "},
    {.name = "VariablesListsEveryKindAndLongNames",
     .call = [](regscript::Session& s) {
         s.run("int i; i = 1; double d; d = 0.5; string s; s = \"t\";");
         s.set(long_name, 7);
         std::string text;
         for (const regscript::Variable& v : s.variables()) text += v.name.substr(0, 3) + "=" + described(v.value) + " ";
         return text;
     },
     .expected = "nnn=int 7 i=int 1 d=double 0.500000 s=string \"t\" "},
};

class SessionCalls : public testing::TestWithParam<SessionCall> {};

TEST_P(SessionCalls, GiveTheExpectedOutcome) {
    regscript_set_output(0);
    regscript::Session session;
    EXPECT_EQ(GetParam().call(session), GetParam().expected);
    regscript_set_output(1);
}

std::string row_name(const testing::TestParamInfo<SessionCall>& row) { return row.param.name; }

INSTANTIATE_TEST_SUITE_P(Cpp, SessionCalls, testing::ValuesIn(session_calls), row_name);

// While another thread holds the lock, every call that needs it throws: none reads as a 0.
TEST(CppSession, FailedLockWaitThrows) {
    regscript::Session session;
    session.set("n", 5);
    std::promise<void> locked, done;
    std::thread holder([&] {
        open_list_variables();
        locked.set_value();
        done.get_future().wait();
        close_list_variables();
    });
    locked.get_future().wait();
    const std::function<void()> calls[] = {
        [&] { session.get<int32_t>("n"); },
        [&] { session.expand("[n]"); },
        [&] { session.variables(); },
        [&] { session.run("n = 1;"); },
    };
    for (const auto& call : calls) EXPECT_NE(thrown_by(call), "nothing thrown");
    done.set_value();
    holder.join();
    EXPECT_EQ(session.get<int32_t>("n"), 5);
}

}  // namespace
