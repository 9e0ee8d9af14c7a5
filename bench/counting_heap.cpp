#include "counting_heap.h"

#include <malloc.h>

#include <cstddef>

// glibc's own entry points, which its malloc and free are aliases of.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {

// The program measures on one thread.
int64_t in_use = 0;
int64_t peak = 0;

void count_in(void* block) {
    if (!block) return;
    in_use += static_cast<int64_t>(malloc_usable_size(block));
    if (in_use > peak) peak = in_use;
}

void count_out(void* block) {
    if (block) in_use -= static_cast<int64_t>(malloc_usable_size(block));
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
    void* block = __libc_malloc(size);
    count_in(block);
    return block;
}

void* calloc(std::size_t count, std::size_t size) {
    void* block = __libc_calloc(count, size);
    count_in(block);
    return block;
}

// A failed realloc keeps the old block, so it is uncounted only once the new one exists.
void* realloc(void* block, std::size_t size) {
    int64_t old_size = block ? static_cast<int64_t>(malloc_usable_size(block)) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved || size == 0) in_use -= old_size;
    count_in(moved);
    return moved;
}

void free(void* block) {
    count_out(block);
    __libc_free(block);
}

}  // extern "C"

int64_t heap_bytes_in_use() { return in_use; }

void start_heap_peak() { peak = in_use; }

int64_t heap_peak() { return peak; }
