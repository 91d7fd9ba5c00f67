// The timeline: unsigned elapsed time, the phase rule, and the cue ceiling.
#include <gtest/gtest.h>

#include <vector>

#include "display/display.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "scenes/timeline.h"

namespace {

struct Timeline : ::testing::Test {
    std::vector<uint8_t> frame = std::vector<uint8_t>(FRAME_BYTES);
    void SetUp() override { install(HeadlessConfig{}); }
    void install(HeadlessConfig c) {
        c.frame_ms = 10.0;
        headless_install(c);
        screen_frame = frame.data();
    }
};

TEST_F(Timeline, ElapsedTimeSurvivesTheTickCounterWrapping) {
    HeadlessConfig c;
    c.first_tick = 0xFFFFFF00u;  // wraps 256 ms into the show
    install(c);
    cue_index = 0;
    start_ticks = platform.sys->ticks();
    int frames = 0;
    while (cue_running()) {
        pump_messages();
        ++frames;
    }
    // 3220 ms at 10 ms a pump: the phase ends at the first test after its end time.
    EXPECT_EQ(frames, 322);
}

TEST_F(Timeline, ComparesUnsignedAtTheExactEndTime) {
    cue_index = 0;
    start_ticks = platform.sys->ticks() - 3219u;
    EXPECT_TRUE(cue_running());
    start_ticks = platform.sys->ticks() - 3220u;
    EXPECT_FALSE(cue_running());
}

// Phases as every scene writes them: open the next cue, then draw and pump while it runs.
void timed_phases(int cues) {
    for (int i = 0; i < cues; ++i) {
        ++cue_index;
        while (cue_running()) {
            present_frame(screen_frame);
            pump_messages();
        }
    }
}

TEST_F(Timeline, ALatePhaseDrawsNothingAndTheNextStartsAtOnce) {
    const uint64_t presents_before = headless_screen().presents;
    auto presents = [&] { return headless_screen().presents - presents_before; };
    cue_index = 0;
    // The clock already stands past cues 1 and 2 when they begin.
    start_ticks = platform.sys->ticks() - 12000u;
    timed_phases(2);
    EXPECT_EQ(cue_index, 2);
    EXPECT_EQ(presents(), 0u);
    timed_phases(1);  // cue 3 ends at 15000: 300 frames of 10 ms
    EXPECT_EQ(cue_index, 3);
    EXPECT_EQ(presents(), 300u);
}

TEST_F(Timeline, NothingRunsPastTheLastCue) {
    start_ticks = platform.sys->ticks();
    cue_index = CUE_COUNT;  // a scene that advanced once too often
    EXPECT_FALSE(cue_running());
    cue_index = -1;
    EXPECT_FALSE(cue_running());
}

TEST(CueTable, RisesToTheEndOfTheShow) {
    for (int i = 1; i < CUE_COUNT; ++i) EXPECT_LT(cue_table[i - 1], cue_table[i]) << i;
    EXPECT_EQ(cue_table[0], 3220u);
    EXPECT_EQ(cue_table[6], 34200u);
    EXPECT_EQ(cue_table[CUE_COUNT - 1], 150000u);
}

}  // namespace
