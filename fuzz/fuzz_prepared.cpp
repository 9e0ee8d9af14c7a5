// Any script runs the same prepared as it does as a text: through run_parser and through a
// prepared script (first run, reused run, reused after the host retyped its names) from a store
// holding every kind of variable, with everything a host can observe compared byte for byte.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "prepared_comparison.h"
#include "regscript.h"

namespace {

// Standard output goes to a file of its own, read back after each run.
std::FILE* output_file() {
    static std::FILE* file = [] {
        std::FILE* opened = std::tmpfile();
        if (!opened || std::fflush(stdout) != 0 || dup2(fileno(opened), STDOUT_FILENO) < 0) std::abort();
        return opened;
    }();
    return file;
}

std::string captured_output(const std::function<void()>& run) {
    std::fflush(stdout);
    if (ftruncate(STDOUT_FILENO, 0) != 0 || lseek(STDOUT_FILENO, 0, SEEK_SET) != 0) std::abort();
    run();
    std::fflush(stdout);
    std::string output(static_cast<std::size_t>(lseek(STDOUT_FILENO, 0, SEEK_CUR)), '\0');
    if (pread(STDOUT_FILENO, output.data(), output.size(), 0) != static_cast<ssize_t>(output.size())) std::abort();
    return output;
}

// The notifications arrive on a datagram socket pair, one datagram each.
int notification_socket() {
    static int receiver = [] {
        int sockets[2];
        if (socketpair(AF_UNIX, SOCK_DGRAM, 0, sockets) != 0) std::abort();
        set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(sockets[0])));
        return sockets[1];
    }();
    return receiver;
}

int notifications_taken() {
    int count = 0;
    uint32_t message;
    while (recv(notification_socket(), &message, sizeof message, MSG_DONTWAIT) == sizeof message) ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start_library_once();
    output_file();
    notification_socket();
    const std::string script = as_text(data, size);
    // The tick count moves between the runs compared: a script that reads it cannot be compared.
    if (script.find("gettickcount") != std::string::npos) return -1;
    const RunHarness harness{
        .start = fill_store,
        .captured_output = captured_output,
        .notifications_taken = notifications_taken,
    };
    std::string difference = prepared_run_difference(harness, script.c_str());
    if (!difference.empty()) {
        std::fprintf(stderr, "%s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
