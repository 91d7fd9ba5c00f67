// The closing scene's dot trails: where the dots start, how they run round the
// outlines, the radius they are drawn with, and which of them the frame edges drop.
#include <algorithm>
#include <vector>

#include "render/blobs.h"
#include "scene_fixture.h"
#include "scenes/scene10_closing.h"

namespace {

using Trails = SceneTest;

// The trains of the scene's run, fresh for every test (SceneTest resets it).
ClosingTrails& trails = scene10_run.trails;

TEST_F(Trails, DotsStartWhereTheAccumulatedStepsTruncate) {
    const uint16_t a[TRAIL_DOTS] = {0,   8,   17,  26,  35,  44,  53,  62,  71,  79,  88,  97,  106,
                                    115, 124, 133, 142, 150, 159, 168, 177, 186, 195, 204, 213, 221,
                                    230, 239, 248, 257, 266, 275, 284, 293, 301, 310, 319, 328, 337,
                                    346, 355, 364, 372, 381, 390, 399, 408, 417, 426, 435};
    const uint16_t b[TRAIL_DOTS] = {0,   9,   18,  28,  37,  46,  56,  65,  75,  84,  93,  103, 112,
                                    121, 131, 140, 150, 159, 168, 178, 187, 196, 206, 215, 225, 234,
                                    243, 253, 262, 272, 281, 290, 300, 309, 318, 328, 337, 347, 356,
                                    365, 375, 384, 393, 403, 412, 422, 431, 440, 450, 459};
    fill_dot_indices(trails);
    for (int k = 0; k < TRAIL_DOTS; ++k) {
        EXPECT_EQ(trails.dots_a[k], a[k]) << k;
        EXPECT_EQ(trails.dots_b[k], b[k]) << k;
    }
}

TEST_F(Trails, ADotsRunForwardAndBDotsBackwardRoundTheirLoops) {
    trails.dots_a[0] = OUTLINE_A_POINTS - 1;
    trails.dots_a[1] = 0;
    trails.dots_b[0] = 0;
    trails.dots_b[1] = OUTLINE_B_POINTS - 1;
    advance_dots(trails);
    EXPECT_EQ(trails.dots_a[0], 0);
    EXPECT_EQ(trails.dots_a[1], 1);
    EXPECT_EQ(trails.dots_b[0], OUTLINE_B_POINTS - 1);
    EXPECT_EQ(trails.dots_b[1], OUTLINE_B_POINTS - 2);
}

TEST_F(Trails, RadiusIsFiveTimesTheScaleTruncated) {
    // Every dot on point 0 of its outline: the frame is then 50 stamps of one radius
    // at two places, which only that radius reproduces.
    for (double s : {1.99, 1.0, 0.95 - 1e-15}) {
        for (uint16_t& d : trails.dots_a) d = 0;
        for (uint16_t& d : trails.dots_b) d = 0;
        clear_frame(screen_frame);
        place_outlines(trails, s);
        draw_dots(trails, s);
        std::vector<uint8_t> got(screen_frame, screen_frame + FRAME_BYTES);

        const uint8_t r = s > 1.5 ? 9 : s >= 1.0 ? 5 : 4;
        clear_frame(screen_frame);
        for (int k = 0; k < TRAIL_DOTS; ++k)
            add_dot(uint16_t(159 + int(s * outline_a_x[0])), uint16_t(99 + int(s * outline_a_y[0])), r);
        for (int k = 0; k < TRAIL_DOTS; ++k)
            add_dot(uint16_t(159 + int(s * outline_b_x[0])), uint16_t(99 + int(s * outline_b_y[0])), r);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), screen_frame)) << "scale " << s;
    }
}

TEST_F(Trails, AtDoubleSizeDotsLeavingTheFrameAreSkippedNotClipped) {
    fill_dot_indices(trails);
    place_outlines(trails, 2.0);
    // The outlines' left and top reach past the frame: their places wrap to 16 bits.
    EXPECT_EQ(trails.path_a_x[0], 159 - 120);
    bool wrapped = false;
    for (uint16_t x : trails.path_a_x) wrapped = wrapped || x == uint16_t(159 - 208);  // x = -104
    EXPECT_TRUE(wrapped);

    clear_frame(screen_frame);
    draw_dots(trails, 2.0);  // radius 10: each stamp is exactly 21 x 21 pixels
    const int d = 10;
    std::vector<bool> covered(FRAME_BYTES, false);
    int inside = 0, outside = 0;
    auto visit = [&](const int16_t* ox, const int16_t* oy, const uint16_t* dots) {
        for (int k = 0; k < TRAIL_DOTS; ++k) {
            const int x = 159 + int(2.0 * ox[dots[k]]), y = 99 + int(2.0 * oy[dots[k]]);
            if (x - d < 0 || x + d > 319 || y - d < 0 || y + d > 199) {
                ++outside;
                continue;
            }
            ++inside;
            EXPECT_NE(px(screen_frame, x, y), 0) << x << "," << y;
            for (int r = y - d; r <= y + d; ++r)
                for (int c = x - d; c <= x + d; ++c) covered[size_t(r) * FRAME_W + size_t(c)] = true;
        }
    };
    visit(outline_a_x, outline_a_y, trails.dots_a);
    visit(outline_b_x, outline_b_y, trails.dots_b);
    EXPECT_GT(inside, 10);
    EXPECT_GT(outside, 10);
    for (int i = 0; i < FRAME_BYTES; ++i)
        if (screen_frame[i] != 0) {
            ASSERT_TRUE(covered[size_t(i)]) << "pixel " << i % FRAME_W << "," << i / FRAME_W;
        }
}

}  // namespace
