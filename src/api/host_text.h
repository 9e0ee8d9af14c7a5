// Texts handed to the host: copied into its buffers by the strncpy rule, or measured.
#pragma once

#include <cstdint>
#include <string_view>

struct Variable;

// Writes exactly `size` bytes: the text, NUL-filled behind it when it is shorter, and cut without
// a terminator when it is not. Without a buffer of at least one byte nothing is written: false.
bool copy_to_host_buffer(std::string_view text, char* buffer, int32_t size);

// The length the host receives; a text too long for the host's integer reports the largest one.
int32_t host_text_length(std::string_view text);

// A string variable's text; one that holds no text reads as the empty text.
std::string_view variable_text(const Variable& variable);
