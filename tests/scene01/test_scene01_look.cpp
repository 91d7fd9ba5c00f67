// What scene 1's pictures must do on screen, measured on the frames the phases
// present: the logo phase's glows read as light (each centre brighter than the
// ring at its edge), no glow centre hidden under the logo or the caption, the
// caption's i dots kept, the curves' background brightening under what they add,
// the tunnel's vanishing point a still black core that its walls darken into, and
// the console around the tunnel without a seam where its pieces meet.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "scene_fixture.h"
#include "scenes/logo_path.h"
#include "scenes/palettes.h"
#include "scenes/scene01_opening.h"
#include "scenes/scene01_tunnel.h"
#include "scenes/timeline.h"

namespace {

using Look = SceneTest;

double luma(uint32_t rgb) {
    return 0.299 * double((rgb >> 16) & 255) + 0.587 * double((rgb >> 8) & 255) + 0.114 * double(rgb & 255);
}
double luma_at(const HeadlessScreen& s, int x, int y) { return luma(s.rgb[s.frame[y * FRAME_W + x]]); }

// The 4-connected part of the w x h mask `in` holding (x, y): its pixels.
std::vector<std::pair<int, int>> part_at(const std::vector<bool>& in, std::vector<bool>& seen, int w, int h, int x,
                                         int y) {
    std::vector<std::pair<int, int>> part, todo{{x, y}};
    seen[size_t(y) * w + x] = true;
    while (!todo.empty()) {
        const auto p = todo.back();
        todo.pop_back();
        part.push_back(p);
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int nx = p.first + dx, ny = p.second + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            const size_t k = size_t(ny) * w + nx;
            if (in[k] && !seen[k]) {
                seen[k] = true;
                todo.push_back({nx, ny});
            }
        }
    }
    return part;
}

// Sets the clock as if cue `cue` - 1 had just ended; the phase opens `cue` itself.
void open_cue_now(int cue) {
    cue_index = cue - 1;
    start_ticks = platform.sys->ticks() - cue_table[cue - 1];
}

TEST_F(Look, EveryGlowCentreIsBrighterThanTheRingAtItsEdge) {
    // The blobs are seeded from the tick count: three starts, three layouts.
    for (int wait : {0, 7, 31}) {
        SCOPED_TRACE(wait);
        scenes_reset_state();
        int frame = 0, checked = 0;
        double worst = 1e9;
        bool running = false;
        show_platform([&](const HeadlessScreen& s) {
            if (!running || cue_index != 2 || ++frame < 10) return;  // every radius has reached 10 by then
            for (const GlowBlob& b : scene01_run.logo.blobs) {
                if (b.pos >= LOGO_PATH_POINTS) continue;  // (0, 0): not drawn this frame
                const int x = path_x[b.pos], y = path_y[b.pos], d = b.radius;
                double ring = 0;
                int n = 0;
                for (int a = 0; a < 64; ++a) {
                    const int rx = x + int(std::lround(d * std::cos(a * M_PI / 32)));
                    const int ry = y + int(std::lround(d * std::sin(a * M_PI / 32)));
                    if (rx < 0 || rx >= FRAME_W || ry < 0 || ry >= FRAME_H) continue;
                    ring += luma_at(s, rx, ry);
                    ++n;
                }
                worst = std::min(worst, luma_at(s, x, y) - ring / n);
                ++checked;
            }
        });
        for (int i = 0; i < wait; ++i) pump_messages();
        open_cue_now(2);
        running = true;
        logo_phase(scene01_run.logo);
        EXPECT_GT(checked, 10000);
        EXPECT_GT(worst, 0.0) << "a glow centre no brighter than its edge";
    }
}

TEST_F(Look, NoLogoOrCaptionPixelCoversAPointOfTheLoop) {
    const uint8_t* logo = resource_slot[RES_KVLOGO];    // 320 x 36 at (0, 94)
    const uint8_t* caption = resource_slot[RES_OVERL];  // 229 x 24 at (90, 87), both key 160
    for (int i = 0; i < LOGO_PATH_POINTS; ++i) {
        const int x = path_x[i], y = path_y[i];
        if (y >= 94 && y < 130) {
            EXPECT_EQ(logo[(y - 94) * 320 + x], 160) << x << "," << y;
        }
        if (x >= 90 && x < 90 + 229 && y >= 87 && y < 87 + 24) {
            EXPECT_EQ(caption[(y - 87) * 229 + (x - 90)], 160) << x << "," << y;
        }
    }
}

TEST_F(Look, CaptionKeepsBothDotsOfItsIs) {
    // The caption's ink as 4-connected parts: a dot is a part above the letters'
    // x-height (within the ink's top two rows) with ink a row below its gap.
    const int w = 229, h = 24;
    const uint8_t* c = resource_slot[RES_OVERL];
    std::vector<bool> ink(size_t(w) * h), seen(size_t(w) * h, false);
    int top = h;
    for (int k = 0; k < w * h; ++k)
        if ((ink[k] = c[k] != 160)) top = std::min(top, k / w);
    int dots = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!ink[size_t(y) * w + x] || seen[size_t(y) * w + x]) continue;
            const auto part = part_at(ink, seen, w, h, x, y);
            const auto foot = *std::max_element(part.begin(), part.end(),
                                                [](auto a, auto b) { return a.second < b.second; });
            if (foot.second <= top + 1 && part.size() <= 12 && foot.second + 2 < h &&
                ink[size_t(foot.second + 2) * w + foot.first])
                ++dots;
        }
    EXPECT_EQ(dots, 2) << "\"real time in 256 colours\" has two i's";
}

TEST_F(Look, CurvesBackgroundBrightensUnderTheCurves) {
    // The curves add 5..23 a line and up to 63 a point to frm01's indices. Inside the
    // frame (the portraits' corner aside) the picture must lie where that climbs
    // toward the palette's light: on the cool ramp's rising part, never in its top
    // (where a little more reaches the dark cap) nor in the warm half (where any
    // addition lands on the cap). Stars may sit on the white end, a few pixels only.
    const uint8_t* f = resource_slot[RES_FRM01];
    auto shown = [](int i) { return luma(shown_rgb(curves_palette, uint8_t(i))); };
    int stars = 0, checked = 0;
    for (int y = 8; y < 192; ++y)
        for (int x = 8; x < 312; ++x) {
            if (x >= 240 && y >= 104) continue;
            const int v = f[y * FRAME_W + x];
            ++checked;
            if (v <= 35) {
                ++stars;
                continue;
            }
            ASSERT_LE(v, 140) << x << "," << y;
            EXPECT_GT(shown(v + 23), shown(v)) << x << "," << y;
        }
    EXPECT_LT(stars, checked / 100);
}

// Runs the tunnel phase and hands every presented frame to `look`.
template <class F>
void run_tunnel(F&& look) {
    show_platform([&](const HeadlessScreen& s) { look(s); });
    open_cue_now(6);
    tunnel_phase(scene01_run.tunnel);
}

// The tunnel's window right of the console's inner edge, inside the smear's zeroed
// border.
constexpr int TUN_X0 = 184, TUN_X1 = 318, TUN_Y0 = 2, TUN_Y1 = 142;
constexpr int TUN_COLS = TUN_X1 - TUN_X0 + 1, TUN_ROWS = TUN_Y1 - TUN_Y0 + 1;

// What the tunnel phase shows in the window over its whole run: the first frame,
// which pixels never changed, and each pixel's luma summed over the frames.
struct TunnelRecord {
    std::vector<uint32_t> first;
    std::vector<bool> still;
    std::vector<double> luma_sum;
    int frames = 0;
};

TunnelRecord record_tunnel() {
    TunnelRecord t;
    run_tunnel([&](const HeadlessScreen& s) {
        std::vector<uint32_t> now;
        for (int y = TUN_Y0; y <= TUN_Y1; ++y)
            for (int x = TUN_X0; x <= TUN_X1; ++x) now.push_back(s.rgb[s.frame[y * FRAME_W + x]]);
        if (t.first.empty()) {
            t.first = now;
            t.still.assign(now.size(), true);
            t.luma_sum.assign(now.size(), 0.0);
        }
        for (size_t k = 0; k < now.size(); ++k) {
            t.still[k] = t.still[k] && now[k] == t.first[k];
            t.luma_sum[k] += luma(now[k]);
        }
        ++t.frames;
    });
    return t;
}

// The widest disc of pixels that never changed (thin still lines between the tiles
// aside): its radius and centre in window coordinates.
struct Disc {
    int r = 0, x = 0, y = 0;
};
Disc still_core(const TunnelRecord& t) {
    auto is_still = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < TUN_COLS && y < TUN_ROWS && t.still[size_t(y) * TUN_COLS + x];
    };
    Disc best;
    for (int y = 0; y < TUN_ROWS; ++y)
        for (int x = 0; x < TUN_COLS; ++x) {
            int r = 0;
            for (bool whole = true; whole; r += whole) {
                for (int dy = -r - 1; dy <= r + 1 && whole; ++dy)
                    for (int dx = -r - 1; dx <= r + 1 && whole; ++dx)
                        if (dx * dx + dy * dy <= (r + 1) * (r + 1)) whole = is_still(x + dx, y + dy);
                if (!whole) break;
            }
            if (r > best.r) best = {r, x, y};
        }
    return best;
}

TEST_F(Look, TunnelEndsInAStillBlackCore) {
    const TunnelRecord t = record_tunnel();
    ASSERT_GT(t.frames, 400);
    // The rings flow; only the core keeps its colour. Ask that the widest still
    // disc is wide and black on every frame: no speckle, no flicker.
    const Disc core = still_core(t);
    EXPECT_GE(core.r, 8) << "no still core";
    int in_disc = 0;
    for (int dy = -core.r; dy <= core.r; ++dy)
        for (int dx = -core.r; dx <= core.r; ++dx) {
            if (dx * dx + dy * dy > core.r * core.r) continue;
            ++in_disc;
            EXPECT_LT(luma(t.first[size_t(core.y + dy) * TUN_COLS + core.x + dx]), 12.0)
                << "core pixel " << core.x + dx + TUN_X0 << "," << core.y + dy + TUN_Y0;
        }
    EXPECT_GT(in_disc, 150);
}

TEST_F(Look, TunnelDarkensAsItRecedes) {
    // Averaged over the run, the walls just outside the core are much darker than
    // the walls near the frame's opening: the tube fades into its depth instead of
    // showing bright rings up to a cut-out disc (rings that only thin toward the
    // core keep about 0.4 of the near walls' light there).
    const TunnelRecord t = record_tunnel();
    const Disc core = still_core(t);
    auto ring_mean = [&](int from, int to) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < TUN_ROWS; ++y)
            for (int x = 0; x < TUN_COLS; ++x) {
                const double d = std::hypot(double(x - core.x), double(y - core.y));
                if (d < core.r + from || d >= core.r + to) continue;
                sum += t.luma_sum[size_t(y) * TUN_COLS + x] / t.frames;
                ++n;
            }
        EXPECT_GT(n, 300);
        return n ? sum / n : 0.0;
    };
    const double deep = ring_mean(2, 12), near = ring_mean(40, 56);
    EXPECT_LT(deep, 0.25 * near) << "deep " << deep << ", near " << near;
}

TEST_F(Look, ConsolePiecesMeetWithoutASeam) {
    // The left panel (frm1, 132 wide) and the inner edge (frm3, 52 wide, keyed by
    // 0 where the tunnel shows) sit side by side from row 0 to 143: the steel runs
    // on across the join with no step, and the opening's outline has no notch.
    const uint8_t* left = resource_slot[RES_FRM1];
    const uint8_t* edge = resource_slot[RES_FRM3];
    auto shown = [](uint8_t i) { return luma(shown_rgb(tunnel_palette, i)); };
    int prev_open = -1, prev_step = 1000;
    for (int y = 0; y < 144; ++y) {
        EXPECT_NE(edge[y * 52], 0) << "row " << y;
        EXPECT_LE(std::fabs(shown(left[y * 132 + 131]) - shown(edge[y * 52])), 16.0) << "row " << y;
        int open = 52;
        while (open > 0 && edge[y * 52 + open - 1] == 0) --open;
        for (int x = 0; x < open; ++x) EXPECT_NE(edge[y * 52 + x], 0) << "steel at " << 132 + x << "," << y;
        if (prev_open >= 0) {
            const int step = open - prev_open;
            if (prev_step != 1000) {
                EXPECT_LE(std::abs(step - prev_step), 2) << "notch at row " << y;
            }
            prev_step = step;
        }
        prev_open = open;
    }
}

}  // namespace
