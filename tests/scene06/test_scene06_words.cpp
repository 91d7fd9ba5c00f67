// Scene 6's word stack: the smudge against its plain reading, the blend with the
// previous frame, and the title's bytes.
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
void reference_smudge(uint8_t* f, const uint8_t* src, int x, int y, int w, int h, uint8_t add) {
    auto at = [f](int k) { return k >= 0 && k < FRAME_BYTES ? f[k] : 0; };
    int i = 0;
    for (int r = y; r < y + h; ++r)
        for (int k = r * FRAME_W + x; k < r * FRAME_W + x + w; ++k, ++i) {
            if (src[i] == 0) continue;
            const int sum = at(k - 321) + at(k - 320) + at(k - 319) + at(k - 1) + at(k + 1) +
                            at(k + 319) + at(k + 320) + at(k + 321);
            const uint8_t v = uint8_t(sum / 9 + add);
            f[k] = v ? v : 1;
        }
}

TEST_F(Words, SmudgeMatchesTheReference) {
    // Whole-width lines (column 0 reads the row above's end), odd columns, the rows
    // beside the frame's edges, runs of either kind around a word's length, and
    // amounts that wrap (200) or meet the 0 rule (0 over a dark frame).
    const struct {
        int x, y, w, h;
        uint8_t add;
    } rects[] = {{0, 73, 320, 11, 5}, {0, 1, 320, 3, 17}, {0, 196, 320, 3, 0},
                 {37, 50, 101, 40, 200}, {1, 2, 7, 50, 1}, {311, 150, 9, 48, 10}};
    for (const auto& rc : rects)
        for (int dark = 0; dark < 2; ++dark) {
            auto src = noise_block(size_t(rc.w) * rc.h);
            for (size_t i = 0; i < src.size(); i += 1 + rng_() % 20)
                if (rng_() % 2) std::fill(src.begin() + long(i), src.begin() + long(std::min(i + 12, src.size())), 0);
            for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(rng_() & (dark ? 3 : 255));
            auto expect = screen_copy();
            blit_smudge(src.data(), 0, uint16_t(rc.x), uint16_t(rc.y), uint16_t(rc.w), uint16_t(rc.h), rc.add);
            reference_smudge(expect.data(), src.data(), rc.x, rc.y, rc.w, rc.h, rc.add);
            ASSERT_EQ(screen_copy(), expect) << rc.x << "," << rc.y << " dark " << dark;
        }
}

TEST_F(Words, BlendWithBackIsTheFlooredMeanWithNoMinimum) {
    for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(i * 7 + i / 320), back_frame[i] = uint8_t(i * 13);
    auto expect = screen_copy();
    for (int i = 0; i < FRAME_BYTES; ++i) expect[i] = uint8_t((expect[i] + back_frame[i]) >> 1);  // 1 + 0 gives 0
    blend_with_back();
    EXPECT_EQ(screen_copy(), expect);
    uint8_t a[19] = {}, b[19] = {};  // a tail past the last whole group
    a[17] = 255, b[17] = 254;
    average_into(a, b, 19);
    EXPECT_EQ(a[17], 254);
}

TEST_F(Words, TheTitleLandsOnBrightIndicesOverTheBackground) {
    // Added onto 151 with wrap-around, the title must land on the palette's pale
    // end, its dark navies below the background's band or its black end, never in
    // that band (117..175: the background, the smudged lines, the glow), where it
    // would read as noise.
    const uint8_t* title = resource_slot[RES_SE_CONT];
    int bright = 0;
    for (int i = 0; i < TITLE_W * TITLE_H; ++i) {
        if (title[i] == 0) continue;
        const int shown = (CLOUD_BACKGROUND + title[i]) % 256;
        ASSERT_TRUE(shown < 117 || shown > 175) << "byte " << int(title[i]) << " at " << i;
        bright += shown < 100;
    }
    EXPECT_GT(bright, TITLE_W * TITLE_H / 6);
}

}  // namespace
