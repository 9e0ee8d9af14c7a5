#include "host_variables.h"

#include <cstdint>

#include "regscript.h"

namespace {

const char* kind_name(int32_t type) {
    switch (type) {
        case REGSCRIPT_INT: return "an integer";
        case REGSCRIPT_DOUBLE: return "a double";
        default: return "a string";
    }
}

// Why the library refused to store `variable`.
std::string refusal(const HostVariable& variable) {
    const int32_t type = get_variable_type(variable.name.c_str());
    if (type < 0) return variable.option + ": '" + variable.name + "' is the name of a built-in function";
    return variable.option + ": '" + variable.name + "' is already " + kind_name(type) +
           " variable, set by an earlier option";
}

int32_t store(const std::string& name, int32_t value) { return set_int_variable(name.c_str(), value); }
int32_t store(const std::string& name, double value) { return set_double_variable(name.c_str(), value); }
int32_t store(const std::string& name, const std::string& text) {
    return set_string_variable(name.c_str(), text.c_str());
}

}  // namespace

void store_host_variables(const std::vector<HostVariable>& variables) {
    for (const HostVariable& variable : variables) {
        const auto store_value = [&](const auto& value) { return store(variable.name, value); };
        if (std::visit(store_value, variable.value) != 0) throw CommandLineError(refusal(variable));
    }
}
