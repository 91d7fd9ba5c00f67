// Scene 7: the capped additive banner, the first frame, the step that alternates
// 4, 3, 4, 3 with three draws per period, and the whole scene on the show's clock.
#include <vector>

#include "render/blit.h"
#include "render/carried.h"
#include "render/random.h"
#include "render/tube.h"
#include "replay.h"
#include "scene_fixture.h"
#include "scenes/scene07_shaded_tube.h"
#include "scenes/timeline.h"

namespace {

using ShadedTubeScene = SceneTest;

TEST_F(ShadedTubeScene, CappedAddLowersBrightPixelsAndSkipsTheKey) {
    // Row 0: key, 10, 100, 250, key; row 1: 1, 2, 3, 4, 5.
    const std::vector<uint8_t> sprite = {0, 10, 100, 250, 0, 1, 2, 3, 4, 5};
    for (int k = 0; k < FRAME_BYTES; ++k) screen_frame[k] = 150;
    px(screen_frame, 11, 20) = 200;  // already above the cap
    px(screen_frame, 13, 20) = 230;  // above the cap, under a key byte
    px(screen_frame, 10, 21) = 255;
    blit_add_capped(sprite.data(), 0, 10, 20, 5, 2, 191);
    EXPECT_EQ(px(screen_frame, 10, 20), 150);  // key
    EXPECT_EQ(px(screen_frame, 11, 20), 191);  // 200 + 10 capped: lowered
    EXPECT_EQ(px(screen_frame, 12, 20), 191);  // 150 + 100, no wrap to 250 - 256
    EXPECT_EQ(px(screen_frame, 13, 20), 191);  // 230 + 250 = 480, no wrap
    EXPECT_EQ(px(screen_frame, 14, 20), 150);  // key
    EXPECT_EQ(px(screen_frame, 10, 21), 191);
    EXPECT_EQ(px(screen_frame, 11, 21), 152);  // the second row reads bytes 5..9
    EXPECT_EQ(px(screen_frame, 14, 21), 155);
    EXPECT_EQ(px(screen_frame, 15, 21), 150);  // nothing past the rectangle
    // Past the right edge the rectangle is cut, the sprite's stride kept.
    blit_add_capped(sprite.data(), 0, 317, 198, 5, 2, 191);
    EXPECT_EQ(px(screen_frame, 318, 198), 160);
    EXPECT_EQ(px(screen_frame, 319, 199), 153);
    EXPECT_EQ(px(screen_frame, 0, 199), 150);
}

TEST_F(ShadedTubeScene, FirstFrameIsASmoothedTubeOverThirtyTwo) {
    // The first frame read plainly: the camera on the axis at z = -400, one ray per
    // sample at step 4 from row 0 and column 0, 4 * shade stored over index 32.
    fill_frame(back_frame, 32);
    carried.tube_camera = {0.0f, 0.0f, -400.0f};
    for (int y = 0, phase = 0; y < FRAME_H; y += 4, phase = (phase + 1) % 4)
        for (int x = phase; x < FRAME_W; x += 4) {
            aim_ray(x, y);
            uint8_t u, v, shade;
            cast_tube_ray(u, v, shade);
            px(back_frame, x, y) = uint8_t(4 * shade);
        }
    smooth_samples();
    const std::vector<uint8_t> tube(back_frame, back_frame + FRAME_BYTES);

    const int cue = cue_index;
    shaded_tube_start();
    EXPECT_EQ(cue_index, cue + 1);
    ShadedTubeRun run;
    shaded_tube_frame(run);
    ASSERT_EQ(std::vector<uint8_t>(back_frame, back_frame + FRAME_BYTES), tube);
    const HeadlessScreen& shown = headless_screen();
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x) {
            const int k = y * FRAME_W + x;
            const bool face = x >= FACE_DAT_X && x < FACE_DAT_X + FACE_DAT_W && y < FACE_DAT_H;
            const bool notice = x >= PAY_ATT_X && x < PAY_ATT_X + PAY_ATT_W && y >= PAY_ATT_Y && y < PAY_ATT_Y + PAY_ATT_H;
            const bool border = x == 0 || x == 319 || y == 0 || y == 199;
            ASSERT_EQ(shown.frame[k], screen_frame[k]);
            if (border) {
                ASSERT_EQ(tube[k], 5) << x << "," << y;
            }
            if (!face && !notice) {
                ASSERT_EQ(screen_frame[k], tube[k]) << x << "," << y;
            }
        }
}

TEST_F(ShadedTubeScene, StepAlternatesFourThreeWithThreeDrawsPerPeriod) {
    show_srand(4242);
    Replay replay{4242};
    shaded_tube_start();
    ShadedTubeRun run;
    std::vector<int> steps, rows;
    for (int frame = 0; frame < 28; ++frame) {
        steps.push_back(run.flight.grid.step);
        rows.push_back(run.flight.grid.row_phase);
        const int before = run.flight.period_frame;
        shaded_tube_frame(run);
        if (run.flight.period_frame == 0) {
            ASSERT_EQ(before, steps.back() - 1) << frame;
            const FlightTargets want = replay.targets();
            EXPECT_EQ(run.flight.targets.x_mag, want.x_mag) << frame;
            EXPECT_EQ(run.flight.targets.y_mag, want.y_mag) << frame;
            EXPECT_EQ(run.flight.targets.flip, want.flip) << frame;
        }
    }
    EXPECT_EQ(show_rand(), replay.next()) << "three draws per period, no more";
    const std::vector<int> want_steps = {4, 4, 4, 4, 3, 3, 3, 4, 4, 4, 4, 3, 3, 3,
                                         4, 4, 4, 4, 3, 3, 3, 4, 4, 4, 4, 3, 3, 3};
    const std::vector<int> want_rows = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3,
                                        0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3};
    EXPECT_EQ(steps, want_steps);
    EXPECT_EQ(rows, want_rows);
    EXPECT_EQ(run.driver, -100.0f - 28 * 5.0f);
}

TEST_F(ShadedTubeScene, WholeSceneConsumesCueSeventeen) {
    run_scene(7, [](const HeadlessScreen&) {});
    EXPECT_EQ(cue_index, 17);
    const double show_ms = double(cue_table[16]) + headless_time_ms();  // the clock began there
    EXPECT_GE(show_ms, double(cue_table[17]));
    EXPECT_LT(show_ms, double(cue_table[17]) + SHOW_FRAME_MS);
}

}  // namespace
