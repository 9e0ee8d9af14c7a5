#include "fuzz_support.h"

#include <cstdio>

#include "regscript.h"

void start_library_once() {
    static const bool started = [] {
        if (!std::freopen("/dev/null", "w", stdout)) std::abort();
        init_registers();
        return true;
    }();
    (void)started;
}

void fill_store() {
    reset_registers();
    set_int_variable("i", -7);
    set_double_variable("d", 2.5);
    set_string_variable("s", "a[b]%d");
    set_string_variable("e", "");
    set_string_variable("m", nullptr);
}

std::string as_text(const uint8_t* data, size_t size) { return std::string(reinterpret_cast<const char*>(data), size); }
