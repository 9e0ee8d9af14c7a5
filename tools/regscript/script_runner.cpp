#include "script_runner.h"

#include <cstdio>
#include <string_view>

#include "regscript.h"
#include "stdout_tap.h"

namespace {

// The library's messages as they end the last line of a run that they ended.
constexpr std::string_view parse_error_message = "error: parse error";
constexpr std::string_view stack_overflow_message = "error: parser stack overflow";

// A run that handed back line 0 ended with a syntax error exactly when the library's message
// ends its last complete line: after the message the library prints only bytes that begin no
// token, never a newline, and every trace line ends in a number.
SyntaxError error_of_unnumbered_run(std::string_view last_line) {
    if (last_line.ends_with(parse_error_message)) return SyntaxError::unfinished;
    if (last_line.ends_with(stack_overflow_message)) return SyntaxError::too_deep;
    return SyntaxError::none;
}

}  // namespace

ScriptOutcome run_script(const Script& script) {
    ScriptOutcome outcome{0, 0, SyntaxError::none};
    const std::string last_line =
        last_line_printed_by([&] { outcome.result = run_parser(script.text.c_str(), &outcome.error_line); });
    outcome.error = outcome.error_line != 0 ? SyntaxError::at_line : error_of_unnumbered_run(last_line);
    return outcome;
}

bool report_problems(const Script& script, const ScriptOutcome& outcome) {
    const char* name = script.name.c_str();
    if (std::size_t nul = script.text.find('\0'); nul != std::string::npos) {
        std::fprintf(stderr, "%s: warning: a NUL byte at offset %zu ends the script; the rest is not run\n", name, nul);
    }
    switch (outcome.error) {
        case SyntaxError::none: return false;
        case SyntaxError::at_line: std::fprintf(stderr, "%s:%d: parse error\n", name, outcome.error_line); break;
        case SyntaxError::unfinished:
            std::fprintf(stderr, "%s: parse error: the script ended inside a statement (missing ';'?)\n", name);
            break;
        case SyntaxError::too_deep:
            std::fprintf(stderr, "%s: parse error: the script nests too deeply (parser stack overflow)\n", name);
            break;
    }
    return true;
}

void print_result(int32_t result) { std::printf("result: %d\n", result); }
