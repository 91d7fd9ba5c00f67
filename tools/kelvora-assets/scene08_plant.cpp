// Scenes 8 and 9: the plant picture (plant: a dark branching plant against a
// glowing sky in 2..127; scene 9 subtracts textures from it, so the sky is kept in
// the bright half).
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

Indexed draw_plant() {
    const int W = 320, H = 200;
    Canvas c(W, H);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    Rng rng(8);
    branch(c.cr, rng, 236, 204, -M_PI / 2 - 0.05, 46, 11, 8);
    Rng rng2(19);
    branch(c.cr, rng2, 300, 204, -M_PI / 2 - 0.35, 30, 7, 6);
    // The pot-rim of ground.
    cairo_move_to(c.cr, 150, 200);
    cairo_curve_to(c.cr, 200, 186, 280, 184, 320, 190);
    cairo_line_to(c.cr, 320, 200);
    cairo_close_path(c.cr);
    cairo_fill(c.cr);
    Plane plant = c.alpha();
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // Sky: a glow low on the right, warm orange up to near white.
            float dx = (x - 250.f) / 260.f, dy = (y - 150.f) / 200.f;
            float glow = std::exp(-(dx * dx + dy * dy) * 3.f);
            float cloud = fbm(x / 70.f, y / 22.f, 61, 4);
            float t = 0.15f + 0.75f * glow + 0.18f * (cloud - 0.5f);
            uint8_t v = ramp_index(t, 66, 127, x, y);
            float p = plant.at(x, y);
            if (p > 0.5f) {
                // Silhouette, a little lighter toward its rim.
                v = ramp_index(0.1f + 0.35f * (1.f - p) + 0.2f * glow, 3, 30, x, y);
            }
            out.at(x, y) = v;
        }
    return out;
}

}  // namespace

void register_scene08() {
    auto& r = registry();
    r.push_back({"plant", 320, 200, -1, &scene8_palette, draw_plant});
}

}  // namespace art
