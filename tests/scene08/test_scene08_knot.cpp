// Scene 8's knot: the single-precision turn, the stable depth order carried from
// frame to frame, the turned mesh's bounds, the facing choice, and the whole scene:
// one cue of spinning, then exactly 72 tinted frames whatever the clock.
#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene08_spinning_knot.h"
#include "scenes/timeline.h"

namespace {

using SpinningKnot = SceneTest;

// The scene's state, fresh for every test (SceneTest resets it).
KnotRun& knot = scene08_run;

TEST_F(SpinningKnot, TurnsInSinglePrecisionAndTruncatesTowardZero) {
    int32_t a, b;
    rotate_in_plane(-3, 0, 0, 0, 0.70710677f, 0.70710677f, a, b);  // -2.12, -2.12
    EXPECT_EQ(a, -2);
    EXPECT_EQ(b, -2);
    rotate_in_plane(5, 7, 2, 1, 1.0f, 0.0f, a, b);  // a quarter turn about (2, 1)
    EXPECT_EQ(a, -4);
    EXPECT_EQ(b, 4);
    rotate_in_plane(10, 0, 0, 0, 0.0f, 0.7f, a, b);  // 7.0000005 in single precision, 6.99.. in double
    EXPECT_EQ(a, 7);
}

TEST_F(SpinningKnot, OrderIsAStableDeepestFirstSortOfTheLastFramesOrder) {
    std::vector<int32_t> expect(knot.order.begin(), knot.order.end());
    float a = 0, b = 0;
    for (int frame = 0; frame < 400; ++frame) {
        spin_knot(knot);
        a = float(double(a) + 0.05);
        b = float(double(b) + 0.04);
        std::stable_sort(expect.begin(), expect.end(),
                         [](int32_t i, int32_t j) { return knot.rotated[j].z - knot.rotated[i].z < 0; });
        sort_knot_order(knot);
        ASSERT_TRUE(std::equal(expect.begin(), expect.end(), knot.order.begin())) << "frame " << frame;
    }
    EXPECT_EQ(knot.turn_a, a);
    EXPECT_EQ(knot.turn_b, b);
}

TEST_F(SpinningKnot, TurnedMeshStaysInItsScreenSquareAndItsShades) {
    // Over several turns of both angles: points in 3..197, vertex shades in 0..64.
    int lo = 1000, hi = -1000, shade_lo = 1000, shade_hi = -1000;
    for (int frame = 0; frame < 800; ++frame) {
        spin_knot(knot);
        draw_knot(knot, work_frame);
        for (int i = 0; i < KNOT_VERTICES; ++i) {
            lo = std::min({lo, knot.screen[i].x, knot.screen[i].y});
            hi = std::max({hi, knot.screen[i].x, knot.screen[i].y});
            shade_lo = std::min(shade_lo, (knot.rotated[i].z + 100) * 64 / 200);
            shade_hi = std::max(shade_hi, (knot.rotated[i].z + 100) * 64 / 200);
        }
    }
    EXPECT_GE(lo, 3);
    EXPECT_LE(hi, 197);
    EXPECT_GE(shade_lo, 0);
    EXPECT_LE(shade_hi, 64);
}

TEST_F(SpinningKnot, FacingAwayIsOutlinedFacingTheViewerShaded) {
    knot.rotated[0] = {0, 0, -100};  // shades 0, 32, 64
    knot.rotated[1] = {40, 0, 0};
    knot.rotated[2] = {0, 40, 100};
    knot.screen[0] = {100, 20};
    knot.screen[1] = {150, 80};
    knot.screen[2] = {60, 90};
    auto drawn = [](int32_t a, int32_t b, int32_t c) {
        clear_frame(work_frame);
        draw_knot_triangle(knot, work_frame, a, b, c);
        std::vector<uint8_t> v;
        std::copy_if(work_frame, work_frame + FRAME_BYTES, std::back_inserter(v), [](uint8_t p) { return p; });
        return v;
    };
    const std::vector<uint8_t> wire = drawn(0, 1, 2), fill = drawn(0, 2, 1);
    EXPECT_GT(wire.size(), 100u);
    EXPECT_TRUE(std::all_of(wire.begin(), wire.end(), [](uint8_t p) { return p == OUTLINE_COLOUR; }));
    EXPECT_GT(fill.size(), 2000u);
    EXPECT_EQ(*std::max_element(fill.begin(), fill.end()), 63);
}

// Per pump: the tint n of a fade frame read back from a picture of alternating 0
// and 1 (tinted pixels hold n >> 1 and (n + 1) >> 1, which add up to n), or -1
// where the frame shows the knot itself (values other than those two).
std::vector<int> watch_tints(std::vector<double>* times) {
    std::vector<int> tints;
    run_scene(8, [&](const HeadlessScreen& s) {
        if (times) times->push_back(double(platform.sys->ticks() - start_ticks));  // show time
        int lo = 256, hi = -1, others = 0;
        for (int i = 0; i < FRAME_BYTES; ++i) {
            const int v = s.frame[i];
            if (v == ((i + i / FRAME_W) & 1)) continue;
            if (v < 27 || (hi >= 0 && std::max(hi, v) - std::min(lo, v) > 1)) ++others;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        tints.push_back(others || hi < 0 ? -1 : lo + hi);
    });
    return tints;
}

TEST_F(SpinningKnot, SpinsThroughItsCueThenFades126DownTo55InExactly72Frames) {
    std::vector<uint8_t> pic(FRAME_BYTES);
    for (int i = 0; i < FRAME_BYTES; ++i) pic[i] = uint8_t((i + i / FRAME_W) & 1);
    use_resource(RES_PLANT, pic);
    std::vector<double> times;
    const std::vector<int> tints = watch_tints(&times);
    EXPECT_EQ(cue_index, 18);
    ASSERT_TRUE(shows(scene8_palette));
    // The last frame of the cue is pumped at or after 111000 ms; 72 fade frames follow.
    const size_t last_spin = size_t(std::find_if(times.begin(), times.end(), [](double t) { return t >= 111000; }) -
                                    times.begin());
    ASSERT_EQ(tints.size(), last_spin + 1 + KNOT_FADE_FRAMES);
    for (size_t i = 0; i <= last_spin; ++i) ASSERT_EQ(tints[i], -1) << "spinning frame " << i;
    for (int f = 0; f < KNOT_FADE_FRAMES; ++f) EXPECT_EQ(tints[last_spin + 1 + f], 126 - f) << "fade frame " << f;

    // With the cue long over the fade still shows all its frames, and only those.
    cue_index = 17;
    start_ticks = platform.sys->ticks() - 200000;
    int pumps = 0;
    show_platform([&](const HeadlessScreen&) { ++pumps; });
    scene_spinning_knot();
    EXPECT_EQ(pumps, KNOT_FADE_FRAMES);
}

}  // namespace
