#include "declarations.h"

#include <cstring>

#include "grammar.hpp"
#include "scanner.h"
#include "script_run.h"
#include "store.h"

// Once memory has run out, the statement's values may rest on texts that could not be made: the
// run is ending, and nothing it computes from then on reaches the store.
namespace {

bool may_change(const Variable* variable, int32_t type) { return variable->type == type && statement_may_finish(); }

// `ok = 1 and 0;` is `(ok = 1) and 0`: an assignment that the parser completes at an `and` or
// `or` is that operator's left operand (in parentheses it would end at the `)`).
void warn_if_logical_follows(const Variable* variable) {
    const TokenPlace ahead = last_token();
    if (ahead.token != TOKEN_AND && ahead.token != TOKEN_OR) return;
    char operator_and_name[sizeof ScriptWarning::text];  // "and ok"
    const std::size_t name_room = sizeof operator_and_name - ahead.text.size() - 2;
    const std::size_t whole_name = std::strlen(variable->name);
    const std::size_t name_length = whole_name <= name_room ? whole_name : 0;  // a cut name would name another
    std::memcpy(operator_and_name, ahead.text.data(), ahead.text.size());
    operator_and_name[ahead.text.size()] = ' ';
    std::memcpy(operator_and_name + ahead.text.size() + 1, variable->name, name_length);
    const std::size_t length = ahead.text.size() + 1 + name_length;
    scanner_note_warning(make_warning(WarningKind::assignment_before_logical,
                                {ahead.line, ahead.column, std::string_view(operator_and_name, length), ahead.token, 0}));
}

}  // namespace

int32_t assign_integer(Variable* variable, int32_t value) {
    warn_if_logical_follows(variable);
    return assign_integer_unwarned(variable, value);
}

int32_t assign_integer_unwarned(Variable* variable, int32_t value) {
    if (may_change(variable, INT_VAR)) variable->value.integer = value;
    return value;
}

double assign_double(Variable* variable, double value) {
    if (may_change(variable, DOUBLE_VAR)) variable->value.number = value;
    return value;
}

char* assign_string(Variable* variable, char* text) {
    if (text && may_change(variable, STRING_VAR)) set_variable_text(variable, text);
    return text;
}

int32_t declare_variable(Variable* variable, int32_t type) {
    if (variable->type != type && statement_may_finish()) retype_variable(variable, type);
    return 1;
}

int32_t delete_variable_in_script(Variable* variable) { return statement_may_finish() ? retire_variable(variable) : 0; }
