#include "echoed_bytes.h"

#include <cstring>

#include "conversions.h"

namespace {

bool starts_with_byte_order_mark(const char* text) { return std::strncmp(text, "\xEF\xBB\xBF", 3) == 0; }

// Where the number that ends just before `at` on its line begins; `at` when there is none (the
// digits of a name such as `a1` are no number).
const char* number_before(const char* at, const char* line_start) {
    const char* digits = at;
    while (digits > line_start && is_digit(digits[-1])) --digits;
    if (digits > line_start && (is_letter(digits[-1]) || digits[-1] == '.')) return at;
    return digits;
}

}  // namespace

std::size_t echoed_length(const char* at) {
    const auto lead = static_cast<unsigned char>(*at);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4                                  ? 4
                                                                                               : 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

EchoNote note_for_echo(const char* at, std::size_t length, const EchoSurroundings& around) {
    if (at < around.text_start + 3 && starts_with_byte_order_mark(around.text_start)) {
        if (at != around.text_start) return {std::nullopt, at, 0};
        return {WarningKind::byte_order_mark, at, 3};
    }
    if (*at == '\r') return {WarningKind::carriage_return, at, 1};
    if (const char* digits = number_before(at, around.line_start); *at == '.' && digits < at) {
        return {WarningKind::dot_after_digits, digits, static_cast<std::size_t>(at + 1 - digits)};
    }
    if (*at == '.' && is_digit(at[1])) {
        return {WarningKind::dot_before_digits, at, static_cast<std::size_t>(skip_digits(at + 1, around.text_end) - at)};
    }
    return {WarningKind::byte_begins_no_token, at, length};
}
