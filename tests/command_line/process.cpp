#include "process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// An anonymous temporary file: the child's standard input, output or error. Files rather than
// pipes, so that no amount of output can block either side.
File temporary_file() {
    File file(std::tmpfile(), std::fclose);
    if (!file) throw std::runtime_error("tmpfile failed");
    return file;
}

std::string contents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char block[4096];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, count);
    return text;
}

[[noreturn]] void exec_child(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& directory, int in, int out, int err, const char* output_file) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0 ||
        chdir(directory.c_str()) != 0) {
        _exit(126);
    }
    if (output_file && !*output_file) close(STDOUT_FILENO);
    if (output_file && *output_file) {
        const int file = open(output_file, O_WRONLY);
        if (file < 0 || dup2(file, STDOUT_FILENO) < 0) _exit(126);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
}

int exit_code_of(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

ProcessOutcome run_process(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& input, const std::string& directory, const char* output_file) {
    File in = temporary_file(), out = temporary_file(), err = temporary_file();
    std::fwrite(input.data(), 1, input.size(), in.get());
    std::fflush(in.get());
    std::rewind(in.get());
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) exec_child(program, arguments, directory, fileno(in.get()), fileno(out.get()), fileno(err.get()),
                               output_file);
    int status = 0;
    waitpid(child, &status, 0);
    return {exit_code_of(status), contents(out.get()), contents(err.get())};
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "regscript-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ScratchDirectory::write(const std::string& name, const std::string& text) const {
    std::ofstream(std::filesystem::path(path_) / name, std::ios::binary) << text;
}
