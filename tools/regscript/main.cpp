// regscript: runs scripts through the library, from files, the command line, standard input or
// an interactive session, and shows the variables they leave.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
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
#include "regscript_ext.h"
#include "script_runner.h"
#include "shown_text.h"
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

const char* option_of(AfterRunAction::Kind kind) {
    switch (kind) {
        case AfterRunAction::Kind::list_variables: return "--vars";
        case AfterRunAction::Kind::expand_text: return "--expand";
        case AfterRunAction::Kind::expand_file: return "--expand-file";
    }
    return "";
}

// What a failing script leaves out of the run, "the scripts after it and --vars"; empty when
// nothing is.
std::string left_out(const CommandLine& command_line, bool scripts_follow) {
    std::vector<std::string> parts;
    if (scripts_follow) parts.push_back("the scripts after it");
    if (command_line.interactive) parts.push_back("the interactive session");
    for (const AfterRunAction& action : command_line.actions) {
        const std::string option = option_of(action.kind);
        if (std::find(parts.begin(), parts.end(), option) == parts.end()) parts.push_back(option);
    }
    std::string text;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        if (part > 0) text += part + 1 == parts.size() ? " and " : ", ";
        text += parts[part];
    }
    return text;
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
        if (const std::string skipped = left_out(command_line, next + 1 < scripts.size()); !skipped.empty()) {
            std::fprintf(stderr, "regscript: stopped after the error in %s; left out: %s; --keep-going runs them\n",
                         shown(script.name).c_str(), skipped.c_str());
        }
        break;
    }
    return clean;
}

// The scripts of the command line, with piped standard input when it names none: a check reads
// exactly what a run reads.
std::vector<Script> scripts_of(const CommandLine& command_line) {
    std::vector<ScriptSource> sources = command_line.scripts;
    if (reads_piped_input(command_line, standard_input_is_terminal())) {
        sources.push_back({ScriptSource::Kind::standard_input, ""});
    }
    return read_scripts(sources);
}

// --check runs what a run runs, in one store with the host's variables, so that its verdict is
// the run's; only nothing is printed, and every error of a script is reported.
int check(const CommandLine& command_line) {
    const std::vector<Script> scripts = scripts_of(command_line);
    Store store;
    store_host_variables(command_line.variables);
    regscript_set_output(0);
    bool clean = true;
    for (const Script& script : scripts) {
        if (!check_script(script, command_line.warnings_are_errors)) clean = false;
    }
    regscript_set_output(1);
    return clean ? exit_success : exit_failure;
}

int run(const CommandLine& command_line) {
    if (command_line.check) return check(command_line);
    const std::vector<Script> scripts = scripts_of(command_line);
    const std::vector<AfterRunAction> actions = read_action_files(command_line.actions);
    Store store;
    store_host_variables(command_line.variables);
    const bool clean = run_scripts(scripts, command_line);
    if (!clean && !command_line.keep_going) return exit_failure;
    if (wants_interactive_session(command_line, standard_input_is_terminal())) run_interactive_session();
    for (const AfterRunAction& action : actions) perform(action);
    return clean ? exit_success : exit_failure;
}

// As coreutils do: output that could not be written (a full disk, a closed standard output) is
// reported, and the run fails, rather than lost in silence.
int with_output_written(int status) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return status;
    const int reason = errno;
    std::fprintf(stderr, "regscript: cannot write standard output%s%s\n", reason ? ": " : "",
                 reason ? std::strerror(reason) : "");
    return exit_failure;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const CommandLine command_line = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
        switch (command_line.request) {
            case CommandLine::Request::help: std::fputs(help_text(), stdout); return with_output_written(exit_success);
            case CommandLine::Request::version:
                std::printf("regscript %s\n", REGSCRIPT_VERSION);
                return with_output_written(exit_success);
            case CommandLine::Request::run: return with_output_written(run(command_line));
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
