#include "advice.h"

#include <algorithm>

#include "conversions.h"

namespace diagnosis {

namespace {

bool is_declaration_keyword(int32_t token) {
    return token == TOKEN_INT_DECL || token == TOKEN_DOUBLE_DECL || token == TOKEN_STRING_DECL;
}

// The edits (a byte put in, left out, changed, or two neighbours swapped) that make `a` into `b`,
// counted up to a small bound: names longer than 15 bytes are no typos of the keywords.
int edit_distance(std::string_view a, std::string_view b) {
    constexpr std::size_t longest = 15;
    if (a.size() > longest || b.size() > longest) return 99;
    int rows[3][longest + 1];  // the rows for a's bytes i - 2, i - 1 and i
    for (std::size_t j = 0; j <= b.size(); ++j) rows[1][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int* row = rows[(i + 1) % 3];
        const int* above = rows[i % 3];
        const int* two_above = rows[(i + 2) % 3];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int change = above[j - 1] + (a[i - 1] != b[j - 1]);
            row[j] = std::min({above[j] + 1, row[j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) row[j] = std::min(row[j], two_above[j - 2] + 1);
        }
    }
    return rows[(a.size() + 1) % 3][b.size()];
}

}  // namespace

// `d = 10;` with `d` declared a double: "; write `10.0`, or convert it with `(double) ...`".
void suggest_value_for(Message& message, const Situation& s, const Slot& slot, Kind variable) {
    const TokenPlace value = value_place(s, slot);
    const bool literal = (slot.early || slot.back == 2) && value.text.size() <= 32;
    char written[diagnostic_text_capacity + 8];
    Message fitting(written, sizeof written);
    if (literal && variable == Kind::real && value.token == TOKEN_INT_CONST &&
        value.text.find_first_not_of("0123456789") == std::string_view::npos) {
        fitting.text(value.text).text(".0");
    } else if (literal && variable == Kind::string &&
               (value.token == TOKEN_INT_CONST || value.token == TOKEN_DOUBLE_CONST)) {
        fitting.text("\"").text(value.text).text("\"");
    }
    message.text("; ");
    if (fitting.length() > 0) message.text("write ").code(written).text(", or ");
    const std::string_view conversion_text = conversion(slot.value, variable);
    char converted[32];
    Message(converted, sizeof converted).text(conversion_text).text(conversion_text.starts_with('(') ? " ..." : "");
    message.text("convert it with ").code(converted);
}

// `format("Hello, %s", name)` is written `"Hello, " + name`: the template up to its `%`, `+`, and
// the value (the template and the value as written when each is one token).
void write_joined_example(const Situation& s, const Slot& slot, char* example, std::size_t size) {
    const int parenthesis = find_back(s, "(");
    const TokenPlace template_text = parenthesis > 1 ? s.before(parenthesis - 1) : TokenPlace{};
    const std::string_view before_percent = template_text.text.substr(0, template_text.text.find('%'));
    const bool quoted = template_text.token == TOKEN_STRING_CONST && before_percent.size() <= 32;
    const TokenPlace value = value_place(s, slot);
    const bool named = (slot.early || slot.back == 2) && value.text.size() <= 32;
    const bool cut = template_text.text.find('%') != std::string_view::npos;
    Message(example, size).text(quoted ? before_percent : "\"...").text(quoted && !cut ? "" : "\"")
        .text(" + ").text(named ? value.text : "...");
}

// `string s = "abc";`
bool declaration_with_value(Situation& s) {
    const TokenPlace name = s.before(1), keyword = s.before(2);
    if (s.context.lookahead != TOKEN_ASSIGN || !is_name_token(name.token) || !is_declaration_keyword(keyword.token)) {
        return false;
    }
    char statements[2 * diagnostic_text_capacity + 16];
    const std::string_view shown_name = name.text.substr(0, 32);
    Message(statements, sizeof statements).text(keyword.text).text(" ").text(shown_name).text("; ").text(shown_name).text(" = ...;");
    Message message = message_of(s);
    message.text("a declaration cannot also assign; write two statements: ").code(statements);
    return true;
}

// `if (n > 0) ...`: words of other languages that stand where a statement starts.
bool statement_of_other_languages(Situation& s) {
    const TokenPlace word = s.before(1);
    if (s.context.lookahead != TOKEN_LPAREN || !is_name_token(word.token)) return false;
    for (std::string_view missing : {"if", "while", "for", "switch"}) {
        if (word.text != missing) continue;
        Message message = message_of(s);
        message.text("the language has no ").code(missing).text(
            ": a script runs every statement, in order, and the host decides which script runs; a condition is a "
            "value, as in `big = n > 0;`");
        return true;
    }
    return false;
}

// `x += 1;`, `x -= 1;`, `x++;`, `x--;`
bool update_operator(Situation& s) {
    const int32_t next = s.context.lookahead, last = s.before(1).token, earlier = s.before(2).token;
    const bool sign = last == TOKEN_PLUS || last == TOKEN_MINUS;
    const bool compound = next == TOKEN_ASSIGN && sign;                                          // `+=`
    const bool step = sign && ((next == TOKEN_PLUS && last == TOKEN_PLUS) || (next == TOKEN_SEMICOLON && earlier == last));
    if (!compound && !step) return false;
    const TokenPlace name = s.before(compound || next == TOKEN_PLUS ? 2 : 3);
    if (!is_name_token(name.token)) return false;
    const std::string_view shown_name = name.text.substr(0, 32), op = last == TOKEN_PLUS ? "+" : "-";
    char spelled[4], written[2 * diagnostic_text_capacity + 16];
    Message(spelled, sizeof spelled).text(op).text(compound ? "=" : op);
    Message(written, sizeof written).text(shown_name).text(" = ").text(shown_name).text(" ").text(op).text(compound ? " ...;" : " 1;");
    Message message = message_of(s);
    message.text("the language has no ").code(spelled).text("; write ").code(written);
    return true;
}

// `strng greeting;`: a new name where a statement starts, followed by a name, and a keyword or a
// function's name within one edit (two for longer words) of it.
bool keyword_misspelt(Situation& s) {
    const TokenPlace word = s.before(1), before_word = s.before(2);
    const bool starts_statement = before_word.line == 0 || before_word.token == TOKEN_SEMICOLON;
    if (s.at_end || !is_name_token(s.context.lookahead) || !is_name_token(word.token) || !starts_statement) return false;
    for (const Word& entry : vocabulary) {
        const std::string_view keyword = entry.spelling;
        if (keyword.size() < 3 || !is_keyword(entry) || keyword == "and") continue;
        if (edit_distance(word.text, keyword) > (keyword.size() <= 4 ? 1 : 2)) continue;
        Message message = message_of(s);
        message.code(word.text).text(" is no keyword, so ").code(s.lookahead_text()).text(" cannot follow it; did you mean ")
            .code(keyword).text("?");
        return true;
    }
    return false;
}

}  // namespace diagnosis
