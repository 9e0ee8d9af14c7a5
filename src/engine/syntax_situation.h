// The parser's situation at a syntax error, as the recognisers that word its message read it:
// diagnostics.cpp holds the recognisers of mistakes in the language's own terms, advice.cpp those
// of habits brought from elsewhere. Internal to the diagnostics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "diagnostics.h"
#include "grammar.hpp"

namespace diagnosis {

// A message under construction, cut at its capacity. Script text goes in only through `code`,
// which quotes a bounded, printable excerpt; nothing is ever used as a format.
class Message {
public:
    Message(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) { buffer_[0] = '\0'; }

    Message& text(std::string_view part) {
        for (char c : part) put(c);
        return *this;
    }

    // `excerpt` in backquotes: its first line, at most 32 bytes, other bytes than printable ASCII
    // shown as "?".
    Message& code(std::string_view excerpt) {
        constexpr std::size_t shown = 32;
        std::size_t end = excerpt.find('\n');
        bool cut = end != std::string_view::npos || excerpt.size() > shown;
        excerpt = excerpt.substr(0, end < shown ? end : shown);
        put('`');
        for (char c : excerpt) put(c >= ' ' && c <= '~' ? c : '?');
        if (cut) text("...");
        put('`');
        return *this;
    }

    std::size_t length() const { return length_; }

private:
    void put(char c) {
        if (length_ + 1 >= capacity_) return;
        buffer_[length_++] = c;
        buffer_[length_] = '\0';
    }

    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

inline void copy_bounded(std::string_view text, char* buffer, std::size_t capacity) {
    std::size_t length = text.size() < capacity ? text.size() : capacity - 1;
    if (length > 0) std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// ---- What the tokens are ----------------------------------------------------------------------

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

// ---- The situation of the error --------------------------------------------------------------

struct Situation {
    const SyntaxErrorContext& context;
    const TokenPlace* recent;  // the newest first
    bool at_end;               // the lookahead is the end of the text
    Diagnostic& diagnostic;

    int32_t on_stack(int depth) const { return depth < context.stack_size ? context.stack[depth] : symbol_other; }
    // The lookahead's text ("" at the end), and the tokens before it, nearest first.
    std::string_view lookahead_text() const { return at_end ? std::string_view() : recent[0].text; }
    TokenPlace before(int back) const {
        int index = at_end ? back - 1 : back;
        return index >= 0 && index < recent_token_count ? recent[index] : TokenPlace{};
    }
    bool can_take(int32_t token) const {
        for (int i = 0; i < context.expected_count; ++i) {
            if (context.expected[i] == token) return true;
        }
        return false;
    }
    // The kind of value the parser wanted here, when it wanted values of one kind (or none when
    // it would take no value or any kind).
    Kind expected_kind() const {
        bool integer = can_take(TOKEN_INT_CONST), real = can_take(TOKEN_DOUBLE_CONST), string = can_take(TOKEN_STRING_CONST);
        if (integer + real + string != 1) return Kind::none;
        return integer ? Kind::integer : real ? Kind::real : Kind::string;
    }
    bool wants_numbers_only() const {
        return can_take(TOKEN_INT_CONST) && can_take(TOKEN_DOUBLE_CONST) && !can_take(TOKEN_STRING_CONST);
    }
    void involve(std::string_view name, int32_t type) {
        if (name.empty()) return;
        if (diagnostic.variable_count == 2) return;
        DiagnosticVariable& variable = diagnostic.variables[diagnostic.variable_count++];
        copy_bounded(name, variable.name, sizeof variable.name);
        variable.type = type;
    }
};

inline Message message_of(Situation& situation) {
    return Message(situation.diagnostic.message, sizeof situation.diagnostic.message);
}

// A value whose kind its place does not take: the place is the token before the value (`=`, an
// operator, or the `(` or `,` of a function's arguments), at `depth` on the parser's stack. The
// value is the lookahead when it cannot even begin there (`early`), and otherwise the expression
// on top of the stack, noticed at the token after it.
struct Slot {
    bool early;
    int depth;
    Kind value;
    int back;  // the place's token among the recent tokens (Situation::before), or -1
};

// The place's token among the recent tokens: the nearest one spelt `text` outside parentheses.
inline int find_back(const Situation& s, std::string_view text) {
    int nesting = 0;
    for (int back = 1; back < recent_token_count && s.before(back).line != 0; ++back) {
        int32_t token = s.before(back).token;
        if (token == TOKEN_RPAREN) {
            ++nesting;
        } else if (nesting > 0 && token == TOKEN_LPAREN) {
            --nesting;
        } else if (nesting == 0 && s.before(back).text == text) {
            return back;
        }
    }
    return -1;
}

// Where the value begins; `2.5` or "the value after `=`" and its kind.
inline TokenPlace value_place(const Situation& s, const Slot& slot) {
    if (slot.early || slot.back < 2) return s.at_end ? s.before(1) : s.recent[0];
    return s.before(slot.back - 1);
}

}  // namespace diagnosis
