// The parser's situation at a syntax error, as the recognisers that word its message read it:
// diagnostics.cpp and kind_mismatch.cpp hold the recognisers of mistakes in the language's own
// terms, advice.cpp those of habits brought from elsewhere. Internal to the diagnostics.
#pragma once

#include <cstdint>
#include <string_view>

#include "diagnostics.h"
#include "grammar.hpp"
#include "message.h"
#include "token_words.h"

namespace diagnosis {

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
