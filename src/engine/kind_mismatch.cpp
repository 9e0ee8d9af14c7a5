#include "kind_mismatch.h"

#include "advice.h"
#include "store.h"

namespace diagnosis {

namespace {

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
    const Word* op = binary_operator(s.on_stack(slot.depth));
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
    const Word* function = parameters_of(s.on_stack(depth + 1));
    if (s.on_stack(depth) != TOKEN_LPAREN || !function || commas > 2 || slot.value == Kind::none) return false;
    Kind wanted = function->takes[static_cast<std::size_t>(commas)];
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

}  // namespace

// `print(1);`: a name that is no function, followed by `(`.
bool variable_called(Situation& s) {
    TokenPlace name = s.before(1);
    if (s.context.lookahead != TOKEN_LPAREN || kind_of_expression(s.on_stack(0)) == Kind::none || name.line == 0) {
        return false;
    }
    const Variable* variable = find_variable(name.text);
    if (!variable || kind_of_variable(variable->type) == Kind::none) return false;
    Message message = message_of(s);
    message.code(name.text).text(" is no function but ").text(with_article(kind_of_variable(variable->type)))
        .text(" variable (a new name is an integer variable); the functions are ").text(function_names);
    return true;
}

// A value of a kind that its place does not take, at the place of the value.
bool value_of_other_kind(Situation& s) {
    Slot slot = slot_of(s);
    if (slot.early && slot.value == Kind::none) return false;
    if (!assignment_of_other_kind(s, slot) && !operands_of_two_kinds(s, slot) && !argument_of_other_kind(s, slot)) {
        return false;
    }
    TokenPlace place = value_place(s, slot);
    s.diagnostic.found_line = place.line;
    s.diagnostic.found_column = place.column;
    return true;
}

// `2.5 & 1;`, `"a" - "b";`: an operator that does not take the kind before it.
bool operator_not_for_kind(Situation& s) {
    const Word* op = binary_operator(s.context.lookahead);
    Kind left = kind_of_expression(s.on_stack(0));
    if (!op || left == Kind::none || takes(*op, left)) return false;
    Message message = message_of(s);
    message.code(spelling_of(op->token)).text(takes(*op, Kind::real) ? " takes numbers" : " takes integers");
    message.text(", and the value before it is ").text(with_article(left));
    if (left == Kind::string) {
        message.text("; strings take only `+`, `==` and `!=`");
    } else {
        message.text("; convert it with `(int)`");
    }
    return true;
}

}  // namespace diagnosis
