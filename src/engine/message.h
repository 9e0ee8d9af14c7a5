// A message for a script's author under construction: the one way the diagnostics write text,
// bounded and never a format. Internal to the diagnostics.
#pragma once

#include <cstddef>
#include <string_view>

namespace diagnosis {

// A message under construction, cut at its capacity. Script text goes in only through `code`,
// which quotes a bounded, printable excerpt; nothing is ever used as a format.
class Message {
public:
    Message(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) { buffer_[0] = '\0'; }

    Message& text(std::string_view part) {
        for (char c : part) put(c);
        return *this;
    }

    // `excerpt` in backquotes: its first line, at most 32 bytes, other bytes than printable ASCII
    // shown as "?".
    Message& code(std::string_view excerpt) {
        constexpr std::size_t shown = 32;
        std::size_t end = excerpt.find('\n');
        bool cut = end != std::string_view::npos || excerpt.size() > shown;
        excerpt = excerpt.substr(0, end < shown ? end : shown);
        put('`');
        for (char c : excerpt) put(c >= ' ' && c <= '~' ? c : '?');
        if (cut) text("...");
        put('`');
        return *this;
    }

    std::size_t length() const { return length_; }

private:
    void put(char c) {
        if (length_ + 1 >= capacity_) return;
        buffer_[length_++] = c;
        buffer_[length_] = '\0';
    }

    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

}  // namespace diagnosis
