// Fatal paths: caption and text on stderr, exit code 1.
#include <gtest/gtest.h>

#include "platform/fatal.h"
#include "platform/headless.h"

namespace {

struct Fatal : ::testing::Test {
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        headless_install(HeadlessConfig{});
    }
};

TEST_F(Fatal, CoreErrorEndsWithCodeOne) {
    EXPECT_EXIT(fatal_error("error loading resource '%s'", "bizk.dat"), ::testing::ExitedWithCode(1),
                "Core Error: error loading resource 'bizk.dat'\n");
}

TEST_F(Fatal, LineBreaksOfTheMessageStayOnOneLine) {
    EXPECT_EXIT(fatal_error("[RunC02] Unable to allocate the memory for internal LUTS.\n"),
                ::testing::ExitedWithCode(1),
                "Core Error: \\[RunC02\\] Unable to allocate the memory for internal LUTS\\.\n$");
}

TEST_F(Fatal, CheckFatalPassesZeroAndReportsAnythingElse) {
    check_fatal(0, "Error creating direct draw object");
    EXPECT_EXIT(check_fatal(-5, "Could not set mode %d x %d x 8", 640, 480),
                ::testing::ExitedWithCode(1), "Error: Could not set mode 640 x 480 x 8");
}

}  // namespace
