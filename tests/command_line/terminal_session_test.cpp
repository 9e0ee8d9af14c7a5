// The host started with no arguments on a terminal: it opens an interactive session by itself,
// with line editing. The terminal is a pseudo-terminal; the line editor echoes the keys and
// redraws lines, so a transcript is checked for what the host wrote, in order, among that.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "process.h"
#include "script_cases.h"

namespace {

constexpr int reply_timeout_ms = 20000;
const std::string prompt = "regscript> ";
const std::string continuation_prompt = "      ...> ";

// Canonical line input with echo, as a terminal starts (the line editor edits only then), and
// Ctrl-D as end of input; output passed as written.
termios plain_terminal() {
    termios settings{};
    settings.c_iflag = ICRNL;
    settings.c_cflag = CS8 | CREAD;
    settings.c_lflag = ICANON | ISIG | ECHO;
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
    // `home` holds the history file.
    explicit TerminalSession(const std::string& home) {
        termios settings = plain_terminal();
        child_ = forkpty(&terminal_, nullptr, &settings, nullptr);
        if (child_ == 0) {
            const std::string home_variable = "HOME=" + home;
            char* const environment[] = {const_cast<char*>(home_variable.c_str()), const_cast<char*>("TERM=xterm"),
                                         nullptr};
            execle(REGSCRIPT_HOST, REGSCRIPT_HOST, static_cast<char*>(nullptr), environment);
            _exit(127);
        }
    }
    ~TerminalSession() {
        if (terminal_ >= 0) close(terminal_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return child_ > 0; }

    // Reads until the transcript ends with a prompt written after the last keys typed; false on a
    // timeout or the end of the output.
    bool read_until_prompt() {
        while (transcript_.size() <= typed_at_ ||
               (!transcript_.ends_with(prompt) && !transcript_.ends_with(continuation_prompt))) {
            if (!read_some()) return false;
        }
        return true;
    }

    // Types `keys` once the line editor has switched the terminal to its own, character-wise
    // mode: keys typed before then reach a terminal that still buffers lines.
    void type(const std::string& keys) {
        ASSERT_TRUE(wait_for_editor());
        typed_at_ = transcript_.size();
        ASSERT_EQ(write(terminal_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads to the end of the output and waits for the host's exit status; -1 when it hangs.
    int finish() {
        while (read_some()) {
        }
        int status = 0;
        if (waitpid(child_, &status, WNOHANG) == 0) {
            kill(child_, SIGKILL);
            waitpid(child_, &status, 0);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& transcript() const { return transcript_; }

private:
    bool wait_for_editor() const {
        for (int waited_ms = 0; waited_ms < reply_timeout_ms; ++waited_ms) {
            termios settings{};
            if (tcgetattr(terminal_, &settings) != 0) return false;
            if ((settings.c_lflag & ICANON) == 0) return true;
            usleep(1000);
        }
        return false;
    }

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
    std::size_t typed_at_ = 0;
    pid_t child_ = -1;
    std::string transcript_;
};

struct Session {
    const char* label;
    std::vector<std::string> keys;    // each typed after a prompt; "\x03" is Ctrl-C, "\x04" Ctrl-D
    std::vector<std::string> shown;   // what the transcript shows after the banner, in this order
    std::vector<std::string> earlier_keys = {};  // typed in a session before, with the same home
    bool history_is_a_link = false;  // ~/.regscript_history links to a file that must stay as it is
};

void PrintTo(const Session& row, std::ostream* out) { *out << row.label; }

class TerminalSessions : public testing::TestWithParam<Session> {};

std::string session_name(const testing::TestParamInfo<Session>& row) { return row.param.label; }

// Types each of `keys` at a prompt, then waits for the end of the session.
void type_session(TerminalSession& session, const std::vector<std::string>& keys) {
    ASSERT_TRUE(session.started());
    for (const std::string& key : keys) {
        ASSERT_TRUE(session.read_until_prompt()) << session.transcript();
        session.type(key);
    }
    EXPECT_EQ(session.finish(), 0);
}

TEST_P(TerminalSessions, ShowTheExpectedTranscript) {
    const Session& row = GetParam();
    ScratchDirectory home;
    if (!row.earlier_keys.empty()) {
        TerminalSession earlier(home.path());
        type_session(earlier, row.earlier_keys);
    }
    const std::filesystem::path history = std::filesystem::path(home.path()) / ".regscript_history";
    if (row.history_is_a_link) {
        home.write("linked", "kept\n");
        std::filesystem::create_symlink("linked", history);
    }
    TerminalSession session(home.path());
    type_session(session, row.keys);
    if (row.history_is_a_link) {
        EXPECT_TRUE(std::filesystem::is_symlink(history));
        EXPECT_NE(session.transcript().find("is not a regular file; the history is neither read nor saved"),
                  std::string::npos);
        std::ifstream linked(std::filesystem::path(home.path()) / "linked");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(linked), {}), "kept\n");
    }
    const std::string banner = std::string("regscript ") + REGSCRIPT_VERSION +
                               " interactive session; type :help for help, :quit to leave.\n";
    std::size_t at = session.transcript().find(banner);
    ASSERT_NE(at, std::string::npos) << session.transcript();
    for (const std::string& text : row.shown) {
        at = session.transcript().find(text, at);
        ASSERT_NE(at, std::string::npos) << "missing in order: " << text << "\nin: " << session.transcript();
        at += text.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, TerminalSessions, testing::Values(
    Session{"EndOfInput", {"x = 6 * 7;\n", ":vars\n", "1 1;\n", "\x04"},
            {I(42) + "result: 42\n", "int x = 42\n", parse_error + "<input>:1:3: error: `;` expected before `1`\n1 1;\n  ^\n" +
             prompt}},
    Session{"Quit", {"string s; s = \"hi\" + \"!\";\n", ":expand <[s]>\n", ":quit\n"},
            {I(1) + S("hi!") + "result: 0\n", "<hi!>\n"}},
    Session{"AStatementOverTwoLines", {"x = (1 +\n", "2);\n", "\x04"}, {continuation_prompt, I(3) + "result: 3\n"}},
    Session{"UpArrowRecallsTheLastInput", {"x = 5;\n", "x = x + 1;\n", "\x1b[A\n", "\x04"},
            {I(5), I(6), I(7) + "result: 7\n"}},
    Session{"HistoryOutlivesTheSession", {"\x1b[A\n", "\x04"}, {I(9) + "result: 9\n"}, {"x = 9;\n", "\x04"}},
    Session{"CtrlCCancelsTheInputAndKeepsTheVariables", {"x = 4;\n", "y = (x +\n", "\x03", "x;\n", "\x04"},
            {I(4) + "result: 4\n", continuation_prompt, prompt, I(4) + "result: 4\n"}},
    Session{"AHistoryLinkIsNotWrittenThrough", {"x = 1;\n", "\x04"}, {I(1) + "result: 1\n"}, {}, true}),
    session_name);

}  // namespace
