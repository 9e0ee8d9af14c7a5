#include "command_line.h"

#include "keywords.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <variant>

namespace {

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
// A whole number as scripts write it: decimal, or hexadecimal after `0x` with up to eight digits,
// which are the number's 32 bits as scripts read them (0xFFFFFFFF is -1); either after a '-'.
std::optional<int32_t> parse_integer(std::string_view text) {
    const bool negative = text.starts_with('-');
    std::string_view digits = text.substr(negative ? 1 : 0);
    if (!digits.starts_with("0x")) return parse_number<int32_t>(text);
    digits.remove_prefix(2);
    uint32_t bits = 0;
    const char* const end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, bits, 16);
    if (error != std::errc{} || stop != end || digits.size() > 8) return std::nullopt;
    return static_cast<int32_t>(negative ? 0u - bits : bits);
}

HostValue integer_value(const std::string& text, const std::string& option) {
    if (auto value = parse_integer(text)) return *value;
    throw CommandLineError(option + ": '" + text +
                           "' is not a whole number from -2147483648 to 2147483647, or 0x0 to 0xFFFFFFFF");
}

HostValue double_value(const std::string& text, const std::string& option) {
    if (auto value = parse_number<double>(text)) return *value;
    throw CommandLineError(option + ": '" + text + "' is not a number (write it like 2.5, -0.125 or 1e-3)");
}

HostValue string_value(const std::string& text, const std::string&) { return text; }

// A name as scripts write it: letters or underscores, then digits. Anything else would make a
// variable that no script can read, so it is refused rather than trimmed or guessed at.
bool is_script_name(std::string_view name) {
    const std::size_t letters = name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_");
    if (letters == 0) return false;
    return letters == std::string_view::npos || name.find_first_not_of("0123456789", letters) == std::string_view::npos;
}

bool is_keyword(std::string_view name) {
    for (std::string_view keyword : language_keywords) {
        if (name == keyword) return true;
    }
    return false;
}

std::string checked_name(const std::string& name, const std::string& option) {
    if (name.empty()) throw CommandLineError(option + ": the name before '=' is empty");
    if (!is_script_name(name)) {
        throw CommandLineError(option + ": '" + name +
                               "' is not a name: a name is letters or underscores, then digits (count, x_1, a2), "
                               "with no blanks around the '='");
    }
    if (is_keyword(name)) throw CommandLineError(option + ": '" + name + "' is a keyword of the language, not a name");
    return name;
}

struct OptionUse {
    std::string spelled;  // "-i", as the table names it
    std::string value;    // "" for a flag
    std::string_view value_hint;
};

void add_variable(CommandLine& command_line, const OptionUse& use,
                  HostValue (*read)(const std::string& text, const std::string& option)) {
    const std::string option = use.spelled + " '" + use.value + "'";
    const std::size_t equals = use.value.find('=');
    if (equals == std::string::npos) throw CommandLineError(option + ": expected " + std::string(use.value_hint));
    const std::string name = checked_name(use.value.substr(0, equals), option);
    command_line.variables.push_back({option, name, read(use.value.substr(equals + 1), option)});
}

void add_integer(CommandLine& command_line, const OptionUse& use) { add_variable(command_line, use, integer_value); }
void add_double(CommandLine& command_line, const OptionUse& use) { add_variable(command_line, use, double_value); }
void add_string(CommandLine& command_line, const OptionUse& use) { add_variable(command_line, use, string_value); }

void add_text_script(CommandLine& command_line, const OptionUse& use) {
    command_line.scripts.push_back({ScriptSource::Kind::text, use.value});
}

void add_script_argument(CommandLine& command_line, const OptionUse& use) {
    if (use.value == "-") {
        command_line.scripts.push_back({ScriptSource::Kind::standard_input, ""});
    } else {
        command_line.scripts.push_back({ScriptSource::Kind::file, use.value});
    }
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

void print_results(CommandLine& command_line, const OptionUse&) { command_line.print_results = true; }
void interactive(CommandLine& command_line, const OptionUse&) { command_line.interactive = true; }
void warnings_are_errors(CommandLine& command_line, const OptionUse&) { command_line.warnings_are_errors = true; }
void keep_going(CommandLine& command_line, const OptionUse&) { command_line.keep_going = true; }
void check(CommandLine& command_line, const OptionUse&) { command_line.check = true; }
void help(CommandLine& command_line, const OptionUse&) { command_line.request = CommandLine::Request::help; }
void version(CommandLine& command_line, const OptionUse&) { command_line.request = CommandLine::Request::version; }

// -Werror, as compilers spell it: the option -W with the value "error".
void warning_option(CommandLine& command_line, const OptionUse& use) {
    if (use.value != "error") {
        throw CommandLineError("unknown option '-W" + use.value + "'; the only -W option is -Werror");
    }
    command_line.warnings_are_errors = true;
}

struct OptionSpec {
    const char* names;       // as CLI11 takes them: "-e,--eval"; "scripts" for the file arguments
    const char* value_hint;  // "TEXT, e.g. -e 'x = 6 * 7;'"; nullptr for a flag
    void (*apply)(CommandLine& command_line, const OptionUse& use);
};

constexpr OptionSpec option_specs[] = {
    {"scripts", "FILE", add_script_argument},
    {"-e,--eval", "TEXT, e.g. -e 'x = 6 * 7;'", add_text_script},
    {"-i", "NAME=INT, e.g. -i count=3", add_integer},
    {"-d", "NAME=DOUBLE, e.g. -d ratio=0.5", add_double},
    {"-s", "NAME=TEXT, e.g. -s name=World", add_string},
    {"--vars", nullptr, list_variables},
    {"--expand", "TEXT, e.g. --expand 'Hello, [name]!'", expand_text},
    {"--expand-file", "FILE, e.g. --expand-file letter.txt", expand_file},
    {"--result", nullptr, print_results},
    {"-I,--interactive", nullptr, interactive},
    {"-W", "error", warning_option},
    {"--warnings-as-errors", nullptr, warnings_are_errors},
    {"--keep-going", nullptr, keep_going},
    {"--check", nullptr, check},
    {"-h,--help", nullptr, help},
    {"--version", nullptr, version},
};

// The value hint up to its first blank or comma, as CLI11's messages name it: "NAME=INT".
std::string type_name(std::string_view hint) { return std::string(hint.substr(0, hint.find_first_of(" ,"))); }

}  // namespace

// CLI11 parses and keeps the order in which options came; the table's functions then apply each
// use in that order, since scripts and actions run in the order given.
CommandLine parse_command_line(const std::vector<std::string>& arguments) {
    CLI::App app{"regscript"};
    app.set_help_flag();
    std::map<const CLI::Option*, const OptionSpec*> spec_of;
    for (const OptionSpec& spec : option_specs) {
        CLI::Option* option = spec.value_hint ? app.add_option(spec.names)->type_name(type_name(spec.value_hint))
                                              : app.add_flag(spec.names);
        if (!option->nonpositional()) {
            option->expected(1, CLI::detail::expected_max_vector_size)->allow_extra_args();  // every file, wherever it stands
        } else if (spec.value_hint) {
            option->allow_extra_args(false);  // one value a use: "-e 1; 2;" leaves "2;" a file
        }
        if (spec.value_hint) option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        spec_of[option] = &spec;
    }
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        throw CommandLineError(std::string(error.what()) + "; 'regscript --help' lists the options");
    }
    CommandLine command_line;
    std::map<const CLI::Option*, std::size_t> uses;
    for (const CLI::Option* option : app.parse_order()) {
        const OptionSpec& spec = *spec_of.at(option);
        const std::size_t use = uses[option]++;
        const std::string value = spec.value_hint ? option->results().at(use) : "";
        const std::string spelled = std::string(spec.names).substr(0, std::string_view(spec.names).find(','));
        spec.apply(command_line, {spelled, value, spec.value_hint ? spec.value_hint : ""});
        if (command_line.request != CommandLine::Request::run) break;
    }
    return command_line;
}

bool wants_interactive_session(const CommandLine& command_line, bool input_is_terminal) {
    if (command_line.interactive) return true;
    return input_is_terminal && command_line.scripts.empty() && command_line.actions.empty();
}

bool reads_piped_input(const CommandLine& command_line, bool input_is_terminal) {
    return !input_is_terminal && !command_line.interactive && command_line.scripts.empty();
}

const char* help_text() {
    return R"(Usage: regscript [OPTION]... [FILE]...
Runs regscript scripts, one after the other, in one set of variables: a variable
that one script sets is there for the next. Every statement prints a trace line
on standard output, and a statement with a syntax error the library's own line
'error: parse error' there too. The host reports each syntax error and warning
on standard error, as FILE:LINE:COLUMN: error: MESSAGE, with the line and a
caret under the column. A script of -e is named -e there, or -e#N (the N-th -e)
when there are several.

Scripts, run in the order given:
  FILE                 a script file
  -                    the script on standard input
  -e, --eval TEXT      the script TEXT, e.g. -e 'x = 6 * 7;' (or -e'x = 6 * 7;')
With none named, standard input is the script when it is not a terminal
(echo 'x = 1;' | regscript), and an interactive session starts when it is.

A script that fails (a syntax error, or a warning with -Werror) stops the run:
the scripts after it, the session of -I and the options below are left out.
  --keep-going         run every script even after a failing one

Variables stored before the first script runs (NAME is a script's name: letters
or underscores, then digits; no blanks):
  -i NAME=INT          an integer variable, e.g. -i count=3 or -i mask=0xFF
  -d NAME=DOUBLE       a double variable, e.g. -d ratio=0.5
  -s NAME=TEXT         a string variable, e.g. -s name=World

Shown after the scripts, in the order given:
  --vars               every variable with its kind and value, sorted by name, one
                       a line: int n = 3, double r = 0.5, string s = "a\"b\n"
                       (a string quoted as in C: \" \\ \n \r \t, and \ooo in
                       octal for any other control byte or invalid UTF-8)
  --expand TEXT        TEXT with every [name] replaced by that variable's value
  --expand-file FILE   the same for the text of FILE

Other options:
  --result             print each script's result after it, as 'result: N'
  -I, --interactive    an interactive session after the scripts
  --check              only check the scripts: they run as without it, with the
                       variables of -i, -d and -s, printing nothing; every
                       syntax error is reported, and the exit status is the
                       run's
  -Werror, --warnings-as-errors
                       treat warnings (text that runs, but probably not as
                       meant) as errors
  -h, --help           show this help
  --version            show the version

The interactive session runs what is typed once it ends with a statement's ';'
(until then it shows the prompt '...>'; a statement or a string may go on over
several lines) and prints 'result: N' after a run without error. On a terminal
it edits lines and keeps a history in ~/.regscript_history; Ctrl-C drops the
input typed so far, keeping the variables, and Ctrl-D leaves. A line that is,
in full, one of :vars, :reset, :expand TEXT, :help or :quit is a command.
From a pipe (-I) it reads the same way, without prompts.

Exit status:
  0  every script ran without a syntax error (errors typed into an interactive
     session do not count)
  1  a script had a syntax error, or a warning with -Werror; or standard output
     could not be written (a full disk, a closed output)
  2  a mistake on the command line, or an input that cannot be read whole
)";
}
