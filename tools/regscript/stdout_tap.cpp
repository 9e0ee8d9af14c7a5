#include "stdout_tap.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <thread>

namespace {

constexpr std::size_t kept_bytes = 64;

// The end of the last complete line of a byte stream fed in pieces.
class LineTail {
public:
    void feed(std::string_view bytes) {
        for (char byte : bytes) {
            if (byte == '\n') {
                last_.swap(current_);
                current_.clear();
            } else {
                current_ += byte;
                if (current_.size() == 2 * kept_bytes) current_.erase(0, kept_bytes);
            }
        }
    }

    std::string last() const {
        return last_.size() > kept_bytes ? last_.substr(last_.size() - kept_bytes) : last_;
    }

private:
    std::string current_;
    std::string last_;
};

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

// Writes all of `bytes` to `fd`; gives up silently when the reader has gone.
void write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Copies the pipe to the real standard output until every write end is closed.
void forward(int pipe_end, int destination, LineTail& tail) {
    char block[4096];
    for (;;) {
        ssize_t count = read(pipe_end, block, sizeof block);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        std::string_view bytes(block, static_cast<std::size_t>(count));
        write_all(destination, bytes);
        tail.feed(bytes);
    }
}

}  // namespace

std::string last_line_printed_by(const std::function<void()>& run) {
    std::fflush(stdout);
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) fail("pipe");
    const int saved_stdout = dup(STDOUT_FILENO);
    if (saved_stdout < 0 || dup2(pipe_ends[1], STDOUT_FILENO) < 0) fail("dup");
    close(pipe_ends[1]);

    LineTail tail;
    std::thread forwarder(forward, pipe_ends[0], saved_stdout, std::ref(tail));
    run();
    std::fflush(stdout);
    dup2(saved_stdout, STDOUT_FILENO);  // closes the pipe's last write end: the forwarder stops
    forwarder.join();
    close(pipe_ends[0]);
    close(saved_stdout);
    return tail.last();
}
