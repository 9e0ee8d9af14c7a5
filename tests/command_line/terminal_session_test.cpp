// The host started with no arguments on a terminal: it opens an interactive session by itself.
// The terminal is a pseudo-terminal without echo or output translation, so that the transcript
// holds exactly what the host wrote there, standard output and error interleaved as written.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "script_cases.h"

namespace {

constexpr int reply_timeout_ms = 20000;
const std::string prompt = "regscript> ";

// Canonical line input with Ctrl-D as end of input; no echo, output passed as written.
termios plain_terminal() {
    termios settings{};
    settings.c_iflag = ICRNL;
    settings.c_cflag = CS8 | CREAD;
    settings.c_lflag = ICANON | ISIG;
    settings.c_cc[VEOF] = 4;
    settings.c_cc[VINTR] = 3;
    settings.c_cc[VMIN] = 1;
    cfsetispeed(&settings, B38400);
    cfsetospeed(&settings, B38400);
    return settings;
}

// The host on the far side of a pseudo-terminal.
class TerminalSession {
public:
    TerminalSession() {
        termios settings = plain_terminal();
        child_ = forkpty(&terminal_, nullptr, &settings, nullptr);
        if (child_ == 0) {
            execl(REGSCRIPT_HOST, REGSCRIPT_HOST, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~TerminalSession() {
        if (terminal_ >= 0) close(terminal_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return child_ > 0; }

    // Reads until the transcript ends with `text`; false on a timeout or the end of the output.
    bool read_until(const std::string& text) {
        while (!transcript_.ends_with(text)) {
            if (!read_some()) return false;
        }
        return true;
    }

    void type(const std::string& keys) {
        ASSERT_EQ(write(terminal_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads to the end of the output and waits for the host's exit status.
    int finish() {
        while (read_some()) {
        }
        int status = 0;
        waitpid(child_, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& transcript() const { return transcript_; }

private:
    bool read_some() {
        pollfd ready{terminal_, POLLIN, 0};
        if (poll(&ready, 1, reply_timeout_ms) != 1) return false;
        char block[4096];
        ssize_t count = read(terminal_, block, sizeof block);  // EIO once the host has closed the terminal
        if (count <= 0) return false;
        transcript_.append(block, static_cast<std::size_t>(count));
        return true;
    }

    int terminal_ = -1;
    pid_t child_ = -1;
    std::string transcript_;
};

struct Session {
    const char* label;
    std::vector<std::string> lines;  // each typed after a prompt; "\x04" alone is Ctrl-D
    std::string transcript;          // after the banner
};

void PrintTo(const Session& row, std::ostream* out) { *out << row.label; }

class TerminalSessions : public testing::TestWithParam<Session> {};

std::string session_name(const testing::TestParamInfo<Session>& row) { return row.param.label; }

TEST_P(TerminalSessions, ShowTheExpectedTranscript) {
    const Session& row = GetParam();
    TerminalSession session;
    ASSERT_TRUE(session.started());
    const std::string banner = std::string("regscript ") + REGSCRIPT_VERSION +
                               " interactive session; type :help for help, :quit to leave.\n";
    for (const std::string& line : row.lines) {
        ASSERT_TRUE(session.read_until(prompt)) << session.transcript();
        session.type(line);
    }
    EXPECT_EQ(session.finish(), 0);
    EXPECT_EQ(session.transcript(), banner + row.transcript);
}

INSTANTIATE_TEST_SUITE_P(Typed, TerminalSessions, testing::Values(
    Session{"EndOfInput", {"x = 6 * 7;\n", ":vars\n", "1 1;\n", "\x04"},
            prompt + I(42) + "result: 42\n" + prompt + "int x = 42\n" + prompt + parse_error + "result: 42\n" +
                "<input>:1:3: error: `;` expected before `1`\n1 1;\n  ^\n" + prompt + "\n"},
    Session{"Quit", {"string s; s = \"hi\" + \"!\";\n", ":expand <[s]>\n", ":quit\n"},
            prompt + I(1) + S("hi!") + "result: 0\n" + prompt + "<hi!>\n" + prompt}),
    session_name);

}  // namespace
