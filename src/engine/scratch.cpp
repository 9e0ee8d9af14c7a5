#include "scratch.h"

#include <cstdint>
#include <cstring>

#include "memory.h"

namespace {

ScratchString* scratch_head = nullptr;

}  // namespace

// The entry and its text share one allocation: the text follows the entry.
char* scratch_alloc(std::size_t n) {
    if (n > SIZE_MAX - sizeof(ScratchString)) return nullptr;
    auto* entry = static_cast<ScratchString*>(allocate(sizeof(ScratchString) + n));
    if (!entry) return nullptr;
    entry->text = reinterpret_cast<char*>(entry + 1);
    entry->next = scratch_head;
    scratch_head = entry;
    return entry->text;
}

char* scratch_copy(const char* text, std::size_t n) {
    if (n == SIZE_MAX) return nullptr;
    char* copy = scratch_alloc(n + 1);
    if (copy) {
        std::strncpy(copy, text, n);
        copy[n] = '\0';
    }
    return copy;
}

char* scratch_dup(const char* text) {
    if (!text) return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = scratch_alloc(length + 1);
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}

void scratch_free_all() {
    while (ScratchString* entry = scratch_head) {
        scratch_head = entry->next;
        deallocate(entry);
    }
}

bool scratch_empty() { return scratch_head == nullptr; }
