#include "interactive.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "expansion.h"
#include "line_input.h"
#include "regscript.h"
#include "regscript_ext.h"
#include "script_runner.h"
#include "statement_end.h"
#include "variable_listing.h"

namespace {

constexpr const char* prompt = "regscript> ";
constexpr const char* continuation_prompt = "      ...> ";

constexpr const char* commands_help =
    "Type statements, each ending with ';'; one may go on over several lines, and a line may\n"
    "hold several. Ctrl-C drops what was typed of a statement; the variables stay.\n"
    "A line that is one of these, and nothing else, is a command:\n"
    "  :vars          list the variables\n"
    "  :reset         remove every variable\n"
    "  :expand TEXT   show TEXT with every [name] replaced by its value\n"
    "  :help          show this help\n"
    "  :quit          leave (so does Ctrl-D, the end of input)\n";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Runs one input, which began on line `first_line` of what was read; its result only when every
// statement ran, since after an error the library still returns an earlier statement's.
void run_input(const std::string& text, int32_t first_line) {
    const Script script{"<input>", text, first_line};
    const ScriptOutcome outcome = run_script(script);
    if (outcome.outcome == REGSCRIPT_RUN_COMPLETED) print_result(outcome.result);
    std::fflush(stdout);
    report_problems(script, outcome, false);
}

// A message for the person typing, after what the session has printed so far.
void tell(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
}

enum class Step { go_on, leave };

// Carries out the command `line` (trimmed, beginning with ':').
Step run_command(std::string_view line) {
    const std::size_t blank = line.find_first_of(blanks);
    const std::string_view command = line.substr(0, blank);
    const std::string_view argument = blank == std::string_view::npos ? "" : trimmed(line.substr(blank));
    if (command == ":expand") {
        print_expansion(std::string(argument));
        std::putchar('\n');
        return Step::go_on;
    }
    const bool known = command == ":quit" || command == ":vars" || command == ":reset" || command == ":help";
    if (!known) {
        tell(std::string("unknown command '").append(command).append("'; type :help for the commands"));
    } else if (!argument.empty()) {
        tell(std::string("'").append(command).append("' takes nothing after it; type it alone"));
    } else if (command == ":quit") {
        return Step::leave;
    } else if (command == ":vars") {
        if (print_variables() == 0) std::puts("no variables yet");
    } else if (command == ":reset") {
        reset_registers();
        std::puts("every variable removed");
    } else {
        std::fputs(commands_help, stdout);
    }
    return Step::go_on;
}

// Words that people type to leave or to ask for help, which as statements would only wait for
// their ';'.
bool answer_habit(std::string_view line) {
    if (line == "quit" || line == "exit") {
        tell("to leave, type :quit or press Ctrl-D");
    } else if (line == "help") {
        tell("type :help for help");
    } else {
        return false;
    }
    return true;
}

}  // namespace

void run_interactive_session() {
    LineInput input;
    const bool terminal = standard_input_is_terminal();
    if (terminal) {
        std::printf("regscript %s interactive session; type :help for help, :quit to leave.\n", REGSCRIPT_VERSION);
    }
    std::string pending;  // the lines of a statement not yet complete
    // Piped input is a script whose errors name its lines; on a terminal each input is one text.
    int32_t line_number = 0, pending_line = 1;
    for (;;) {
        const InputLine line = input.read(pending.empty() ? prompt : continuation_prompt);
        if (line.kind == InputLine::Kind::end) break;
        if (!terminal) ++line_number;
        if (line.kind == InputLine::Kind::cancelled) {
            pending.clear();
            std::putchar('\n');
            continue;
        }
        const std::string_view whole = trimmed(line.text);
        if (!whole.empty()) input.remember(line.text);
        if (pending.empty()) {
            if (whole.empty() || answer_habit(whole)) continue;
            if (whole.starts_with(':')) {
                if (run_command(whole) == Step::leave) return;
                continue;
            }
            pending = line.text;
            pending_line = terminal ? 1 : line_number;
        } else {
            pending += '\n';
            pending += line.text;
        }
        if (statement_complete(pending)) {
            run_input(pending, pending_line);
            pending.clear();
        }
    }
    if (!pending.empty()) run_input(pending, pending_line);
    if (terminal) std::putchar('\n');
}
