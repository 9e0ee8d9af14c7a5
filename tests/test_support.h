// Shared helpers of the engine tests: a fresh library for every test, script runs with their
// standard output captured, and the store described as text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "store_description.h"

struct ScriptRun {
    int32_t result;
    int32_t error_line;
    std::string output;
};

// Runs `script` through run_parser and captures what it writes to standard output.
ScriptRun run_script(const char* script);

// Counts the change notifications posted to the registered window: a datagram socket on POSIX, a
// message-only window of the calling thread on Windows.
class NotificationCounter {
public:
    NotificationCounter();
    ~NotificationCounter();
    // The notifications received since the last call.
    int take();

private:
#ifdef _WIN32
    void* window;  // HWND
#else
    int sockets[2];
#endif
};

#ifdef _WIN32
// The handle of a message-only window that has been destroyed.
void* destroyed_window();
#endif

// Discards standard output (the trace lines of very long runs) while it lives.
class SilencedOutput {
public:
    SilencedOutput();
    ~SilencedOutput();

private:
    int saved;
};

// The text my_parse gives for `text`, freed with my_free.
std::string substituted(const char* text);

// A parameterised case's name from its row's name: letters and digits as they are, every other
// run of characters one underscore ("a NULL text, read as empty" gives a_NULL_text_read_as_empty).
std::string case_name(std::string_view name);

// The name generator of INSTANTIATE_TEST_SUITE_P for rows with a `name`, so that a failure says
// which row failed.
inline constexpr auto row_name = [](const auto& info) { return case_name(info.param.name); };

// Milliseconds that `call` takes.
long long milliseconds_taken(const std::function<void()>& call);

// Every test starts with an initialised library and ends with a closed one, with the calling
// thread holding the store lock as often as before.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// An EngineTest whose thread holds the store lock throughout, for tests that call the store's
// functions, or the scanner that looks names up in it, directly.
class LockedEngineTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;
};
