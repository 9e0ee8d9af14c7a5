// The words of the language, each once, in the order of their token codes: how a script spells
// it, the kind of value it begins, the kinds it takes and, for a binary operator, what it does.
// The scanner finds its keywords here and the diagnostics spell and describe tokens with it; a
// test holds the scanner's operators and the command-line host's keywords to it. The built-in
// math functions, which the store holds as records, are named in builtin_functions.h.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "builtin_functions.h"
#include "grammar.hpp"

enum class ValueKind : uint8_t { none, integer, real, string, number };

struct Word {
    int32_t token;
    std::string_view spelling;  // "" where the text varies (literals, names) or there is none
    ValueKind begins;           // the kind of value the token begins where it alone decides it
    // A binary operator: the kinds of operand it takes. A built-in function: its parameters,
    // argument by argument.
    std::array<ValueKind, 3> takes;
    std::string_view verb;  // a binary operator's: "an integer and a double cannot be <verb>"
};

constexpr int32_t first_token = TOKEN_DOUBLE_CONST;
constexpr int32_t last_token_code = TOKEN_HOST_STRING_FUNCTION;

inline constexpr std::array<Word, last_token_code - first_token + 1> vocabulary = [] {
    using enum ValueKind;
    return std::array<Word, last_token_code - first_token + 1>{{
        {TOKEN_DOUBLE_CONST, "", real, {}, ""},
        {TOKEN_INT_CONST, "", integer, {}, ""},
        {TOKEN_STRING_CONST, "", string, {}, ""},
        {TOKEN_INT_VAR, "", integer, {}, ""},
        {TOKEN_STRING_VAR, "", string, {}, ""},
        {TOKEN_DOUBLE_VAR, "", real, {}, ""},
        {TOKEN_FUNCTION, "", real, {number}, ""},
        {TOKEN_ASSIGN, "=", none, {}, ""},
        {TOKEN_NOT, "!", integer, {}, ""},
        {TOKEN_BITNOT, "~", integer, {}, ""},
        {TOKEN_FORMAT, "format", string, {string, number}, ""},
        {TOKEN_COMMA, ",", none, {}, ""},
        {TOKEN_CUT, "cut", string, {string, integer, integer}, ""},
        {TOKEN_STRLEN, "strlen", integer, {string}, ""},
        {TOKEN_DELETE, "delete", integer, {}, ""},
        {TOKEN_STRTOINT, "strtoint", integer, {string}, ""},
        {TOKEN_STRTODOUBLE, "strtodouble", real, {string}, ""},
        {TOKEN_SUBSTR, "substr", integer, {string, string, integer}, ""},
        {TOKEN_HEXTOINT, "hextoint", integer, {string}, ""},
        {TOKEN_GETTICKCOUNT, "gettickcount", integer, {}, ""},
        {TOKEN_INT_DECL, "int", integer, {}, ""},
        {TOKEN_STRING_DECL, "string", integer, {}, ""},
        {TOKEN_DOUBLE_DECL, "double", integer, {}, ""},
        {TOKEN_DOUBLE_CAST, "(double)", real, {}, ""},
        {TOKEN_INT_CAST, "(int)", integer, {}, ""},
        {TOKEN_PLUS, "+", none, {integer, real, string}, "added"},
        {TOKEN_MINUS, "-", none, {integer, real}, "subtracted"},
        {TOKEN_TIMES, "*", none, {integer, real}, "multiplied"},
        {TOKEN_DIVIDE, "/", none, {integer, real}, "divided"},
        {TOKEN_MODULO, "%", none, {integer, real}, "divided"},
        {TOKEN_LPAREN, "(", none, {}, ""},
        {TOKEN_RPAREN, ")", none, {}, ""},
        {TOKEN_EQ, "==", none, {integer, real, string}, "compared"},
        {TOKEN_NE, "!=", none, {integer, real, string}, "compared"},
        {TOKEN_GE, ">=", none, {integer, real}, "compared"},
        {TOKEN_LE, "<=", none, {integer, real}, "compared"},
        {TOKEN_GT, ">", none, {integer, real}, "compared"},
        {TOKEN_LT, "<", none, {integer, real}, "compared"},
        {TOKEN_SEMICOLON, ";", none, {}, ""},
        {TOKEN_AND, "and", none, {integer}, "combined"},
        {TOKEN_OR, "or", none, {integer}, "combined"},
        {TOKEN_UMINUS, "", none, {}, ""},  // a precedence of the grammar; never scanned
        {TOKEN_BITAND, "&", none, {integer}, "combined"},
        {TOKEN_BITXOR, "^", none, {integer}, "combined"},
        {TOKEN_SHR, ">>", none, {integer}, "shifted"},
        {TOKEN_SHL, "<<", none, {integer}, "shifted"},
        {TOKEN_POWER, "**", none, {integer, real}, "raised to a power"},
        {TOKEN_HOST_INT_FUNCTION, "", none, {}, ""},
        {TOKEN_HOST_DOUBLE_FUNCTION, "", none, {}, ""},
        {TOKEN_HOST_STRING_FUNCTION, "", none, {}, ""},
    }};
}();

// Every token has its row, at its code.
constexpr bool each_token_at_its_row() {
    for (std::size_t i = 0; i < vocabulary.size(); ++i) {
        if (vocabulary[i].token != first_token + static_cast<int32_t>(i)) return false;
    }
    return true;
}
static_assert(each_token_at_its_row());

inline constexpr const Word& word_of(int32_t token) { return vocabulary[static_cast<std::size_t>(token - first_token)]; }

inline constexpr bool is_token(int32_t code) { return code >= first_token && code <= last_token_code; }

// A keyword: a word spelt with letters.
constexpr bool is_keyword(const Word& word) {
    return !word.spelling.empty() && word.spelling[0] >= 'a' && word.spelling[0] <= 'z';
}

// The words that are integer constants.
struct ConstantWord {
    std::string_view spelling;
    int32_t value;
};

inline constexpr ConstantWord constant_words[] = {{"TRUE", 1}, {"FALSE", 0}};
