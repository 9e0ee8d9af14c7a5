// The language's words as the diagnostics name them: the kinds of value, what each token is and
// begins, the binary operators and the parameters of the built-in functions. Internal to the
// diagnostics.
#pragma once

#include <cstdint>
#include <string_view>

#include "diagnostics.h"
#include "grammar.hpp"
#include "message.h"

namespace diagnosis {

enum class Kind { none, integer, real, string, number };


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

struct Spelling {
    int32_t token;
    std::string_view text;
};

inline constexpr Spelling spellings[] = {
    {TOKEN_ASSIGN, "="}, {TOKEN_NOT, "!"}, {TOKEN_BITNOT, "~"}, {TOKEN_FORMAT, "format"}, {TOKEN_COMMA, ","},
    {TOKEN_CUT, "cut"}, {TOKEN_STRLEN, "strlen"}, {TOKEN_DELETE, "delete"}, {TOKEN_STRTOINT, "strtoint"},
    {TOKEN_STRTODOUBLE, "strtodouble"}, {TOKEN_SUBSTR, "substr"}, {TOKEN_HEXTOINT, "hextoint"},
    {TOKEN_GETTICKCOUNT, "gettickcount"}, {TOKEN_INT_DECL, "int"}, {TOKEN_STRING_DECL, "string"},
    {TOKEN_DOUBLE_DECL, "double"}, {TOKEN_DOUBLE_CAST, "(double)"}, {TOKEN_INT_CAST, "(int)"}, {TOKEN_PLUS, "+"},
    {TOKEN_MINUS, "-"}, {TOKEN_TIMES, "*"}, {TOKEN_DIVIDE, "/"}, {TOKEN_MODULO, "%"}, {TOKEN_LPAREN, "("},
    {TOKEN_RPAREN, ")"}, {TOKEN_EQ, "=="}, {TOKEN_NE, "!="}, {TOKEN_GE, ">="}, {TOKEN_LE, "<="}, {TOKEN_GT, ">"},
    {TOKEN_LT, "<"}, {TOKEN_SEMICOLON, ";"}, {TOKEN_AND, "and"}, {TOKEN_OR, "or"}, {TOKEN_BITAND, "&"},
    {TOKEN_BITXOR, "^"}, {TOKEN_SHR, ">>"}, {TOKEN_SHL, "<<"}, {TOKEN_POWER, "**"},
};

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

// A binary operator, with the kinds it takes and what it does to two values.
struct BinaryOperator {
    int32_t token;
    bool takes_doubles;
    bool takes_strings;
    std::string_view verb;  // "an integer and a double cannot be <verb>"
};

// The operator whose token is `token`, or null.
const BinaryOperator* binary_operator(int32_t token);
bool takes(const BinaryOperator& op, Kind kind);

// Whether a place that wants `wanted` takes a value of kind `value`.
bool accepts(Kind wanted, Kind value);

// The kinds a built-in function takes, argument by argument (Kind::none past the last).
struct Parameters {
    int32_t token;
    Kind kinds[3];
};

// The parameters of the function whose token is `token`, or null.
const Parameters* parameters_of(int32_t token);

inline constexpr std::string_view function_names =
    "`sin`, `cos`, `atan`, `ln`, `exp`, `sqrt`, `strlen`, `strtoint`, `strtodouble`, `hextoint`, `substr`, "
    "`cut`, `format` and `gettickcount`";

}  // namespace diagnosis
