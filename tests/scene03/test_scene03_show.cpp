// Scene 3 as a whole: its cue and where it returns, the set-up's draws and what it
// leaves in carried.eye_point, and every frame against the direct reading of its steps.
// Its golden frames are in the whole-show tests (tests/show/).
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "reference.h"
#include "render/carried.h"
#include "render/random.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene03_cloud_reveal.h"
#include "scenes/timeline.h"

namespace {

using CloudScene = SceneTest;

TEST_F(CloudScene, OpensCueEightAndReturnsAtTheFirstPumpAfter53000) {
    uint64_t pumps = 0;
    bool every_pump_shows_back_frame = true, palette_right = true;
    run_scene(3, [&](const HeadlessScreen& s) {
        ++pumps;
        every_pump_shows_back_frame &= std::memcmp(s.frame, back_frame, FRAME_BYTES) == 0;
        palette_right &= bool(shows(scene3_palette, s.rgb));
    });
    EXPECT_EQ(cue_index, 8);
    // Show time is the tick count since start_ticks; the clock starts at the cue's start.
    EXPECT_GE(headless_time_ms(), 53000.0 - 41620.0);
    EXPECT_LT(headless_time_ms(), 53000.0 - 41620.0 + SHOW_FRAME_MS);
    EXPECT_GE(platform.sys->ticks() - start_ticks, 53000u);
    EXPECT_GT(pumps, 790u);  // 11.38 s at 70 frames per second
    EXPECT_TRUE(every_pump_shows_back_frame);
    EXPECT_TRUE(palette_right);
}

TEST_F(CloudScene, SetUpDrawsThePointsFromTheGeneratorAsItFindsIt) {
    show_platform();
    show_srand(0xC0FFEE);
    carried.eye_point = {37.5, -12.25, -200.0};
    cloud_setup(scene03_run);
    uint32_t state = 0xC0FFEE;
    auto draw = [&state] {
        state = state * 214013u + 2531011u;
        return double(int((state >> 16) & 0x7FFF) % 150 - 75);
    };
    for (int i = 0; i < REVEAL_POINTS; ++i) {
        const double x = draw(), y = draw(), z = draw();
        ASSERT_EQ(scene03_run.points[i].x, x) << i;
        ASSERT_EQ(scene03_run.points[i].y, y) << i;
        ASSERT_EQ(scene03_run.points[i].z, z) << i;
    }
    // Exactly 1200 draws: the next one is the generator's 1201st.
    state = state * 214013u + 2531011u;
    EXPECT_EQ(show_rand(), int((state >> 16) & 0x7FFF));
    // The viewpoint the later scenes find.
    EXPECT_EQ(carried.eye_point.x, 0.0);
    EXPECT_EQ(carried.eye_point.y, 0.0);
    EXPECT_EQ(carried.eye_point.z, -200.0);
}

TEST_F(CloudScene, EveryFrameIsTheDirectReadingOfItsSteps) {
    show_platform();
    cloud_setup(scene03_run);
    std::vector<Vec3> points(scene03_run.points, scene03_run.points + REVEAL_POINTS);
    std::vector<uint8_t> mask(FRAME_BYTES), back(FRAME_BYTES);
    const uint8_t* picture = resource_slot[RES_ALIEN];
    auto add_caption = [&mask](const uint8_t* src, int x0, int y0, int w, int h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (uint8_t s = src[y * w + x]) mask[(y0 + y) * FRAME_W + x0 + x] += s;
    };
    int large_discs = 0;
    for (int frame = 0; frame < 300; ++frame) {
        std::memset(mask.data(), 32, FRAME_BYTES);
        add_caption(resource_slot[RES_APHANDL], APHANDL_X, APHANDL_Y, APHANDL_W, APHANDL_H);
        add_caption(resource_slot[RES_ALWORK], ALWORK_X, ALWORK_Y, ALWORK_W, ALWORK_H);
        for (Vec3& p : points) transform_vec(p, scene03_run.spin);
        for (const Vec3& p : points) {
            int32_t sx, sy;
            project_point(p, sx, sy);
            const int v = int(std::trunc(214 + p.z));
            const int a = std::abs(9 - ((v % 256 + 256) % 256) / 64);
            large_discs += p.z > 43 && a == 9;
            reference_fill_disc(mask.data(), sx, sy, a);
        }
        reference_reveal(back.data(), mask.data(), picture);
        reference_soften(back.data());

        cloud_frame(scene03_run);
        ASSERT_EQ(std::memcmp(screen_frame, mask.data(), FRAME_BYTES), 0) << "mask, frame " << frame;
        ASSERT_EQ(std::memcmp(back_frame, back.data(), FRAME_BYTES), 0) << "picture, frame " << frame;
    }
    EXPECT_GT(large_discs, 0);  // the far side's wrapped depths were among them
}

}  // namespace
