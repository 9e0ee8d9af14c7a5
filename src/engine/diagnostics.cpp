#include "diagnostics.h"

#include <algorithm>
#include <cstring>

#include "conversions.h"
#include "grammar.hpp"
#include "store.h"

// The messages say what was found, why it cannot work and what to write instead. Each kind of
// mistake has a small function that recognises it from the parser's context and the last tokens
// and writes its message; the first that recognises the error words it, and a general message
// that names the token and what could have come instead covers the rest.
namespace {

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

void copy_bounded(std::string_view text, char* buffer, std::size_t capacity) {
    std::size_t length = text.size() < capacity ? text.size() : capacity - 1;
    if (length > 0) std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// ---- What the tokens are ----------------------------------------------------------------------

enum class Kind { none, integer, real, string, number };

std::string_view kind_name(Kind kind) {
    switch (kind) {
        case Kind::integer: return "integer";
        case Kind::real: return "double";
        case Kind::string: return "string";
        case Kind::number: return "number";
        case Kind::none: break;
    }
    return "value";
}

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

bool is_name_token(int32_t token) {
    return token == TOKEN_INT_VAR || token == TOKEN_STRING_VAR || token == TOKEN_DOUBLE_VAR || token == TOKEN_FUNCTION;
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

struct Spelling {
    int32_t token;
    std::string_view text;
};

constexpr Spelling spellings[] = {
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

std::string_view spelling_of(int32_t token) {
    for (const Spelling& spelling : spellings) {
        if (spelling.token == token) return spelling.text;
    }
    return "";
}

// The binary operators, with the kinds each takes and what it does to two values.
struct BinaryOperator {
    int32_t token;
    bool takes_doubles;
    bool takes_strings;
    std::string_view verb;  // "an integer and a double cannot be <verb>"
};

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

const BinaryOperator* binary_operator(int32_t token) {
    for (const BinaryOperator& op : binary_operators) {
        if (op.token == token) return &op;
    }
    return nullptr;
}

bool takes(const BinaryOperator& op, Kind kind) {
    return kind == Kind::integer || (kind == Kind::real && op.takes_doubles) || (kind == Kind::string && op.takes_strings);
}

// How a value of one kind becomes one of another.
std::string_view conversion(Kind from, Kind to) {
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

Message message_of(Situation& situation) {
    return Message(situation.diagnostic.message, sizeof situation.diagnostic.message);
}

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

constexpr std::string_view function_names =
    "`sin`, `cos`, `atan`, `ln`, `exp`, `sqrt`, `strlen`, `strtoint`, `strtodouble`, `hextoint`, `substr`, "
    "`cut`, `format` and `gettickcount`";

// `print(1);`: a name that is no function, followed by `(`.
bool variable_called(Situation& s) {
    TokenPlace name = s.before(1);
    if (s.context.lookahead != TOKEN_LPAREN || kind_of_expression(s.on_stack(0)) == Kind::none || name.line == 0) {
        return false;
    }
    const Variable* variable = find_variable(name.text);
    if (!variable || kind_of_variable(variable->type) == Kind::none) return false;
    s.involve(name.text, variable->type);
    Message message = message_of(s);
    message.code(name.text).text(" is no function but ").text(with_article(kind_of_variable(variable->type)))
        .text(" variable (a new name is an integer variable); the functions are ").text(function_names);
    return true;
}

bool accepts(Kind wanted, Kind value) {
    return wanted == value || (wanted == Kind::number && (value == Kind::integer || value == Kind::real));
}

// The kinds each function takes, argument by argument.
struct Parameters {
    int32_t token;
    Kind kinds[3];
};

constexpr Parameters parameters[] = {
    {TOKEN_FUNCTION, {Kind::number}},  {TOKEN_STRLEN, {Kind::string}},
    {TOKEN_STRTOINT, {Kind::string}},  {TOKEN_STRTODOUBLE, {Kind::string}},
    {TOKEN_HEXTOINT, {Kind::string}},  {TOKEN_CUT, {Kind::string, Kind::integer, Kind::integer}},
    {TOKEN_FORMAT, {Kind::string, Kind::number}}, {TOKEN_SUBSTR, {Kind::string, Kind::string, Kind::integer}},
};

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
int find_back(const Situation& s, std::string_view text) {
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

Slot slot_of(const Situation& s) {
    Kind top = kind_of_expression(s.on_stack(0));
    Slot slot{top == Kind::none, top == Kind::none ? 0 : 1, top == Kind::none ? kind_started_by(s.context.lookahead) : top, -1};
    std::string_view text = spelling_of(s.on_stack(slot.depth));
    if (!text.empty()) slot.back = find_back(s, text);
    return slot;
}

// Where the value begins; `2.5` or "the value after `=`" and its kind.
TokenPlace value_place(const Situation& s, const Slot& slot) {
    if (slot.early || slot.back < 2) return s.at_end ? s.before(1) : s.recent[0];
    return s.before(slot.back - 1);
}

void describe_slot_value(Message& message, const Situation& s, const Slot& slot) {
    if (slot.early) {
        describe_value(message, s.context.lookahead, s.lookahead_text());
    } else if (slot.back == 2) {
        describe_value(message, s.before(1).token, s.before(1).text);
    } else {
        message.text("the value");
        if (slot.back > 0) message.text(" after ").code(s.before(slot.back).text);
        message.text(" is ").text(with_article(slot.value));
    }
}

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

// `y = 2.5;` with `y` an integer variable.
bool assignment_of_other_kind(Situation& s, const Slot& slot) {
    Kind variable = kind_of_variable(s.on_stack(slot.depth + 1));
    if (s.on_stack(slot.depth) != TOKEN_ASSIGN || variable == Kind::none || accepts(variable, slot.value)) return false;
    TokenPlace name = slot.back > 0 ? s.before(slot.back + 1) : TokenPlace{};
    Message message = message_of(s);
    if (name.line == 0) {  // too far back to be named
        message.text(with_article(variable)).text(" variable cannot store ").text(with_article(slot.value));
        message.text("; declare it first as ").code(declaration_keyword(slot.value));
        return true;
    }
    s.involve(name.text, s.on_stack(slot.depth + 1));
    message.code(name.text).text(" is ").text(with_article(variable)).text(" variable and ");
    describe_slot_value(message, s, slot);
    if (variable != Kind::integer) {  // declared so: another declaration would throw its kind away
        suggest_value_for(message, s, slot, variable);
        return true;
    }
    char declaration[diagnostic_text_capacity + 16];
    Message(declaration, sizeof declaration).text(declaration_keyword(slot.value)).text(" ").text(name.text.substr(0, 32)).text(";");
    message.text("; to store ").text(kind_name(slot.value)).text("s in it, declare it first: ").code(declaration);
    return true;
}

// `1 + 2.0;`: an operator between values of two kinds.
bool operands_of_two_kinds(Situation& s, const Slot& slot) {
    const BinaryOperator* op = binary_operator(s.on_stack(slot.depth));
    Kind left = kind_of_expression(s.on_stack(slot.depth + 1));
    if (!op || left == Kind::none || left == slot.value || slot.value == Kind::none) return false;
    Message message = message_of(s);
    message.text(with_article(left)).text(" and ").text(with_article(slot.value)).text(" cannot be ").text(op->verb);
    message.text("; convert one with ").code(conversion(left, slot.value)).text(" or ").code(conversion(slot.value, left));
    return true;
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

// `strlen(5);`, `sqrt("a");`: an argument of a kind that its function does not take.
bool argument_of_other_kind(Situation& s, const Slot& slot) {
    int depth = slot.depth, commas = 0;
    for (; s.on_stack(depth) == TOKEN_COMMA || kind_of_expression(s.on_stack(depth)) != Kind::none; ++depth) {
        if (s.on_stack(depth) == TOKEN_COMMA) ++commas;
    }
    const Parameters* function = nullptr;
    for (const Parameters& candidate : parameters) {
        if (candidate.token == s.on_stack(depth + 1)) function = &candidate;
    }
    if (s.on_stack(depth) != TOKEN_LPAREN || !function || commas > 2 || slot.value == Kind::none) return false;
    Kind wanted = function->kinds[commas];
    if (wanted == Kind::none || accepts(wanted, slot.value)) return false;
    Message message = message_of(s);
    std::string_view name = spelling_of(function->token);
    if (function->token == TOKEN_FUNCTION) {
        int parenthesis = find_back(s, "(");
        name = parenthesis > 0 ? s.before(parenthesis + 1).text : "the function";
    }
    message.code(name).text(" takes ").text(with_article(wanted));
    if (commas > 0) message.text(commas == 1 ? " as its second argument" : " as its third argument");
    message.text(", and ");
    describe_slot_value(message, s, slot);
    if (function->token == TOKEN_FORMAT && slot.value == Kind::string) {
        char example[2 * diagnostic_text_capacity];
        write_joined_example(s, slot, example, sizeof example);
        message.text("; a string joins a text with `+`, as in ").code(example);
        return true;
    }
    message.text("; convert it with ").code(conversion(slot.value, wanted == Kind::number ? Kind::real : wanted));
    return true;
}

// A value of a kind that its place does not take, at the place of the value.
bool value_of_other_kind(Situation& s) {
    Slot slot = slot_of(s);
    if (slot.early && slot.value == Kind::none) return false;
    if (is_name_token(s.context.lookahead) && slot.early) s.involve(s.lookahead_text(), s.context.lookahead);
    if (!assignment_of_other_kind(s, slot) && !operands_of_two_kinds(s, slot) && !argument_of_other_kind(s, slot)) {
        s.diagnostic.variable_count = 0;
        return false;
    }
    TokenPlace place = value_place(s, slot);
    s.diagnostic.line = place.line;
    s.diagnostic.column = place.column;
    return true;
}

// `2.5 & 1;`, `"a" - "b";`: an operator that does not take the kind before it.
bool operator_not_for_kind(Situation& s) {
    const BinaryOperator* op = binary_operator(s.context.lookahead);
    Kind left = kind_of_expression(s.on_stack(0));
    if (!op || left == Kind::none || takes(*op, left)) return false;
    Message message = message_of(s);
    message.code(spelling_of(op->token)).text(op->takes_doubles ? " takes numbers" : " takes integers");
    message.text(", and the value before it is ").text(with_article(left));
    if (left == Kind::string) {
        message.text("; strings take only `+`, `==` and `!=`");
    } else {
        message.text("; convert it with `(int)`");
    }
    return true;
}

bool is_declaration_keyword(int32_t token) {
    return token == TOKEN_INT_DECL || token == TOKEN_DOUBLE_DECL || token == TOKEN_STRING_DECL;
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

// `strng greeting;`: a new name where a statement starts, followed by a name, and a keyword or a
// function's name within one edit (two for longer words) of it.
bool keyword_misspelt(Situation& s) {
    const TokenPlace word = s.before(1), before_word = s.before(2);
    const bool starts_statement = before_word.line == 0 || before_word.token == TOKEN_SEMICOLON;
    if (s.at_end || !is_name_token(s.context.lookahead) || !is_name_token(word.token) || !starts_statement) return false;
    for (const Spelling& spelling : spellings) {
        const std::string_view keyword = spelling.text;
        if (keyword.size() < 3 || !is_letter(keyword[0]) || keyword == "and") continue;
        if (edit_distance(word.text, keyword) > (keyword.size() <= 4 ? 1 : 2)) continue;
        Message message = message_of(s);
        message.code(word.text).text(" is no keyword, so ").code(s.lookahead_text()).text(" cannot follow it; did you mean ")
            .code(keyword).text("?");
        return true;
    }
    return false;
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
    diagnostic.line = place.line;
    diagnostic.column = place.column;
    if (situation.at_end) diagnostic.column += static_cast<int32_t>(place.text.size());
    diagnostic.token = context.lookahead;
    copy_bounded(situation.lookahead_text(), diagnostic.token_text, sizeof diagnostic.token_text);
    diagnostic.expected_count = context.expected_count;
    std::memcpy(diagnostic.expected, context.expected, sizeof diagnostic.expected);
    word(situation);
    return diagnostic;
}

Diagnostic describe_stack_overflow(const TokenPlace& place) {
    Diagnostic diagnostic{};
    diagnostic.line = place.line;
    diagnostic.column = place.column;
    copy_bounded(place.text, diagnostic.token_text, sizeof diagnostic.token_text);
    Message(diagnostic.message, sizeof diagnostic.message)
        .text("this statement nests too deeply: the parser holds at most 10000 symbols at once; "
              "split it into smaller statements");
    return diagnostic;
}

Diagnostic describe_out_of_memory(int32_t line, const TokenPlace& place) {
    Diagnostic diagnostic{};
    diagnostic.line = line;
    diagnostic.column = place.line == line ? place.column : 1;
    Message(diagnostic.message, sizeof diagnostic.message)
        .text("memory ran out: the run stopped here, and the statements before it stay run");
    return diagnostic;
}

namespace {

// "`#`", or "the byte 0x07" for one that is not printable ASCII.
Message& describe_byte(Message& message, char byte) {
    if (byte > ' ' && byte <= '~') return message.code(std::string_view(&byte, 1));
    constexpr char digits[] = "0123456789ABCDEF";
    unsigned char value = static_cast<unsigned char>(byte);
    const char hex[] = {'0', 'x', digits[value >> 4], digits[value & 15]};
    return message.text("the byte ").text(std::string_view(hex, sizeof hex));
}

}  // namespace

ScriptWarning make_warning(WarningKind kind, const TokenPlace& place) {
    ScriptWarning warning{kind, place.line, place.column, {}};
    copy_bounded(place.text, warning.text, sizeof warning.text);
    return warning;
}

std::size_t warning_message(const ScriptWarning& warning, char* buffer, std::size_t size) {
    Message message(buffer, size);
    std::string_view text = warning.text;
    switch (warning.kind) {
        case WarningKind::byte_begins_no_token:
            if (text.size() > 1) {  // one UTF-8 character, which the scanner checked
                message.text("`").text(text).text("` begins no token: it is printed and skipped; names are ASCII letters, "
                                                  "digits and `_`");
                break;
            }
            describe_byte(message, text.empty() ? '\0' : text[0]).text(" begins no token: it is printed and skipped");
            if (text == "#") message.text("; there are no comments");
            if (text == "|") message.text("; the logical operators are `and` and `or`");
            break;
        case WarningKind::unterminated_string:
            message.text("this `\"` has no closing quote: it is printed, and the text after it runs as statements; "
                         "end the string with `\"`");
            break;
        case WarningKind::dot_after_digits:
        case WarningKind::dot_before_digits: {
            char number[sizeof warning.text + 2];
            Message corrected(number, sizeof number);
            if (warning.kind == WarningKind::dot_before_digits) corrected.text("0");
            corrected.text(text);
            if (warning.kind == WarningKind::dot_after_digits) corrected.text("0");
            message.code(text).text(" is not a number: the `.` is printed and skipped; write ").code(number);
            break;
        }
        case WarningKind::carriage_return:
            message.text("the script has CR LF line ends: every carriage return is printed; "
                         "save it with LF line ends");
            break;
        case WarningKind::byte_order_mark:
            message.text("the script starts with a byte-order mark, whose three bytes are printed; save it without one");
            break;
    }
    return message.length();
}
