#include "store_description.h"

#include <cstdio>

#include "store.h"
#include "store_lock.h"

std::string describe_variables(bool exact_doubles) {
    std::string text;
    char number[64];
    const StoreLockScope lock;
    if (!lock.held) return text;
    for (const Variable* variable = first_variable(); variable; variable = variable->next) {
        switch (variable->type) {
            case INT_VAR:
                std::snprintf(number, sizeof number, "%d", variable->value.integer);
                text += std::string("int ") + variable->name + "=" + number;
                break;
            case DOUBLE_VAR:
                if (exact_doubles) {
                    std::snprintf(number, sizeof number, "%a", variable->value.number);
                } else {
                    std::snprintf(number, sizeof number, "%g", variable->value.number);
                }
                text += std::string("double ") + variable->name + "=" + number;
                break;
            case STRING_VAR:
                text += std::string("string ") + variable->name + "=" +
                        (variable->value.text ? "\"" + std::string(variable->value.text) + "\"" : "none");
                break;
            default:
                continue;
        }
        text += ", ";
    }
    if (!text.empty()) text.resize(text.size() - 2);
    return text;
}
