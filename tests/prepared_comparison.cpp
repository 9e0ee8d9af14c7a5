#include "prepared_comparison.h"

#include <set>
#include <sstream>
#include <vector>

#include "conversions.h"
#include "diagnostics.h"
#include "regscript.h"
#include "regscript_ext.h"
#include "store_description.h"
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

std::string described(const RunRecord& run) {
    std::ostringstream out;
    out << "result " << run.result << ", error line " << run.error_line << ", output \"" << run.output
        << "\", variables {" << run.variables << "}, " << run.last_run << ", notifications " << run.notifications
        << ", lock depth " << run.lock_depth;
    return out.str();
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

RunRecord recorded_run(const RunHarness& harness, const Runner& run) {
    harness.notifications_taken();
    RunRecord record{};
    record.error_line = -99;
    record.output = harness.captured_output([&] { record.result = run(&record.error_line); });
    record.variables = describe_variables(true);
    record.last_run = describe_last_run();
    record.notifications = harness.notifications_taken();
    record.lock_depth = store_lock_depth();
    return record;
}

RunRecord record_from_start(const RunHarness& harness, const char* script, bool retyped, const Runner& run) {
    harness.start();
    if (retyped) retype_names(script);
    return recorded_run(harness, run);
}

// Three runs in a row from the start, then one after the host retyped the names: a prepared
// script compiles in its second run, runs its code in the third and compiles again in the fourth.
std::vector<RunRecord> runs_in_a_row(const RunHarness& harness, const char* script, const Runner& run) {
    harness.start();
    // The run result carries over from the run before: both sequences start from the same.
    harness.captured_output([] { run_parser("0;", nullptr); });
    std::vector<RunRecord> records;
    for (int turn = 0; turn < 4; ++turn) {
        if (turn == 3) retype_names(script);
        records.push_back(recorded_run(harness, run));
    }
    return records;
}

std::string difference(const std::string& which, const RunRecord& text, const RunRecord& prepared) {
    if (text == prepared) return "";
    return which + ":\n  text:     " + described(text) + "\n  prepared: " + described(prepared);
}

}  // namespace

std::string prepared_run_difference(const RunHarness& harness, const char* script) {
    const Runner text = [script](int32_t* line) { return run_parser(script, line); };
    std::string found;
    // Each comparison starts with a new prepared script, whose runs follow the same course.
    auto compare = [&](const std::function<std::string(const Runner& prepared)>& comparison) {
        regscript_script* prepared_script = regscript_prepare(script);
        if (!prepared_script) return std::string("regscript_prepare ran out of memory");
        const Runner prepared = [prepared_script](int32_t* line) { return regscript_run_prepared(prepared_script, line); };
        std::string difference_found = comparison(prepared);
        regscript_free_prepared(prepared_script);
        return difference_found;
    };
    found = compare([&](const Runner& prepared) {
        const RunRecord expected = record_from_start(harness, script, false, text);
        std::string first = difference("first run", expected, record_from_start(harness, script, false, prepared));
        if (first.empty()) first = difference("reused run", expected, record_from_start(harness, script, false, prepared));
        if (first.empty()) {
            first = difference("reused run after the host retyped the names", record_from_start(harness, script, true, text),
                               record_from_start(harness, script, true, prepared));
        }
        return first;
    });
    if (!found.empty()) return found;
    return compare([&](const Runner& prepared) {
        const std::vector<RunRecord> expected = runs_in_a_row(harness, script, text);
        const std::vector<RunRecord> runs = runs_in_a_row(harness, script, prepared);
        for (std::size_t turn = 0; turn < runs.size(); ++turn) {
            std::string differs = difference("run " + std::to_string(turn + 1) + " in a row", expected[turn], runs[turn]);
            if (!differs.empty()) return differs;
        }
        return std::string();
    });
}
