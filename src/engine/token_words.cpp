#include "token_words.h"

namespace diagnosis {

std::string_view declaration_keyword(Kind kind) { return kind == Kind::integer ? "int" : kind_name(kind); }

std::string_view with_article(Kind kind) {
    switch (kind) {
        case Kind::integer: return "an integer";
        case Kind::real: return "a double";
        case Kind::string: return "a string";
        case Kind::number: return "a number";
        case Kind::none: break;
    }
    return "a value";
}

Kind kind_of_variable(int32_t type) {
    switch (type) {
        case TOKEN_INT_VAR: return Kind::integer;
        case TOKEN_DOUBLE_VAR: return Kind::real;
        case TOKEN_STRING_VAR: return Kind::string;
        default: return Kind::none;
    }
}

Kind kind_of_expression(int32_t symbol) {
    switch (symbol) {
        case symbol_integer_expression: return Kind::integer;
        case symbol_double_expression: return Kind::real;
        case symbol_string_expression: return Kind::string;
        default: return Kind::none;
    }
}

// The kind of value that a token begins, where the token alone decides it.
Kind kind_started_by(int32_t token) {
    switch (token) {
        case TOKEN_INT_CONST: case TOKEN_INT_VAR: case TOKEN_INT_CAST: case TOKEN_STRTOINT: case TOKEN_STRLEN:
        case TOKEN_HEXTOINT: case TOKEN_GETTICKCOUNT: case TOKEN_NOT: case TOKEN_BITNOT: case TOKEN_DELETE:
        case TOKEN_SUBSTR: case TOKEN_INT_DECL: case TOKEN_STRING_DECL: case TOKEN_DOUBLE_DECL:
            return Kind::integer;
        case TOKEN_DOUBLE_CONST: case TOKEN_DOUBLE_VAR: case TOKEN_DOUBLE_CAST: case TOKEN_STRTODOUBLE:
        case TOKEN_FUNCTION:
            return Kind::real;
        case TOKEN_STRING_CONST: case TOKEN_STRING_VAR: case TOKEN_CUT: case TOKEN_FORMAT:
            return Kind::string;
        default: return Kind::none;
    }
}

// How a token that begins a value is described: "`2.5` is a double", "`n` is an integer
// variable", "`strlen` gives an integer".
void describe_value(Message& message, int32_t token, std::string_view text) {
    Kind kind = kind_started_by(token);
    message.code(text);
    if (is_name_token(token) && token != TOKEN_FUNCTION) {
        message.text(" is ").text(with_article(kind)).text(" variable");
    } else if (token == TOKEN_INT_CONST || token == TOKEN_DOUBLE_CONST || token == TOKEN_STRING_CONST) {
        message.text(" is ").text(with_article(kind));
    } else if (token == TOKEN_INT_CAST || token == TOKEN_DOUBLE_CAST) {
        message.text(" makes ").text(with_article(kind));
    } else {
        message.text(" gives ").text(with_article(kind));
    }
}

std::string_view spelling_of(int32_t token) {
    for (const Spelling& spelling : spellings) {
        if (spelling.token == token) return spelling.text;
    }
    return "";
}

namespace {

constexpr BinaryOperator binary_operators[] = {
    {TOKEN_PLUS, true, true, "added"},       {TOKEN_MINUS, true, false, "subtracted"},
    {TOKEN_TIMES, true, false, "multiplied"}, {TOKEN_DIVIDE, true, false, "divided"},
    {TOKEN_MODULO, true, false, "divided"},  {TOKEN_POWER, true, false, "raised to a power"},
    {TOKEN_EQ, true, true, "compared"},      {TOKEN_NE, true, true, "compared"},
    {TOKEN_GE, true, false, "compared"},     {TOKEN_LE, true, false, "compared"},
    {TOKEN_GT, true, false, "compared"},     {TOKEN_LT, true, false, "compared"},
    {TOKEN_AND, false, false, "combined"},   {TOKEN_OR, false, false, "combined"},
    {TOKEN_BITAND, false, false, "combined"}, {TOKEN_BITXOR, false, false, "combined"},
    {TOKEN_SHR, false, false, "shifted"},    {TOKEN_SHL, false, false, "shifted"},
};

// The built-in functions that take arguments; the first value in parentheses takes none.
constexpr Parameters parameters[] = {
    {TOKEN_FUNCTION, {Kind::number}},  {TOKEN_STRLEN, {Kind::string}},
    {TOKEN_STRTOINT, {Kind::string}},  {TOKEN_STRTODOUBLE, {Kind::string}},
    {TOKEN_HEXTOINT, {Kind::string}},  {TOKEN_CUT, {Kind::string, Kind::integer, Kind::integer}},
    {TOKEN_FORMAT, {Kind::string, Kind::number}}, {TOKEN_SUBSTR, {Kind::string, Kind::string, Kind::integer}},
};

}  // namespace

const BinaryOperator* binary_operator(int32_t token) {
    for (const BinaryOperator& op : binary_operators) {
        if (op.token == token) return &op;
    }
    return nullptr;
}

bool takes(const BinaryOperator& op, Kind kind) {
    return kind == Kind::integer || (kind == Kind::real && op.takes_doubles) || (kind == Kind::string && op.takes_strings);
}

bool accepts(Kind wanted, Kind value) {
    return wanted == value || (wanted == Kind::number && (value == Kind::integer || value == Kind::real));
}

const Parameters* parameters_of(int32_t token) {
    for (const Parameters& function : parameters) {
        if (function.token == token) return &function;
    }
    return nullptr;
}

}  // namespace diagnosis
