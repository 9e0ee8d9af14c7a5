#include "diagnostics.h"

#include <cstring>

#include "advice.h"
#include "conversions.h"
#include "grammar.hpp"
#include "store.h"
#include "syntax_situation.h"

// The messages say what was found, why it cannot work and what to write instead. Each kind of
// mistake has a small function that recognises it from the parser's context and the last tokens
// and writes its message; the first that recognises the error words it, and a general message
// that names the token and what could have come instead covers the rest.
namespace {

using namespace diagnosis;

// ---- What the tokens are ----------------------------------------------------------------------

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

// ---- The situation of the error --------------------------------------------------------------

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

Slot slot_of(const Situation& s) {
    Kind top = kind_of_expression(s.on_stack(0));
    Slot slot{top == Kind::none, top == Kind::none ? 0 : 1, top == Kind::none ? kind_started_by(s.context.lookahead) : top, -1};
    std::string_view text = spelling_of(s.on_stack(slot.depth));
    if (!text.empty()) slot.back = find_back(s, text);
    return slot;
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
    s.diagnostic.found_line = place.line;
    s.diagnostic.found_column = place.column;
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
    diagnostic.token = context.lookahead;
    copy_bounded(situation.lookahead_text(), diagnostic.token_text, sizeof diagnostic.token_text);
    diagnostic.expected_count = context.expected_count;
    std::memcpy(diagnostic.expected, context.expected, sizeof diagnostic.expected);
    word(situation);
    return diagnostic;
}

Diagnostic describe_stack_overflow(const TokenPlace& place) {
    Diagnostic diagnostic{};
    diagnostic.found_line = place.line;
    diagnostic.found_column = place.column;
    copy_bounded(place.text, diagnostic.token_text, sizeof diagnostic.token_text);
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
        case WarningKind::assignment_before_logical: {
            const std::size_t blank = text.find(' ');
            const std::string_view op = text.substr(0, blank), name = text.substr(blank + 1);
            char written[sizeof warning.text + 24];
            Message(written, sizeof written).text(name.empty() ? "name" : name).text(" = (... ").text(op).text(" ...);");
            message.text("`=` binds tighter than ").code(op).text(": ");
            if (name.empty()) {
                message.text("the variable");
            } else {
                message.code(name);
            }
            message.text(" stores the value before ")
                .code(op).text(", which then takes it; to store the result of ").code(op).text(", write ").code(written);
            break;
        }
        case WarningKind::byte_order_mark:
            message.text("the script starts with a byte-order mark, whose three bytes are printed; save it without one");
            break;
    }
    return message.length();
}
