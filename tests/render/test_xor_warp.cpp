// The XOR stripes and the slope warp.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/blit.h"
#include "render/carried.h"
#include "render/xor_warp.h"
#include "tests/render/render_fixture.h"
#include "warp_reference.h"

namespace {

class XorWarp : public RenderTest {
protected:
    void TearDown() override {
        carried.stripe_flip = 0;
        warp_wide_offsets = true;
        RenderTest::TearDown();
    }
};

TEST_F(XorWarp, StripesAlternateDiagonals) {
    carried.stripe_flip = 0;
    draw_xor_stripes(0);
    EXPECT_EQ(carried.stripe_flip, 1);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) ASSERT_EQ(px(work_frame, x, y), uint8_t(x + y)) << x << "," << y;
    draw_xor_stripes(0);
    EXPECT_EQ(carried.stripe_flip, 0);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) ASSERT_EQ(px(work_frame, x, y), uint8_t(x - y)) << x << "," << y;
}

TEST_F(XorWarp, OnlyTheLowByteOfTMatters) {
    for (int t : {1, 0x5A, 0xFF, 0x1234}) {
        for (int flip = 0; flip < 2; ++flip) {
            carried.stripe_flip = uint8_t(flip);
            draw_xor_stripes(uint16_t(t));
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 320; ++x) {
                    const uint8_t want = uint8_t((flip ? x - y : x + y) ^ t);
                    ASSERT_EQ(px(work_frame, x, y), want) << t << " " << x << "," << y;
                }
        }
    }
}

// The warp has a portable offset loop and, where the processor has AVX2, a wide one;
// every check runs on both.
TEST_F(XorWarp, FlatHeightFieldShiftsByOnePixel) {
    for (bool wide : {false, true}) {
        warp_wide_offsets = wide;
        fill_frame(work_frame, 77);
        noise(back_frame, FRAME_BYTES);
        noise(screen_frame, FRAME_BYTES);
        auto before = frame_copy(screen_frame);
        warp_frame();
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) {
                const bool border = x == 0 || x == 319 || y == 0 || y == 199;
                const uint8_t want = border ? before[y * 320 + x] : px(back_frame, x - 1, y - 1);
                ASSERT_EQ(px(screen_frame, x, y), want) << x << "," << y << " wide " << wide;
            }
    }
}

TEST_F(XorWarp, MatchesTheReferenceOnStripesAndNoise) {
    noise(back_frame, FRAME_BYTES);
    for (int round = 0; round < 6; ++round) {
        if (round < 3)
            draw_xor_stripes(uint16_t(round * 37 + 200));  // large t: long carries, big slopes
        else if (round < 5)
            noise(work_frame, FRAME_BYTES);  // steep slopes clamp on every side
        else
            for (int i = 0; i < FRAME_BYTES; ++i)  // only the extremes: every clamp at once
                work_frame[i] = rng_() % 2 ? 255 : 0;
        for (bool wide : {false, true}) {
            warp_wide_offsets = wide;
            noise(screen_frame, FRAME_BYTES);
            auto expect = frame_copy(screen_frame);
            reference_warp(expect.data(), back_frame, work_frame);
            warp_frame();
            ASSERT_EQ(frame_copy(screen_frame), expect) << round << " wide " << wide;
        }
    }
}

TEST_F(XorWarp, LargeSlopesClampAtThePictureEdge) {
    clear_frame(work_frame);
    for (int i = 0; i < 200; ++i) px(back_frame, 319, i) = 9;  // right column
    for (int i = 0; i < 320; ++i) px(back_frame, i, 199) = 7;  // bottom row
    px(back_frame, 0, 0) = 3;
    px(work_frame, 101, 50) = 255;  // sx for (100, 50) = 99 + 255 > 319
    px(work_frame, 10, 59) = 255;   // sy for (10, 60) = 59 + 255 > 199
    px(work_frame, 20, 21) = 255;   // sy for (20, 20) = 19 - 255 < 0
    px(work_frame, 29, 1) = 255;    // and sx for (30, 1) = 29 - 255 < 0
    for (bool wide : {false, true}) {
        warp_wide_offsets = wide;
        warp_frame();
        EXPECT_EQ(px(screen_frame, 100, 50), 9);
        EXPECT_EQ(px(screen_frame, 10, 60), 7);
        EXPECT_EQ(px(screen_frame, 20, 20), px(back_frame, 19, 0));
        EXPECT_EQ(px(screen_frame, 30, 1), 3);
    }
}

}  // namespace
