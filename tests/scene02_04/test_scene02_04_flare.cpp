// What the lens feedback makes of the portraits, measured where a viewer sees it:
// beside the standing figure (columns 108..215 hold the figure), over 600 ms of
// each lens phase. The feedback must keep moving and stay rich in colour there,
// and the girl's must flare into the warm run, without turning to speckle or to
// stripes down every fourth column.
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <set>
#include <vector>

#include "platform/platform.h"
#include "scene_fixture.h"
#include "scenes/scene02_lens_girl.h"
#include "scenes/scene04_lens_boy.h"
#include "scenes/timeline.h"

namespace {

using LensFlare = SceneTest;

constexpr int FIGURE_LEFT = 108, FIGURE_RIGHT = 215;
constexpr int WARM_FIRST = 165, WARM_LAST = 191;

struct FlareStats {
    double mean_change = 0;    // share of pixels that differ from the frame before
    size_t median_colours = 0;  // distinct colours on screen, median frame
    uint64_t warm_pixels = 0;   // pixels on the warm run
    double isolated = 0;        // share of pixels unlike all four neighbours, mean frame
    double stripes = 0;         // share of fourth-column pixels that stand out, mean frame
    int frames = 0;
};

bool beside_figure(int k) {
    const int x = k % FRAME_W;
    return x < FIGURE_LEFT || x > FIGURE_RIGHT;
}

// Share of the pixels beside the figure that differ from the pixel above, the one
// below and the ones four columns either side: a lone speck. The neighbours across
// are taken four columns away because the packed mix treats the four pixels of a
// word differently (the fourth never reaches the warm run), so stripes one column
// wide are the effect's own grain, not speckle.
double isolated_share(const std::vector<uint8_t>& f) {
    int lone = 0, total = 0;
    for (int y = 1; y < FRAME_H - 1; ++y)
        for (int x = 4; x < FRAME_W - 4; ++x) {
            if (x >= FIGURE_LEFT && x <= FIGURE_RIGHT) continue;
            const int k = y * FRAME_W + x;
            const uint8_t v = f[k];
            lone += v != f[k - FRAME_W] && v != f[k + FRAME_W] && v != f[k - 4] && v != f[k + 4];
            ++total;
        }
    return double(lone) / total;
}

// Largest difference of one 8-bit channel between two 0x00RRGGBB colours.
int channel_gap(uint32_t a, uint32_t b) {
    int gap = 0;
    for (int shift = 0; shift < 24; shift += 8)
        gap = std::max(gap, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return gap;
}

// Share of the fourth pixels of the words beside the figure that stand out from
// their two neighbours while those two agree: the pixel the packed mix keeps on the
// teal ramp, drawn as a thin stripe through whatever its row shows.
double stripe_share(const std::vector<uint8_t>& f, const std::vector<uint32_t>& rgb) {
    int stripes = 0, total = 0;
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 3; x < FRAME_W - 1; x += 4) {
            if (x >= FIGURE_LEFT && x <= FIGURE_RIGHT) continue;
            const int k = y * FRAME_W + x;
            const uint32_t l = rgb[f[k - 1]], m = rgb[f[k]], r = rgb[f[k + 1]];
            stripes += channel_gap(l, r) <= 24 && channel_gap(m, l) > 48 && channel_gap(m, r) > 48;
            ++total;
        }
    return double(stripes) / total;
}

// Runs the lens phase of the scene that owns `cue` and measures the frames shown
// from `from_ms` for 600 ms of show time.
FlareStats measure(int cue, uint32_t cue_start_ms, uint32_t from_ms, void (*scene)()) {
    static std::vector<std::vector<uint8_t>> frames;
    static std::vector<std::vector<uint32_t>> colours;
    static uint32_t start, from;
    frames.clear();
    colours.clear();
    start = cue_start_ms;
    from = from_ms;
    HeadlessConfig c;
    c.frame_ms = SHOW_FRAME_MS;
    c.settings = RunSettings{true, false, 44100, 1};
    c.on_pump = [](void*) {
        const HeadlessScreen& s = headless_screen();
        const double now = start + headless_time_ms();
        if (cue_index != 7 && cue_index != 9) return;  // only the lens phases
        if (now < from || now >= from + 600.0) return;
        frames.emplace_back(s.frame, s.frame + FRAME_BYTES);
        colours.emplace_back(s.rgb, s.rgb + 256);
    };
    headless_install(c);
    cue_index = cue - 1;
    start_ticks = platform.sys->ticks() - cue_start_ms;
    scene();

    FlareStats st;
    std::vector<size_t> counts;
    for (size_t f = 0; f < frames.size(); ++f) {
        std::set<uint32_t> seen;
        int changed = 0, total = 0;
        for (int k = 0; k < FRAME_BYTES; ++k) {
            if (!beside_figure(k)) continue;
            const uint8_t v = frames[f][k];
            seen.insert(colours[f][v]);
            st.warm_pixels += v >= WARM_FIRST && v <= WARM_LAST;
            if (f > 0) changed += v != frames[f - 1][k];
            ++total;
        }
        if (f > 0) st.mean_change += double(changed) / total;
        st.isolated += isolated_share(frames[f]);
        st.stripes += stripe_share(frames[f], colours[f]);
        counts.push_back(seen.size());
    }
    st.frames = int(frames.size());
    if (st.frames > 1) st.mean_change /= st.frames - 1;
    if (st.frames > 0) st.isolated /= st.frames, st.stripes /= st.frames;
    std::sort(counts.begin(), counts.end());
    if (!counts.empty()) st.median_colours = counts[counts.size() / 2];
    std::printf("cue %d from %u ms: %d frames, %.1f %% of pixels change per frame, median %zu colours, %llu warm, "
                "%.1f %% lone specks, %.1f %% stripes\n",
                cue, from_ms, st.frames, 100.0 * st.mean_change, st.median_colours,
                static_cast<unsigned long long>(st.warm_pixels), 100.0 * st.isolated, 100.0 * st.stripes);
    return st;
}

TEST_F(LensFlare, GirlFlaresIntoTheWarmRunBesideTheFigure) {
    const FlareStats st = measure(7, 34200, 37000, scene_lens_portrait_a);
    EXPECT_GE(st.frames, 40);
    EXPECT_GE(st.mean_change, 0.20);
    EXPECT_GE(st.median_colours, 40u);
    EXPECT_GT(st.warm_pixels, 0u);
    EXPECT_LE(st.isolated, 0.24);
    EXPECT_LE(st.stripes, 0.18);
}

TEST_F(LensFlare, BoyKeepsMovingBesideTheFigure) {
    const FlareStats st = measure(9, 53000, 56000, scene_lens_portrait_b);
    EXPECT_GE(st.frames, 40);
    EXPECT_GE(st.mean_change, 0.20);
    EXPECT_GE(st.median_colours, 40u);
    EXPECT_LE(st.isolated, 0.24);
    EXPECT_LE(st.stripes, 0.18);
}

}  // namespace
