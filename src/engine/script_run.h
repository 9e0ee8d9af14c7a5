// The run's driver: runs a script's text through the scanner and the grammar and keeps what the
// run hands back. Each finished statement prints its trace line, sets the run result and frees the
// statement's temporary strings and deleted variables; a syntax error, a failed host function or
// exhausted memory ends the run and records where.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diagnostics.h"

struct ScriptCode;

// How a run ended.
enum class RunOutcome : int32_t {
    completed,               // every statement of the text ran
    syntax_error,            // an error statement ended the run; its line is recorded
    ended_inside_statement,  // the text ended before a statement's `;` (error line 0)
    stack_overflow,          // the text nests too deeply for the parser
    out_of_memory,           // an allocation failed; the line reached is recorded
    host_failed,             // a host function failed; the line of its call is recorded
};

// What a run hands back. Owned by this file.
struct RunState {
    int32_t result;  // of the last integer, double or string statement; carries over between runs
    // The line reported to the host (run_parser's error line) of the syntax error, host failure
    // or memory failure that ended the run, or 0. Line ends inside strings are not counted, so it
    // may differ from the diagnostic's lines, which count every line end.
    int32_t reported_line;
    RunOutcome outcome;
    bool error_found_at_semicolon;  // the syntax error was found at a `;`
    Diagnostic diagnostic;          // where the error was found and its statement ended; line 0 when none
    ScriptWarning warnings[warning_capacity];
    int32_t warning_count;          // may exceed warning_capacity; the first ones are kept
};

// Runs `text` in the active store: each statement executes as it is parsed. The caller holds the
// store lock.
void run_text(const char* text);

// Runs a prepared script's `text` (`length` bytes and a NUL, scanned where they are) as run_text
// would: through `code`, compiled from it and fitting the active store, as far as the code goes,
// and through the text from there; through the text alone when `code` is null.
void run_prepared_text(const char* text, std::size_t length, const ScriptCode* code);

const RunState& run_state();

// Whether run_text is running, on the thread that holds the store lock: a host function called by
// the run is inside it.
bool run_in_progress();

// The one gate in front of every change a statement makes to the store and every line it prints:
// false once an allocation of this run has failed (each thread's own, so never another thread's
// failure), and the run is ending.
bool statement_may_finish();

// The grammar's statement rules, with the run record that the parser was handed. A statement whose evaluation ran out of memory is not finished:
// it prints nothing and leaves the result as it was.
void finish_integer_statement(RunState& run, int32_t value);
// The run result is 1, or 0 for a value that is zero or NaN.
void finish_double_statement(RunState& run, double value);
void finish_string_statement(RunState& run, const char* text);

// A syntax error was reported, at a `;` or at another token; the parser's context says what it
// could have taken instead.
void note_syntax_error(RunState& run, bool at_semicolon, const SyntaxErrorContext& context);
// A host function call at `line` and `column` does not fit the function's parameters; the
// statement is a syntax error.
void note_call_mismatch(RunState& run, int32_t line, int32_t column, const char* message);
// The host function called at `line` and `column` failed with `message`; the run ends. Called by
// the host (regscript_fail), so it reaches the running record itself.
// `reported_line` is that line as the host is told it (line ends inside strings left out).
void note_host_failure(int32_t reported_line, int32_t line, int32_t column, const char* message);
// The parser's stacks cannot grow any further.
void note_stack_overflow(RunState& run);
// The error statement: records the error's line; the parse ends with the statement.
void finish_error_statement(RunState& run);
