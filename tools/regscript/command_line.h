// The command line of regscript: what it asks for, read from the arguments, and its help text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// A mistake on the command line or an input that cannot be read: the run ends with exit
// status 2 before any script has run.
class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where one script comes from, in the order given.
struct ScriptSource {
    enum class Kind { file, text, standard_input };
    Kind kind;
    std::string value;  // the file name, or the script text of -e
};

// A variable that the host stores before the first script runs (-i, -d, -s).
struct HostVariable {
    std::string option;  // as written, "-i 'count=3'", for messages
    std::string name;
    std::variant<int32_t, double, std::string> value;
};

// Something shown after the scripts have run, in the order given.
struct AfterRunAction {
    enum class Kind { list_variables, expand_text, expand_file };
    Kind kind;
    std::string value;  // the text or file name of --expand and --expand-file
};

struct CommandLine {
    enum class Request { run, help, version };
    Request request = Request::run;
    std::vector<ScriptSource> scripts;
    std::vector<HostVariable> variables;
    std::vector<AfterRunAction> actions;
    bool print_results = false;
    bool interactive = false;  // -I: an interactive session after the scripts
    bool warnings_are_errors = false;  // -Werror
    bool check = false;                // --check: report the syntax errors, run nothing else
    bool keep_going = false;           // --keep-going: run the scripts after a failing one
};

// The request that `arguments` (without the program name) make; throws CommandLineError.
CommandLine parse_command_line(const std::vector<std::string>& arguments);

// Whether the run goes on with an interactive session: with -I, or on a terminal when the
// command line asks for nothing else.
bool wants_interactive_session(const CommandLine& command_line, bool input_is_terminal);

// Whether standard input is the script: no script is named, and it is not a terminal that an
// interactive session would read.
bool reads_piped_input(const CommandLine& command_line, bool input_is_terminal);

// The text of --help.
const char* help_text();
