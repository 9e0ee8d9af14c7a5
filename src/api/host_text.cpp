#include "host_text.h"

#include <algorithm>
#include <cstring>

#include "variable.h"

bool copy_to_host_buffer(std::string_view text, char* buffer, int32_t size) {
    if (!buffer || size < 1) return false;
    size_t capacity = static_cast<size_t>(size);
    size_t copied = std::min(text.size(), capacity);
    std::memcpy(buffer, text.data(), copied);
    std::memset(buffer + copied, 0, capacity - copied);
    return true;
}

int32_t host_text_length(std::string_view text) {
    return static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
}

std::string_view variable_text(const Variable& variable) {
    return variable.value.text ? variable.value.text : "";
}
