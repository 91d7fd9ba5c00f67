// The whole show on the headless platform: start-up order, end codes, quitting.
#include <gtest/gtest.h>

#include "app/driver.h"
#include "platform/headless.h"
#include "scenes/timeline.h"

namespace {

HeadlessConfig show_config() {
    HeadlessConfig c;
    c.settings = RunSettings{false, false, 44100, 2};
    return c;
}

struct Show : ::testing::Test {
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(Show, RunsAllCuesAndEndsWithCodeZero) {
    headless_install(show_config());
    EXPECT_EQ(run_show(), 0);
    EXPECT_EQ(cue_index, CUE_COUNT - 1);
    // The last phase ends at the first test after 150000 ms.
    EXPECT_GE(headless_time_ms(), 150000.0);
    EXPECT_LT(headless_time_ms(), 150000.0 + 1000.0 / 70.0 + 1.0);
    EXPECT_GT(headless_screen().presents, 10000u);
}

TEST_F(Show, CancelInTheDialogStartsNothing) {
    HeadlessConfig c = show_config();
    c.dialog_result = -1;
    headless_install(c);
    EXPECT_EQ(run_show(), 1);
    EXPECT_FALSE(headless_screen().window_open);
    EXPECT_EQ(headless_screen().presents, 0u);
}

TEST_F(Show, AQuitAtAnyPumpEndsWithCodeOne) {
    for (int64_t pump : {0, 1, 2000, 10400}) {
        HeadlessConfig c = show_config();
        c.quit_at_pump = pump;
        headless_install(c);
        EXPECT_EXIT(run_show(), ::testing::ExitedWithCode(1), "") << "pump " << pump;
    }
}

TEST_F(Show, NoWindowIsFatal) {
    HeadlessConfig c = show_config();
    c.window_fails = true;
    headless_install(c);
    EXPECT_EXIT(run_show(), ::testing::ExitedWithCode(1), "Core Error: Error creating application window");
}

}  // namespace
