// Scene 6's word stack: the smudge against its plain reading, which line each phase
// draws and how, the blend with the previous frame, and the title's bytes.
#include <algorithm>
#include <vector>

#include "render/blit.h"
#include "render/frame_mix.h"
#include "scene_fixture.h"
#include "scenes/scene06_glow_cloud.h"

namespace {

using Words = SceneTest;

std::vector<uint8_t> screen_copy() { return {screen_frame, screen_frame + FRAME_BYTES}; }

// blit_smudge as described: row-major, in place, linear neighbours (outside the
// frame counting as 0), floor(sum / 9) + add in a byte, 0 written as 1.
void reference_smudge(uint8_t* f, const uint8_t* src, uint8_t key, int x, int y, int w, int h,
                      uint8_t add) {
    auto at = [f](int k) { return k >= 0 && k < FRAME_BYTES ? f[k] : 0; };
    int i = 0;
    for (int r = y; r < y + h; ++r)
        for (int k = r * FRAME_W + x; k < r * FRAME_W + x + w; ++k, ++i) {
            if (src[i] == key) continue;
            const int sum = at(k - 321) + at(k - 320) + at(k - 319) + at(k - 1) + at(k + 1) +
                            at(k + 319) + at(k + 320) + at(k + 321);
            const uint8_t v = uint8_t(sum / 9 + add);
            f[k] = v ? v : 1;
        }
}

TEST_F(Words, SmudgeReadsItsNeighboursAsAlreadyWritten) {
    fill_frame(screen_frame, 9);
    const uint8_t two[2] = {7, 7};
    blit_smudge(two, 0, 100, 100, 2, 1, 5);
    EXPECT_EQ(px(screen_frame, 100, 100), 72 / 9 + 5);
    EXPECT_EQ(px(screen_frame, 101, 100), (63 + 13) / 9 + 5);  // left neighbour now 13
    // Key pixels stay; a zero result is written as 1; the sum wraps in a byte.
    fill_frame(screen_frame, 0);
    const uint8_t mixed[3] = {0, 4, 0};
    blit_smudge(mixed, 0, 10, 10, 3, 1, 0);
    EXPECT_EQ(px(screen_frame, 10, 10), 0);
    EXPECT_EQ(px(screen_frame, 11, 10), 1);
    fill_frame(screen_frame, 255);
    blit_smudge(mixed, 0, 10, 10, 3, 1, 40);
    EXPECT_EQ(px(screen_frame, 11, 10), (226 + 40) % 256);
}

TEST_F(Words, SmudgeMatchesTheReference) {
    // Whole-width lines (column 0 reads the row above's end), rectangles at odd
    // columns, the rows next to the frame's edges, runs of either kind longer and
    // shorter than a word, and amounts that wrap or meet a 0.
    const struct {
        int x, y, w, h;
        uint8_t add;
    } rects[] = {{0, 73, 320, 11, 5}, {0, 1, 320, 3, 17}, {0, 196, 320, 3, 0},
                 {37, 50, 101, 40, 200}, {1, 2, 7, 50, 1}, {311, 150, 9, 48, 10}};
    for (const auto& rc : rects)
        for (int kind = 0; kind < 2; ++kind) {
            auto src = noise_block(size_t(rc.w) * rc.h);
            for (size_t i = 0; i < src.size();) {
                const size_t n = 1 + rng_() % 20;
                const bool key = rng_() % 2;
                for (size_t j = i; j < std::min(i + n, src.size()); ++j) src[j] = key ? 0 : src[j] | 1;
                i += n;
            }
            for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(rng_());
            if (kind == 1)  // dark frame: sums below 9 meet the 0 rule when add is 0
                for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] &= 3;
            auto expect = screen_copy();
            blit_smudge(src.data(), 0, uint16_t(rc.x), uint16_t(rc.y), uint16_t(rc.w), uint16_t(rc.h), rc.add);
            reference_smudge(expect.data(), src.data(), 0, rc.x, rc.y, rc.w, rc.h, rc.add);
            ASSERT_EQ(screen_copy(), expect) << rc.x << "," << rc.y << " kind " << kind;
        }
}

TEST_F(Words, EachPhaseBlendsItsLineAndSmudgesTheOlderOnesTopDown) {
    // The stack's table: line rows, and per phase blend for the new line, smudge by
    // age for the older ones (+5, +10, +15, +17), top line first.
    const ResourceId lines[5] = {RES_BLASM, RES_PURPLE, RES_FUDGE, RES_PRONE, RES_HYPE};
    const uint16_t rows[5] = {73, 94, 115, 136, 157};
    const int amount[5][5] = {{-1}, {5, -1}, {10, 5, -1}, {15, 10, 5, -1}, {17, 15, 10, 5, -1}};
    for (int phase = 0; phase < 5; ++phase) {
        for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(140 + rng_() % 60);
        auto start = screen_copy();
        draw_word_stack(phase);
        auto drawn = screen_copy();
        std::copy(start.begin(), start.end(), screen_frame);
        for (int line = 0; line <= phase; ++line) {
            if (amount[phase][line] < 0)
                blit_blend(resource_slot[lines[line]], 0, 0, rows[line], 320, 11);
            else
                blit_smudge(resource_slot[lines[line]], 0, 0, rows[line], 320, 11, uint8_t(amount[phase][line]));
        }
        EXPECT_EQ(drawn, screen_copy()) << "phase " << phase;
        // Nothing below the newest line changes.
        EXPECT_TRUE(std::equal(start.begin() + (rows[phase] + 11) * FRAME_W, start.end(),
                               drawn.begin() + (rows[phase] + 11) * FRAME_W));
    }
}

TEST_F(Words, BlendWithBackIsTheFlooredMeanWithNoMinimum) {
    for (int i = 0; i < FRAME_BYTES; ++i) {
        screen_frame[i] = uint8_t(rng_());
        back_frame[i] = uint8_t(rng_());
    }
    px(screen_frame, 0, 0) = 1;
    px(back_frame, 0, 0) = 0;
    px(screen_frame, 319, 199) = 255;
    px(back_frame, 319, 199) = 254;
    auto expect = screen_copy();
    for (int i = 0; i < FRAME_BYTES; ++i) expect[i] = uint8_t((expect[i] + back_frame[i]) >> 1);
    blend_with_back();
    EXPECT_EQ(screen_copy(), expect);
    EXPECT_EQ(px(screen_frame, 0, 0), 0);
    EXPECT_EQ(px(screen_frame, 319, 199), 254);
    // A block that does not end on a whole group of pixels.
    uint8_t a[37], b[37];
    for (int i = 0; i < 37; ++i) a[i] = uint8_t(255 - i), b[i] = uint8_t(i * 7);
    average_into(a, b, 37);
    for (int i = 0; i < 37; ++i) EXPECT_EQ(a[i], (255 - i + i * 7) >> 1) << i;
}

TEST_F(Words, TheTitleLandsOnBrightIndicesOverTheBackground) {
    // The title is added onto 151 and wraps: its face must land on the palette's
    // pale end, its rim on the dark one, and nothing on the background's own
    // neighbourhood, where it would read as noise.
    const uint8_t* title = resource_slot[RES_SE_CONT];
    int face = 0;
    for (int i = 0; i < TITLE_W * TITLE_H; ++i) {
        if (title[i] == 0) continue;
        const int shown = (CLOUD_BACKGROUND + title[i]) % 256;
        ASSERT_TRUE(shown < 100 || shown > 175) << "byte " << int(title[i]) << " at " << i;
        face += shown < 100;
    }
    EXPECT_GT(face, TITLE_W * TITLE_H / 6);
}

}  // namespace
