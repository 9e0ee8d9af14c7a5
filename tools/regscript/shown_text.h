// Bytes from a script, a file name or a variable, made safe to show: nothing of them can move a
// terminal's cursor, change its title or start a line of its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// `text` between double quotes, as a C string literal writes it: `\"`, `\\`, `\n`, `\r`, `\t`,
// and `\ooo` (three octal digits) for every other byte that is no printable character (a control
// byte, or one that begins no valid UTF-8 sequence), so that a program reading it back gets the
// same bytes.
std::string quoted(std::string_view text);

// `text` to show as it stands (a source line, a message): tabs, quotes and backslashes stay, every
// other byte that is no printable character is written as in `quoted`.
std::string shown(std::string_view text);

// Blanks as wide as the first `bytes` bytes of `line` take when shown (tabs stay tabs), so that a
// caret after them stands under the byte that follows.
std::string caret_indent(std::string_view line, std::size_t bytes);
