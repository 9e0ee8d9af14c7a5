// The library prints a trace line for every statement it runs. A windowed host discards them, so
// the benchmark programs send the whole process's standard output to /dev/null, as the host does,
// and write their own results to a copy of the original standard output.
#pragma once

#include <cstdio>
#include <streambuf>

// Sends standard output to /dev/null and returns a stream to where it went before; null (with a
// message on standard error) when that fails.
FILE* silence_standard_output();

// A stream buffer that writes through to a C stream, for C++ code that reports to an ostream.
class FileStreamBuffer final : public std::streambuf {
public:
    explicit FileStreamBuffer(FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    FILE* file_;
};
