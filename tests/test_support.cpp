#include "test_support.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "regscript.h"
#include "store.h"
#include "store_lock.h"

RunOutcome run_script(const char* script) {
    RunOutcome outcome{0, -99, ""};
    testing::internal::CaptureStdout();
    outcome.result = run_parser(script, &outcome.error_line);
    std::fflush(stdout);
    outcome.output = testing::internal::GetCapturedStdout();
    return outcome;
}

std::string describe_variables() {
    std::string text;
    char number[64];
    for (const Variable* variable = first_variable(); variable; variable = variable->next) {
        switch (variable->type) {
            case INT_VAR:
                std::snprintf(number, sizeof number, "%d", variable->value.integer);
                text += std::string("int ") + variable->name + "=" + number;
                break;
            case DOUBLE_VAR:
                std::snprintf(number, sizeof number, "%g", variable->value.number);
                text += std::string("double ") + variable->name + "=" + number;
                break;
            case STRING_VAR:
                text += std::string("string ") + variable->name + "=" +
                        (variable->value.text ? "\"" + std::string(variable->value.text) + "\"" : "none");
                break;
            default:
                continue;
        }
        text += ", ";
    }
    if (!text.empty()) text.resize(text.size() - 2);
    return text;
}

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
