// Initialisation, reset and close, the store lock between threads, and the notifications of
// runs and resets.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform.h"
#include "regscript.h"
#include "store.h"
#include "store_lock.h"
#include "test_support.h"

namespace {

int count_builtins() {
    int count = 0;
    const StoreLockScope lock;
    for (Variable* variable = first_variable(); variable; variable = variable->next) count += variable->type == FUNCTION;
    return count;
}

// Holds the store lock on a thread of its own until it is destroyed.
class LockHolder {
public:
    LockHolder() : thread([this] {
        acquired = store_lock_wait();
        while (!done) std::this_thread::yield();
        if (acquired) store_lock_release();
    }) {
        while (!acquired) std::this_thread::yield();
    }
    ~LockHolder() {
        done = true;
        thread.join();
    }

private:
    std::atomic<bool> acquired{false}, done{false};
    std::thread thread;
};

using LifecycleTest = EngineTest;

TEST_F(LifecycleTest, WithoutTheLockEveryWaitFailsAtOnce) {
    deinit_registers();
    NotificationCounter notifications;
    int32_t error_line = 42;
    EXPECT_LT(milliseconds_taken([&] {
        EXPECT_EQ(reset_registers(), -1);
        EXPECT_EQ(run_parser("x = 1;", &error_line), 0);
    }), 500);
    EXPECT_EQ(error_line, 42);
    EXPECT_EQ(notifications.take(), 0);
    EXPECT_EQ(first_variable(), nullptr);
    init_registers();
}

TEST_F(LifecycleTest, RepeatedInitialisationLoadsTheBuiltinsAgain) {
    EXPECT_EQ(init_registers(), 0);
    EXPECT_EQ(count_builtins(), 12);
    EXPECT_EQ(run_script("sqrt(4);").result, 1);
    EXPECT_EQ(reset_registers(), 0);
    EXPECT_EQ(count_builtins(), 6);
}

TEST_F(LifecycleTest, CloseAndInitialiseAgainLeavesOnlyTheBuiltins) {
    run_script("x = 1; y = 2;");
    EXPECT_EQ(deinit_registers(), 0);
    EXPECT_EQ(first_variable(), nullptr);
    EXPECT_EQ(init_registers(), 0);
    EXPECT_EQ(count_builtins(), 6);
    EXPECT_EQ(describe_variables(), "");
}

TEST_F(LifecycleTest, RunsAndResetsNotifyOnceEach) {
    NotificationCounter notifications;
    run_script("");
    EXPECT_EQ(notifications.take(), 1);
    run_script("x = ;");
    EXPECT_EQ(notifications.take(), 1);
    EXPECT_EQ(reset_registers(), 0);
    EXPECT_EQ(notifications.take(), 1);
    set_register_window(nullptr);
    run_script("1;");
    reset_registers();
    EXPECT_EQ(notifications.take(), 0);
}

#ifdef _WIN32
TEST_F(LifecycleTest, ANotificationToADestroyedWindowIsIgnored) {
    set_register_window(destroyed_window());
    EXPECT_EQ(run_script("5;").result, 5);
    set_register_window(nullptr);
}
#else
TEST_F(LifecycleTest, ANotificationToAClosedPeerIsIgnored) {
    int sockets[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
    close(sockets[1]);
    set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(sockets[0])));
    EXPECT_EQ(run_script("5;").result, 5);
    set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(-1)));
    EXPECT_EQ(run_script("6;").result, 6);
    set_register_window(nullptr);
    close(sockets[0]);
}

// A pipe nobody reads fills up, and one whose reader has gone would raise SIGPIPE: the setters
// neither block nor end the process.
TEST_F(LifecycleTest, ANotificationPipeThatCannotTakeItIsSkipped) {
    int full[2], unread[2];
    ASSERT_EQ(pipe(full), 0);
    ASSERT_EQ(pipe(unread), 0);
    close(unread[0]);
    set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(full[1])));
    EXPECT_LT(milliseconds_taken([] {
        for (int i = 0; i < 20000; ++i) set_int_variable("n", i);
    }), 5000);
    set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(unread[1])));
    EXPECT_EQ(set_int_variable("n", 1), 0);
    set_register_window(nullptr);
    for (int fd : {full[0], full[1], unread[1]}) close(fd);
}

// An event descriptor takes only 8-byte counts: each notification adds one.
TEST_F(LifecycleTest, AnEventDescriptorCountsTheNotifications) {
    int events = eventfd(0, EFD_NONBLOCK);
    ASSERT_GE(events, 0);
    set_register_window(reinterpret_cast<void*>(static_cast<intptr_t>(events)));
    set_int_variable("n", 1);
    set_int_variable("n", 2);
    set_register_window(nullptr);
    uint64_t count = 0;
    EXPECT_EQ(read(events, &count, sizeof count), static_cast<ssize_t>(sizeof count));
    EXPECT_EQ(count, 2u);
    close(events);
}

// The child of a fork has only the thread that forked: a lock that another thread held in the
// parent is handed over at the child's first call.
using ForkedProcess = EngineTest;
TEST_F(ForkedProcess, TakesOverTheLockOfAThreadItLacks) {
    LockHolder holder;
    const pid_t child = fork();
    if (child == 0) {
        const bool works = init_registers() == 0 && set_int_variable("x", 7) == 0 && get_int_variable("x") == 7;
        _exit(works ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
#endif

TEST(ThreadIdentity, IsNeverReusedByALaterThread) {
    uint64_t first = 0, second = 0;
    std::thread([&first] { first = platform_thread_id(); }).join();
    std::thread([&second] { second = platform_thread_id(); }).join();
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_NE(second, platform_thread_id());
}

TEST_F(LifecycleTest, CallsFromOtherThreadsTimeOutWhileTheLockIsHeld) {
    NotificationCounter notifications;
    LockHolder holder;
    int32_t error_line = 42;
    long long waited = milliseconds_taken([&] { EXPECT_EQ(run_parser("x = 1;", &error_line), 0); });
    EXPECT_GE(waited, 900);
    EXPECT_LT(waited, 5000);
    EXPECT_EQ(error_line, 42);
    EXPECT_EQ(reset_registers(), -1);
    EXPECT_EQ(notifications.take(), 0);
}

// Run alone (each test is a process of its own under ctest), the lock is taken while the process
// has one thread, and given back after it started another, which must be woken, not time out.
TEST_F(LifecycleTest, AThreadStartedWhileTheLockIsHeldGetsItAtTheRelease) {
    ASSERT_TRUE(store_lock_wait());
    ASSERT_EQ(set_int_variable("x", 7), 0);
    std::atomic<int32_t> seen{0};
    long long waited = 0;
    std::thread reader([&] { waited = milliseconds_taken([&] { seen = get_int_variable("x"); }); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    store_lock_release();
    reader.join();
    EXPECT_EQ(seen, 7);
    EXPECT_LT(waited, 900);
}

TEST_F(LifecycleTest, TheHoldingThreadTakesTheLockAgain) {
    ASSERT_TRUE(store_lock_wait());
    EXPECT_EQ(run_script("7;").result, 7);
    EXPECT_EQ(reset_registers(), 0);
    EXPECT_EQ(store_lock_depth(), 1);
    store_lock_release();
    store_lock_release();  // not held any more: no effect
    EXPECT_EQ(store_lock_depth(), 0);
}

TEST_F(LifecycleTest, ClosingWhileAnotherThreadHoldsTheLockWaitsForItsRelease) {
    std::atomic<int> step{0};
    std::thread holder([&] {
        ASSERT_TRUE(store_lock_wait());
        create_variable("mine", INT_VAR);
        step = 1;
        while (step != 2) std::this_thread::yield();
        // The lock was destroyed meanwhile, but the store stays this thread's until it lets go.
        EXPECT_NE(find_variable("mine"), nullptr);
        create_variable("late", INT_VAR);
        store_lock_release();
    });
    while (step != 1) std::this_thread::yield();
    std::atomic<bool> waiter_failed{false};
    std::thread waiter([&] { waiter_failed = !store_lock_wait(); });
    long long waited = milliseconds_taken([] { EXPECT_EQ(deinit_registers(), 0); });
    EXPECT_GE(waited, 900);
    step = 2;
    holder.join();
    waiter.join();
    EXPECT_TRUE(waiter_failed);
    EXPECT_FALSE(store_lock_wait());
    init_registers();
    EXPECT_EQ(count_builtins(), 6);
    EXPECT_EQ(describe_variables(), "");
}

// While another thread holds the lock, a repeated init returns at once; after a deinit that
// timed out, an init makes a new store at once, and the old store's release leaves it alone.
TEST_F(LifecycleTest, InitialisingNeverWaitsForAHolderOfTheOldStore) {
    {
        LockHolder holder;
        EXPECT_LT(milliseconds_taken([] { EXPECT_EQ(init_registers(), 0); }), 500);
        deinit_registers();
        EXPECT_LT(milliseconds_taken([] {
            EXPECT_EQ(init_registers(), 0);
            EXPECT_EQ(set_int_variable("new", 1), 0);  // the new store has a lock of its own
        }), 500);
    }
    EXPECT_EQ(run_script("sqrt(16.0) == 4.0;").output, "* Integer statement result=1\t marlin result=1\n");
    EXPECT_EQ(count_builtins(), 6);
}

// A listing's cursor belongs to the store it walks: after a deinit that timed out and an init,
// the old store is freed by its holder, and the next get-next call finds nothing.
TEST_F(LifecycleTest, AListingCursorGoesWithItsStore) {
    set_int_variable("x", 1);
    ASSERT_EQ(get_first_variable(), 0);
    {
        LockHolder holder;
        deinit_registers();
    }
    init_registers();
    char name[8];
    int32_t value = 0;
    EXPECT_EQ(get_next_int_variable(name, sizeof name, &value), -1);
}

// A thread that ends inside a listing lets the lock go, and every other thread goes on at once.
TEST_F(LifecycleTest, AThreadThatEndsHoldingTheLockLetsItGo) {
    std::thread([] { EXPECT_EQ(open_list_variables(), 0); }).join();
    EXPECT_LT(milliseconds_taken([] { EXPECT_EQ(set_int_variable("after", 1), 0); }), 500);
}

// Plugins sharing the library: each thread initialises, runs, lists and closes, over and over.
// Every run that obtains the lock finds the built-ins, and sqrt never becomes a variable.
TEST_F(LifecycleTest, RacingLifecyclesAlwaysLeaveTheBuiltins) {
    SilencedOutput silence;
    std::atomic<int> faults{0};
    std::vector<std::thread> plugins;
    for (int t = 0; t < 3; ++t) {
        plugins.emplace_back([&faults] {
            for (int round = 0; round < 200; ++round) {
                init_registers();
                int32_t error_line = -1;
                run_parser("sqrt(16.0) == 4.0;", &error_line);
                if (error_line > 0 || get_variable_type("sqrt") != -1) ++faults;
                if (open_list_variables() == 0) close_list_variables();
                deinit_registers();
            }
        });
    }
    for (std::thread& plugin : plugins) plugin.join();
    EXPECT_EQ(faults, 0);
    init_registers();
}

}  // namespace
