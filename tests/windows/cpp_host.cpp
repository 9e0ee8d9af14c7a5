// A C++17 host of regscript.dll through regscript.hpp, linked with the import library: the
// header compiles with the MinGW compilers, and its calls reach the DLL with their calling
// conventions. Exits 0 when the results are right.
#include <cstdio>
#include <string>

#include "regscript.hpp"

namespace {

int failed = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    ++failed;
    std::printf("FAIL: %s\n", what);
}

}  // namespace

int main() {
    regscript_set_output(0);
    try {
        regscript::Session session;
        const regscript::RunResult run = session.run("n = 6 * 7;\nn = 2.5;");
        check(run.result == 42 && run.outcome == REGSCRIPT_RUN_SYNTAX_ERROR && run.error.line == 2 &&
                  !run.error.message.empty(),
              "run");
        session.set("d", 0.5);
        session.set("s", std::string(300, 's'));
        check(session.get<double>("d") == 0.5 && !session.get<int32_t>("d"), "get");
        check(session.expand("[n] [d]") == "42 0.50000", "expand");
        const std::vector<regscript::Variable> variables = session.variables();
        check(variables.size() == 3 && std::get<std::string>(variables[2].value).size() == 300, "variables");
    } catch (const regscript::Error& error) {
        std::printf("FAIL: %s\n", error.what());
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
