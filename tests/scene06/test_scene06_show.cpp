// The whole of scene 6 on the headless platform: the cues it opens and when it
// returns, the unrotated first frame, phases whose cue is already over, the frame
// kept for the next blend, repeatability, and the resource size check.
#include <cstring>
#include <vector>

#include "app/timeline.h"
#include "platform/platform.h"
#include "render/blit.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene06_glow_cloud.h"

namespace {

using GlowScene = SceneTest;

struct Record {
    std::vector<int> cue_at_pump;
    std::vector<uint64_t> hashes;  // of every 50th pump's screen
    uint64_t presents = 0;
};

Record run_scene6() {
    Record rec;
    run_scene(6, [&](const HeadlessScreen& s) {
        rec.cue_at_pump.push_back(cue_index);
        if (s.pumps % 50 == 0) rec.hashes.push_back(screen_hash(s));
        rec.presents = s.presents;
    });
    return rec;
}

TEST_F(GlowScene, OpensCuesTwelveToSixteenAndReturnsAtTheFirstPumpAfter81530) {
    const uint64_t presents_before = headless_screen().presents;
    const Record rec = run_scene6();
    EXPECT_EQ(cue_index, 16);
    const uint32_t show_ms = platform.sys->ticks() - start_ticks;
    EXPECT_GE(show_ms, 81530u);
    EXPECT_LT(show_ms, 81530.0 + SHOW_FRAME_MS + 1);
    ASSERT_FALSE(rec.cue_at_pump.empty());
    EXPECT_EQ(rec.cue_at_pump.front(), 12);
    for (size_t i = 1; i < rec.cue_at_pump.size(); ++i)
        ASSERT_TRUE(rec.cue_at_pump[i] == rec.cue_at_pump[i - 1] || rec.cue_at_pump[i] == rec.cue_at_pump[i - 1] + 1);
    // One present per pump, plus the black one before the palette is set.
    EXPECT_EQ(rec.presents - presents_before, rec.cue_at_pump.size() + 1);
    // The angle went once round per 256 frames.
    EXPECT_EQ(cloud_angle, uint8_t(rec.cue_at_pump.size()));
    for (int i = 0; i < 256; ++i) ASSERT_EQ(headless_screen().rgb[i], shown_rgb(scene6_palette, i));
}

TEST_F(GlowScene, TheFirstFrameShowsTheCloudUnrotatedAndHalfOfTheBackground) {
    bool first = true;
    std::vector<uint8_t> shown;
    bool unrotated = true;
    run_scene(6, [&](const HeadlessScreen& s) {
        if (!first) return;
        first = false;
        shown.assign(s.frame, s.frame + FRAME_BYTES);
        for (int i = 0; i < CLOUD_POINTS; ++i)
            unrotated = unrotated && cloud_rotated[i].x == cloud_points[i].x &&
                        cloud_rotated[i].y == cloud_points[i].y && cloud_rotated[i].z == cloud_points[i].z;
    });
    EXPECT_TRUE(unrotated);
    // The frame is half the new drawing and half the filled back frame: at the far
    // left of the top row nothing is drawn, and (151 + 151) / 2 stays 151.
    EXPECT_EQ(shown[0], CLOUD_BACKGROUND);
}

TEST_F(GlowScene, APhaseWhoseCueIsOverDrawsNothingButStillCountsItsCue) {
    // The scene starts when cues 12 and 13 are already over: it opens them without a
    // frame, and its first frame is phase 2's, with the angle still at 0.
    std::vector<int> cues;
    bool first_unrotated = false;
    show_platform([&](const HeadlessScreen&) {
        if (cues.empty())
            first_unrotated = cloud_rotated[0].x == cloud_points[0].x && cloud_rotated[0].z == cloud_points[0].z;
        cues.push_back(cue_index);
    });
    scenes_reset_state();
    cue_index = 11;
    start_ticks = platform.sys->ticks() - cue_table[13];
    scene_glow_cloud();
    ASSERT_FALSE(cues.empty());
    EXPECT_EQ(cues.front(), 14);
    EXPECT_EQ(cue_index, 16);
    EXPECT_TRUE(first_unrotated);
    EXPECT_EQ(cloud_angle, uint8_t(cues.size()));
}

TEST_F(GlowScene, BackFrameKeepsTheFrameJustShown) {
    // The next frame's blend reads it: the trail is the frame the viewer saw.
    scene06_check_resources();
    fill_frame(back_frame, CLOUD_BACKGROUND);
    seed_cloud();
    for (int frame = 0; frame < 3; ++frame) {
        glow_cloud_frame(frame);
        EXPECT_EQ(std::memcmp(back_frame, headless_screen().frame, FRAME_BYTES), 0) << frame;
        EXPECT_EQ(cloud_angle, frame + 1);
    }
}

TEST_F(GlowScene, RunsTheSameTwiceInOneProcess) {
    const Record a = run_scene6();
    const Record b = run_scene6();
    EXPECT_EQ(a.hashes, b.hashes);
    EXPECT_EQ(a.cue_at_pump, b.cue_at_pump);
}

TEST_F(GlowScene, AShortPictureStopsTheShowBeforeTheFirstPhase) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<uint8_t> short_line(WORD_LINE_W * WORD_LINE_H - 1);
    use_resource(RES_PRONE, short_line);
    EXPECT_EXIT(scene_glow_cloud(), ::testing::ExitedWithCode(1), "error loading resource 'prone.dat'");
    std::vector<uint8_t> short_title(TITLE_W * TITLE_H - 1);
    use_resource(RES_PRONE, short_title);  // long enough now
    use_resource(RES_SE_CONT, short_title);
    EXPECT_EXIT(scene06_check_resources(), ::testing::ExitedWithCode(1), "error loading resource 'se_cont.dat'");
}

}  // namespace
