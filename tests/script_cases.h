// Table rows for scripts run end to end: the script, what it prints, its result, the error line
// and the variables left in the store. Suites instantiate Scripts with their own rows.
#pragma once

#include <ostream>
#include <string>

#include "test_support.h"

// The trace lines of integer, double and string statements, and the parser's message.
inline std::string I(long value) {
    return "* Integer statement result=" + std::to_string(value) + "\t marlin result=" + std::to_string(value) + "\n";
}
inline std::string D(const char* value, int truncated) {
    return std::string("* Double statement result=") + value + "\t marlin result=" + std::to_string(truncated) + "\n";
}
inline std::string S(const char* text) { return std::string("* String statement result=") + text + "\t marlin result=0\n"; }
inline const std::string parse_error = "error: parse error\n";

struct ScriptCase {
    const char* name;  // names the case; see row_name
    const char* script;
    std::string output;
    int32_t result;
    int32_t error_line = 0;
    const char* variables = nullptr;  // as describe_variables gives them; null: not checked
    const char* setup = "0;";         // run first, its output not checked
};

inline void PrintTo(const ScriptCase& row, std::ostream* out) { *out << row.script; }

class Scripts : public EngineTest, public testing::WithParamInterface<ScriptCase> {};
