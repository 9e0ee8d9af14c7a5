// The language's words as the diagnostics name them, read from the vocabulary: the kinds of
// value, what each token is and begins, the binary operators and the parameters of the built-in
// functions. Internal to the diagnostics.
#pragma once

#include <cstdint>
#include <string_view>

#include "diagnostics.h"
#include "grammar.hpp"
#include "message.h"
#include "vocabulary.h"

namespace diagnosis {

using Kind = ValueKind;

inline std::string_view kind_name(Kind kind) {
    switch (kind) {
        case Kind::integer: return "integer";
        case Kind::real: return "double";
        case Kind::string: return "string";
        case Kind::number: return "number";
        case Kind::none: break;
    }
    return "value";
}

inline bool is_name_token(int32_t token) {
    return token == TOKEN_INT_VAR || token == TOKEN_STRING_VAR || token == TOKEN_DOUBLE_VAR || token == TOKEN_FUNCTION;
}

// How a value of one kind becomes one of another.
inline std::string_view conversion(Kind from, Kind to) {
    if (to == Kind::real) return from == Kind::string ? "strtodouble(...)" : "(double)";
    if (to == Kind::integer) return from == Kind::string ? "strtoint(...)" : "(int)";
    if (to == Kind::string) return from == Kind::real ? "format(\"%f\", ...)" : "format(\"%d\", ...)";
    return "";
}

// "int" for integers, otherwise the kind's name.
std::string_view declaration_keyword(Kind kind);
// "an integer", "a double", ...
std::string_view with_article(Kind kind);
// The kind of a variable's type code, or of an expression symbol of the parser's stack.
Kind kind_of_variable(int32_t type);
Kind kind_of_expression(int32_t symbol);
// The kind of value that a token begins, where the token alone decides it.
Kind kind_started_by(int32_t token);
// How a token that begins a value is described: "`2.5` is a double", "`n` is an integer
// variable", "`strlen` gives an integer".
void describe_value(Message& message, int32_t token, std::string_view text);
// The token's text in the script; "" for literals and names.
std::string_view spelling_of(int32_t token);

// The binary operator whose token is `token` (its row of the vocabulary), or null.
const Word* binary_operator(int32_t token);
// Whether the binary operator takes operands of `kind`.
bool takes(const Word& op, Kind kind);

// Whether a place that wants `wanted` takes a value of kind `value`.
bool accepts(Kind wanted, Kind value);

// The built-in function whose token is `token` (its row of the vocabulary, whose `takes` are its
// parameters), or null.
const Word* parameters_of(int32_t token);

inline constexpr std::string_view function_names =
    "`sin`, `cos`, `atan`, `ln`, `exp`, `sqrt`, `strlen`, `strtoint`, `strtodouble`, `hextoint`, `substr`, "
    "`cut`, `format` and `gettickcount`";

}  // namespace diagnosis
