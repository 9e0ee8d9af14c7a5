// Eight threads call every exported function at once. Each thread owns a few names whose values
// it predicts exactly; a call may fail only by timing out on the lock, which takes a second. The
// shared traffic runs by turns as a text and as one prepared script that all threads run.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "regscript.h"
#include "regscript_ext.h"
#include "test_support.h"

namespace {

constexpr int thread_count = 8;
constexpr int rounds = 1000;
constexpr const char* shared_traffic = "shared = shared + 1; string other; delete other;";

// True when `call` gave its failure value only because it waited out the lock.
template <typename Call>
bool succeeded(Call call) {
    bool ok = false;
    long long waited = milliseconds_taken([&] { ok = call(); });
    if (!ok) {
        EXPECT_GE(waited, 900) << "failed without waiting for the lock";
    }
    return ok;
}

// One thread's work: its own counter, text and scratch double, plus shared traffic.
void exercise(int id, regscript_script* shared_script) {
    // A name's digits must come last: "count7" is one identifier, "t7_count" two.
    const std::string counter = "count" + std::to_string(id), text = "text" + std::to_string(id),
                      scratch = "scratch" + std::to_string(id);
    const std::string increment = counter + " = " + counter + " + 1;";
    int32_t expected = 0;
    ASSERT_TRUE(succeeded([&] { return set_int_variable(counter.c_str(), 0) == 0; }));
    for (int round = 0; round < rounds; ++round) {
        int32_t line = -5;
        if (succeeded([&] { return run_parser(increment.c_str(), &line) == expected + 1 && line == 0; })) ++expected;
        if (succeeded([&] { return set_int_variable(counter.c_str(), expected + 10) == 0; })) expected += 10;
        succeeded([&] { return get_int_variable(counter.c_str()) == expected; });

        const std::string value = "v" + std::to_string(round);
        char buffer[16];
        if (succeeded([&] { return set_string_variable(text.c_str(), value.c_str()) == 0; })) {
            succeeded([&] { return get_string_variable(text.c_str(), buffer, sizeof buffer) == 0 && value == buffer; });
        }
        succeeded([&] { return set_double_variable(scratch.c_str(), round) == 0; });
        delete_variable(scratch.c_str());

        succeeded([&] {
            char* expanded = my_parse(("[" + counter + "]").c_str());
            bool right = std::to_string(expected) == expanded;
            my_free(expanded);
            return right;
        });
        succeeded([&] {
            if (open_list_variables() != 0) return false;
            char name[32];
            int32_t listed = 0;
            bool found = false;
            while (get_next_int_variable(name, sizeof name, &listed) == 0) found |= counter == name && listed == expected;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            close_list_variables();
            return found;
        });
        if (round % 2) {
            regscript_run_prepared(shared_script, &line);
        } else {
            run_parser(shared_traffic, &line);
        }
        get_variable_type("shared");
    }
    EXPECT_EQ(get_int_variable(counter.c_str()), expected);
}

using StressTest = EngineTest;

TEST_F(StressTest, EightThreadsKeepEveryValueExact) {
    SilencedOutput silence;
    regscript_script* shared_script = regscript_prepare(shared_traffic);
    ASSERT_NE(shared_script, nullptr);
    std::vector<std::thread> threads;
    for (int id = 0; id < thread_count; ++id) threads.emplace_back(exercise, id, shared_script);
    for (std::thread& thread : threads) thread.join();
    regscript_free_prepared(shared_script);
    EXPECT_EQ(get_int_variable("shared"), thread_count * rounds);
}

}  // namespace
