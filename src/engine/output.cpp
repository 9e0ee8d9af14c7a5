#include "output.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

// Trace lines are formatted here rather than by printf: std::to_chars gives exactly the bytes of
// printf's "%d" and "%f" (the double rounded to six decimals from its exact value, "inf" and
// "nan" with their signs), whatever the C runtime and its locale, and needs no allocation.
namespace {

// A host may switch the output off while another thread runs a script: the flag is atomic, and
// each printer reads it once, before it formats anything: a quiet run formats no line.
std::atomic<bool> standard_output_enabled{true};

bool output_wanted() { return standard_output_enabled.load(std::memory_order_relaxed); }

// Room for the longest "%f" text: a sign, 309 integer digits, the point and six decimals.
constexpr std::size_t line_capacity = 512;

class TraceLine {
public:
    TraceLine& text(std::string_view part) {
        std::size_t length = part.size() < room() ? part.size() : room();
        std::memcpy(end, part.data(), length);
        end += length;
        return *this;
    }
    TraceLine& integer(int32_t value) {
        end = std::to_chars(end, limit(), value).ptr;
        return *this;
    }
    TraceLine& fixed(double value) {
        end = std::to_chars(end, limit(), value, std::chars_format::fixed, 6).ptr;
        return *this;
    }
    void print() { std::fwrite(buffer, 1, static_cast<std::size_t>(end - buffer), stdout); }

private:
    std::size_t room() const { return static_cast<std::size_t>(limit() - end); }
    char* limit() { return buffer + sizeof buffer; }
    const char* limit() const { return buffer + sizeof buffer; }

    char buffer[line_capacity];
    char* end = buffer;
};

}  // namespace

void set_output_enabled(bool enabled) { standard_output_enabled.store(enabled, std::memory_order_relaxed); }

void print_integer_statement(int32_t value) {
    if (!output_wanted()) return;
    TraceLine().text("* Integer statement result=").integer(value).text("\t marlin result=").integer(value).text("\n").print();
}

void print_double_statement(double value, int32_t truncated) {
    if (!output_wanted()) return;
    TraceLine().text("* Double statement result=").fixed(value).text("\t marlin result=").integer(truncated).text("\n").print();
}

// The text is written as it is, up to its first NUL, however long.
void print_string_statement(const char* text) {
    if (!output_wanted()) return;
    std::fputs("* String statement result=", stdout);
    std::fputs(text ? text : "(null)", stdout);
    std::fputs("\t marlin result=0\n", stdout);
}

void print_parser_error(const char* message) {
    if (output_wanted()) std::printf("error: %s\n", message);
}

void echo_byte(char byte) {
    if (output_wanted()) std::putchar(static_cast<unsigned char>(byte));
}
