#include "output.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "fixed_decimals.h"

// Trace lines are formatted here rather than by printf: std::to_chars and write_fixed_six give
// exactly the bytes of printf's "%d" and "%f" (the double rounded to six decimals from its exact
// value, "inf" and "nan" with their signs), whatever the C runtime and its locale, and need no
// allocation.
namespace {

// A host may switch the output off while another thread runs a script: the flag is atomic, and
// each printer reads it once, before it formats anything: a quiet run formats no line.
std::atomic<bool> standard_output_enabled{true};

// Where the output goes instead of standard output. The function and its context change together,
// under a lock that is held for the copy only; the flag spares the usual case, standard output,
// that lock.
struct OutputFunction {
    regscript_output_function function;
    void* context;
};
OutputFunction output_function = {nullptr, nullptr};
std::atomic<bool> output_function_set{false};
std::atomic<bool> output_function_busy{false};

class OutputFunctionGuard {
public:
    OutputFunctionGuard() {
        while (output_function_busy.exchange(true, std::memory_order_acquire)) {
        }
    }
    ~OutputFunctionGuard() { output_function_busy.store(false, std::memory_order_release); }
    OutputFunctionGuard(const OutputFunctionGuard&) = delete;
    OutputFunctionGuard& operator=(const OutputFunctionGuard&) = delete;
};

OutputFunction current_output_function() {
    if (!output_function_set.load(std::memory_order_acquire)) return {nullptr, nullptr};
    OutputFunctionGuard guard;
    return output_function;
}

// What a run writes to standard output waits here and goes to the C library in one call when the
// run ends, before a host function runs, before output goes to the host's function instead, and
// when the room is full: the same bytes in the same order, for one call instead of one a line.
// Only a run writes, and runs take turns on the run lock.
struct PendingOutput {
    std::size_t length;
    char bytes[4096];
};
PendingOutput pending = {};

void write_pending_output() {
    if (pending.length == 0) return;
    std::fwrite(pending.bytes, 1, pending.length, stdout);
    pending.length = 0;
}

// The host's function takes at most INT32_MAX bytes at a time.
void write_output(const char* bytes, std::size_t length) {
    const OutputFunction destination = current_output_function();
    if (!destination.function) {
        if (length > sizeof pending.bytes - pending.length) {
            write_pending_output();
            if (length > sizeof pending.bytes) {
                std::fwrite(bytes, 1, length, stdout);
                return;
            }
        }
        std::memcpy(pending.bytes + pending.length, bytes, length);
        pending.length += length;
        return;
    }
    write_pending_output();
    while (length > 0) {
        const std::size_t piece = length < INT32_MAX ? length : INT32_MAX;
        destination.function(bytes, static_cast<int32_t>(piece), destination.context);
        bytes += piece;
        length -= piece;
    }
}

void write_output(std::string_view text) { write_output(text.data(), text.size()); }

// A trace line: fixed texts and numbers, written to the output in one piece. Its parts are
// bounded, so it needs no checks as it grows: two integers of at most 11 characters, one "%f"
// text, and the texts, which are literals. A line for standard output is built where it waits.
class TraceLine {
public:
    TraceLine() : start(room_in_pending()), end(start) {}

    template <std::size_t size>
    TraceLine& text(const char (&literal)[size]) {
        static_assert(size <= literal_capacity);
        std::memcpy(end, literal, size - 1);
        end += size - 1;
        return *this;
    }
    TraceLine& integer(int32_t value) {
        integer_start = end;
        end = std::to_chars(end, end + 11, value).ptr;
        integer_end = end;
        return *this;
    }
    // The integer written last, once more: its digits copied rather than worked out again.
    TraceLine& same_integer() {
        const auto length = static_cast<std::size_t>(integer_end - integer_start);
        std::memcpy(end, integer_start, length);
        end += length;
        return *this;
    }
    TraceLine& fixed(double value) {
        end = write_fixed_six(end, value);
        return *this;
    }
    void print() {
        if (start == own_room) {
            write_output(own_room, static_cast<std::size_t>(end - start));
        } else {
            pending.length = static_cast<std::size_t>(end - pending.bytes);
        }
    }

private:
    static constexpr std::size_t literal_capacity = 32;
    static constexpr std::size_t capacity = 3 * literal_capacity + 2 * 11 + fixed_decimals_capacity;

    // Where the pending output has room for a whole line, when standard output takes it;
    // otherwise the line's own room.
    char* room_in_pending() {
        if (current_output_function().function) return own_room;
        if (sizeof pending.bytes - pending.length < capacity) write_pending_output();
        return pending.bytes + pending.length;
    }

    char own_room[capacity];
    char* start;
    char* end;
    const char* integer_start = nullptr;
    const char* integer_end = nullptr;
};

}  // namespace

void flush_output() { write_pending_output(); }

bool output_enabled() { return standard_output_enabled.load(std::memory_order_relaxed); }

void set_output_enabled(bool enabled) { standard_output_enabled.store(enabled, std::memory_order_relaxed); }

void set_output_function(regscript_output_function function, void* context) {
    OutputFunctionGuard guard;
    output_function = {function, context};
    output_function_set.store(function != nullptr, std::memory_order_release);
}

void print_integer_statement(int32_t value) {
    if (!output_enabled()) return;
    TraceLine().text("* Integer statement result=").integer(value).text("\t marlin result=").same_integer().text("\n").print();
}

void print_double_statement(double value, int32_t truncated) {
    if (!output_enabled()) return;
    TraceLine().text("* Double statement result=").fixed(value).text("\t marlin result=").integer(truncated).text("\n").print();
}

// The text is written as it is, up to its first NUL, however long.
void print_string_statement(const char* text) {
    if (!output_enabled()) return;
    write_output("* String statement result=");
    write_output(text ? text : "(null)");
    write_output("\t marlin result=0\n");
}

void print_parser_error(const char* message) {
    if (!output_enabled()) return;
    write_output("error: ");
    write_output(message);
    write_output("\n");
}

void echo_byte(char byte) {
    if (output_enabled()) write_output(&byte, 1);
}
