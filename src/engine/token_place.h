// Where a token stands in a script's text. Plain data that the scanner records and the run and
// the diagnostics read, so that neither of those needs the scanner's header nor it theirs.
#pragma once

#include <cstdint>
#include <string_view>

// Where a token stands in the text: its line, counted from 1 by the newlines between tokens, the
// byte column of its first byte within that line, from 1, and its text.
struct TokenPlace {
    int32_t line;  // of the text, every line end counted: for messages
    int32_t column;
    std::string_view text;
    int32_t token;          // its code
    int32_t counted_line;   // not counting line ends inside strings: the run's error line
};

// The scanner remembers this many of the last tokens it returned, for the diagnostics.
constexpr int recent_token_count = 16;
