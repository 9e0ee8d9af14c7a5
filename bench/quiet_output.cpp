#include "quiet_output.h"

#include <unistd.h>

FILE* silence_standard_output() {
    std::fflush(stdout);
    int original = dup(fileno(stdout));
    FILE* results = original < 0 ? nullptr : fdopen(original, "w");
    if (!results || !std::freopen("/dev/null", "w", stdout)) {
        std::perror("cannot send standard output to /dev/null");
        return nullptr;
    }
    return results;
}

FileStreamBuffer::int_type FileStreamBuffer::overflow(int_type byte) {
    if (traits_type::eq_int_type(byte, traits_type::eof())) return traits_type::not_eof(byte);
    return std::fputc(traits_type::to_char_type(byte), file_) == EOF ? traits_type::eof() : byte;
}

std::streamsize FileStreamBuffer::xsputn(const char* bytes, std::streamsize count) {
    return static_cast<std::streamsize>(std::fwrite(bytes, 1, static_cast<std::size_t>(count), file_));
}

int FileStreamBuffer::sync() { return std::fflush(file_) == 0 ? 0 : -1; }
