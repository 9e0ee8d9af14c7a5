#include "interactive.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "expansion.h"
#include "regscript.h"
#include "script_runner.h"
#include "variable_listing.h"

namespace {

constexpr const char* prompt = "regscript> ";

constexpr const char* commands_help =
    "End every statement with ';'; a line may hold several. Commands:\n"
    "  :vars          list the variables\n"
    "  :reset         remove every variable\n"
    "  :expand TEXT   show TEXT with every [name] replaced by its value\n"
    "  :help          show this help\n"
    "  :quit          leave (so does the end of input, Ctrl-D)\n";

void run_line(const std::string& line) {
    const Script script{"<input>", line};
    const ScriptOutcome outcome = run_script(script);
    print_result(outcome.result);
    std::fflush(stdout);
    report_problems(script, outcome, false);
}

// Carries out a line that begins with ':'; false when the session is to end.
bool run_command(std::string_view line) {
    const std::size_t blank = line.find(' ');
    const std::string_view command = line.substr(0, blank);
    const std::string_view argument = blank == std::string_view::npos ? "" : line.substr(blank + 1);
    if (command == ":quit") return false;
    if (command == ":vars") {
        print_variables();
    } else if (command == ":reset") {
        reset_registers();
        std::puts("every variable removed");
    } else if (command == ":expand") {
        print_expansion(std::string(argument));
        std::putchar('\n');
    } else if (command == ":help") {
        std::fputs(commands_help, stdout);
    } else {
        std::fflush(stdout);
        std::fprintf(stderr, "unknown command '%.*s'; type :help for the commands\n", static_cast<int>(command.size()),
                     command.data());
    }
    return true;
}

}  // namespace

void run_interactive_session() {
    std::printf("regscript %s interactive session; type :help for help, :quit to leave.\n", REGSCRIPT_VERSION);
    std::string line;
    for (;;) {
        std::fputs(prompt, stdout);
        std::fflush(stdout);
        if (!std::getline(std::cin, line)) {
            std::putchar('\n');
            return;
        }
        if (line.starts_with(':')) {
            if (!run_command(line)) return;
        } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
            run_line(line);
        }
    }
}
