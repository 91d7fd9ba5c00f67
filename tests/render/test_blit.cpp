// Fills and rectangular copies, each against the plain per-pixel reading where the
// loop is anything but that.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/blit.h"
#include "tests/render/render_fixture.h"

namespace {

class Blit : public RenderTest {};

// The shared rectangular loop exactly as described: linear offsets, no clipping.
template <class Op>
void reference_rect(uint8_t* frame, const uint8_t* src, int x, int y, int w, int h, Op op) {
    int i = 0;
    for (int r = y; r < y + h; ++r)
        for (int k = row_offset[r] + x; k < row_offset[r] + x + w; ++k, ++i)
            frame[k] = op(frame[k], src[i]);
}

// blit_blend as described: in place, row-major, linear neighbours; a neighbour
// outside the frame counts as 0.
void reference_blend(uint8_t* f, const uint8_t* src, uint8_t key, int x, int y, int w, int h) {
    auto at = [f](int k) { return k >= 0 && k < 64000 ? f[k] : 0; };
    int i = 0;
    for (int r = y; r < y + h; ++r)
        for (int k = r * 320 + x; k < r * 320 + x + w; ++k, ++i) {
            int v;
            if (src[i] == key)
                v = (at(k - 321) + at(k - 320) + at(k - 319) + at(k - 1) + at(k + 1) + at(k + 319) +
                     at(k + 320) + at(k + 321)) / 9;
            else
                v = (f[k] + src[i]) >> 1;
            f[k] = uint8_t(v == 0 ? 1 : v);
        }
}

TEST_F(Blit, FillSetsEveryByte) {
    fill_frame(screen_frame, 32);
    for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], 32);
}

TEST_F(Blit, OpaqueKeyedAndAddMatchTheReference) {
    const int x = 13, y = 7, w = 301, h = 193;  // reaches the right and bottom edge
    auto src = noise_block(w * h);
    for (int i = 0; i < w * h; i += 3) src[i] = 77;  // plenty of key bytes
    noise(screen_frame, FRAME_BYTES);
    noise(back_frame, FRAME_BYTES);
    auto expect_screen = frame_copy(screen_frame);
    auto expect_back = frame_copy(back_frame);

    blit_opaque(src.data(), x, y, w, h);
    reference_rect(expect_screen.data(), src.data(), x, y, w, h, [](uint8_t, uint8_t s) { return s; });
    blit_keyed(src.data() + 5, 77, 0, 0, 150, 100);
    reference_rect(expect_screen.data(), src.data() + 5, 0, 0, 150, 100,
                   [](uint8_t p, uint8_t s) { return s == 77 ? p : s; });
    blit_add(src.data() + 9, 77, 40, 30, 200, 120);
    reference_rect(expect_screen.data(), src.data() + 9, 40, 30, 200, 120,
                   [](uint8_t p, uint8_t s) { return s == 77 ? p : uint8_t(p + s); });
    for (int i = 0; i < w * h; i += 5) src[i] = 0;
    blit_keyed_to_back(src.data(), x, y, w, h);
    reference_rect(expect_back.data(), src.data(), x, y, w, h,
                   [](uint8_t p, uint8_t s) { return s == 0 ? p : s; });

    EXPECT_EQ(frame_copy(screen_frame), expect_screen);
    EXPECT_EQ(frame_copy(back_frame), expect_back);
}

TEST_F(Blit, AllKeySpritesLeaveTheFrame) {
    noise(screen_frame, FRAME_BYTES);
    noise(back_frame, FRAME_BYTES);
    const auto screen = frame_copy(screen_frame), back = frame_copy(back_frame);
    std::vector<uint8_t> keys(320 * 200, 9), zeros(320 * 200, 0);
    blit_keyed(keys.data(), 9, 0, 0, 320, 200);
    blit_add(keys.data(), 9, 0, 0, 320, 200);
    blit_keyed_to_back(zeros.data(), 0, 0, 320, 200);
    EXPECT_EQ(frame_copy(screen_frame), screen);
    EXPECT_EQ(frame_copy(back_frame), back);
}

TEST_F(Blit, AddWrapsModulo256) {
    px(screen_frame, 10, 10) = 100;
    const uint8_t s = 200;
    blit_add(&s, 0, 10, 10, 1, 1);
    EXPECT_EQ(px(screen_frame, 10, 10), 44);
}

TEST_F(Blit, BlendNeverWritesZero) {
    const uint8_t one = 1;  // (0 + 1) >> 1 = 0, written as 1
    blit_blend(&one, 0, 50, 50, 1, 1);
    EXPECT_EQ(px(screen_frame, 50, 50), 1);
    const uint8_t key = 0;  // all eight neighbours 0
    px(screen_frame, 60, 60) = 200;  // the centre itself is not summed
    blit_blend(&key, 0, 60, 60, 1, 1);
    EXPECT_EQ(px(screen_frame, 60, 60), 1);
}

TEST_F(Blit, BlendKeyPixelsAverageInPlace) {
    // Neighbours 9 each: 72 / 9 = 8. A run of key pixels sees its left neighbour as
    // just written: the second reads 8 instead of 9 on its left.
    fill_frame(screen_frame, 9);
    const uint8_t keys[2] = {3, 3};
    blit_blend(keys, 3, 100, 100, 2, 1);
    EXPECT_EQ(px(screen_frame, 100, 100), 8);
    EXPECT_EQ(px(screen_frame, 101, 100), 71 / 9);
}

TEST_F(Blit, BlendMatchesTheReferenceWithWrappedNeighbours) {
    // Full-width sprite: column 0 reads the row above's last byte, column 319 the row
    // below's first.
    for (int round = 0; round < 6; ++round) {
        const int y = 1 + round * 20, h = round == 5 ? 198 - y + 1 : 40;
        auto src = noise_block(320 * h);
        if (round % 2 == 0) {
            for (size_t i = 0; i < src.size(); ++i)
                if (rng_() % 3) src[i] = 160;  // key pixels scattered everywhere
        } else {
            for (size_t i = 0; i < src.size(); i += 13)  // runs of 13, either kind
                if (rng_() % 2)
                    for (size_t j = i; j < std::min(i + 13, src.size()); ++j) src[j] = 160;
        }
        noise(screen_frame, FRAME_BYTES);
        auto expect = frame_copy(screen_frame);
        blit_blend(src.data(), 160, 0, y, 320, h);
        reference_blend(expect.data(), src.data(), 160, 0, y, 320, h);
        ASSERT_EQ(frame_copy(screen_frame), expect) << round;
    }
}

TEST_F(Blit, BlendMatchesTheReferenceInsideTheFrame) {
    // Sprites that start and end mid-row at odd columns: eight-pixel words of either
    // kind and mixed ones, tails shorter than a word, and a first pixel whose left
    // neighbour lies outside the sprite. Over a bright picture eight key pixels go as
    // one group; over dark patches (neighbour sums below 9, where 0 is written as 1)
    // they go one by one; the patches come in all sizes so that both meet.
    const struct {
        int x, y, w, h;
    } rects[] = {{37, 1, 101, 198}, {1, 2, 7, 50}, {200, 150, 119, 48}, {0, 100, 9, 3}, {3, 5, 317, 190}};
    for (int screen = 0; screen < 3; ++screen)
        for (int all_key = 0; all_key < 2; ++all_key)
            for (const auto& rc : rects) {
                auto src = noise_block(size_t(rc.w) * rc.h);
                for (size_t i = 0; i < src.size();) {  // runs of 1 to 20 pixels, either kind
                    const size_t n = 1 + rng_() % 20;
                    const bool key = all_key || rng_() % 2;
                    for (size_t j = i; j < std::min(i + n, src.size()); ++j) src[j] = key ? 9 : src[j] | 16;
                    i += n;
                }
                noise(screen_frame, FRAME_BYTES);
                if (screen == 1)
                    for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] &= 1;
                if (screen == 2)
                    for (int i = 0; i < FRAME_BYTES;) {
                        const int n = 1 + int(rng_() % 30);
                        for (int j = i; j < std::min(i + n, FRAME_BYTES); ++j)
                            if (n % 2) screen_frame[j] &= 1;
                        i += n;
                    }
                auto expect = frame_copy(screen_frame);
                blit_blend(src.data(), 9, uint16_t(rc.x), uint16_t(rc.y), uint16_t(rc.w), uint16_t(rc.h));
                reference_blend(expect.data(), src.data(), 9, rc.x, rc.y, rc.w, rc.h);
                ASSERT_EQ(frame_copy(screen_frame), expect)
                    << rc.x << "," << rc.y << " screen " << screen << " all key " << all_key;
            }
}

TEST_F(Blit, BlendCornersInsideTheContractStayInTheFrame) {
    // (0, 1) and (319, 198) are allowed positions whose farthest linear neighbour is
    // one byte outside the frame; it counts as 0.
    fill_frame(screen_frame, 90);
    const uint8_t key = 0;
    blit_blend(&key, 0, 0, 1, 1, 1);
    EXPECT_EQ(px(screen_frame, 0, 1), 7 * 90 / 9);
    blit_blend(&key, 0, 319, 198, 1, 1);
    EXPECT_EQ(px(screen_frame, 319, 198), 7 * 90 / 9);
}

TEST_F(Blit, BlendOnTheFirstAndLastRowReadsOutsideAsZero) {
    fill_frame(screen_frame, 90);
    const uint8_t key[320] = {};
    blit_blend(key, 0, 0, 0, 320, 1);
    // Column 0 of row 0: only k+1, k+319, k+320, k+321 exist (four 90s): 360 / 9.
    EXPECT_EQ(px(screen_frame, 0, 0), 40);
    // Column 1: left is the 40 just written, 5 neighbours in frame.
    EXPECT_EQ(px(screen_frame, 1, 0), (40 + 90 + 90 + 90 + 90) / 9);
    blit_blend(key, 0, 0, 199, 320, 1);
    // Last pixel of the frame: two above, k-319 (the row's own first pixel, already
    // written) and the left one (just written); the four below are outside.
    EXPECT_EQ(px(screen_frame, 319, 199),
              (90 + 90 + px(screen_frame, 0, 199) + px(screen_frame, 318, 199)) / 9);
}

TEST_F(Blit, AlignedCopiesWholeUnits) {
    noise(work_frame, FRAME_BYTES);
    auto expect = frame_copy(work_frame);
    auto src = noise_block(108 * 188);
    blit_aligned(work_frame, src.data(), 108, 5, 108, 188);
    reference_rect(expect.data(), src.data(), 108, 5, 108, 188, [](uint8_t, uint8_t s) { return s; });
    EXPECT_EQ(frame_copy(work_frame), expect);

    // x and w are cut to whole units: x 6 acts as 4, w 11 as 8 with stride 8.
    auto src2 = noise_block(8 * 3);
    blit_aligned(work_frame, src2.data(), 6, 0, 11, 3);
    reference_rect(expect.data(), src2.data(), 4, 0, 8, 3, [](uint8_t, uint8_t s) { return s; });
    EXPECT_EQ(frame_copy(work_frame), expect);
}

TEST_F(Blit, OutOfContractRectanglesAreCutAtTheEdges) {
    // Past the right and bottom edges: the in-frame part is drawn with the source's
    // own stride; nothing lands outside (the sanitizer watches the frame's end).
    const int w = 50, h = 30;
    auto src = noise_block(w * h);
    auto expect = frame_copy(screen_frame);
    blit_opaque(src.data(), 300, 180, w, h);
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 20; ++c) expect[(180 + r) * 320 + 300 + c] = src[r * w + c];
    EXPECT_EQ(frame_copy(screen_frame), expect);

    blit_keyed(src.data(), 0, 320, 0, w, h);  // starts past the edge: nothing
    blit_add(src.data(), 0, 0, 200, w, h);
    blit_blend(src.data(), 0, 400, 10, w, h);
    blit_aligned(screen_frame, src.data(), 320, 0, 48, h);
    EXPECT_EQ(frame_copy(screen_frame), expect);

    blit_blend(src.data(), 0, 290, 185, w, h);  // rows down to 199, cut at 320
    blit_aligned(screen_frame, src.data(), 300, 190, 48, h);
    blit_keyed_to_back(src.data(), 310, 195, w, h);
    SUCCEED();
}

// blit_keyed_clipped as described, for sprites clipped on one side at most.
void reference_clipped(uint8_t* f, const uint8_t* src, int w, int h, int x, int y, uint8_t key) {
    if (x > 319 || y > 199 || x + w < 0 || y + h < 0) return;
    int i = (y < 0 ? -y * w : 0) + (x < 0 ? -x : 0);
    const int skip = x < 0 ? -x : (x + w > 319 ? x + w - 319 : 0);
    for (int r = std::max(y, 0); r < std::min(y + h, 199); ++r, i += skip)
        for (int c = std::max(x, 0); c < std::min(x + w, 319); ++c, ++i)
            if (src[i] != key) f[r * 320 + c] = src[i];
}

TEST_F(Blit, ClippedMatchesTheReferenceEverywhere) {
    const int w = 47, h = 65;
    auto src = noise_block(w * h);
    for (size_t i = 0; i < src.size(); i += 4) src[i] = 149;
    for (int y : {-70, -65, -64, -1, 0, 66, 134, 135, 198, 199, 200}) {
        for (int x : {-60, -47, -46, -10, 0, 100, 272, 273, 300, 318, 319, 320}) {
            noise(screen_frame, FRAME_BYTES);
            auto expect = frame_copy(screen_frame);
            blit_keyed_clipped(src.data(), w, h, int16_t(x), int16_t(y), 149);
            reference_clipped(expect.data(), src.data(), w, h, x, y, 149);
            ASSERT_EQ(frame_copy(screen_frame), expect) << x << "," << y;
        }
    }
}

TEST_F(Blit, ClippedEdges) {
    const int w = 47, h = 65;
    std::vector<uint8_t> src(w * h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) src[r * w + c] = uint8_t(1 + c);  // column number + 1
    blit_keyed_clipped(src.data(), w, h, -10, 20, 0);
    EXPECT_EQ(px(screen_frame, 0, 20), 11);  // sprite column 10 at frame column 0
    EXPECT_EQ(px(screen_frame, 36, 20), 47);
    EXPECT_EQ(px(screen_frame, 37, 20), 0);

    clear_frame(screen_frame);
    blit_keyed_clipped(src.data(), w, h, 300, 20, 0);
    int drawn = 0;
    for (int c = 0; c < 320; ++c) drawn += px(screen_frame, c, 20) != 0;
    EXPECT_EQ(drawn, 19);  // columns 300..318
    EXPECT_EQ(px(screen_frame, 319, 20), 0);

    clear_frame(screen_frame);
    blit_keyed_clipped(src.data(), w, h, 319, 20, 0);
    blit_keyed_clipped(src.data(), w, h, 10, 199, 0);
    for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], 0);

    blit_keyed_clipped(src.data(), w, h, 10, 200 - h, 0);  // y + h = 200: last row lost
    EXPECT_EQ(px(screen_frame, 10, 198), 1);
    EXPECT_EQ(px(screen_frame, 10, 199), 0);
}

TEST_F(Blit, ClippedOnBothSidesKeepsItsRowsAligned) {
    const int w = 400, h = 3;
    std::vector<uint8_t> src(w * h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) src[r * w + c] = uint8_t(r == 0 ? 1 + c % 200 : 7 * r);
    blit_keyed_clipped(src.data(), w, h, -20, 50, 0);
    for (int c = 0; c < 319; ++c) {
        ASSERT_EQ(px(screen_frame, c, 50), 1 + (c + 20) % 200) << c;
        ASSERT_EQ(px(screen_frame, c, 51), 7) << c;
        ASSERT_EQ(px(screen_frame, c, 52), 14) << c;
    }
}

}  // namespace

#include "render/swar.h"

namespace {

// The eight-pixel word helpers against their byte meaning, for every byte pair, in
// every lane (carries between lanes are where such tricks go wrong).
TEST(Swar, MasksAndAddsMatchBytes) {
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            for (int lane = 0; lane < 8; lane += 7) {
                // The lane under test holds a and b, the others hold their complements.
                uint64_t wa = SWAR_ONES * uint8_t(~a), wb = SWAR_ONES * uint8_t(~b);
                wa = (wa & ~(0xFFull << 8 * lane)) | uint64_t(a) << 8 * lane;
                wb = (wb & ~(0xFFull << 8 * lane)) | uint64_t(b) << 8 * lane;
                for (int k = 0; k < 8; ++k) {
                    const uint8_t ba = uint8_t(wa >> 8 * k), bb = uint8_t(wb >> 8 * k);
                    ASSERT_EQ(uint8_t(swar_nonzero(wa ^ wb) >> 8 * k), ba != bb ? 0xFF : 0);
                    ASSERT_EQ(uint8_t(swar_add(wa, wb) >> 8 * k), uint8_t(ba + bb));
                }
            }
        }
}

}  // namespace
