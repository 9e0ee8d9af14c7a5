// A prepared script runs exactly as its text does: every script of the language tables, from a
// fresh store and the row's setup.
#include <cstdio>
#include <string>

#include "prepared_comparison.h"
#include "regscript.h"
#include "regscript_ext.h"
#include "script_cases.h"

TEST_P(Scripts, PreparedRunsAsItsText) {
    const ScriptCase& row = GetParam();
    NotificationCounter notifications;
    const RunHarness harness{
        .start =
            [&row] {
                deinit_registers();
                init_registers();
                run_script(row.setup);
            },
        .captured_output =
            [](const std::function<void()>& run) {
                testing::internal::CaptureStdout();
                run();
                std::fflush(stdout);
                return testing::internal::GetCapturedStdout();
            },
        .notifications_taken = [&notifications] { return notifications.take(); },
    };
    EXPECT_EQ(prepared_run_difference(harness, row.script), "");
}

namespace {

// An output function that changes the store's shape as the second line arrives: it deletes `b`
// and makes `c` a double, as a host may from inside a run.
struct ShapeChangingOutput {
    std::string received;
    int lines = 0;
};

void REGSCRIPT_STDCALL change_shape_on_second_line(const char* text, int32_t length, void* context) {
    auto& output = *static_cast<ShapeChangingOutput*>(context);
    output.received.append(text, static_cast<std::size_t>(length));
    if (++output.lines == 2) {
        delete_variable("b");
        set_double_variable("c", 0.5);
    }
}

}  // namespace

// The store changes under compiled code between two statements: the text takes over from the
// next statement with the scanner as the whole text's run would have it, up to a syntax error
// whose message reads the tokens before it.
TEST_F(EngineTest, PreparedRunGoesOnAsTextWhenTheOutputFunctionChangesTheStore) {
    ShapeChangingOutput output;
    NotificationCounter notifications;
    const RunHarness harness{
        .start =
            [] {
                deinit_registers();
                init_registers();
                run_script("a = 1; b = 2; c = 3;");
            },
        .captured_output =
            [&output](const std::function<void()>& run) {
                output = {};
                regscript_set_output_function(change_shape_on_second_line, &output);
                run();
                regscript_set_output_function(nullptr, nullptr);
                return output.received;
            },
        .notifications_taken = [&notifications] { return notifications.take(); },
    };
    for (const char* script : {"a = a + 1; a = a * 2; b = b + 1; c = c + 1;\n a = (a +;", "a = 1; b = 2;\nc = c + a"}) {
        EXPECT_EQ(prepared_run_difference(harness, script), "") << script;
    }
}
