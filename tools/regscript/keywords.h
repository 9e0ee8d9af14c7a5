// The words of the language that can name no variable: a test holds them to the library's
// scanner, which reads each as a keyword.
#pragma once

#include <string_view>

inline constexpr std::string_view language_keywords[] = {
    "int", "double", "string", "delete", "and", "or", "format", "cut", "strlen", "substr",
    "strtoint", "strtodouble", "hextoint", "gettickcount", "TRUE", "FALSE"};
