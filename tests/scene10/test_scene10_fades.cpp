// The closing scene's palette work: the upper half's dimming and its floor, and
// the closing fade on every second call.
#include <algorithm>

#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene10_closing.h"

namespace {

using Fades = SceneTest;

// The counters of the scene's run, fresh for every test (SceneTest resets it).
ClosingFades& fades = scene10_run.fades;

TEST_F(Fades, DimLowersOnlyTheUpperHalfOneMoreEachStepDownToTheRampFloor) {
    const int floor_rgb[3] = {11, 25, 32};
    for (int step = 0; step < 70; ++step) {
        dim_step(fades);
        const int level = std::min(step, 63);
        Palette expect = scene10_palette;
        for (int i = DIM_FIRST * 3; i < 768; ++i)
            expect.rgb[i] = uint8_t(std::max(int(expect.rgb[i]) - level, floor_rgb[i % 3]));
        ASSERT_TRUE(shows(expect)) << "step " << step;
        EXPECT_EQ(fades.dim_level, std::min(step + 1, 63));
    }
    // Fully dimmed, the upper half is the ramp's darkest colour throughout.
    for (int i = DIM_FIRST; i < 256; ++i) EXPECT_EQ(headless_screen().rgb[i], shown_rgb(scene10_palette, 42)) << i;
}

TEST_F(Fades, FadeStartsFromTheUndimmedPaletteAndIsBlackAfter128Calls) {
    for (int k = 0; k < 30; ++k) dim_step(fades);
    uint64_t uploads = headless_screen().palette_uploads;
    for (int call = 1; call <= 140; ++call) {
        fade_step(fades);
        const bool body = call % 2 == 0 && call <= 128;
        ASSERT_EQ(headless_screen().palette_uploads, uploads + (body ? 1 : 0)) << "call " << call;
        uploads = headless_screen().palette_uploads;
        if (!body) continue;
        const int level = call / 2 - 1;
        Palette expect;
        for (int i = 0; i < 768; ++i) expect.rgb[i] = uint8_t(std::max(int(scene10_palette.rgb[i]) - level, 0));
        ASSERT_TRUE(shows(expect)) << "call " << call;
    }
    for (int i = 0; i < 256; ++i) EXPECT_EQ(headless_screen().rgb[i], 0u) << i;
    EXPECT_EQ(fades.fade_level, FADE_STEPS);
}

}  // namespace
