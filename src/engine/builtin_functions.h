// The built-in math functions, each once, among the words of the language (vocabulary.h lists
// the rest and includes this table; it stands apart so that the store reads it without the
// parser's header). A script calls one by its name, which the store holds as a FUNCTION record.
#pragma once

#include <cmath>
#include <string_view>

#include "variable.h"

struct BuiltinFunction {
    std::string_view name;
    MathFunction function;
};

// In the order the store adds them, so that sqrt stands nearest the head.
inline constexpr BuiltinFunction builtin_functions[] = {
    {"sin", [](double x) { return std::sin(x); }},   {"cos", [](double x) { return std::cos(x); }},
    {"atan", [](double x) { return std::atan(x); }}, {"ln", [](double x) { return std::log(x); }},
    {"exp", [](double x) { return std::exp(x); }},   {"sqrt", [](double x) { return std::sqrt(x); }},
};
