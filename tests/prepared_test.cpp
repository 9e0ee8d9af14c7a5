// A prepared script runs exactly as its text does: every script of the language tables, from a
// fresh store and the row's setup.
#include <cstdio>

#include "prepared_comparison.h"
#include "regscript.h"
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
