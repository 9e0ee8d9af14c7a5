#include "command_line.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>
#include <variant>

namespace {

// One use of an option: how it was spelled, its value ("" for a flag), and how to give the value.
struct OptionUse {
    std::string spelled;
    std::string value;
    std::string_view value_hint;
};

struct Option {
    std::string_view short_name;  // "" when it has none
    std::string_view long_name;   // "" when it has none
    std::string_view value_hint;  // e.g. "TEXT, e.g. -e 'x = 6 * 7;'"; "" for a flag
    void (*apply)(CommandLine& command_line, const OptionUse& use);
};

using HostValue = std::variant<int32_t, double, std::string>;

// The whole text as a number of type Number, or nothing.
template <typename Number>
std::optional<Number> parse_number(std::string_view text) {
    Number value{};
    const char* const end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

// Each of these gives the value of a -i, -d or -s option from the text after '='; they throw
// CommandLineError for a text that is no such value. `option` is the option as written.
HostValue integer_value(const std::string& text, const std::string& option) {
    if (auto value = parse_number<int32_t>(text)) return *value;
    throw CommandLineError(option + ": '" + text + "' is not a whole number from -2147483648 to 2147483647");
}

HostValue double_value(const std::string& text, const std::string& option) {
    if (auto value = parse_number<double>(text)) return *value;
    throw CommandLineError(option + ": '" + text + "' is not a number (write it like 2.5, -0.125 or 1e-3)");
}

HostValue string_value(const std::string& text, const std::string&) { return text; }

void add_variable(CommandLine& command_line, const OptionUse& use,
                  HostValue (*read)(const std::string& text, const std::string& option)) {
    const std::string option = use.spelled + " " + use.value;
    const std::size_t equals = use.value.find('=');
    if (equals == std::string::npos) throw CommandLineError(option + ": expected " + std::string(use.value_hint));
    if (equals == 0) throw CommandLineError(option + ": the name before '=' is empty");
    command_line.variables.push_back({option, use.value.substr(0, equals), read(use.value.substr(equals + 1), option)});
}

void add_integer(CommandLine& command_line, const OptionUse& use) { add_variable(command_line, use, integer_value); }
void add_double(CommandLine& command_line, const OptionUse& use) { add_variable(command_line, use, double_value); }
void add_string(CommandLine& command_line, const OptionUse& use) { add_variable(command_line, use, string_value); }

void add_text_script(CommandLine& command_line, const OptionUse& use) {
    command_line.scripts.push_back({ScriptSource::Kind::text, use.value});
}

void list_variables(CommandLine& command_line, const OptionUse&) {
    command_line.actions.push_back({AfterRunAction::Kind::list_variables, ""});
}

void expand_text(CommandLine& command_line, const OptionUse& use) {
    command_line.actions.push_back({AfterRunAction::Kind::expand_text, use.value});
}

void expand_file(CommandLine& command_line, const OptionUse& use) {
    command_line.actions.push_back({AfterRunAction::Kind::expand_file, use.value});
}

void print_results(CommandLine& command_line, const OptionUse&) {
    command_line.print_results = true;
}

void interactive(CommandLine& command_line, const OptionUse&) {
    command_line.interactive = true;
}

void warnings_are_errors(CommandLine& command_line, const OptionUse&) {
    command_line.warnings_are_errors = true;
}

void check(CommandLine& command_line, const OptionUse&) {
    command_line.check = true;
}

void help(CommandLine& command_line, const OptionUse&) {
    command_line.request = CommandLine::Request::help;
}

void version(CommandLine& command_line, const OptionUse&) {
    command_line.request = CommandLine::Request::version;
}

constexpr Option options[] = {
    {"-e", "--eval", "TEXT, e.g. -e 'x = 6 * 7;'", add_text_script},
    {"-i", "", "NAME=INT, e.g. -i count=3", add_integer},
    {"-d", "", "NAME=DOUBLE, e.g. -d ratio=0.5", add_double},
    {"-s", "", "NAME=TEXT, e.g. -s name=World", add_string},
    {"", "--vars", "", list_variables},
    {"", "--expand", "TEXT, e.g. --expand 'Hello, [name]!'", expand_text},
    {"", "--expand-file", "FILE, e.g. --expand-file letter.txt", expand_file},
    {"", "--result", "", print_results},
    {"-I", "--interactive", "", interactive},
    {"-Werror", "--warnings-as-errors", "", warnings_are_errors},
    {"", "--check", "", check},
    {"-h", "--help", "", help},
    {"", "--version", "", version},
};

const Option& find_option(std::string_view spelled) {
    for (const Option& option : options) {
        if (spelled == option.short_name || spelled == option.long_name) return option;
    }
    throw CommandLineError("unknown option '" + std::string(spelled) + "'; 'regscript --help' lists the options");
}

bool is_option(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// "--name=value" gives the option "--name" with an attached value.
struct Spelling {
    std::string option;
    std::optional<std::string> attached;
};

Spelling spelling_of(const std::string& argument) {
    const std::size_t equals = argument.find('=');
    if (argument.starts_with("--") && equals != std::string::npos) {
        return {argument.substr(0, equals), argument.substr(equals + 1)};
    }
    return {argument, std::nullopt};
}

// The value of `option`: attached with "=", or the next argument, which `next` then moves past.
std::string option_value(const Option& option, const Spelling& spelling, const std::vector<std::string>& arguments,
                         std::size_t& next) {
    if (option.value_hint.empty()) {
        if (spelling.attached) throw CommandLineError("option '" + spelling.option + "' takes no value");
        return "";
    }
    if (spelling.attached) return *spelling.attached;
    if (next < arguments.size()) return arguments[next++];
    throw CommandLineError("option '" + spelling.option + "' needs a value: " + spelling.option + " " +
                           std::string(option.value_hint));
}

ScriptSource script_argument(const std::string& argument) {
    if (argument == "-") return {ScriptSource::Kind::standard_input, ""};
    return {ScriptSource::Kind::file, argument};
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
    CommandLine command_line;
    bool options_ended = false;
    for (std::size_t next = 0; next < arguments.size() && command_line.request == CommandLine::Request::run;) {
        const std::string& argument = arguments[next++];
        if (options_ended || !is_option(argument)) {
            command_line.scripts.push_back(script_argument(argument));
        } else if (argument == "--") {
            options_ended = true;
        } else {
            const Spelling spelling = spelling_of(argument);
            const Option& option = find_option(spelling.option);
            const std::string value = option_value(option, spelling, arguments, next);
            option.apply(command_line, {spelling.option, value, option.value_hint});
        }
    }
    return command_line;
}

bool wants_interactive_session(const CommandLine& command_line, bool input_is_terminal) {
    if (command_line.interactive) return true;
    if (!command_line.scripts.empty() || !command_line.actions.empty()) return false;
    if (input_is_terminal) return true;
    throw CommandLineError(
        "no script given. Run a file with 'regscript FILE', a text with 'regscript -e \"x = 6 * 7;\"', or "
        "standard input with 'regscript -'; 'regscript --help' lists every option");
}

const char* help_text() {
    return R"(Usage: regscript [OPTION]... [FILE]...
Runs regscript scripts, one after the other, in one set of variables: a variable
that one script sets is there for the next. Every statement prints a trace line
on standard output; syntax errors and warnings are reported on standard error,
as FILE:LINE:COLUMN: error: MESSAGE, with the line and a caret under the column.

Scripts, run in the order given:
  FILE                 a script file
  -                    the script on standard input
  -e, --eval TEXT      the script TEXT, e.g. -e 'x = 6 * 7;'

Variables stored before the first script runs:
  -i NAME=INT          an integer variable, e.g. -i count=3
  -d NAME=DOUBLE       a double variable, e.g. -d ratio=0.5
  -s NAME=TEXT         a string variable, e.g. -s name=World

Shown after the scripts, in the order given:
  --vars               every variable with its kind and value, sorted by name
  --expand TEXT        TEXT with every [name] replaced by that variable's value
  --expand-file FILE   the same for the text of FILE

Other options:
  --result             print each script's result after it, as 'result: N'
  -I, --interactive    read statements line by line after the scripts
  --check              only check the scripts: each runs in a store of its own,
                       printing nothing, and every syntax error is reported
  -Werror, --warnings-as-errors
                       treat warnings (text that runs, but probably not as
                       meant) as errors
  -h, --help           show this help
  --version            show the version

With no script and none of --vars, --expand and --expand-file, regscript starts
an interactive session when standard input is a terminal; type :help there for
its commands. Elsewhere, name the scripts (- for standard input).

Exit status: 0 when every script ran without a syntax error, 1 when one had a
syntax error (or a warning, with -Werror), 2 for a mistake on the command line or an input that cannot be read.
)";
}
