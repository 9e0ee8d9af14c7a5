#include "diagnostics.h"

#include "advice.h"
#include "conversions.h"
#include "kind_mismatch.h"
#include "syntax_situation.h"

// The messages say what was found, why it cannot work and what to write instead. Each kind of
// mistake has a small function that recognises it from the parser's context and the last tokens
// and writes its message (here, in kind_mismatch.cpp and in advice.cpp); the first that
// recognises the error words it, and a general message that names the token and what could have
// come instead covers the rest.
namespace {

using namespace diagnosis;

// `a1b` reads as `a1 b`, and `12abc` as `12 abc`.
bool name_after_digits(Situation& s) {
    TokenPlace previous = s.before(1);
    std::string_view next = s.lookahead_text();
    if (s.at_end || previous.line == 0 || next.empty() || previous.text.empty()) return false;
    bool adjacent = previous.line == s.recent[0].line &&
                    previous.column + static_cast<int32_t>(previous.text.size()) == s.recent[0].column;
    char last = previous.text.back();
    if (!adjacent || !is_digit(last) || !is_letter(next[0])) return false;
    bool number = is_digit(previous.text[0]);
    Message message = message_of(s);
    message.code(next).text(" starts a new name: ").text(number ? "a number" : "a name").text(" ends at its digits, so ");
    char joined[2 * diagnostic_text_capacity];
    char spaced[2 * diagnostic_text_capacity];
    Message(joined, sizeof joined).text(previous.text.substr(0, 32)).text(next.substr(0, 32));
    Message(spaced, sizeof spaced).text(previous.text.substr(0, 32)).text(" ").text(next.substr(0, 32));
    message.code(joined).text(" reads as ").code(spaced);
    if (previous.text == "0" && (next[0] == 'X')) message.text("; a hexadecimal number starts with a lower-case `0x`");
    return true;
}

// `x = 1 y = 2;`
bool semicolon_missing(Situation& s) {
    if (s.at_end || !s.can_take(TOKEN_SEMICOLON)) return false;
    Message message = message_of(s);
    message.text("`;` expected before ").code(s.lookahead_text());
    return true;
}

bool script_ends_inside_statement(Situation& s) {
    if (!s.at_end) return false;
    Message message = message_of(s);
    if (s.can_take(TOKEN_SEMICOLON)) {
        message.text("`;` expected at the end of the script, after ").code(s.before(1).text);
    } else {
        message.text("the script ends inside a statement, after ").code(s.before(1).text)
            .text("; finish the statement and end it with `;`");
    }
    return true;
}

// "an integer, a name, `(` or `;`": the words for what the parser could have taken.
void describe_expected(Message& message, const Situation& s) {
    std::string_view words[8];
    int count = 0;
    Kind wanted = s.expected_kind();
    if (wanted != Kind::none) {
        words[count++] = with_article(wanted);
    } else if (s.wants_numbers_only()) {
        words[count++] = "a number";
    } else if (s.can_take(TOKEN_STRING_CONST)) {
        words[count++] = "a value";
    } else if (s.can_take(TOKEN_INT_VAR)) {
        words[count++] = "a variable name";
    }
    if (s.can_take(TOKEN_PLUS) || s.can_take(TOKEN_BITAND)) words[count++] = "an operator";
    for (int32_t token : {TOKEN_ASSIGN, TOKEN_LPAREN, TOKEN_RPAREN, TOKEN_COMMA, TOKEN_SEMICOLON}) {
        if (s.can_take(token) && !(token == TOKEN_LPAREN && wanted != Kind::none)) words[count++] = spelling_of(token);
    }
    for (int i = 0; i < count; ++i) {
        if (i > 0) message.text(i + 1 == count ? " or " : ", ");
        if (words[i].size() <= 2) {
            message.code(words[i]);
        } else {
            message.text(words[i]);
        }
    }
}

void unexpected_token(Situation& s) {
    Message message = message_of(s);
    message.text("unexpected ").code(s.lookahead_text());
    if (s.before(1).line != 0) message.text(" after ").code(s.before(1).text);
    message.text("; expected ");
    describe_expected(message, s);
}

void word(Situation& s) {
    if (name_after_digits(s) || statement_of_other_languages(s) || variable_called(s) || update_operator(s) ||
        value_of_other_kind(s) || script_ends_inside_statement(s) || operator_not_for_kind(s) ||
        declaration_with_value(s) || keyword_misspelt(s) || semicolon_missing(s)) {
        return;
    }
    unexpected_token(s);
}

}  // namespace

Diagnostic describe_syntax_error(const SyntaxErrorContext& context, const TokenPlace recent[recent_token_count]) {
    Diagnostic diagnostic{};
    Situation situation{context, recent, context.lookahead == 0, diagnostic};
    const TokenPlace& place = recent[0];
    diagnostic.found_line = place.line;
    diagnostic.found_column = place.column;
    if (situation.at_end) diagnostic.found_column += static_cast<int32_t>(place.text.size());
    word(situation);
    return diagnostic;
}

Diagnostic describe_stack_overflow(const TokenPlace& place) {
    Diagnostic diagnostic{};
    diagnostic.found_line = place.line;
    diagnostic.found_column = place.column;
    Message(diagnostic.message, sizeof diagnostic.message)
        .text("this statement nests too deeply: the parser holds at most 10000 symbols at once; "
              "split it into smaller statements");
    return diagnostic;
}

Diagnostic describe_out_of_memory(int32_t line, const TokenPlace& place) {
    Diagnostic diagnostic{};
    diagnostic.found_line = line;
    diagnostic.found_column = place.line == line ? place.column : 1;
    Message(diagnostic.message, sizeof diagnostic.message)
        .text("memory ran out: the run stopped here, and the statements before it stay run");
    return diagnostic;
}
