// Every allocation of the library goes through these functions: they are the C library's heap,
// and the one place where a test build can make an allocation fail.
//
// A failed allocation returns null, as malloc does, and is remembered by the thread that met it:
// a script run asks whether memory ran out since it began, and stops.
#pragma once

#include <cstddef>

void* allocate(std::size_t size);
// `count` zeroed elements of `size` bytes; null also when the product overflows.
void* allocate_zeroed(std::size_t count, std::size_t size);
void* reallocate(void* block, std::size_t size);
void deallocate(void* block);

// Whether an allocation of the calling thread failed since its forget_allocation_failures.
bool allocation_failed();
void forget_allocation_failures();

#ifdef REGSCRIPT_FAULT_INJECTION
// Test builds only: the allocation `countdown` allocations from now fails (1: the next one), and
// so does every one after it while `sticky`; 0 stops failing. Returns how many allocations were
// made since the previous call.
std::size_t fail_allocation_after(std::size_t countdown, bool sticky = false);
#endif
