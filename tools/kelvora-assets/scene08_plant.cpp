// Scenes 8 and 9: the plant picture (plant: a low sun through streaks of cloud on
// the left, where the knot turns, hills and trees in silhouette on the right; scene
// 9 subtracts textures of up to 44 from it, so the sky stays at 46 and above).
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// A recursive branching plant: each branch splits in two or three, thinner and
// shorter, and ends in a leaf. Seeded, so it grows the same every time.
void branch(cairo_t* cr, Rng& rng, double x, double y, double angle, double len, double width, int depth) {
    double x1 = x + std::cos(angle) * len, y1 = y + std::sin(angle) * len;
    double bend = rng.range(-0.25f, 0.25f);
    double mx = (x + x1) / 2 + std::cos(angle + M_PI / 2) * len * bend * 0.3;
    double my = (y + y1) / 2 + std::sin(angle + M_PI / 2) * len * bend * 0.3;
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, mx, my, mx, my, x1, y1);
    cairo_stroke(cr);
    if (depth == 0 || len < 4) {
        // A leaf: a pointed ellipse along the branch direction.
        cairo_save(cr);
        cairo_translate(cr, x1, y1);
        cairo_rotate(cr, angle + rng.range(-0.6f, 0.6f));
        cairo_move_to(cr, 0, 0);
        double l = 9 + rng.range(0, 6);
        cairo_curve_to(cr, l * 0.4, -l * 0.35, l * 0.8, -l * 0.3, l, 0);
        cairo_curve_to(cr, l * 0.8, l * 0.3, l * 0.4, l * 0.35, 0, 0);
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    int n = rng.uniform() < 0.35f ? 3 : 2;
    for (int i = 0; i < n; ++i) {
        double spread = (double(i) - (n - 1) / 2.0) * rng.range(0.35f, 0.6f);
        branch(cr, rng, x1, y1, angle + spread + rng.range(-0.12f, 0.12f) - 0.04, len * rng.range(0.68f, 0.8f),
               width * 0.68, depth - 1);
    }
}

// Height of a ridge line at column x: rolling fractal hills around `base`.
float ridge(int x, float base, float amp, float scale, uint32_t seed) {
    return base - amp * (fbm(float(x) / scale, 0.5f, seed, 4) - 0.5f) * 2.f;
}

Indexed draw_plant() {
    const int W = 320, H = 200;
    // The sun sits left of centre, behind where the knot turns; the trees stand on
    // the right, clear of it.
    const float sun_x = 122.f, sun_y = 118.f, sun_r = 31.f;

    Canvas c(W, H);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    Rng rng(8);
    branch(c.cr, rng, 282, 186, -M_PI / 2 + 0.06, 40, 10, 8);
    Rng rng2(23);
    branch(c.cr, rng2, 234, 184, -M_PI / 2 - 0.2, 22, 5, 6);
    // The hill the trees stand on, and grass along its crest.
    cairo_move_to(c.cr, 168, 200);
    cairo_curve_to(c.cr, 205, 182, 260, 176, 320, 181);
    cairo_line_to(c.cr, 320, 200);
    cairo_close_path(c.cr);
    cairo_fill(c.cr);
    Rng grass(5);
    cairo_set_line_width(c.cr, 0.9);
    for (int i = 0; i < 260; ++i) {
        const double x = 172 + 148 * grass.uniform();
        const double t = (x - 168) / 152;  // along the crest curve, roughly
        const double y = 200 - 18 * (1 - (1 - t) * (1 - t) * (1 - t)) + 1.5 + 1.5 * (1 - t);
        const double h = 2 + 5 * grass.uniform();
        const double lean = grass.range(-2.f, 2.f);
        cairo_move_to(c.cr, x, y);
        cairo_curve_to(c.cr, x, y - h * 0.5, x + lean * 0.5, y - h * 0.8, x + lean, y - h);
        cairo_stroke(c.cr);
    }
    // A few birds between the sun and the trees.
    const double birds[][3] = {{186, 30, 4.0}, {199, 24, 3.2}, {193, 39, 2.6}, {174, 21, 2.4}};
    cairo_set_line_width(c.cr, 1.1);
    for (const auto& b : birds) {
        cairo_move_to(c.cr, b[0] - b[2], b[1] - b[2] * 0.45);
        cairo_curve_to(c.cr, b[0] - b[2] * 0.5, b[1] - b[2] * 0.55, b[0] - b[2] * 0.2, b[1] - b[2] * 0.2, b[0],
                       b[1]);
        cairo_curve_to(c.cr, b[0] + b[2] * 0.2, b[1] - b[2] * 0.2, b[0] + b[2] * 0.5, b[1] - b[2] * 0.55,
                       b[0] + b[2], b[1] - b[2] * 0.45);
        cairo_stroke(c.cr);
    }
    const Plane near = c.alpha();

    Indexed out(W, H);
    for (int x = 0; x < W; ++x) {
        const float far_top = ridge(x, 151.f, 9.f, 60.f, 31);   // distant range, in haze
        const float mid_top = ridge(x, 166.f, 7.f, 38.f, 47);   // nearer hills
        for (int y = 0; y < H; ++y) {
            const float dx = float(x) - sun_x, dy = float(y) - sun_y;
            const float d = std::sqrt(dx * dx + dy * dy);
            // Sky: deep rust at the top to pale gold at the horizon, a wide glow
            // round the sun, and long streaks of cloud lit from below.
            const float fy = float(y) / 155.f;
            float t = 0.08f + 0.5f * fy * fy;
            t += 0.42f * std::exp(-d / 42.f) + 0.18f * std::exp(-(dy * dy) / 900.f - (dx * dx) / 40000.f);
            const float streak = fbm(float(x) / 110.f, float(y) / 5.5f, 61, 4);
            const float cloud = smoothstep(0.52f, 0.68f, streak) * smoothstep(20.f, 60.f, float(y)) *
                                (1.f - smoothstep(140.f, 152.f, float(y)));
            const float rim = smoothstep(0.5f, 0.56f, fbm(float(x) / 110.f, float(y - 2) / 5.5f, 61, 4)) - cloud;
            t += 0.12f * std::max(0.f, rim) * (0.4f + std::exp(-d / 70.f));
            t -= cloud * (0.22f + 0.2f * std::exp(-d / 60.f));
            // The sun's disc, cut by the cloud streaks, with a soft limb.
            const float disc = 1.f - smoothstep(sun_r - 1.2f, sun_r + 0.6f, d);
            if (disc > 0.f) t = lerp(t, 1.02f - 0.06f * (d / sun_r) - 0.45f * cloud, disc);
            uint8_t v = ramp_index(t, 46, 127, x, y);

            if (float(y) > far_top) {
                // Far hills: flat haze, lighter toward the sun and the horizon line.
                const float haze = 0.55f + 0.3f * std::exp(-std::fabs(dx) / 70.f) - 0.01f * (float(y) - far_top);
                v = ramp_index(haze, 30, 56, x, y);
            }
            if (float(y) > mid_top) {
                const float rim_light = std::exp(-(float(y) - mid_top) / 2.f) * (0.5f + std::exp(-std::fabs(dx) / 60.f));
                v = ramp_index(0.25f + 0.35f * rim_light - 0.004f * (float(y) - mid_top), 10, 34, x, y);
            }
            const float p = near.at(x, y);
            if (p > 0.5f) v = ramp_index(0.15f + 0.5f * (1.f - p), 2, 14, x, y);
            out.at(x, y) = v;
        }
    }
    return out;
}

}  // namespace

void register_scene08() {
    auto& r = registry();
    r.push_back({"plant", 320, 200, -1, &scene8_palette, draw_plant});
}

}  // namespace art
