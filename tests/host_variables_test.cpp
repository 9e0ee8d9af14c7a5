// The host's variable functions and the listing: results, host buffers, the lock's failure
// values, the change notification, and listings that other calls run into.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <initializer_list>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "regscript.h"
#include "store_lock.h"
#include "test_support.h"

namespace {

// One host call and the text its outcome is expected to give.
struct HostCall {
    const char* name;
    std::function<std::string()> call;
    std::string expected;
};

void PrintTo(const HostCall& row, std::ostream* out) { *out << row.name; }

const std::string base_store = "string s=\"abc\", double d=2.5, int n=5";

// The store of every test below: s, d and n, newest first, then the built-ins.
class HostVariables : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        set_int_variable("n", 5);
        set_double_variable("d", 2.5);
        set_string_variable("s", "abc");
    }
};

class HostCalls : public HostVariables, public testing::WithParamInterface<HostCall> {};

TEST_P(HostCalls, GiveTheExpectedOutcome) { EXPECT_EQ(GetParam().call(), GetParam().expected); }

std::string text_of(int32_t value) { return std::to_string(value); }

std::string text_of(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The parts joined by " | ". A braced list is evaluated left to right, so the calls that make
// the parts happen in the order written.
std::string joined(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (&part != parts.begin()) text += " | ";
        text += part;
    }
    return text;
}

// A setter's result and the store afterwards.
std::string after(int32_t result) { return joined({text_of(result), describe_variables()}); }

// "result:text"; the buffer starts out full of 'x', so a failure must empty it.
std::string string_variable(const char* name) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    int32_t result = get_string_variable(name, buffer, sizeof buffer);
    return text_of(result) + ":" + std::string(buffer, strnlen(buffer, sizeof buffer));
}

// A built-in still works when a script can call it.
std::string builtin_call_error_line() { return text_of(run_script("sin(0.0);").error_line); }

// One get-next call as "name=value", or "end" when it returns -1.
template <typename Value>
std::string next_number(int32_t(REGSCRIPT_STDCALL* get_next)(char*, int32_t, Value*)) {
    char name[32];
    Value value{};
    if (get_next(name, sizeof name, &value) != 0) return "end";
    return name + ("=" + text_of(value));
}

std::string next_int() { return next_number(get_next_int_variable); }
std::string next_double() { return next_number(get_next_double_variable); }

std::string next_string() {
    char name[32];
    char value[32];
    if (get_next_string_variable(name, sizeof name, value, sizeof value) != 0) return "end";
    return name + ("=" + std::string(value));
}

// Get-next calls up to the end and one more, which must end again.
std::string walk(std::string (*next)()) {
    std::string text;
    for (int calls = 0; calls < 100; ++calls) {
        std::string item = next();
        text += item + " ";
        if (item == "end") return text + next();
    }
    return text + "...";
}

std::string walk_from_first(std::string (*next)()) {
    get_first_variable();
    return walk(next);
}

// A listing of the calling thread for one scope.
struct Listing {
    Listing() { EXPECT_EQ(open_list_variables(), 0); }
    ~Listing() { close_list_variables(); }
};

// A listing held by a second thread for as long as the object lives.
class ListingOnAnotherThread {
public:
    ListingOnAnotherThread() {
        holder = std::thread([this] {
            opened.set_value(open_list_variables());
            finish.get_future().wait();
            close_list_variables();
        });
        EXPECT_EQ(opened.get_future().get(), 0);
    }
    ~ListingOnAnotherThread() {
        finish.set_value();
        holder.join();
    }

private:
    std::promise<int32_t> opened;
    std::promise<void> finish;
    std::thread holder;
};

INSTANTIATE_TEST_SUITE_P(Reads, HostCalls, testing::Values(
    HostCall{.name = "types",
             .call = [] {
                 return joined({text_of(get_variable_type("n")), text_of(get_variable_type("d")),
                                text_of(get_variable_type("s"))});
             },
             .expected = "1 | 2 | 3"},
    HostCall{.name = "type of a built-in", .call = [] { return text_of(get_variable_type("sin")); }, .expected = "-1"},
    HostCall{.name = "type of an unknown name",
             .call = [] { return text_of(get_variable_type("N")); }, .expected = "-1"},
    HostCall{.name = "type of a NULL name",
             .call = [] { return text_of(get_variable_type(nullptr)); }, .expected = "-1"},
    HostCall{.name = "integer", .call = [] { return text_of(get_int_variable("n")); }, .expected = "5"},
    HostCall{.name = "string into the buffer holding its name",
             .call = [] {
                 char buffer[8] = "s";
                 return text_of(get_string_variable(buffer, buffer, sizeof buffer)) + ":" + buffer;
             },
             .expected = "0:abc"},
    HostCall{.name = "integer of another kind", .call = [] { return text_of(get_int_variable("d")); }, .expected = "0"},
    HostCall{.name = "integer of a NULL name",
             .call = [] { return text_of(get_int_variable(nullptr)); }, .expected = "0"},
    HostCall{.name = "double", .call = [] { return text_of(get_double_variable("d")); }, .expected = "2.5"},
    HostCall{.name = "double of another kind",
             .call = [] { return text_of(get_double_variable("n")); }, .expected = "0"},
    HostCall{.name = "string", .call = [] { return string_variable("s"); }, .expected = "0:abc"},
    HostCall{.name = "string of another kind", .call = [] { return string_variable("n"); }, .expected = "-1:"},
    HostCall{.name = "string of a built-in", .call = [] { return string_variable("sin"); }, .expected = "-1:"},
    HostCall{.name = "length of a string",
             .call = [] { return text_of(get_string_variable("s", nullptr, 0)); }, .expected = "3"}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Writes, HostCalls, testing::Values(
    HostCall{.name = "creates each kind",
             .call = [] {
                 return joined({text_of(set_int_variable("i", -7)), text_of(set_double_variable("x", 0.25)),
                                after(set_string_variable("t", "t"))});
             },
             .expected = "0 | 0 | 0 | string t=\"t\", double x=0.25, int i=-7, " + base_store},
    HostCall{.name = "overwrites each kind",
             .call = [] {
                 return joined({text_of(set_int_variable("n", 9)), text_of(set_double_variable("d", -1.5)),
                                after(set_string_variable("s", ""))});
             },
             .expected = "0 | 0 | 0 | string s=\"\", double d=-1.5, int n=9"},
    HostCall{.name = "refuses another kind",
             .call = [] {
                 return joined({text_of(set_int_variable("s", 1)), text_of(set_double_variable("n", 1.0)),
                                after(set_string_variable("d", "t"))});
             },
             .expected = "-1 | -1 | -1 | " + base_store},
    HostCall{.name = "refuses a built-in",
             .call = [] {
                 return joined({text_of(set_int_variable("sin", 1)), after(set_string_variable("sin", "t")),
                                builtin_call_error_line()});
             },
             .expected = "-1 | -1 | " + base_store + " | 0"},
    HostCall{.name = "refuses a NULL name",
             .call = [] { return after(set_int_variable(nullptr, 1)); }, .expected = "-1 | " + base_store},
    HostCall{.name = "a NULL text leaves no text, read as empty",
             .call = [] {
                 return joined({after(set_string_variable("s", nullptr)), string_variable("s"),
                                text_of(get_string_variable("s", nullptr, 0))});
             },
             .expected = "0 | string s=none, double d=2.5, int n=5 | 0: | 0"},
    HostCall{.name = "a name with blanks",
             .call = [] { return joined({after(set_int_variable(" a b ", 3)), text_of(get_int_variable(" a b "))}); },
             .expected = "0 | int  a b =3, " + base_store + " | 3"},
    HostCall{.name = "the empty name",
             .call = [] { return joined({after(set_double_variable("", 0.5)), text_of(get_double_variable(""))}); },
             .expected = "0 | double =0.5, " + base_store + " | 0.5"},
    HostCall{.name = "a name of one megabyte",
             .call = [] {
                 std::string name(1 << 20, 'v');
                 return joined({text_of(set_int_variable(name.c_str(), 4)),
                                text_of(get_int_variable(name.c_str())),
                                text_of(get_int_variable(name.substr(1).c_str()))});
             },
             .expected = "0 | 4 | 0"}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Deletes, HostCalls, testing::Values(
    HostCall{.name = "removes a variable",
             .call = [] {
                 delete_variable("d");
                 return describe_variables();
             },
             .expected = "string s=\"abc\", int n=5"},
    HostCall{.name = "never removes a built-in",
             .call = [] {
                 delete_variable("sin");
                 return joined({builtin_call_error_line(), describe_variables()});
             },
             .expected = "0 | " + base_store},
    HostCall{.name = "ignores an unknown name",
             .call = [] {
                 delete_variable("x");
                 delete_variable(nullptr);
                 return describe_variables();
             },
             .expected = base_store}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Listing, HostCalls, testing::Values(
    HostCall{.name = "every kind newest first, restarted",
             .call = [] {
                 set_int_variable("m", -3);
                 set_double_variable("e", -0.5);
                 set_string_variable("t", "xyz");
                 set_string_variable("u", nullptr);
                 Listing listing;
                 return joined({walk(next_int), walk_from_first(next_double), walk_from_first(next_string)});
             },
             .expected = "m=-3 n=5 end end | e=-0.5 d=2.5 end end | u= t=xyz s=abc end end"},
    HostCall{.name = "another kind needs a restart",
             .call = [] {
                 Listing listing;
                 return joined({walk(next_int), walk(next_double)});
             },
             .expected = "n=5 end end | end end"},
    HostCall{.name = "a measured string comes again",
             .call = [] {
                 Listing listing;
                 char name[8];
                 char value[8];
                 return joined({text_of(get_next_string_variable(name, sizeof name, nullptr, 8)), name,
                                text_of(get_next_string_variable(name, sizeof name, value, 0)), name,
                                walk(next_string)});
             },
             .expected = "3 | s | 3 | s | s=abc end end"},
    HostCall{.name = "NULL buffers and value pointers still move on",
             .call = [] {
                 Listing listing;
                 return joined({text_of(get_next_double_variable(nullptr, 8, nullptr)),
                                text_of(get_next_int_variable(nullptr, 8, nullptr)), walk(next_int)});
             },
             .expected = "0 | 0 | end end"},
    HostCall{.name = "a variable created meanwhile waits for a restart",
             .call = [] {
                 set_int_variable("m", -3);
                 Listing listing;
                 return joined({next_int(), text_of(set_int_variable("new", 1)), walk(next_int),
                                walk_from_first(next_int)});
             },
             .expected = "m=-3 | 0 | n=5 end end | new=1 m=-3 n=5 end end"},
    HostCall{.name = "removing the variable under the cursor moves it on",
             .call = [] {
                 Listing listing;
                 delete_variable("s");
                 return joined({next_double(), describe_variables()});
             },
             .expected = "d=2.5 | double d=2.5, int n=5"},
    HostCall{.name = "a script deleting the variable under the cursor",
             .call = [] {
                 Listing listing;
                 return joined(
                     {text_of(run_script("delete s;").error_line), next_double(), describe_variables()});
             },
             .expected = "0 | d=2.5 | double d=2.5, int n=5"},
    HostCall{.name = "a reset under the cursor",
             .call = [] {
                 Listing listing;
                 return joined({next_int(), text_of(reset_registers()), next_int(),
                                walk_from_first(next_int), describe_variables()});
             },
             .expected = "n=5 | 0 | end | end end | "},
    HostCall{.name = "every call works inside the listing",
             .call = [] {
                 Listing listing;
                 return joined({text_of(set_int_variable("x", 1)), text_of(get_int_variable("x")),
                                text_of(get_variable_type("s")), string_variable("s"), substituted("[x][n]"),
                                text_of(run_script("x = 2;").error_line), next_int(), describe_variables()});
             },
             .expected = "0 | 1 | 3 | 0:abc | 15 | 0 | n=5 | int x=2, " + base_store},
    HostCall{.name = "get-next calls outside a listing",
             .call = [] { return joined({text_of(get_first_variable()), walk(next_string)}); },
             .expected = "0 | s=abc end end"},
    HostCall{.name = "close without open",
             .call = [] { return joined({text_of(close_list_variables()), text_of(store_lock_depth())}); },
             .expected = "0 | 0"}),
    row_name);

// What every call returns when it cannot have the lock.
const std::vector<HostCall> failing_calls = {
    {.name = "get_variable_type", .call = [] { return text_of(get_variable_type("n")); }, .expected = "-1"},
    {.name = "get_int_variable", .call = [] { return text_of(get_int_variable("n")); }, .expected = "0"},
    {.name = "get_double_variable", .call = [] { return text_of(get_double_variable("d")); }, .expected = "0"},
    {.name = "get_string_variable", .call = [] { return string_variable("s"); }, .expected = "-1:"},
    {.name = "set_int_variable", .call = [] { return text_of(set_int_variable("n", 1)); }, .expected = "-1"},
    {.name = "set_double_variable", .call = [] { return text_of(set_double_variable("d", 1.0)); }, .expected = "-1"},
    {.name = "set_string_variable", .call = [] { return text_of(set_string_variable("s", "t")); }, .expected = "-1"},
    {.name = "reset_registers", .call = [] { return text_of(reset_registers()); }, .expected = "-1"},
    {.name = "run_parser",
     .call = [] {
         int32_t error_line = 77;
         return joined({text_of(run_parser("1 1;", &error_line)), text_of(error_line)});
     },
     .expected = "0 | 77"},
    {.name = "open_list_variables", .call = [] { return text_of(open_list_variables()); }, .expected = "-1"},
    {.name = "get_first_variable", .call = [] { return text_of(get_first_variable()); }, .expected = "-1"},
    {.name = "get_next_int_variable", .call = [] { return next_int(); }, .expected = "end"},
    {.name = "get_next_double_variable", .call = [] { return next_double(); }, .expected = "end"},
    {.name = "get_next_string_variable", .call = [] { return next_string(); }, .expected = "end"},
    {.name = "my_parse", .call = [] { return substituted("[n]"); }, .expected = "[n]"},
};

TEST_F(HostVariables, CallsFailAtOnceWithoutTheLock) {
    deinit_registers();
    for (const HostCall& row : failing_calls) EXPECT_EQ(row.call(), row.expected) << row.name;
    EXPECT_EQ(close_list_variables(), 0);
    init_registers();
    EXPECT_EQ(describe_variables(), "");
}

// All calls wait side by side, so the test takes about one second.
TEST_F(HostVariables, CallsFromAnotherThreadFailAfterAboutOneSecondOfAListing) {
    Listing listing;
    std::vector<std::string> results(failing_calls.size());
    std::vector<std::chrono::milliseconds> waited(failing_calls.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < failing_calls.size(); ++i) {
        threads.emplace_back([&, i] {
            auto start = std::chrono::steady_clock::now();
            results[i] = failing_calls[i].call();
            auto elapsed = std::chrono::steady_clock::now() - start;
            waited[i] = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (size_t i = 0; i < failing_calls.size(); ++i) {
        EXPECT_EQ(results[i], failing_calls[i].expected) << failing_calls[i].name;
        EXPECT_GE(waited[i].count(), 900) << failing_calls[i].name;
        EXPECT_LE(waited[i].count(), 5000) << failing_calls[i].name;
    }
    EXPECT_EQ(describe_variables(), base_store);
    EXPECT_EQ(next_int(), "n=5");
}

// The walk ends, but the lock stays with the listing's thread, which alone can release it.
TEST_F(HostVariables, CloseOnAnotherThreadEndsTheWalk) {
    Listing listing;
    int32_t result = -1;
    std::thread([&result] { result = close_list_variables(); }).join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(store_lock_depth(), 1);
    EXPECT_EQ(next_int(), "end");
}

// Strings handed out into host buffers follow the strncpy rule and never write past `size`.
struct BufferCase {
    const char* name;
    const char* text;
    int32_t size;
    bool null_buffer = false;
    int32_t length_result = 0;  // what a call that measures returns; otherwise 0
    std::string written;
};

void PrintTo(const BufferCase& row, std::ostream* out) { *out << row.name; }

// One way of handing a text out: it returns the call's result.
struct BufferReader {
    const char* name;
    int32_t (*read)(const char* text, char* buffer, int32_t size);
    bool measures;  // a missing buffer makes it return the length
};

void PrintTo(const BufferReader& reader, std::ostream* out) { *out << reader.name; }

const BufferReader buffer_readers[] = {
    {.name = "string variable",
     .read = [](const char* text, char* buffer, int32_t size) {
         set_string_variable("v", text);
         return get_string_variable("v", buffer, size);
     },
     .measures = true},
    {.name = "listed string",
     .read = [](const char* text, char* buffer, int32_t size) {
         set_string_variable("v", text);
         Listing listing;
         char name[8];
         return get_next_string_variable(name, sizeof name, buffer, size);
     },
     .measures = true},
    {.name = "listed name",
     .read = [](const char* text, char* buffer, int32_t size) {
         set_double_variable(text, 1.0);
         Listing listing;
         double value = 0.0;
         return get_next_double_variable(buffer, size, &value);
     },
     .measures = false},
};

const BufferCase buffer_cases[] = {
    {.name = "shorter text, rest NUL-filled", .text = "abc", .size = 6, .written = std::string("abc\0\0\0", 6)},
    {.name = "room for the terminator exactly", .text = "abc", .size = 4, .written = std::string("abc\0", 4)},
    {.name = "exact fit without terminator", .text = "abcd", .size = 4, .written = "abcd"},
    {.name = "one byte short", .text = "abcde", .size = 4, .written = "abcd"},
    {.name = "one byte", .text = "abc", .size = 1, .written = "a"},
    {.name = "empty text", .text = "", .size = 3, .written = std::string(3, '\0')},
    {.name = "size zero", .text = "abc", .size = 0, .length_result = 3, .written = ""},
    {.name = "negative size", .text = "abc", .size = -1, .length_result = 3, .written = ""},
    {.name = "most negative size", .text = "abcd", .size = INT32_MIN, .length_result = 4, .written = ""},
    {.name = "NULL buffer", .text = "abcd", .size = 8, .null_buffer = true, .length_result = 4, .written = ""},
};

class HostBuffers : public EngineTest,
                    public testing::WithParamInterface<std::tuple<BufferCase, BufferReader>> {};

TEST_P(HostBuffers, HoldExactlyTheRuleBytes) {
    const auto& [row, reader] = GetParam();
    constexpr char sentinel = 0x7E;
    char buffer[32];
    std::memset(buffer, sentinel, sizeof buffer);
    int32_t result = reader.read(row.text, row.null_buffer ? nullptr : buffer, row.size);
    EXPECT_EQ(result, reader.measures ? row.length_result : 0);
    EXPECT_EQ(std::string(buffer, row.written.size()), row.written);
    EXPECT_EQ(std::string(buffer + row.written.size(), sizeof buffer - row.written.size()),
              std::string(sizeof buffer - row.written.size(), sentinel));
}

std::string buffer_case_name(const testing::TestParamInfo<HostBuffers::ParamType>& info) {
    const auto& [row, reader] = info.param;
    return case_name(std::string(row.name) + " by " + reader.name);
}

INSTANTIATE_TEST_SUITE_P(StrncpyRule, HostBuffers,
                         testing::Combine(testing::ValuesIn(buffer_cases), testing::ValuesIn(buffer_readers)),
                         buffer_case_name);

// The call that counts the notifications `operation` posts.
std::function<std::string()> notifications_of(void (*operation)()) {
    return [operation] {
        NotificationCounter counter;
        operation();
        return text_of(counter.take());
    };
}

INSTANTIATE_TEST_SUITE_P(Notifications, HostCalls, testing::Values(
    HostCall{.name = "each setter", .call = notifications_of([] {
                 set_int_variable("n", 1);
                 set_double_variable("x", 1.0);
                 set_string_variable("s", nullptr);
             }), .expected = "3"},
    HostCall{.name = "refused setters", .call = notifications_of([] {
                 set_int_variable("s", 1);
                 set_int_variable(nullptr, 1);
             }), .expected = "2"},
    HostCall{.name = "set and delete while the lock is held elsewhere", .call = notifications_of([] {
                 ListingOnAnotherThread other;
                 set_string_variable("s", "t");
                 delete_variable("n");
             }), .expected = "2"},
    HostCall{.name = "set after deinit_registers", .call = notifications_of([] {
                 deinit_registers();
                 set_int_variable("n", 1);
                 init_registers();
             }), .expected = "1"},
    HostCall{.name = "delete after deinit_registers", .call = notifications_of([] {
                 deinit_registers();
                 delete_variable("n");
                 init_registers();
             }), .expected = "0"},
    HostCall{.name = "delete a variable", .call = notifications_of([] { delete_variable("n"); }), .expected = "1"},
    HostCall{.name = "delete a built-in", .call = notifications_of([] { delete_variable("sin"); }), .expected = "1"},
    HostCall{.name = "delete an unknown or NULL name", .call = notifications_of([] {
                 delete_variable("x");
                 delete_variable(nullptr);
             }), .expected = "0"},
    HostCall{.name = "reads, a listing and a substitution", .call = notifications_of([] {
                 get_variable_type("n");
                 get_int_variable("n");
                 get_double_variable("d");
                 get_string_variable("s", nullptr, 0);
                 substituted("[n]");
                 Listing listing;
                 walk(next_int);
                 walk_from_first(next_string);
             }), .expected = "0"},
    HostCall{.name = "reset_registers", .call = notifications_of([] { reset_registers(); }), .expected = "1"},
    HostCall{.name = "run_parser", .call = notifications_of([] { run_script("n = 2;"); }), .expected = "1"}),
    row_name);

}  // namespace
