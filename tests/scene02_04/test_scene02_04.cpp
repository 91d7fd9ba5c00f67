// Scenes 2 and 4, the two portraits under the circling lens: their offset tables,
// every presented frame against the effect read plainly (window, mix, tiling,
// figure, then the melting warp), the cue already over on entry, the warp at a low
// frame rate and the indices their pictures keep to.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/platform.h"
#include "render/carried.h"
#include "render/xor_warp.h"
#include "scene_fixture.h"
#include "scenes/palettes.h"
#include "scenes/scene02_lens_girl.h"
#include "scenes/scene04_lens_boy.h"
#include "scenes/timeline.h"
#include "warp_reference.h"

namespace {

using LensScenes = SceneTest;

TEST(LensTables, AreTheCircleRoundedHalfUp) {
    struct Case {
        const LensTable& table;
        int centre, phase;
    };
    const Case cases[] = {{girl_lens_x, 75, 56}, {girl_lens_y, 23, 8}, {boy_lens_x, 75, 40}, {boy_lens_y, 23, 24}};
    for (const Case& c : cases)
        for (int i = 0; i < LENS_STEPS; ++i) {
            const double v = 11.0 * std::cos(2.0 * M_PI * (i + c.phase) / 64.0);
            EXPECT_EQ(c.table[i], c.centre + int(std::floor(v + 0.5))) << "phase " << c.phase << " step " << i;
        }
}

// The effect read plainly, one frame at a time, from the picture and figure the
// scene reads: the reference for every frame the scenes present. The packed mix is
// the render kit's, checked against its word-by-word reading in tests/render.
struct PlainLens {
    const uint8_t* picture;
    const uint8_t* figure;
    const LensTable &tx, &ty;
    std::vector<uint8_t> back, mixed, shown;
    int index = 0;

    PlainLens(ResourceId pic, ResourceId fig, const LensTable& x, const LensTable& y)
        : picture(resource_slot[pic]), figure(resource_slot[fig]), tx(x), ty(y),
          back(picture, picture + FRAME_BYTES) {}

    void frame() {
        std::vector<uint8_t> s(picture, picture + FRAME_BYTES);
        for (int r = 0; r < 147; ++r)
            for (int c = 0; c < 148; ++c) {
                const int k = (23 + r) * 320 + 75 + c;
                if (picture[k] != 1) s[k] = picture[(ty[index] + r) * 320 + tx[index] + c];
            }
        index = index == 63 ? 0 : index + 1;
        feedback_mix(s.data(), back.data());
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) back[y * 320 + x] = s[2 * (y % 100) * 320 + 2 * (x % 160)];
        mixed = shown = s;
        for (int r = 0; r < FIGURE_H; ++r)
            std::copy_n(figure + r * FIGURE_W, FIGURE_W, shown.begin() + (5 + r) * 320 + 108);
    }
};

// One melting frame read plainly: stripes by flip and t, then the displaced copy of
// back into the interior of screen.
void plain_melt(std::vector<uint8_t>& screen, const std::vector<uint8_t>& back, uint8_t& flip, uint8_t t) {
    std::vector<uint8_t> w(FRAME_BYTES);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) w[y * 320 + x] = uint8_t((flip ? x - y : x + y) ^ t);
    flip ^= 1;
    reference_warp(screen.data(), back.data(), w.data());
}

bool same_frame(const HeadlessScreen& s, const std::vector<uint8_t>& want) {
    return std::equal(want.begin(), want.end(), s.frame);
}

// Opens `cue` at show time `now_ms` on a headless clock of `frame_ms` per pump.
void open_cue_at(int cue, uint32_t now_ms, double frame_ms, const PumpWatch& watch) {
    static PumpWatch hook;
    hook = watch;
    HeadlessConfig c;
    c.frame_ms = frame_ms;
    c.settings = RunSettings{true, false, 44100, 1};
    c.on_pump = [](void*) { hook(headless_screen()); };
    headless_install(c);
    cue_index = cue - 1;
    start_ticks = platform.sys->ticks() - now_ms;
}

TEST_F(LensScenes, GirlEveryFrameIsTheEffectReadPlainly) {
    PlainLens ref(RES_SELF_G, RES_GIRL, girl_lens_x, girl_lens_y);
    uint64_t frames = 0, wrong = 0;
    run_scene(2, [&](const HeadlessScreen& s) {
        EXPECT_EQ(s.presents, 2 + frames + 1) << "two cleared frames, then one present per pump";
        ref.frame();
        ++frames;
        if (!same_frame(s, ref.shown)) ++wrong;
    });
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(frames, 128u);  // two turns of the circle and more: index 63 goes on to 0
    EXPECT_EQ(cue_index, 7);
    EXPECT_GE(headless_time_ms(), 41620.0 - 34200.0);
    EXPECT_TRUE(shows(scene2_palette));
}

TEST_F(LensScenes, BoyThenTheWarpMeltsTheLastMixedPicture) {
    PlainLens ref(RES_SELF_B, RES_BOY, boy_lens_x, boy_lens_y);
    std::vector<uint8_t> melt, frozen;
    uint8_t flip = 1, n = 0;  // as scene 1 may leave the stripes
    uint64_t seen = 0, lens_frames = 0, melt_frames = 0, wrong = 0;
    open_cue_at(9, 53000, SHOW_FRAME_MS, [&](const HeadlessScreen& s) {
        if (s.presents == seen || s.presents <= 2) return;
        seen = s.presents;
        if (cue_index == 9) {
            ref.frame();
            ++lens_frames;
            wrong += !same_frame(s, ref.shown);
            return;
        }
        if (melt.empty()) melt = frozen = ref.mixed;  // the figure was never in it
        plain_melt(melt, frozen, flip, n++);
        ++melt_frames;
        wrong += !same_frame(s, melt);
    });
    carried.stripe_flip = 1;
    scene_lens_portrait_b();
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(lens_frames, 600u);
    EXPECT_GE(melt_frames, 13u);  // 200 ms at 70 frames a second
    EXPECT_EQ(cue_index, 10);
    EXPECT_EQ(carried.stripe_flip, flip);
}

TEST_F(LensScenes, CueOverOnEntryDrawsNothingButLeavesThePortraitBehind) {
    int pumps = 0;
    open_cue_at(7, 42000, SHOW_FRAME_MS, [&](const HeadlessScreen&) { ++pumps; });
    scene_lens_portrait_a();
    EXPECT_EQ(pumps, 0);
    EXPECT_EQ(headless_screen().presents, 2u);
    EXPECT_EQ(cue_index, 7);
    EXPECT_TRUE(std::equal(back_frame, back_frame + FRAME_BYTES, resource_slot[RES_SELF_G]));
    EXPECT_EQ(headless_screen().rgb[200], shown_rgb(scene2_palette, 200));
}

TEST_F(LensScenes, AtALowFrameRateTheWarpMayDrawOneFrameOrNoneAndNeverTheFigure) {
    // A figure of 0xFA: the mix clears bit 6 of every byte, so no mixed picture, and
    // no warp of one, can hold that value.
    std::vector<uint8_t> figure(FIGURE_W * FIGURE_H, 0xFA);
    use_resource(RES_BOY, figure);
    auto holds_figure = [](const HeadlessScreen& s) { return std::count(s.frame, s.frame + FRAME_BYTES, 0xFA); };
    for (const auto& [period, melt_expected] : {std::pair{500.0, 1}, std::pair{1000.0, 0}}) {
        int melts = 0;
        uint64_t seen = 0;
        open_cue_at(9, 53000, period, [&](const HeadlessScreen& s) {
            if (s.presents == seen || s.presents <= 2) return;
            seen = s.presents;
            if (cue_index == 9) {
                EXPECT_EQ(holds_figure(s), FIGURE_W * FIGURE_H);
            } else {
                ++melts;
                EXPECT_EQ(holds_figure(s), 0);
            }
        });
        scene_lens_portrait_b();
        EXPECT_EQ(melts, melt_expected) << period;
        EXPECT_EQ(cue_index, 10);
        // With no melting frame the last lens frame, figure and all, stays on screen.
        if (melt_expected == 0) {
            EXPECT_EQ(holds_figure(headless_screen()), FIGURE_W * FIGURE_H);
        }
    }
}

TEST_F(LensScenes, PicturesKeepToTheIndicesTheFeedbackLeavesReadable) {
    // Under the doubling feedback an odd portrait byte reaches the top bits of the
    // smallest tiles as noise, and a top bit carries into the next pixel: every byte
    // stays even and below 128, but for the protected 1 (which must be there, for
    // the eyes). The figures are shown as they are, on their own ramps (64..127) and
    // the warm run and greys, never on the teal and black the feedback runs through.
    for (ResourceId id : {RES_SELF_G, RES_SELF_B}) {
        const uint8_t* p = resource_slot[id];
        EXPECT_EQ(std::count_if(p, p + FRAME_BYTES, [](uint8_t v) { return v != 1 && (v % 2 != 0 || v >= 128); }), 0)
            << resource_catalogue[id];
        EXPECT_GT(std::count(p, p + FRAME_BYTES, 1), 0) << resource_catalogue[id];
    }
    for (ResourceId id : {RES_GIRL, RES_BOY}) {
        const uint8_t* p = resource_slot[id];
        EXPECT_EQ(std::count_if(p, p + FIGURE_W * FIGURE_H, [](uint8_t v) { return v < 64 || (v >= 128 && v < 165); }), 0)
            << resource_catalogue[id];
    }
}

}  // namespace
