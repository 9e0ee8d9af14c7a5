// Runs a program the way a user does, and collects what it prints.
#pragma once

#include <string>
#include <vector>

struct ProcessOutcome {
    int exit_code;  // 128 + the signal's number when a signal ended it
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` in `directory`, with `input` as its standard input. With an
// `output_file` ("/dev/full"), standard output goes there instead of into `out`; "" closes it.
ProcessOutcome run_process(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& input, const std::string& directory,
                           const char* output_file = nullptr);

// A new empty directory, removed with everything in it when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    // Writes `text` into the file `name` inside the directory.
    void write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};
