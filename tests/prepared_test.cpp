// A prepared script runs exactly as its text does: every script of the language tables runs from
// the same start through run_parser and through a prepared script (its first run, a run that
// reuses it, and one after the host retyped the script's names), and everything a host can
// observe of the runs must be the same, byte for byte.
#include <functional>
#include <ostream>
#include <set>
#include <string>

#include "conversions.h"
#include "diagnostics.h"
#include "regscript.h"
#include "regscript_ext.h"
#include "script_cases.h"
#include "store_lock.h"

namespace {

// All that a host can tell about one run.
struct RunRecord {
    int32_t result;
    int32_t error_line;
    std::string output;
    std::string variables;
    std::string last_run;  // outcome, error, its end and the warnings, as regscript_ext.h gives them
    int notifications;
    int lock_depth;  // after the run
    bool operator==(const RunRecord&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RunRecord& run) {
    return out << "result " << run.result << ", error line " << run.error_line << ", output \"" << run.output
               << "\", variables {" << run.variables << "}, " << run.last_run << ", notifications "
               << run.notifications << ", lock depth " << run.lock_depth;
}

std::string located(int32_t found, int32_t line, int32_t column, const char* message = "") {
    return found < 0 ? "none" : std::to_string(line) + ":" + std::to_string(column) + " " + message;
}

std::string describe_last_run() {
    char message[diagnostic_message_capacity];
    int32_t line, column;
    std::string text = "outcome " + std::to_string(regscript_last_outcome());
    int32_t found = regscript_last_error(&line, &column, message, sizeof message);
    text += ", error " + located(found, line, column, message);
    found = regscript_last_error_end(&line, &column);
    text += ", end " + located(found, line, column);
    text += ", warnings " + std::to_string(regscript_last_warning_count());
    for (int32_t i = 0; regscript_last_warning(i, &line, &column, message, sizeof message) == 0; ++i) {
        text += "; " + located(0, line, column, message);
    }
    return text;
}

// Gives every name the script spells another type, as a host may between two runs: an int
// becomes a double, a double a string, a string an int, and a name without a variable a string.
void retype_names(const char* script) {
    std::set<std::string> names;
    for (const char* p = script; *p;) {
        const char* start = p;
        if (!is_letter(*p)) {
            ++p;
            continue;
        }
        while (is_letter(*p) || is_digit(*p)) ++p;
        names.emplace(start, p);
    }
    for (const std::string& name : names) {
        int32_t type = get_variable_type(name.c_str());
        delete_variable(name.c_str());
        if (type == REGSCRIPT_INT) set_double_variable(name.c_str(), 0.5);
        if (type == REGSCRIPT_DOUBLE) set_string_variable(name.c_str(), "x");
        if (type == REGSCRIPT_STRING) set_int_variable(name.c_str(), 7);
        if (type < 0) set_string_variable(name.c_str(), "7");
    }
}

using Runner = std::function<int32_t(int32_t* error_line)>;

// A fresh store, the row's setup and, when asked, the names retyped; then `run`.
RunRecord record_from_start(const ScriptCase& row, bool retyped, const Runner& run, NotificationCounter& notifications) {
    deinit_registers();
    init_registers();
    run_script(row.setup);
    if (retyped) retype_names(row.script);
    notifications.take();
    RunRecord record{};
    record.error_line = -99;
    testing::internal::CaptureStdout();
    record.result = run(&record.error_line);
    std::fflush(stdout);
    record.output = testing::internal::GetCapturedStdout();
    record.variables = describe_variables();
    record.last_run = describe_last_run();
    record.notifications = notifications.take();
    record.lock_depth = store_lock_depth();
    return record;
}

}  // namespace

TEST_P(Scripts, PreparedRunsAsItsText) {
    const ScriptCase& row = GetParam();
    NotificationCounter notifications;
    regscript_script* script = regscript_prepare(row.script);
    ASSERT_NE(script, nullptr);
    const Runner text = [&row](int32_t* line) { return run_parser(row.script, line); };
    const Runner prepared = [script](int32_t* line) { return regscript_run_prepared(script, line); };
    const RunRecord expected = record_from_start(row, false, text, notifications);
    EXPECT_EQ(record_from_start(row, false, prepared, notifications), expected) << "first run";
    EXPECT_EQ(record_from_start(row, false, prepared, notifications), expected) << "reused run";
    EXPECT_EQ(record_from_start(row, true, prepared, notifications), record_from_start(row, true, text, notifications))
        << "reused run after the host retyped the names";
    regscript_free_prepared(script);
}
