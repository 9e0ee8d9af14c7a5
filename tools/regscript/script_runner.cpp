#include "script_runner.h"

#include <cstdio>
#include <string_view>

#include "regscript.h"
#include "regscript_ext.h"

namespace {

// Room for any message of the library: it bounds them well below this.
constexpr int32_t message_capacity = 512;
// A longer source line (a generated script, say) is not shown under its message.
constexpr std::size_t longest_shown_line = 240;

// Line `line` (from 1) of `text`, without its line end.
std::string_view source_line(std::string_view text, int32_t line) {
    for (int32_t at = 1; at < line; ++at) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return {};
        text.remove_prefix(end + 1);
    }
    text = text.substr(0, text.find('\n'));
    if (text.ends_with('\r')) text.remove_suffix(1);
    return text;
}

// "FILE:LINE:COLUMN: SEVERITY: MESSAGE", the line and a caret under the column; tabs stay tabs
// so that the caret lines up.
void print_located(const Script& script, const char* severity, int32_t line, int32_t column, const char* message) {
    std::fprintf(stderr, "%s:%d:%d: %s: %s\n", script.name.c_str(), line, column, severity, message);
    const std::string_view shown = source_line(script.text, line);
    if (shown.size() > longest_shown_line) return;
    std::string caret;
    for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(column) && i < shown.size(); ++i) {
        caret += shown[i] == '\t' ? '\t' : ' ';
    }
    std::fprintf(stderr, "%.*s\n%s^\n", static_cast<int>(shown.size()), shown.data(), caret.c_str());
}

// The last run's warnings; how many there were.
int32_t report_warnings(const Script& script, bool warnings_are_errors) {
    const int32_t count = regscript_last_warning_count();
    for (int32_t index = 0; index < count; ++index) {
        int32_t line, column;
        char message[message_capacity];
        if (regscript_last_warning(index, &line, &column, message, sizeof message - 1) != 0) break;
        message[sizeof message - 1] = '\0';
        print_located(script, warnings_are_errors ? "error" : "warning", line, column, message);
    }
    return count;
}

// The last run's error, if it had one.
bool report_error(const Script& script, int32_t outcome) {
    int32_t line, column;
    char message[message_capacity];
    if (regscript_last_error(&line, &column, message, sizeof message - 1) == 0) {
        message[sizeof message - 1] = '\0';
        print_located(script, "error", line, column, message);
        return true;
    }
    return outcome != REGSCRIPT_RUN_COMPLETED;
}

// Byte offset of the byte after (line, column) in `text`.
std::size_t offset_after(std::string_view text, int32_t line, int32_t column) {
    std::size_t offset = 0;
    for (int32_t at = 1; at < line && offset < text.size(); ++at) {
        std::size_t end = text.find('\n', offset);
        offset = end == std::string_view::npos ? text.size() : end + 1;
    }
    offset += static_cast<std::size_t>(column);
    return offset < text.size() ? offset : text.size();
}

}  // namespace

ScriptOutcome run_script(const Script& script) {
    ScriptOutcome outcome{0, 0, 0};
    int32_t error_line = 0;
    outcome.result = run_parser(script.text.c_str(), &error_line);
    outcome.outcome = regscript_last_outcome();
    outcome.warnings = regscript_last_warning_count();
    return outcome;
}

namespace {

void warn_about_nul(const Script& script) {
    if (std::size_t nul = script.text.find('\0'); nul != std::string::npos) {
        std::fprintf(stderr, "%s: warning: a NUL byte at offset %zu ends the script; the rest is not run\n",
                     script.name.c_str(), nul);
    }
}

bool report_run(const Script& script, const ScriptOutcome& outcome, bool warnings_are_errors) {
    const bool warned = report_warnings(script, warnings_are_errors) > 0;
    const bool failed = report_error(script, outcome.outcome);
    return failed || (warned && warnings_are_errors);
}

}  // namespace

bool report_problems(const Script& script, const ScriptOutcome& outcome, bool warnings_are_errors) {
    warn_about_nul(script);
    return report_run(script, outcome, warnings_are_errors);
}

// Every statement before the error statement's end is blanked out, line ends kept, so that the
// rest runs with the lines and columns it has in the file.
bool check_script(const Script& script, bool warnings_are_errors) {
    reset_registers();
    regscript_set_output(0);
    warn_about_nul(script);
    Script rest = script;
    bool clean = true;
    for (std::size_t checked = 0;;) {
        const ScriptOutcome outcome = run_script(rest);
        if (report_run(script, outcome, warnings_are_errors)) clean = false;
        int32_t line, column;
        if (regscript_last_error_end(&line, &column) != 0) break;
        const std::size_t end = offset_after(rest.text, line, column);
        if (end <= checked) break;
        for (; checked < end; ++checked) {
            if (rest.text[checked] != '\n') rest.text[checked] = ' ';
        }
    }
    regscript_set_output(1);
    return clean;
}

void print_result(int32_t result) { std::printf("result: %d\n", result); }
