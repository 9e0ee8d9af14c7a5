#include "string_functions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "format.h"
#include "scratch.h"
#include "variable.h"

namespace {

// A missing string reads as the empty text.
std::string_view view_of(const char* s) { return s ? s : ""; }

// Formats into a scratch buffer of the template's length plus 100 bytes.
template <typename Number>
char* format_string(const char* s, Number value,
                    std::size_t (*format)(const char*, Number, char*, std::size_t)) {
    if (!s) return nullptr;
    std::size_t capacity = std::strlen(s) + 100;
    char* text = scratch_alloc(capacity);
    if (text) format(s, value, text, capacity);
    return text;
}

}  // namespace

char* string_variable_value(const Variable* variable) { return scratch_dup(variable->value.text); }

char* concatenate_strings(const char* s, const char* t) {
    std::string_view first = view_of(s), second = view_of(t);
    char* text = scratch_alloc(first.size() + second.size() + 1);
    if (text) {
        std::memcpy(text, first.data(), first.size());
        std::memcpy(text + first.size(), second.data(), second.size());
        text[first.size() + second.size()] = '\0';
    }
    return text;
}

char* cut_string(const char* s, int32_t start, int32_t length) {
    if (!s) return nullptr;
    int64_t size = static_cast<int64_t>(std::strlen(s));
    int64_t from = std::clamp<int64_t>(start, 0, size);
    int64_t to = std::clamp<int64_t>(int64_t{start} + length, from, size);
    return scratch_copy(s + from, static_cast<std::size_t>(to - from));
}

char* format_integer_string(const char* s, int32_t value) { return format_string(s, value, format_integer); }

char* format_double_string(const char* s, double value) { return format_string(s, value, format_double); }

int32_t string_length(const char* s) {
    return static_cast<int32_t>(std::min<std::size_t>(view_of(s).size(), INT32_MAX));
}

int32_t strings_equal(const char* s, const char* t) { return view_of(s) == view_of(t); }

int32_t find_string(const char* s, const char* t, int32_t start) {
    if (!s) return 0;
    int64_t size = static_cast<int64_t>(std::strlen(s));
    if (start == size) return 0;
    if (!t || start > size) return -1;
    const char* found = std::strstr(s + std::max(start, 0), t);
    return found && found - s <= INT32_MAX ? static_cast<int32_t>(found - s) : -1;
}
