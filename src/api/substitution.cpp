// Bracket substitution: my_parse replaces every [name] in a text by the variable's value.
//
// The text is walked once. Plain bytes are copied in runs, the position of the last ']' is found
// once up front to decide whether a '[' opens a reference, and the result grows geometrically, so
// the time is linear in the text and the values put in, whatever the host hands over.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "memory.h"
#include "regscript.h"
#include "store.h"
#include "store_lock.h"

namespace {

// A text that grows by doubling in malloc'd memory. When memory runs out it stops growing and
// remembers the failure; the walk goes on, and the result reports it.
class GrowingText {
public:
    GrowingText() = default;
    GrowingText(const GrowingText&) = delete;
    GrowingText& operator=(const GrowingText&) = delete;
    ~GrowingText() { deallocate(bytes); }

    void append(std::string_view text) {
        if (text.empty() || !reserve(text.size())) return;
        std::memcpy(bytes + length, text.data(), text.size());
        length += text.size();
    }

    // A number's text, as printf's "%d" or "%.5f" writes it (std::to_chars gives the same bytes
    // in any locale and C runtime), however long.
    template <typename... Format>
    void append_number(auto value, Format... format) {
        char text[400];  // the longest "%.5f": a sign, 309 digits, the point and five decimals
        append({text, static_cast<size_t>(std::to_chars(text, text + sizeof text, value, format...).ptr - text)});
    }

    std::string_view view() const { return {bytes ? bytes : "", length}; }
    void clear() { length = 0; }
    bool out_of_memory() const { return failed; }

    // The NUL-terminated text, now the caller's to free; null when memory ran out.
    char* release() {
        if (failed || !reserve(0)) return nullptr;
        bytes[length] = '\0';
        char* text = bytes;
        bytes = nullptr;
        return text;
    }

private:
    // Room for `extra` more bytes and a terminator.
    bool reserve(size_t extra) {
        if (failed) return false;
        if (extra < capacity - length) return true;
        if (extra > SIZE_MAX / 2 - length) return fail();
        size_t wanted = length + extra + 1;
        size_t doubled = capacity <= SIZE_MAX / 2 ? capacity * 2 : wanted;
        size_t new_capacity = std::max({wanted, doubled, minimum_capacity});
        char* larger = static_cast<char*>(reallocate(bytes, new_capacity));
        if (!larger) return fail();
        bytes = larger;
        capacity = new_capacity;
        return true;
    }

    bool fail() {
        failed = true;
        return false;
    }

    static constexpr size_t minimum_capacity = 64;
    char* bytes = nullptr;
    size_t length = 0;
    size_t capacity = 0;
    bool failed = false;
};

// The value a reference stands for; nothing for an unknown name or a built-in function. A string
// goes in as it is: its own brackets are not expanded again.
void append_value(GrowingText& output, std::string_view name) {
    const Variable* variable = find_variable(name);
    if (!variable) return;
    switch (variable->type) {
        case INT_VAR: output.append_number(variable->value.integer); break;
        case DOUBLE_VAR: output.append_number(variable->value.number, std::chars_format::fixed, 5); break;
        case STRING_VAR:
            if (variable->value.text) output.append(variable->value.text);
            break;
        default: break;
    }
}

// The substituted text, walked once; the caller holds the lock. Null when memory runs out.
char* substitute(const char* text) {
    GrowingText output;
    GrowingText name;
    const char* last_close = std::strrchr(text, ']');
    bool in_reference = false;
    for (const char* at = text;;) {
        size_t run = std::strcspn(at, "[]");
        (in_reference ? name : output).append({at, run});
        at += run;
        if (*at == '\0') break;
        if (*at == '[') {
            if (at[1] == '[') {
                // "[[" always stands for one '[' of the output, also inside a reference.
                output.append("[");
                ++at;
            } else if (last_close && last_close > at) {
                // A second opening inside a reference keeps the name read so far.
                in_reference = true;
            } else {
                output.append("[");
            }
        } else if (in_reference) {
            append_value(output, name.view());
            name.clear();
            in_reference = false;
        } else {
            output.append("]");
        }
        ++at;
    }
    // A name cut short by a failed allocation would have looked up the wrong variable.
    return name.out_of_memory() ? nullptr : output.release();
}

char* copy_unchanged(const char* text) {
    GrowingText copy;
    copy.append(text);
    return copy.release();
}

}  // namespace

// When the lock cannot be had the text comes back unchanged. When memory runs out the result is
// an empty text; only when not even that can be allocated is it NULL.
char* REGSCRIPT_STDCALL my_parse(const char* text) {
    const char* input = text ? text : "";
    char* result;
    {
        StoreLockScope lock;
        result = lock.held ? substitute(input) : copy_unchanged(input);
    }
    return result ? result : static_cast<char*>(allocate_zeroed(1, 1));
}

void REGSCRIPT_STDCALL my_free(char* text) { deallocate(text); }
