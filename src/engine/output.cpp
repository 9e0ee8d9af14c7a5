#include "output.h"

#include <cstdio>

void print_integer_statement(int32_t value) {
    std::printf("* Integer statement result=%d\t marlin result=%d\n", value, value);
}

void print_double_statement(double value, int32_t truncated) {
    std::printf("* Double statement result=%f\t marlin result=%d\n", value, truncated);
}

void print_string_statement(const char* text) {
    std::printf("* String statement result=%s\t marlin result=0\n", text ? text : "(null)");
}

void print_parser_error(const char* message) { std::printf("error: %s\n", message); }

void echo_byte(char byte) { std::putchar(static_cast<unsigned char>(byte)); }
