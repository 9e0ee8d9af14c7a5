// Where the interactive session's typed input ends: it runs what was typed once that is a whole
// input. A test holds this to the library's scanner, which this program cannot include.
#pragma once

#include <string_view>

inline constexpr std::string_view blanks = " \t\r\n";

// Whether `text` is a whole input to run: it ends, but for blanks, with a ';' outside string
// literals (which have no escapes, so every '"' opens or closes one).
constexpr bool statement_complete(std::string_view text) {
    bool in_string = false;
    char last = '\0';
    for (char byte : text) {
        if (byte == '"') in_string = !in_string;
        if (!in_string && blanks.find(byte) == std::string_view::npos) last = byte;
    }
    return !in_string && last == ';';
}
