// Bracket substitution, checked against a plain reference of the rules: the input gives the
// text of the string variable s and the name of a string variable holding "named" (up to the
// first two NUL bytes), and then the text to expand.
#include <cstdio>
#include <cstring>

#include "fuzz_support.h"
#include "regscript.h"

namespace {

// The next NUL-terminated piece of the input; `rest` moves past it.
std::string take_piece(std::string& rest) {
    std::size_t end = rest.find('\0');
    std::string piece = rest.substr(0, end);
    rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
    return piece;
}

// The value a reference inserts, read through the host interface.
std::string value_of(const std::string& name) {
    char text[400];
    switch (get_variable_type(name.c_str())) {
        case REGSCRIPT_INT: std::snprintf(text, sizeof text, "%d", get_int_variable(name.c_str())); return text;
        case REGSCRIPT_DOUBLE: std::snprintf(text, sizeof text, "%.5f", get_double_variable(name.c_str())); return text;
        case REGSCRIPT_STRING: {
            std::string value(static_cast<size_t>(get_string_variable(name.c_str(), nullptr, 0)), '\0');
            if (!value.empty()) get_string_variable(name.c_str(), value.data(), static_cast<int32_t>(value.size()));
            return value;
        }
        default: return "";
    }
}

// The rules, byte by byte, searching for a closing bracket afresh at every opening one.
std::string expand_reference(const std::string& text) {
    std::string out, name;
    bool in_reference = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '[' && i + 1 < text.size() && text[i + 1] == '[') {
            out += '[';
            ++i;
        } else if (c == '[' && text.find(']', i + 1) != std::string::npos) {
            in_reference = true;
        } else if (c == ']' && in_reference) {
            out += value_of(name);
            name.clear();
            in_reference = false;
        } else {
            (in_reference ? name : out) += c;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start_library_once();
    fill_store();
    std::string rest = as_text(data, size);
    set_string_variable("s", take_piece(rest).c_str());
    set_string_variable(take_piece(rest).c_str(), "named");
    char* expanded = my_parse(rest.c_str());
    if (!expanded || expanded != expand_reference(rest.c_str())) __builtin_trap();
    my_free(expanded);
    return 0;
}
