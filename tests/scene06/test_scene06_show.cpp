// The whole of scene 6 on the headless platform: the cues it opens and when it
// returns, the frame kept for the next blend, and phases whose cue is already over.
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene06_glow_cloud.h"
#include "scenes/timeline.h"

namespace {

using GlowScene = SceneTest;

struct Record {
    std::vector<int> cue_at_pump;
    bool back_is_shown = true;  // back_frame held the frame on screen at every pump
    bool first_unrotated = false;
};

PumpWatch recorder(Record& rec) {
    return [&rec](const HeadlessScreen& s) {
        if (rec.cue_at_pump.empty())
            for (int i = 0; i < CLOUD_POINTS; ++i)
                rec.first_unrotated = (i == 0 || rec.first_unrotated) && scene06_run.rotated[i].x == scene06_run.points[i].x &&
                                      scene06_run.rotated[i].y == scene06_run.points[i].y && scene06_run.rotated[i].z == scene06_run.points[i].z;
        rec.cue_at_pump.push_back(cue_index);
        rec.back_is_shown = rec.back_is_shown && memcmp(back_frame, s.frame, FRAME_BYTES) == 0;
    };
}

TEST_F(GlowScene, OpensCuesTwelveToSixteenAndReturnsAtTheFirstPumpAfter81530) {
    Record rec;
    run_scene(6, recorder(rec));
    EXPECT_EQ(cue_index, 16);
    const uint32_t show_ms = platform.sys->ticks() - start_ticks;
    EXPECT_GE(show_ms, 81530u);
    EXPECT_LT(show_ms, 81530.0 + SHOW_FRAME_MS + 1);
    ASSERT_FALSE(rec.cue_at_pump.empty());
    EXPECT_EQ(rec.cue_at_pump.front(), 12);
    EXPECT_TRUE(std::is_sorted(rec.cue_at_pump.begin(), rec.cue_at_pump.end()));
    // The first frame is drawn at angle 0; one step per frame after that.
    EXPECT_TRUE(rec.first_unrotated);
    EXPECT_EQ(scene06_run.angle, uint8_t(rec.cue_at_pump.size()));
    EXPECT_TRUE(rec.back_is_shown);
    EXPECT_TRUE(shows(scene6_palette));
}

TEST_F(GlowScene, APhaseWhoseCueIsOverDrawsNothingButStillCountsItsCue) {
    // Cues 12 and 13 are over when the scene starts: it opens them without a frame,
    // and its first frame is phase 2's, with the angle still at 0.
    Record rec;
    show_platform(recorder(rec));
    cue_index = 11;
    start_ticks = platform.sys->ticks() - cue_table[13];
    scene_glow_cloud();
    ASSERT_FALSE(rec.cue_at_pump.empty());
    EXPECT_EQ(rec.cue_at_pump.front(), 14);
    EXPECT_EQ(cue_index, 16);
    EXPECT_TRUE(rec.first_unrotated);
}

}  // namespace
