// Scene 5: the zoom mapping against its plain reading (with the clamp of the
// first zoom frame), the counted transitions at any frame rate, the sliding
// sprite's path and its trail, and the whole scene on the show's clock.
#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "render/blit.h"
#include "scene_fixture.h"
#include "scenes/scene05_textured_tube.h"
#include "scenes/timeline.h"

namespace {

using TexturedTube = SceneTest;

// The mapping read directly, in single precision, before any clamp.
int64_t plain_source(int x, int y, float a) {
    const float s = 1.0f / a;
    return int64_t(320 * (float(int(float(y) * s)) + a) + (float(x) + a) * s);
}

// The zoom factors of the two transitions, in the order they are used.
std::vector<double> zoom_factors() {
    std::vector<double> all;
    double a = 1.0;
    do {
        all.push_back(a);
        a = a + a * 0.1f;
    } while (a < 30.0);
    for (; a > 1.0; a = a - a * 0.1f) all.push_back(a);
    return all;
}

TEST_F(TexturedTube, ZoomsMatchThePlainMappingAndStayInsideTheFrame) {
    // Only the first frame (a = 1) reaches past back_frame: the last pixel of row
    // 198 and all of row 199, which then read the frame's last byte.
    std::vector<uint8_t> back = noise_block(FRAME_BYTES), screen = noise_block(FRAME_BYTES);
    std::copy(back.begin(), back.end(), back_frame);
    for (double a : zoom_factors()) {
        const float af = float(a);
        std::copy(screen.begin(), screen.end(), screen_frame);
        zoom_blend(af);
        std::vector<uint8_t> blended(screen_frame, screen_frame + FRAME_BYTES);
        zoom_copy(af);
        int outside = 0;
        for (int y = 0; y < FRAME_H; ++y)
            for (int x = 0; x < FRAME_W; ++x) {
                int64_t s = plain_source(x, y, af);
                ASSERT_GE(s, 0);
                if (s >= FRAME_BYTES) {
                    ++outside;
                    ASSERT_TRUE(y == 199 || (y == 198 && x == 319)) << x << "," << y << " a " << a;
                    s = FRAME_BYTES - 1;
                }
                const int k = y * FRAME_W + x;
                ASSERT_EQ(screen_frame[k], back[s]) << x << "," << y << " a " << a;
                ASSERT_EQ(blended[k], (screen[k] + back[s]) >> 1) << x << "," << y << " a " << a;
            }
        EXPECT_EQ(outside, a == 1.0 ? 321 : 0) << a;
    }
    // At a = 1 the picture moves one row up and one column left.
    std::copy(screen.begin(), screen.end(), screen_frame);
    zoom_copy(1.0f);
    EXPECT_EQ(px(screen_frame, 10, 20), back[21 * FRAME_W + 11]);
}

// Counts a run's pumps before and after the cut (the scene's only palette upload
// before its flight) on a clock of 400 ms a frame.
struct CutCount {
    int before = 0, after = 0;
};
void count_pump(void* user) {
    CutCount& c = *static_cast<CutCount*>(user);
    (headless_screen().palette_uploads == 0 ? c.before : c.after) += 1;
}

TEST_F(TexturedTube, TransitionsCountFramesWhateverTheClock) {
    CutCount count;
    HeadlessConfig slow;
    slow.frame_ms = 400.0;  // the cue ends long before the transitions do
    slow.settings = RunSettings{true, false, 44100, 1};
    slow.on_pump = count_pump;
    slow.user = &count;
    headless_install(slow);
    cue_index = 10;
    start_ticks = platform.sys->ticks() - cue_table[10];
    scene_textured_tube();
    EXPECT_EQ(count.before, 36);
    EXPECT_EQ(count.after, 33);  // and no flight frame: its cue is over
    EXPECT_EQ(cue_index, 11);
}

// A test sprite: k1 a 3-pixel-wide bar in colour 7 at its column 50, k2 a full
// rectangle, so that the silhouettes show beside the sprite.
struct SliderFixture {
    std::vector<uint8_t> k1 = std::vector<uint8_t>(K1_W * K1_H, 0);
    std::vector<uint8_t> k2 = std::vector<uint8_t>(K1_W * K1_H, 1);
    SliderFixture() {
        for (int r = 0; r < K1_H; ++r)
            for (int c = 50; c < 53; ++c) k1[r * K1_W + c] = 7;
    }
};

TEST_F(TexturedTube, SpriteSlidesToItsStopThenTheTrailClosesUp) {
    SliderFixture s;
    use_resource(RES_K1, s.k1);
    use_resource(RES_K2, s.k2);
    std::vector<int> xs, gaps;
    std::vector<bool> trail_drawn;
    for (int call = 1; call <= 45; ++call) {
        clear_frame(screen_frame);
        xs.push_back(scene05_run.slide_x);
        gaps.push_back(scene05_run.trail_gap);
        draw_sliding_sprite(scene05_run);
        trail_drawn.push_back(std::any_of(screen_frame, screen_frame + FRAME_BYTES,
                                          [](uint8_t p) { return p >= 239 && p <= 250; }));
        EXPECT_EQ(px(screen_frame, xs.back() + 51, 70), 7) << call;  // the sprite, always
    }
    for (int i = 0; i < 18; ++i) EXPECT_EQ(xs[i], 12 * i);
    for (int i = 18; i < 45; ++i) EXPECT_EQ(xs[i], 213);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(gaps[i], 20);
    for (int i = 18; i < 38; ++i) EXPECT_EQ(gaps[i], 20 - (i - 17)) << i;  // 19 .. 0
    EXPECT_EQ(gaps[37], 0);
    for (int i = 0; i < 38; ++i) EXPECT_TRUE(trail_drawn[i]) << i;
    for (int i = 38; i < 45; ++i) EXPECT_FALSE(trail_drawn[i]) << "call " << i + 1;
    EXPECT_TRUE(scene05_run.trail_finished);
}

TEST_F(TexturedTube, SilhouettesClampAtTheLeftEdgeWithTheDarkestOnTop) {
    SliderFixture s;
    use_resource(RES_K1, s.k1);
    use_resource(RES_K2, s.k2);
    scene05_run.slide_x = 48;  // silhouettes at 28, 8, then ten at 0
    clear_frame(screen_frame);
    draw_sliding_sprite(scene05_run);
    EXPECT_EQ(px(screen_frame, 0, 10), 250);
    EXPECT_EQ(px(screen_frame, 104, 10), 250);
    EXPECT_EQ(px(screen_frame, 105, 10), 240);
    EXPECT_EQ(px(screen_frame, 112, 10), 240);
    EXPECT_EQ(px(screen_frame, 113, 10), 239);
    EXPECT_EQ(px(screen_frame, 132, 10), 239);
    EXPECT_EQ(px(screen_frame, 133, 10), 0);
    EXPECT_EQ(px(screen_frame, 48 + 51, 10), 7);  // the sprite over them
    EXPECT_EQ(px(screen_frame, 48 + 60, 10), 240);  // its key bytes show what is below
    EXPECT_EQ(px(screen_frame, 0, K1_H), 0);    // nothing below its rows
}

struct SceneRecord {
    int transition_pumps = 0;       // before cue 11 opened
    std::vector<int> slide;         // scene05_run.slide_x at each pump of the flight
};

SceneRecord run_scene5() {
    SceneRecord rec;
    run_scene(5, [&](const HeadlessScreen&) {
        if (cue_index < 11) ++rec.transition_pumps;
        else rec.slide.push_back(scene05_run.slide_x);
    });
    return rec;
}

TEST_F(TexturedTube, WholeSceneConsumesCueElevenAndShowsTheSpriteFromFrame65) {
    clear_frame(screen_frame);
    clear_frame(back_frame);
    const SceneRecord rec = run_scene5();
    EXPECT_EQ(rec.transition_pumps, 69);
    EXPECT_EQ(cue_index, 11);
    const double show_ms = double(cue_table[10]) + headless_time_ms();  // the clock began there
    EXPECT_GE(show_ms, double(cue_table[11]));
    EXPECT_LT(show_ms, double(cue_table[11]) + SHOW_FRAME_MS);
    ASSERT_GT(rec.slide.size(), 100u);
    EXPECT_EQ(rec.slide[63], 0);   // after flight frame 64
    EXPECT_EQ(rec.slide[64], 12);  // frame 65 drew the sprite
    EXPECT_EQ(rec.slide.back(), 213);
    EXPECT_TRUE(scene05_run.trail_finished);
}

}  // namespace
