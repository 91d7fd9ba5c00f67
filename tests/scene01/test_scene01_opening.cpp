// Scene 1's opening phases: the counted palette fade, the warp burst's flash
// passes, the logo blobs and the swinging strip.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene01_opening.h"
#include "scenes/timeline.h"

namespace {

using Opening = SceneTest;

// The logo phase's state, fresh for every test (SceneTest resets it).
LogoRun& logo = scene01_run.logo;

// Opens cue `cue` as if the previous one had just ended now.
void open_cue_now(int cue) {
    cue_index = cue;
    start_ticks = platform.sys->ticks() - (cue > 0 ? cue_table[cue - 1] : 0);
}

struct PumpSeen {
    uint64_t presents, uploads;
    std::vector<uint32_t> rgb;
};

TEST_F(Opening, FadeRunsSixtyThreePassesWithoutAPresentThenHolds) {
    std::vector<PumpSeen> seen;
    show_platform([&](const HeadlessScreen& s) {
        seen.push_back({s.presents, s.palette_uploads, std::vector<uint32_t>(s.rgb, s.rgb + 256)});
    });
    open_cue_now(0);
    opening_picture_phase();

    ASSERT_GT(seen.size(), size_t(FADE_PASSES));
    // One present (the picture, under the full palette), then palettes only.
    for (const PumpSeen& p : seen) EXPECT_EQ(p.presents, 1u);
    EXPECT_EQ(memcmp(headless_screen().frame, resource_slot[RES_PSX], FRAME_BYTES), 0);
    // The picture was put up under black: the first pump shows nothing of it.
    for (uint32_t c : seen[0].rgb) ASSERT_EQ(c, 0u);
    // Pass k pumps before its upload: the pump of pass k sees k fade uploads.
    for (int k = 0; k < FADE_PASSES; ++k) EXPECT_EQ(seen[k].uploads, 1u + k) << k;
    for (size_t k = FADE_PASSES; k < seen.size(); ++k) EXPECT_EQ(seen[k].uploads, 1u + FADE_PASSES);
    // After k passes every channel is min(k, its target): a straight rise.
    for (int k : {1, 2, 17, 40, 62}) {
        Palette expect;
        for (int i = 0; i < 768; ++i) expect.rgb[i] = std::min<uint8_t>(uint8_t(k), opening_palette.rgb[i]);
        EXPECT_TRUE(shows(expect, seen[k].rgb.data())) << "pass " << k;
    }
    EXPECT_TRUE(shows(opening_palette, seen.back().rgb.data()));
    // The hold ends at the first pump after 3220 ms.
    EXPECT_GE(headless_time_ms(), 3220.0);
    EXPECT_LT(headless_time_ms(), 3220.0 + SHOW_FRAME_MS);
    EXPECT_EQ(cue_index, 0);
}

TEST_F(Opening, FadeIsCountedNotTimed) {
    int pumps = 0;
    show_platform([&](const HeadlessScreen&) { ++pumps; });
    cue_index = 0;
    start_ticks = platform.sys->ticks() - 5000;  // cue 0 is long over
    opening_picture_phase();
    EXPECT_EQ(pumps, FADE_PASSES);
    EXPECT_EQ(headless_screen().palette_uploads, 1u + FADE_PASSES);
}

TEST_F(Opening, WarpBurstShowsTheFlashPaletteOnePassInSeven) {
    std::vector<bool> flash_seen;
    std::vector<uint64_t> presents;
    const uint32_t flash = uint32_t(FLASH_RGB[0] * 4) << 16 | uint32_t(FLASH_RGB[1] * 4) << 8 | FLASH_RGB[2] * 4;
    show_platform([&](const HeadlessScreen& s) {
        bool all = true;
        for (uint32_t c : s.rgb) all = all && c == flash;
        flash_seen.push_back(all);
        presents.push_back(s.presents);
    });
    copy_frame(back_frame, resource_slot[RES_PSX]);
    open_cue_now(1);
    cue_index = 0;  // the phase opens cue 1 itself
    warp_burst_phase();
    EXPECT_EQ(cue_index, 1);

    // 280 ms of passes. Pass 0 of each seven uploads the flash palette after its
    // pump, so the pump of the following pass sees the whole display in one colour;
    // that pass then uploads the opening palette and presents a warped frame.
    ASSERT_GE(flash_seen.size(), 15u);
    for (size_t p = 0; p < flash_seen.size(); ++p) {
        EXPECT_EQ(flash_seen[p], p % 7 == 1) << "pass " << p;
        // The clearing present, then one per drawn pass before this pump.
        const uint64_t drawn_before = p - (p + 6) / 7;
        EXPECT_EQ(presents[p], 1 + drawn_before) << "pass " << p;
    }
}

TEST_F(Opening, BlobsStartAtRadiusOneThenStayWithinOneToThirtyNine) {
    init_glow_blobs(logo);
    for (const GlowBlob& b : logo.blobs) {
        EXPECT_EQ(b.radius, 0);
        EXPECT_EQ(b.target, 0);
        EXPECT_EQ(b.speed, 0);
        EXPECT_TRUE(b.step >= -3 && b.step <= 1 && b.step != 0) << b.step;
        EXPECT_TRUE(b.pos >= 0 && b.pos < 585) << b.pos;
    }
    update_glow_blobs(logo);
    for (const GlowBlob& b : logo.blobs) {
        EXPECT_EQ(b.radius, 1);
        EXPECT_EQ(b.step, 1);
        EXPECT_EQ(b.speed, 4);
        EXPECT_TRUE(b.target >= 10 && b.target <= 39) << b.target;
    }
    for (int frame = 0; frame < 3000; ++frame) {
        update_glow_blobs(logo);
        for (const GlowBlob& b : logo.blobs) {
            ASSERT_TRUE(b.radius >= 1 && b.radius <= 39) << b.radius;
            ASSERT_TRUE(b.pos >= 0 && b.pos <= 585) << b.pos;
            ASSERT_TRUE(b.target >= 10 && b.target <= 39) << b.target;
        }
    }
}

TEST_F(Opening, BlobsWrapAroundThePathEnds) {
    init_glow_blobs(logo);
    GlowBlob& b = logo.blobs[0];
    b = GlowBlob{1, 4, 20, 30, 583};
    update_glow_blobs(logo);
    EXPECT_EQ(b.pos, 0);  // 587 >= 585
    b = GlowBlob{1, -4, 20, 30, 3};
    update_glow_blobs(logo);
    EXPECT_EQ(b.pos, 585);  // -1 <= 0: the (0, 0) entry, which the stamp skips
    clear_frame(screen_frame);
    for (GlowBlob& o : logo.blobs) o = b;
    draw_glow_blobs(logo);
    for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(screen_frame[k], 0) << k;
}

TEST_F(Opening, StripReadsFromRow49ThenSwingsBetween0And95) {
    // Row r of the strip holds r & 127 doubled, so the averaged pixel gives r & 127.
    std::vector<uint8_t> strip(STRIP_W * STRIP_ROWS);
    for (int r = 0; r < STRIP_ROWS; ++r)
        for (int c = 0; c < STRIP_W; ++c) strip[r * STRIP_W + c] = uint8_t((r & 127) << 1);
    use_resource(RES_OVERL2, strip);

    auto first_row_shown = [] {
        for (int r = 0; r < FRAME_H; ++r)
            for (int c = STRIP_X0; c < STRIP_X0 + STRIP_W; ++c)
                EXPECT_EQ(px(screen_frame, c, r), (px(screen_frame, STRIP_X0, 0) + r) & 127) << r;
        EXPECT_EQ(px(screen_frame, STRIP_X0 - 1, 10), 0);
        EXPECT_EQ(px(screen_frame, STRIP_X0 + STRIP_W, 10), 0);
        return int(px(screen_frame, STRIP_X0, 0));
    };
    std::vector<int> positions;
    for (int draw = 0; draw < 400; ++draw) {
        clear_frame(screen_frame);
        draw_strip(logo);
        ASSERT_LE(logo.strip_pos, 95);
        EXPECT_EQ(first_row_shown(), logo.strip_pos & 127);
        positions.push_back(logo.strip_pos);
    }
    EXPECT_EQ(positions[0], 49);
    EXPECT_EQ(positions[46], 95);   // the highest position reads rows 95..294
    EXPECT_EQ(positions[47], 94);
    EXPECT_EQ(positions[141], 0);   // the lowest reads rows 0..199
    EXPECT_EQ(positions[142], 1);
    EXPECT_EQ(positions[236], 95);
}

TEST_F(Opening, StripAveragesWithoutKeyOrMinimum) {
    std::vector<uint8_t> strip(STRIP_W * STRIP_ROWS, 0);
    use_resource(RES_OVERL2, strip);
    for (int k = 0; k < FRAME_BYTES; ++k) screen_frame[k] = 1;
    draw_strip(logo);
    EXPECT_EQ(px(screen_frame, 40, 100), 0);  // (1 + 0) >> 1, not lifted to 1
    EXPECT_EQ(px(screen_frame, 20, 100), 1);
}

}  // namespace
