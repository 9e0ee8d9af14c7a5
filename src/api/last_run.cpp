// Each thread keeps its own record, so a host reads what its own run did whatever other threads
// run meanwhile, and the getters need no lock.
#include "last_run.h"

#include <cstring>

#include "host_text.h"
#include "regscript_ext.h"

namespace {

struct LastRun {
    int32_t outcome;
    int32_t found_line;  // of the error; 0 when there is none
    int32_t found_column;
    char error_message[diagnostic_message_capacity];
    int32_t statement_end_line;
    int32_t statement_end_column;
    ScriptWarning warnings[warning_capacity];
    int32_t warning_count;
};

// The record of a thread that ran nothing yet, or whose call ended before its run began.
constexpr LastRun without_run(int32_t outcome) {
    LastRun record{};
    record.outcome = outcome;
    return record;
}

thread_local LastRun last_run = without_run(REGSCRIPT_RUN_NONE);

int32_t outcome_code(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::completed: return REGSCRIPT_RUN_COMPLETED;
        case RunOutcome::syntax_error: return REGSCRIPT_RUN_SYNTAX_ERROR;
        case RunOutcome::ended_inside_statement: return REGSCRIPT_RUN_ENDED_INSIDE_STATEMENT;
        case RunOutcome::stack_overflow: return REGSCRIPT_RUN_STACK_OVERFLOW;
        case RunOutcome::out_of_memory: return REGSCRIPT_RUN_OUT_OF_MEMORY;
        case RunOutcome::host_failed: return REGSCRIPT_RUN_HOST_FAILED;
    }
    return REGSCRIPT_RUN_COMPLETED;
}

// Hands a located message to the host: -1 without one, else as get_string_variable does.
int32_t hand_out(bool exists, int32_t line, int32_t column, std::string_view message, int32_t* line_out,
                 int32_t* column_out, char* buffer, int32_t size) {
    if (line_out) *line_out = exists ? line : 0;
    if (column_out) *column_out = exists ? column : 0;
    if (!exists) {
        copy_to_host_buffer("", buffer, size);
        return -1;
    }
    return copy_to_host_buffer(message, buffer, size) ? 0 : host_text_length(message);
}

}  // namespace

// Only as much as the run filled is copied: the message up to its end, the warnings it kept.
void remember_run(const RunState& run) {
    last_run.outcome = outcome_code(run.outcome);
    last_run.found_line = run.diagnostic.found_line;
    last_run.found_column = run.diagnostic.found_column;
    if (run.diagnostic.message[0] == '\0') {
        last_run.error_message[0] = '\0';  // the usual run, which costs no call
    } else {
        std::memcpy(last_run.error_message, run.diagnostic.message, std::strlen(run.diagnostic.message) + 1);
    }
    last_run.statement_end_line = run.diagnostic.statement_end_line;
    last_run.statement_end_column = run.diagnostic.statement_end_column;
    last_run.warning_count = run.warning_count;
    int32_t kept = run.warning_count < warning_capacity ? run.warning_count : warning_capacity;
    if (kept > 0) std::memcpy(last_run.warnings, run.warnings, static_cast<std::size_t>(kept) * sizeof run.warnings[0]);
}

void remember_lock_failure() {
    last_run = without_run(REGSCRIPT_RUN_LOCK_NOT_OBTAINED);
}

void remember_nested_run() { last_run = without_run(REGSCRIPT_RUN_NESTED); }

int32_t REGSCRIPT_CDECL regscript_last_outcome(void) { return last_run.outcome; }

int32_t REGSCRIPT_STDCALL regscript_last_error(int32_t* line, int32_t* column, char* message, int32_t size) {
    return hand_out(last_run.found_line > 0, last_run.found_line, last_run.found_column, last_run.error_message, line,
                    column, message, size);
}

int32_t REGSCRIPT_STDCALL regscript_last_error_end(int32_t* line, int32_t* column) {
    bool exists = last_run.statement_end_line > 0;
    if (line) *line = exists ? last_run.statement_end_line : 0;
    if (column) *column = exists ? last_run.statement_end_column : 0;
    return exists ? 0 : -1;
}

int32_t REGSCRIPT_CDECL regscript_last_warning_count(void) { return last_run.warning_count; }

int32_t REGSCRIPT_STDCALL regscript_last_warning(int32_t index, int32_t* line, int32_t* column, char* message,
                                                 int32_t size) {
    bool exists = index >= 0 && index < last_run.warning_count && index < warning_capacity;
    char text[diagnostic_message_capacity] = "";
    const ScriptWarning* warning = exists ? &last_run.warnings[index] : nullptr;
    std::size_t length = warning ? warning_message(*warning, text, sizeof text) : 0;
    return hand_out(exists, warning ? warning->line : 0, warning ? warning->column : 0, std::string_view(text, length),
                    line, column, message, size);
}
