#include "script_runner.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "regscript.h"
#include "regscript_ext.h"
#include "shown_text.h"

namespace {

// Room for any message of the library: it bounds them well below this.
constexpr int32_t message_capacity = 512;
// A longer source line (a generated script, say) is not shown under its message.
constexpr std::size_t longest_shown_line = 240;

// A line and a byte within it, both from 1, in the text of a Script.
struct Place {
    int32_t line;
    int32_t column;
};

// A run of the text that begins at `origin` reports `line` and `column` from its own start.
Place in_script(Place origin, int32_t line, int32_t column) {
    return {origin.line + line - 1, line == 1 ? origin.column + column - 1 : column};
}

// The lines of a script's text, found from the last one asked for: reports come in the order of
// their lines, so that finding them all reads the text once.
class SourceLines {
public:
    explicit SourceLines(std::string_view text) : text_(text) {}

    // Line `line` (from 1), without its line end.
    std::string_view line(int32_t line) {
        if (line < line_) line_ = 1, start_ = 0;
        for (; line_ < line && start_ < text_.size(); ++line_) {
            const std::size_t end = text_.find('\n', start_);
            start_ = end == std::string_view::npos ? text_.size() : end + 1;
        }
        std::string_view shown_line = text_.substr(start_);
        shown_line = shown_line.substr(0, shown_line.find('\n'));
        if (shown_line.ends_with('\r')) shown_line.remove_suffix(1);
        return shown_line;
    }

private:
    std::string_view text_;
    int32_t line_ = 1;
    std::size_t start_ = 0;  // where line_ begins
};

// "FILE:LINE:COLUMN: SEVERITY: MESSAGE", the line and a caret under the column. Bytes of the
// script are shown harmlessly (control bytes as escapes), and the caret counts what is shown.
void print_located(const Script& script, SourceLines& lines, const char* severity, Place place,
                   const char* message) {
    std::fprintf(stderr, "%s:%d:%d: %s: %s\n", shown(script.name).c_str(), script.first_line + place.line - 1,
                 place.column, severity, shown(message).c_str());
    const std::string_view line = lines.line(place.line);
    if (line.size() > longest_shown_line) return;
    const std::string indent = caret_indent(line, static_cast<std::size_t>(place.column - 1));
    std::fprintf(stderr, "%s\n%s^\n", shown(line).c_str(), indent.c_str());
}

// The last run's warnings; how many there were.
int32_t report_warnings(const Script& script, SourceLines& lines, Place origin, bool warnings_are_errors) {
    const int32_t count = regscript_last_warning_count();
    for (int32_t index = 0; index < count; ++index) {
        int32_t line, column;
        char message[message_capacity];
        if (regscript_last_warning(index, &line, &column, message, sizeof message - 1) != 0) break;
        message[sizeof message - 1] = '\0';
        print_located(script, lines, warnings_are_errors ? "error" : "warning", in_script(origin, line, column), message);
    }
    return count;
}

// The last run's error, if it had one.
bool report_error(const Script& script, SourceLines& lines, Place origin, int32_t outcome) {
    int32_t line, column;
    char message[message_capacity];
    if (regscript_last_error(&line, &column, message, sizeof message - 1) == 0) {
        message[sizeof message - 1] = '\0';
        print_located(script, lines, "error", in_script(origin, line, column), message);
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

// Where the text after `passed` begins, when `passed` begins at `origin`.
Place advanced(Place origin, std::string_view passed) {
    const std::size_t last_line_end = passed.rfind('\n');
    const auto lines = static_cast<int32_t>(std::count(passed.begin(), passed.end(), '\n'));
    if (last_line_end == std::string_view::npos) return {origin.line, origin.column + static_cast<int32_t>(passed.size())};
    return {origin.line + lines, static_cast<int32_t>(passed.size() - last_line_end)};
}

// The end of the part of `text` that a check runs next: the first `;` outside strings at least
// `wanted` bytes in, or the end of the text. Statements end at such a `;` and strings have no
// escapes, so the part reads exactly as it does within the whole text.
std::size_t part_end(std::string_view text, std::size_t wanted) {
    bool in_string = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '"') in_string = !in_string;
        if (text[at] == ';' && !in_string && at + 1 >= wanted) return at + 1;
    }
    return text.size();
}

ScriptOutcome run_text(const char* text) {
    int32_t error_line = 0;
    const int32_t result = run_parser(text, &error_line);
    return {result, regscript_last_outcome(), regscript_last_warning_count()};
}

void warn_about_nul(const Script& script) {
    if (std::size_t nul = script.text.find('\0'); nul != std::string::npos) {
        std::fprintf(stderr, "%s: warning: a NUL byte at offset %zu ends the script; the rest is not run\n",
                     shown(script.name).c_str(), nul);
    }
}

bool report_run(const Script& script, SourceLines& lines, Place origin, const ScriptOutcome& outcome,
                bool warnings_are_errors) {
    const bool warned = report_warnings(script, lines, origin, warnings_are_errors) > 0;
    const bool failed = report_error(script, lines, origin, outcome.outcome);
    return failed || (warned && warnings_are_errors);
}

}  // namespace

ScriptOutcome run_script(const Script& script) { return run_text(script.text.c_str()); }

bool report_problems(const Script& script, const ScriptOutcome& outcome, bool warnings_are_errors) {
    warn_about_nul(script);
    SourceLines lines(script.text);
    return report_run(script, lines, {1, 1}, outcome, warnings_are_errors);
}

// The first run reads the whole script, as a run does. After an error, the text after its
// statement's `;` runs in parts that grow while they run cleanly, so that each byte is read a
// bounded number of times however many errors there are (the library copies what it runs).
bool check_script(const Script& script, bool warnings_are_errors) {
    warn_about_nul(script);
    const std::string_view text = std::string_view(script.text).substr(0, script.text.find('\0'));
    constexpr std::size_t first_part_after_error = 256;
    bool clean = true;
    SourceLines lines(script.text);
    Place origin{1, 1};
    for (std::size_t offset = 0, wanted = text.size(); offset < text.size();) {
        const std::string part(text.substr(offset, part_end(text.substr(offset), wanted)));
        const ScriptOutcome outcome = run_text(part.c_str());
        if (report_run(script, lines, origin, outcome, warnings_are_errors)) clean = false;
        int32_t line, column;
        std::size_t passed = part.size();
        if (regscript_last_error_end(&line, &column) == 0) {
            passed = offset_after(part, line, column);
            wanted = first_part_after_error;
        } else if (outcome.outcome != REGSCRIPT_RUN_COMPLETED) {
            break;  // an error that ends the reading, at the end of the script or too deep a nesting
        } else {
            wanted *= 2;
        }
        origin = advanced(origin, std::string_view(part).substr(0, passed));
        offset += passed;
    }
    return clean;
}

void print_result(int32_t result) { std::printf("result: %d\n", result); }
