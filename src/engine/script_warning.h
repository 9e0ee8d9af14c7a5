// A warning about text that runs but was probably not meant: the scanner keeps a run's warnings
// as it meets them, and the diagnostics word them. Fixed-size, so that noting one never
// allocates; the text taken from the script is cut to fit.
#pragma once

#include <cstdint>
#include <cstring>

#include "token_place.h"

enum class WarningKind : int32_t {
    byte_begins_no_token,  // echoed and skipped
    unterminated_string,   // the quote is echoed and the rest read as statements
    dot_after_digits,      // "5.": the point is echoed, the number is 5
    dot_before_digits,     // ".5": the point is echoed, the number is 5
    carriage_return,       // the first of a script's CR line ends
    byte_order_mark,       // three echoed bytes at the start
    assignment_before_logical,  // `ok = 1 and 0`: the text is the operator, a blank and the name
};

// Text that runs, but probably not as meant.
struct ScriptWarning {
    WarningKind kind;
    int32_t line;
    int32_t column;
    char text[16];  // the byte, or the digits next to the point
};

// Room for a run's warnings; the count goes on past it.
constexpr int32_t warning_capacity = 16;

inline ScriptWarning make_warning(WarningKind kind, const TokenPlace& place) {
    ScriptWarning warning{kind, place.line, place.column, {}};
    const std::size_t length = place.text.size() < sizeof warning.text ? place.text.size() : sizeof warning.text - 1;
    if (length > 0) std::memcpy(warning.text, place.text.data(), length);
    return warning;
}
