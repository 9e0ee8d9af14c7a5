#include "test_support.h"

#include <fcntl.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#endif

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "regscript.h"
#include "store_lock.h"

ScriptRun run_script(const char* script) {
    ScriptRun outcome{0, -99, ""};
    testing::internal::CaptureStdout();
    outcome.result = run_parser(script, &outcome.error_line);
    std::fflush(stdout);
    outcome.output = testing::internal::GetCapturedStdout();
    return outcome;
}

std::string substituted(const char* text) {
    char* result = my_parse(text);
    std::string copy = result;
    my_free(result);
    return copy;
}

std::string case_name(std::string_view name) {
    std::string identifier;
    bool separated = false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            separated = !identifier.empty();
            continue;
        }
        if (separated) identifier += '_';
        identifier += c;
        separated = false;
    }
    return identifier;
}

#ifdef _WIN32
namespace {

// GoogleTest captures standard output in a file that it creates and reads back in the default
// file mode. In msvcrt's text mode "\n" would be written as "\r\n" and a Ctrl-Z would end the
// reading; the tests compare bytes, so files are binary unless opened otherwise.
[[maybe_unused]] const int binary_files = (_fmode = _O_BINARY);

HWND create_message_window() {
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

}  // namespace

void* destroyed_window() {
    HWND window = create_message_window();
    EXPECT_NE(window, nullptr);
    DestroyWindow(window);
    return window;
}

NotificationCounter::NotificationCounter() : window(create_message_window()) {
    EXPECT_NE(window, nullptr);
    set_register_window(window);
}

NotificationCounter::~NotificationCounter() {
    set_register_window(nullptr);
    DestroyWindow(static_cast<HWND>(window));
}

int NotificationCounter::take() {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, static_cast<HWND>(window), REGSCRIPT_WM_VARIABLES_CHANGED,
                        REGSCRIPT_WM_VARIABLES_CHANGED, PM_REMOVE)) {
        EXPECT_EQ(message.wParam, 0u);
        EXPECT_EQ(message.lParam, 0);
        ++count;
    }
    return count;
}
#else
NotificationCounter::NotificationCounter() {
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, sockets), 0);
    set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(sockets[0])));
}

NotificationCounter::~NotificationCounter() {
    set_register_window(nullptr);
    close(sockets[0]);
    close(sockets[1]);
}

int NotificationCounter::take() {
    int count = 0;
    uint32_t message;
    while (recv(sockets[1], &message, sizeof message, MSG_DONTWAIT) == sizeof message) {
        EXPECT_EQ(message, REGSCRIPT_WM_VARIABLES_CHANGED);
        ++count;
    }
    return count;
}
#endif

SilencedOutput::SilencedOutput() : saved(dup(1)) {
    std::fflush(stdout);
#ifdef _WIN32
    int null = open("NUL", O_WRONLY);
#else
    int null = open("/dev/null", O_WRONLY);
#endif
    dup2(null, 1);
    close(null);
}

SilencedOutput::~SilencedOutput() {
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
}

long long milliseconds_taken(const std::function<void()>& call) {
    auto start = std::chrono::steady_clock::now();
    call();
    auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

void EngineTest::SetUp() { init_registers(); }

void EngineTest::TearDown() {
    EXPECT_EQ(store_lock_depth(), 0);
    deinit_registers();
}

void LockedEngineTest::SetUp() {
    EngineTest::SetUp();
    ASSERT_TRUE(store_lock_wait());
}

void LockedEngineTest::TearDown() {
    store_lock_release();
    EngineTest::TearDown();
}
