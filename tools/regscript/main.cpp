// regscript: runs scripts through the library, from files, the command line, standard input or
// an interactive session, and shows the variables they leave.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "expansion.h"
#include "host_variables.h"
#include "inputs.h"
#include "interactive.h"
#include "line_input.h"
#include "regscript.h"
#include "script_runner.h"
#include "variable_listing.h"

namespace {

constexpr int exit_success = 0;
constexpr int exit_failure = 1;  // a script had a syntax error, or the host itself failed
constexpr int exit_usage_error = 2;

// The library's store for the length of a run; closed on every way out, so that nothing leaks.
class Store {
public:
    Store() { init_registers(); }
    ~Store() { deinit_registers(); }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
};

// An --expand-file action carries the file's text from the start on.
std::vector<AfterRunAction> read_action_files(std::vector<AfterRunAction> actions) {
    for (AfterRunAction& action : actions) {
        if (action.kind == AfterRunAction::Kind::expand_file) action.value = read_text_file(action.value);
    }
    return actions;
}

void perform(const AfterRunAction& action) {
    switch (action.kind) {
        case AfterRunAction::Kind::list_variables: print_variables(); break;
        case AfterRunAction::Kind::expand_text:
            print_expansion(action.value);
            std::putchar('\n');
            break;
        case AfterRunAction::Kind::expand_file: print_expansion(action.value); break;
    }
}

// Runs the scripts in order; false when any failed. A failing script ends the run unless the
// command line says --keep-going.
bool run_scripts(const std::vector<Script>& scripts, const CommandLine& command_line) {
    bool clean = true;
    for (std::size_t next = 0; next < scripts.size(); ++next) {
        const Script& script = scripts[next];
        const ScriptOutcome outcome = run_script(script);
        if (command_line.print_results) print_result(outcome.result);
        std::fflush(stdout);
        if (!report_problems(script, outcome, command_line.warnings_are_errors)) continue;
        clean = false;
        if (command_line.keep_going) continue;
        if (next + 1 < scripts.size()) {
            std::fprintf(stderr, "regscript: stopped after the error in %s; --keep-going runs the scripts after it\n",
                         script.name.c_str());
        }
        break;
    }
    return clean;
}

int check(const CommandLine& command_line) {
    const std::vector<Script> scripts = read_scripts(command_line.scripts);
    Store store;
    bool clean = true;
    for (const Script& script : scripts) {
        if (!check_script(script, command_line.warnings_are_errors)) clean = false;
    }
    return clean ? exit_success : exit_failure;
}

int run(const CommandLine& command_line) {
    if (command_line.check) return check(command_line);
    const bool terminal = standard_input_is_terminal();
    std::vector<ScriptSource> sources = command_line.scripts;
    if (reads_piped_input(command_line, terminal)) sources.push_back({ScriptSource::Kind::standard_input, ""});
    const std::vector<Script> scripts = read_scripts(sources);
    const std::vector<AfterRunAction> actions = read_action_files(command_line.actions);
    Store store;
    store_host_variables(command_line.variables);
    const bool clean = run_scripts(scripts, command_line);
    if (!clean && !command_line.keep_going) return exit_failure;
    if (wants_interactive_session(command_line, terminal)) run_interactive_session();
    for (const AfterRunAction& action : actions) perform(action);
    return clean ? exit_success : exit_failure;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const CommandLine command_line = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
        switch (command_line.request) {
            case CommandLine::Request::help: std::fputs(help_text(), stdout); return exit_success;
            case CommandLine::Request::version: std::printf("regscript %s\n", REGSCRIPT_VERSION); return exit_success;
            case CommandLine::Request::run: return run(command_line);
        }
    } catch (const CommandLineError& error) {
        std::fprintf(stderr, "regscript: %s\n", error.what());
        return exit_usage_error;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "regscript: %s\n", error.what());
        return exit_failure;
    }
    return exit_success;
}
