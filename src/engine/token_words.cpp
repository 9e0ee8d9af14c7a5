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

Kind kind_started_by(int32_t token) { return is_token(token) ? word_of(token).begins : Kind::none; }

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

std::string_view spelling_of(int32_t token) { return is_token(token) ? word_of(token).spelling : ""; }

const Word* binary_operator(int32_t token) {
    return is_token(token) && !word_of(token).verb.empty() ? &word_of(token) : nullptr;
}

bool takes(const Word& op, Kind kind) {
    for (Kind taken : op.takes) {
        if (taken == kind && kind != Kind::none) return true;
    }
    return false;
}

bool accepts(Kind wanted, Kind value) {
    return wanted == value || (wanted == Kind::number && (value == Kind::integer || value == Kind::real));
}

const Word* parameters_of(int32_t token) {
    if (!is_token(token)) return nullptr;
    const Word& word = word_of(token);
    return word.verb.empty() && word.takes[0] != Kind::none ? &word : nullptr;
}

}  // namespace diagnosis
