#include "variable_listing.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "regscript.h"
#include "shown_text.h"

namespace {

struct ListedVariable {
    std::string name;
    std::string line;  // "int count = 3"
};

using Variables = std::vector<ListedVariable>;
using NameBuffer = std::vector<char>;

int32_t size_of(const std::vector<char>& buffer) { return static_cast<int32_t>(buffer.size()); }

std::string double_text(double value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end);
}

// Each of these delivers the next variable of its kind, the name into `name` and the value as
// text, and moves the listing on; false at the end.
bool next_int(NameBuffer& name, std::string& value) {
    int32_t number;
    if (get_next_int_variable(name.data(), size_of(name), &number) != 0) return false;
    value = std::to_string(number);
    return true;
}

bool next_double(NameBuffer& name, std::string& value) {
    double number;
    if (get_next_double_variable(name.data(), size_of(name), &number) != 0) return false;
    value = double_text(number);
    return true;
}

// The text's length first, then the text into a buffer of that size: the listing stays on the
// variable until the text is delivered.
bool next_string(NameBuffer& name, std::string& value) {
    const int32_t length = get_next_string_variable(name.data(), size_of(name), nullptr, 0);
    if (length < 0) return false;
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    get_next_string_variable(name.data(), size_of(name), text.data(), size_of(text));
    value = quoted(text.data());
    return true;
}

struct Kind {
    const char* keyword;
    bool (*next)(NameBuffer& name, std::string& value);
};

constexpr Kind kinds[] = {{"int", next_int}, {"double", next_double}, {"string", next_string}};

// By the strncpy rule a name fills the whole buffer, with no NUL, when it does not fit.
bool holds_whole_name(const NameBuffer& name) { return std::memchr(name.data(), '\0', name.size()) != nullptr; }

// The variables of one kind; false as soon as a name does not fit in `name`.
bool collect_kind(const Kind& kind, NameBuffer& name, Variables& variables) {
    get_first_variable();
    std::string value;
    while (kind.next(name, value)) {
        if (!holds_whole_name(name)) return false;
        variables.push_back({name.data(), std::string(kind.keyword) + " " + name.data() + " = " + value});
    }
    return true;
}

// Every variable, within a listing that the caller holds open; false when a name was too long.
bool collect_all(NameBuffer& name, Variables& variables) {
    variables.clear();
    for (const Kind& kind : kinds) {
        if (!collect_kind(kind, name, variables)) return false;
    }
    return true;
}

Variables listed_variables() {
    Variables variables;
    if (open_list_variables() != 0) return variables;
    NameBuffer name(256);
    while (!collect_all(name, variables)) name.resize(name.size() * 2);
    close_list_variables();
    std::sort(variables.begin(), variables.end(),
              [](const ListedVariable& a, const ListedVariable& b) { return a.name < b.name; });
    return variables;
}

}  // namespace

std::size_t print_variables() {
    const Variables variables = listed_variables();
    for (const ListedVariable& variable : variables) std::printf("%s\n", variable.line.c_str());
    return variables.size();
}
