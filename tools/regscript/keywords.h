// The words of the language that can name no variable: a test holds them equal to the library's
// vocabulary (its keywords and constants), which the scanner reads each as no name.
#pragma once

#include <string_view>

inline constexpr std::string_view language_keywords[] = {
    "int", "double", "string", "delete", "and", "or", "format", "cut", "strlen", "substr",
    "strtoint", "strtodouble", "hextoint", "gettickcount", "TRUE", "FALSE"};
