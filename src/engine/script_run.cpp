#include "script_run.h"

#include <cstdio>
#include <cstring>

#include "fast_thread_local.h"
#include "host_calls.h"
#include "memory.h"
#include "numbers.h"
#include "output.h"
#include "parser.h"
#include "scanner.h"
#include "scratch.h"
#include "script_code.h"
#include "store.h"

namespace {

// The one run record. The grammar is handed it (parse), so that it reaches the statements by
// parameter; only the host's report of a failed function (note_host_failure) comes from outside.
RunState run_record = {};
// The thread whose run is in progress sees it: a host function is called on the run's thread.
FAST_THREAD_LOCAL bool running = false;

void release_statement_memory() {
    scratch_free_all();
    free_retired_variables();
}

// The parse gave `parse_status` (see parse()).
RunOutcome outcome_of(const RunState& run, int parse_status) {
    if (!statement_may_finish()) return RunOutcome::out_of_memory;
    if (parse_status == 2) return RunOutcome::stack_overflow;
    if (parse_status == 1 && run.outcome == RunOutcome::completed) return RunOutcome::ended_inside_statement;
    return run.outcome;
}

// Everything a run reports starts empty; the result carries over. The diagnostic and the
// warnings are large and are read only up to their lines and counts, so a run clears just those.
void begin_run(RunState& run) {
    run.reported_line = 0;
    run.outcome = RunOutcome::completed;
    run.error_found_at_semicolon = false;
    run.diagnostic.found_line = 0;
    run.diagnostic.statement_end_line = 0;
    run.diagnostic.message[0] = '\0';
}

// The warnings that the scanner kept for the run, taken before it closes the text.
void take_warnings(RunState& run) {
    run.warning_count = scanner_warning_count();
    const int32_t kept = run.warning_count < warning_capacity ? run.warning_count : warning_capacity;
    std::memcpy(run.warnings, scanner_warnings(), static_cast<std::size_t>(kept) * sizeof run.warnings[0]);
}

RunState& start_run() {
    RunState& run = run_record;
    begin_run(run);
    forget_allocation_failures();
    running = true;
    return run;
}

// The parse gave `parse_status`.
void end_text_run(RunState& run, int parse_status) {
    running = false;
    run.outcome = outcome_of(run, parse_status);
    if (run.outcome == RunOutcome::out_of_memory) {
        print_parser_error("out of memory");
        run.reported_line = scanner_line() > 0 ? scanner_line() : 1;
        run.diagnostic = describe_out_of_memory(run.reported_line, last_token());
    }
    take_warnings(run);
    scanner_close_text();
    close_all_calls();
    flush_output();
    // What an unfinished statement made is freed with the run, not left to a later one.
    release_statement_memory();
}

// Compiled code runs only statements that complete, warn about nothing and call no host
// function.
void end_code_run(RunState& run) {
    running = false;
    run.warning_count = 0;
    flush_output();
}

// The names as the compiled statements saw them, for the text that goes on after them.
class RecordedResolver final : public NameResolver {
public:
    explicit RecordedResolver(const RecordedNames& recorded) : names(recorded) {}
    int token_of(std::string_view name, SemanticValue*) const override { return recorded_token(names, name); }

private:
    const RecordedNames& names;
};

}  // namespace

void run_text(const char* text) {
    RunState& run = start_run();
    end_text_run(run, scanner_open_text(text) ? parse(run) : 1);
}

void run_prepared_text(const char* text, std::size_t length, const ScriptCode* code) {
    RunState& run = start_run();
    std::size_t text_from = 0;
    if (code) {
        text_from = run_script_code(run, *code);
        if (text_from == whole_text_ran) return end_code_run(run);
    }
    scanner_open_text_in_place(text, length);
    bool resumed = text_from == 0 || scanner_skip_quietly(text_from, RecordedResolver(code->names));
    end_text_run(run, resumed ? parse(run) : 1);
}

const RunState& run_state() { return run_record; }

bool run_in_progress() { return running; }
bool statement_may_finish() { return !allocation_failed(); }

void finish_integer_statement(RunState& run, int32_t value) {
    if (statement_may_finish()) {
        print_integer_statement(value);
        run.result = value;
    }
    release_statement_memory();
}

void finish_double_statement(RunState& run, double value) {
    if (statement_may_finish()) {
        print_double_statement(value, double_to_int(value));
        run.result = double_equal(value, 0.0) ? 0 : 1;
    }
    release_statement_memory();
}

void finish_string_statement(RunState& run, const char* text) {
    if (statement_may_finish()) {
        print_string_statement(text);
        run.result = 0;
    }
    release_statement_memory();
}

void note_syntax_error(RunState& run, bool at_semicolon, const SyntaxErrorContext& context) {
    run.error_found_at_semicolon = at_semicolon;
    TokenPlace recent[recent_token_count];
    for (int back = 0; back < recent_token_count; ++back) recent[back] = recent_token(back);
    run.diagnostic = describe_syntax_error(context, recent);
}

void note_call_mismatch(RunState& run, int32_t line, int32_t column, const char* message) {
    print_parser_error("parse error");
    run.error_found_at_semicolon = false;
    run.diagnostic = {};
    run.diagnostic.found_line = line;
    run.diagnostic.found_column = column;
    std::snprintf(run.diagnostic.message, sizeof run.diagnostic.message, "%s", message);
}

void note_host_failure(int32_t reported_line, int32_t line, int32_t column, const char* message) {
    RunState& run = run_record;
    run.outcome = RunOutcome::host_failed;
    run.reported_line = reported_line;
    run.diagnostic.found_line = line;
    run.diagnostic.found_column = column;
    std::snprintf(run.diagnostic.message, sizeof run.diagnostic.message, "%s", message);
}

void note_stack_overflow(RunState& run) { run.diagnostic = describe_stack_overflow(last_token()); }

// The recovery drops tokens up to the next `;`, which is the last token scanned when the error
// statement is reduced. The error's line is that `;`'s own when the error was found at it, and
// otherwise the line of the last token dropped before it.
void finish_error_statement(RunState& run) {
    run.reported_line = run.error_found_at_semicolon ? last_token().counted_line : token_before_last().counted_line;
    run.outcome = RunOutcome::syntax_error;
    run.diagnostic.statement_end_line = last_token().line;
    run.diagnostic.statement_end_column = last_token().column;
}
