// Scene 9: its set-up draws, the capped curve dots, the counted phases that run
// whatever the clock says, and when curve 0's spins are renewed.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "render/blobs.h"
#include "render/carried.h"
#include "render/random.h"
#include "render/tables.h"
#include "render/texture_warp.h"
#include "scene_fixture.h"
#include "scenes/scene09_warped_picture.h"
#include "scenes/timeline.h"

namespace {

using WarpedPicture = SceneTest;

// Puts the clock where the show would be `elapsed_ms` after it started, with the
// scene about to open its first cue.
void open_scene_at(double elapsed_ms) {
    cue_index = scene_first_cue[8] - 1;
    start_ticks = platform.sys->ticks() - uint32_t(elapsed_ms);
}

bool same(const Matrix3& a, const Matrix3& b) { return memcmp(&a, &b, sizeof a) == 0; }

TEST_F(WarpedPicture, StartDrawsSixtyAnglesPointsOuterCurvesInner) {
    show_srand(4711);
    warped_picture_start(scene09_run);
    show_srand(4711);
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < WARP_CURVES; ++k) {
            double angle[3];
            for (double& a : angle) a = std::fmod(double(show_rand()), 0.09);
            Matrix3 want;
            matrix_rotate_xyz(want, angle[0], angle[1], angle[2]);
            EXPECT_TRUE(same(scene09_run.control_spin[k][j], want)) << "curve " << k << " point " << j;
        }
    EXPECT_EQ(carried.eye_point.x, -200.0);
    EXPECT_EQ(carried.eye_point.y, -200.0);
    EXPECT_EQ(carried.eye_point.z, -200.0);
}

TEST_F(WarpedPicture, CurveOfFortyStepsStampsFortyOneCappedDots) {
    carried.eye_point = {-200, -200, -200};
    const CurveRecord c = cube_edge_curve(60);
    trace_curve(c.p[0], c.p[1], c.p[2], c.p[3], WARP_CURVE_STEPS);
    ASSERT_EQ(curve_point_count, 40);

    static std::vector<CurvePoint> stamped;
    stamped.clear();
    stamp_curve_points([](uint16_t x, uint16_t y, uint8_t d) { stamped.push_back({x, y, d}); });
    ASSERT_EQ(stamped.size(), 41u);
    int32_t x0, y0;
    project_point(c.p[0], x0, y0);
    EXPECT_EQ(stamped[0].x, x0);
    EXPECT_EQ(stamped[0].y, y0);
    EXPECT_EQ(stamped[0].z, 60 / 7 + 3);  // z = -60

    // The dot is the plain one stopped at 127 instead of 255.
    for (uint8_t ground : {20, 100}) {
        memset(screen_frame, ground, FRAME_BYTES);
        add_dot(160, 100, 10);
        const std::vector<uint8_t> plain(screen_frame, screen_frame + FRAME_BYTES);
        memset(screen_frame, ground, FRAME_BYTES);
        add_dot_capped(160, 100, 10);
        for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(screen_frame[k], std::min<int>(plain[k], 127)) << k;
        EXPECT_GT(px(screen_frame, 160, 100), ground);
    }
}

TEST_F(WarpedPicture, CountedPhasesRunInFullWhenBothCuesHaveEnded) {
    const HeadlessScreen& s = headless_screen();
    open_scene_at(cue_table[20] + 1000.0);
    const uint64_t presents = s.presents, pumps = s.pumps;
    scene_warped_picture();
    // No sphere frame, then 119 + 100 + 100 frames, the last of each phase but the
    // third going on without a pump, and no frame of the timed last phase.
    EXPECT_EQ(s.presents - presents, 319u);
    EXPECT_EQ(s.pumps - pumps, 318u);
    EXPECT_EQ(cue_index, 20);
    EXPECT_EQ(scene09_run.camera.travel, 2000.0);
    EXPECT_GT(scene09_run.camera.focus, 1.0);
    EXPECT_LT(scene09_run.camera.focus, 1.0 + 1e-9);
}

TEST_F(WarpedPicture, OnTimeTheSphereStopsAfter151FramesAndTheSceneEndsWithCue20) {
    uint64_t presents_when_cue_20_opened = 0, pumps_before = 0;
    run_scene(9, [&](const HeadlessScreen& s) {
        if (cue_index == 20 && !presents_when_cue_20_opened) {
            presents_when_cue_20_opened = s.presents;
            pumps_before = s.pumps - 1;
        }
    });
    // run_scene starts a fresh headless screen, so the counts are the scene's own.
    EXPECT_EQ(presents_when_cue_20_opened, 151u + 319u + 1u);
    EXPECT_EQ(pumps_before, 150u + 119u + 100u + 99u);
    EXPECT_EQ(cue_index, 20);
    EXPECT_GE(platform.sys->ticks() - start_ticks, cue_table[20]);
}

TEST_F(WarpedPicture, OnlyCurveZerosSpinsAreRenewedAtFramesTwoFourSixSixtyFour) {
    WarpedRun& run = scene09_run;
    warped_picture_start(run);
    Matrix3 kept[WARP_CURVES][4];
    memcpy(kept, run.control_spin, sizeof kept);
    std::vector<uint32_t> renewed;
    show_platform([&](const HeadlessScreen& s) {
        if (!same(run.control_spin[0][3], kept[0][3])) {
            renewed.push_back(uint32_t(s.presents));
            memcpy(kept[0], run.control_spin[0], sizeof kept[0]);
        }
    });
    cue_index = 19;
    start_ticks = platform.sys->ticks() - uint32_t(cue_table[20] - 135 * SHOW_FRAME_MS);
    curves_tube_phase(run);
    show_platform();
    ASSERT_GE(run.frames, 131u);
    std::vector<uint32_t> want{2, 4, 6, 64, 66, 68, 70, 128, 130, 132, 134};
    while (want.back() > run.frames) want.pop_back();
    EXPECT_EQ(renewed, want);
    for (int k = 1; k < WARP_CURVES; ++k)
        for (int j = 0; j < 4; ++j) EXPECT_TRUE(same(run.control_spin[k][j], kept[k][j])) << k << "," << j;
}

}  // namespace
