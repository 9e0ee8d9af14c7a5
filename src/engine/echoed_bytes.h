// A byte that begins no token is printed and skipped. What the scanner takes as one echoed
// character, and which warning it is worth: the usual reasons such text was not meant.
#pragma once

#include <cstddef>
#include <optional>

#include "script_warning.h"

// How many bytes the character at `at` has when they form one UTF-8 character (`é`), so that it
// is echoed and warned about once; 1 for any other byte.
std::size_t echoed_length(const char* at);

// The text around an echoed character.
struct EchoSurroundings {
    const char* text_start;
    const char* line_start;
    const char* text_end;
};

// The warning for an echoed character and the text it is about; no kind for the second and third
// bytes of a byte-order mark, which its first byte's warning covers.
struct EchoNote {
    std::optional<WarningKind> kind;
    const char* text;
    std::size_t length;
};

EchoNote note_for_echo(const char* at, std::size_t length, const EchoSurroundings& around);
