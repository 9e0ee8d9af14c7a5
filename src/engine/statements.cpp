#include "statements.h"

#include "memory.h"
#include "numbers.h"
#include "output.h"
#include "parser.h"
#include "scanner.h"
#include "scratch.h"
#include "store.h"

namespace {

RunState run = {0, 0, RunOutcome::completed, false};

void release_statement_memory() {
    scratch_free_all();
    free_retired_variables();
}

// The parse gave `parse_status` (see parse()).
RunOutcome outcome_of(int parse_status) {
    if (allocation_failed()) return RunOutcome::out_of_memory;
    if (parse_status == 2) return RunOutcome::stack_overflow;
    if (parse_status == 1 && run.outcome != RunOutcome::syntax_error) return RunOutcome::ended_inside_statement;
    return run.outcome;
}

}  // namespace

void run_text(const char* text) {
    run = {run.result, 0, RunOutcome::completed, false};
    forget_allocation_failures();
    int parse_status = scanner_open_text(text) ? parse() : 1;
    run.outcome = outcome_of(parse_status);
    if (run.outcome == RunOutcome::out_of_memory) {
        print_parser_error("out of memory");
        run.error_line = scanner_line() > 0 ? scanner_line() : 1;
    }
    scanner_close_text();
    // What an unfinished statement made is freed with the run, not left to a later one.
    release_statement_memory();
}

const RunState& run_state() { return run; }

void finish_integer_statement(int32_t value) {
    if (!allocation_failed()) {
        print_integer_statement(value);
        run.result = value;
    }
    release_statement_memory();
}

void finish_double_statement(double value) {
    if (!allocation_failed()) {
        print_double_statement(value, double_to_int(value));
        run.result = double_equal(value, 0.0) ? 0 : 1;
    }
    release_statement_memory();
}

void finish_string_statement(const char* text) {
    if (!allocation_failed()) {
        print_string_statement(text);
        run.result = 0;
    }
    release_statement_memory();
}

void note_syntax_error(bool at_semicolon) { run.error_found_at_semicolon = at_semicolon; }

// The recovery drops tokens up to the next `;`, which is the last token scanned when the error
// statement is reduced. The error's line is that `;`'s own when the error was found at it, and
// otherwise the line of the last token dropped before it.
void finish_error_statement() {
    run.error_line = run.error_found_at_semicolon ? last_token().line : token_before_last().line;
    run.outcome = RunOutcome::syntax_error;
}
