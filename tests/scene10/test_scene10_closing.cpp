// The closing scene as a whole: its sprites' clipping and slides, the counted
// shrink, the cues it opens and skips, the fade reaching black with the music
// falling step by step to level 1, and the room its pictures leave the dots and
// the sprites' lettering.
#include <algorithm>
#include <string>
#include <vector>

#include "archive/resources.h"
#include "closing_run.h"
#include "display/display.h"
#include "scenes/closing_outlines.h"
#include "scenes/scene10_closing.h"
#include "scenes/scene10_fades.h"

namespace {

using Closing = SceneTest;

TEST_F(Closing, SpritesEnterFromOffFrameOneColumnAtATime) {
    std::vector<uint8_t> ua(UPPERA_W * UPPERA_H, 7), la(LOWERA_W * LOWERA_H, 7), dp(DOTP_W * DOTP_H, 7);
    use_resource(RES_UPPERA, ua);
    use_resource(RES_LOWERA, la);
    use_resource(RES_DOTP, dp);
    clear_frame(screen_frame);
    // At their starting places, and with dotp at column 319, nothing is drawn.
    draw_sprites({UPPERA_FROM, LOWERA_FROM, DOTP_FROM});
    draw_sprites({UPPERA_FROM, LOWERA_FROM, 319});
    for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], 0) << i;
    // One slide later uppera shows its last column at 0 and dotp its first at 318.
    ClosingSprites s{UPPERA_FROM, LOWERA_FROM, 319};
    slide_sprites(s);
    draw_sprites(s);
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x) {
            const bool drawn = (x == 0 && y >= UPPERA_Y && y < UPPERA_Y + UPPERA_H) ||
                               (x == 318 && y >= DOTP_Y && y < DOTP_Y + DOTP_H);
            ASSERT_EQ(px(screen_frame, x, y), drawn ? 7 : 0) << x << "," << y;
        }
}

TEST_F(Closing, SlidesStopAtTheirEndPlaces) {
    ClosingSprites s{UPPERA_FROM, LOWERA_FROM, DOTP_FROM};
    for (int k = 0; k < 105; ++k) slide_sprites(s);
    EXPECT_EQ(s.ua, 53);
    EXPECT_EQ(s.la, -43);
    EXPECT_EQ(s.dp, 237);
    for (int k = 0; k < 300; ++k) slide_sprites(s);
    EXPECT_EQ(s.ua, UPPERA_TO);
    EXPECT_EQ(s.la, LOWERA_TO);
    EXPECT_EQ(s.dp, DOTP_TO);
}

struct Timeline {
    std::vector<int> cue_at_pump;     // cue_index seen at each pump
    std::vector<uint32_t> show_ms;    // show time at each pump, as the cue test reads it
    uint64_t presents = 0;
};

// Runs the scene starting late_ms after cue 20's end (144000 ms).
Timeline run_and_watch(double frame_ms, uint32_t late_ms) {
    Timeline t;
    run_closing(frame_ms, late_ms, [&](const HeadlessScreen& s) {
        t.cue_at_pump.push_back(cue_index);
        t.show_ms.push_back(platform.sys->ticks() - start_ticks);
        t.presents = s.presents;
    });
    return t;
}

int count(const std::vector<int>& v, int cue) { return int(std::count(v.begin(), v.end(), cue)); }

TEST_F(Closing, ShrinkIsCountedThenCuesTwentyOneAndTwentyTwoRunToTheirEnds) {
    const Timeline t = run_and_watch(SHOW_FRAME_MS, 0);
    ASSERT_EQ(count(t.cue_at_pump, 20), 105);
    EXPECT_NEAR(t.show_ms[104], 145500, 1);
    // Each cue's frames run until the first test at or after its end.
    const size_t first22 = size_t(105 + count(t.cue_at_pump, 21));
    ASSERT_LT(first22, t.show_ms.size());
    EXPECT_LT(t.show_ms[first22 - 2], 148300u);
    EXPECT_GE(t.show_ms[first22 - 1], 148300u);
    EXPECT_LT(t.show_ms[t.show_ms.size() - 2], 150000u);
    EXPECT_GE(t.show_ms.back(), 150000u);
    EXPECT_EQ(t.presents, 1 + t.cue_at_pump.size());  // the set-up's black frame, then one a pump
    EXPECT_EQ(cue_index, 22);
}

TEST_F(Closing, ShrinkRunsItsFramesWhateverTheClockAndPassedCuesDrawNothing) {
    // Scene 9 ran long: cue 21 is over before the shrink ends, so it draws nothing
    // and cue 22 starts at once.
    Timeline t = run_and_watch(SHOW_FRAME_MS, 148300 - 144000 - 100);
    EXPECT_EQ(count(t.cue_at_pump, 20), 105);
    EXPECT_EQ(count(t.cue_at_pump, 21), 0);
    EXPECT_GT(count(t.cue_at_pump, 22), 0);
    // The whole show's time is up: the shrink alone is drawn.
    t = run_and_watch(SHOW_FRAME_MS, 10000);
    EXPECT_EQ(t.cue_at_pump.size(), 105u);
    EXPECT_EQ(t.presents, 106u);
    EXPECT_EQ(cue_index, 22);
    EXPECT_TRUE(recorded_volumes().empty());
}

TEST_F(Closing, FadeIsBlackAfter128FramesWithTheMusicLeftAtLevelOne) {
    // One millisecond a frame: the last cue holds 1700 frames, far more than the fade.
    int fade_frames = 0;
    bool black_before = false, black_at_128 = false, black_at_end = false;
    std::vector<size_t> volumes_at;
    run_closing(1.0, 0, [&](const HeadlessScreen& s) {
        if (cue_index != 22) return;
        ++fade_frames;
        bool black = true;
        for (uint32_t c : s.rgb) black = black && c == 0;
        if (fade_frames == 127) black_before = black;
        if (fade_frames == 128) black_at_128 = black;
        black_at_end = black;
        volumes_at.push_back(recorded_volumes().size());
    });
    EXPECT_GT(fade_frames, 1000);
    EXPECT_FALSE(black_before);
    EXPECT_TRUE(black_at_128);
    EXPECT_TRUE(black_at_end);
    // The volume steps with the palette: one on every second frame, none after 128.
    EXPECT_EQ(volumes_at[0], 0u);
    EXPECT_EQ(volumes_at[1], 1u);
    EXPECT_EQ(volumes_at[127], 64u);
    ASSERT_EQ(recorded_volumes().size(), 64u);
    for (int k = 0; k < 64; ++k) EXPECT_EQ(recorded_volumes()[size_t(k)], (64 - k) * 4) << k;
}

TEST_F(Closing, NoDotCarriesThePictureIntoTheDimmingHalf) {
    // Over the lit half a dot may add up to 148 and no further: one more step lands
    // in the dimming copy, whose first colour is the ramp's darkest, and the dot
    // shows a dark core. The pictures leave the dots that room in every frame: the
    // shrink with the sprites sliding under the dots, the hold and the fade.
    const uint8_t* picture = resource_slot[RES_APFRM];
    std::vector<uint8_t> under(FRAME_BYTES);
    ClosingSprites sprites{UPPERA_FROM, LOWERA_FROM, DOTP_FROM};
    int checked = 0;
    std::string first_fault;
    run_scene(10, [&](const HeadlessScreen& s) {
        const uint32_t now = platform.sys->ticks() - start_ticks;
        // What the frame held before its dots: the picture, and the sprites until the
        // fade drops them; they slide after every present.
        copy_frame(under.data(), picture);
        if (cue_index != 22) {
            uint8_t* const saved = screen_frame;
            screen_frame = under.data();
            draw_sprites(sprites);
            screen_frame = saved;
            slide_sprites(sprites);
        }
        if (!first_fault.empty()) return;
        ++checked;
        for (int i = 0; i < FRAME_BYTES && first_fault.empty(); ++i)
            if (s.frame[i] >= SPRITE_KEY && under[i] < SPRITE_KEY)
                first_fault = "pixel " + std::to_string(i % FRAME_W) + "," + std::to_string(i / FRAME_W) + " at " +
                              std::to_string(now) + " ms: " + std::to_string(under[i]) + " became " +
                              std::to_string(s.frame[i]);
    });
    EXPECT_EQ(first_fault, "");
    EXPECT_GT(checked, 400);
}

TEST_F(Closing, BelowTheSkylineNoDotLandsOnBlack) {
    // Palette entries 1..41 are black: a dot adding onto a black pixel climbs only
    // to a dim grey disc. The shrinking trails sweep the lake and the bank, so
    // there the picture keeps to the lit colours wherever a dot lands.
    constexpr int SKYLINE = 158, LIT = 42;
    const uint8_t* picture = resource_slot[RES_APFRM];
    int dotted = 0;
    std::string first_fault;
    run_scene(10, [&](const HeadlessScreen& s) {
        for (int i = SKYLINE * FRAME_W; i < FRAME_BYTES && first_fault.empty(); ++i) {
            // A dot raised this pixel above the picture (the sprites stand higher).
            if (s.frame[i] <= picture[i]) continue;
            ++dotted;
            if (picture[i] < LIT)
                first_fault = "pixel " + std::to_string(i % FRAME_W) + "," + std::to_string(i / FRAME_W) + ": " +
                              std::to_string(picture[i]) + " became " + std::to_string(s.frame[i]);
        }
    });
    EXPECT_EQ(first_fault, "");
    EXPECT_GT(dotted, 1000);
}

// Whether screen point (x, y) lies inside an outline placed at scale s about the
// screen centre, by the even-odd rule on its points taken as a polygon.
bool inside_outline(const int16_t* ox, const int16_t* oy, int n, double s, double x, double y) {
    bool in = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const double xi = 159 + s * ox[i], yi = 99 + s * oy[i], xj = 159 + s * ox[j], yj = 99 + s * oy[j];
        if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi)) in = !in;
    }
    return in;
}

TEST_F(Closing, LetteringRestsInsideItsBalloonClearOfTheStrings) {
    // Where "lowera" and "dotp" come to rest, every pixel they draw lies inside the
    // heart and the round balloon, two pixels in from the resting trails (scale
    // 0.95), so no letter straddles a balloon's edge or sits on the sky.
    struct Resting {
        ResourceId id;
        int w, h, x, y;
        const int16_t *ox, *oy;
        int n;
    };
    const Resting all[] = {
        {RES_LOWERA, LOWERA_W, LOWERA_H, LOWERA_TO, LOWERA_Y, outline_a_x, outline_a_y, OUTLINE_A_POINTS},
        {RES_DOTP, DOTP_W, DOTP_H, DOTP_TO, DOTP_Y, outline_b_x, outline_b_y, OUTLINE_B_POINTS},
    };
    for (const Resting& r : all) {
        const uint8_t* sprite = resource_slot[r.id];
        int drawn = 0;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                if (sprite[y * r.w + x] == SPRITE_KEY) continue;
                ++drawn;
                const double px = r.x + x + 0.5, py = r.y + y + 0.5;
                for (double dx : {-2.0, 0.0, 2.0})
                    for (double dy : {-2.0, 0.0, 2.0})
                        ASSERT_TRUE(inside_outline(r.ox, r.oy, r.n, 0.95, px + dx, py + dy))
                            << "sprite " << r.id << " pixel " << x << "," << y;
            }
        EXPECT_GT(drawn, 100) << "sprite " << r.id;
    }
}

TEST_F(Closing, PictureKeepsToTheHalfThatDoesNotDim) {
    // The resting trails pass low through the sky: anything there in the dimming
    // half would dim the dots over it, and would pop back when the fade's first
    // step restores the palette.
    const uint8_t* picture = resource_slot[RES_APFRM];
    int dimming = 0;
    for (int i = 0; i < FRAME_BYTES; ++i) dimming += picture[i] >= SPRITE_KEY;
    EXPECT_EQ(dimming, 0);
}

}  // namespace
