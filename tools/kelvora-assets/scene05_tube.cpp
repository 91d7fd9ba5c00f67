// Scene 5: the tube texture (texture: 256 x 256, wraps both ways; the scene adds a
// distance shade 0..63 to every texel, so texels stay in 131..166 and land on the
// warm ramp up to 229), the sliding sprite (k1) and its silhouette mask (k2), and
// the banner averaged over the bottom of the screen (apsave, key 0).
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

Indexed draw_texture() {
    const int N = 256;
    Indexed out(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            // Panels 32 x 32 with bevelled seams, grime from periodic noise.
            int px = x & 31, py = y & 31;
            int e = std::min(std::min(px, 31 - px), std::min(py, 31 - py));
            float grime = fbm(x / 32.f, y / 32.f, 51, 4, 8, 8);
            float t = 0.45f + 0.35f * (grime - 0.5f);
            if (e == 0) t = 0.0f;
            else if (e < 3) t = (px < 3 || py < 3) ? 0.95f : 0.15f;
            // Alternate panels carry a row of rivets or a grille.
            int panel = ((x >> 5) + (y >> 5) * 3) % 4;
            if (panel == 1 && e >= 3) {
                float dx = float(px) - 15.5f, dy = float(py % 8) - 3.5f;
                if (dx * dx + dy * dy < 5.f) t = dx + dy < 0 ? 0.95f : 0.2f;
            } else if (panel == 3 && e >= 5) {
                t = (py % 4 < 2) ? 0.15f : 0.75f;
            }
            out.at(x, y) = ramp_index(t, 131, 166, x, y);
        }
    return out;
}

// A small craft flying to the right: hull in greys, red stripe and engine glow.
void paint_craft(cairo_t* cr) {
    cairo_pattern_t* hull = cairo_pattern_create_linear(0, 10, 0, 62);
    cairo_pattern_add_color_stop_rgb(hull, 0, 0.68, 0.68, 0.68);
    cairo_pattern_add_color_stop_rgb(hull, 1, 0.1, 0.1, 0.1);
    cairo_set_source(cr, hull);
    cairo_move_to(cr, 103, 38);
    cairo_curve_to(cr, 80, 20, 40, 14, 14, 18);
    cairo_line_to(cr, 4, 8);
    cairo_line_to(cr, 20, 34);
    cairo_line_to(cr, 4, 62);
    cairo_line_to(cr, 16, 54);
    cairo_curve_to(cr, 40, 58, 80, 54, 103, 38);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(hull);
    // Canopy.
    cairo_set_source_rgb(cr, 48 / 63., 46 / 63., 36 / 63.);
    cairo_move_to(cr, 78, 30);
    cairo_curve_to(cr, 70, 22, 54, 22, 50, 30);
    cairo_close_path(cr);
    cairo_fill(cr);
    // Red stripe.
    cairo_set_source_rgb(cr, 33 / 63., 11 / 63., 9 / 63.);
    cairo_set_line_width(cr, 4);
    cairo_move_to(cr, 20, 40);
    cairo_line_to(cr, 96, 40);
    cairo_stroke(cr);
    // Engine flame.
    cairo_set_source_rgb(cr, 45 / 63., 45 / 63., 30 / 63.);
    cairo_move_to(cr, 18, 30);
    cairo_line_to(cr, 0, 35);
    cairo_line_to(cr, 18, 40);
    cairo_close_path(cr);
    cairo_fill(cr);
}

Indexed draw_k1() {
    Canvas c(105, 71);
    paint_craft(c.cr);
    Plane a = c.alpha();
    ColourSet set(scene5_palette, {{131, 229}, {232, 237}, {239, 253}});
    return quantise(c.colour(), set, 0.3f, &a, 0);
}

Indexed draw_k2() {
    Indexed k1 = draw_k1();
    for (uint8_t& v : k1.v) v = v ? 255 : 0;
    return k1;
}

// The banner: dark letters (averaged into the blue ramp) with a bright rim.
Indexed draw_apsave() {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 2;
    st.edge_width = 3;
    st.edge_index = 229;
    return text_sprite(320, 45, "STAY INSIDE THE TUBE", st, 0,
                       [](int x, int y, float) { return ramp_index(float(y) / 45.f, 2, 30, x, y); }, 6);
}

}  // namespace

void register_scene05() {
    auto& r = registry();
    r.push_back({"texture", 256, 256, -1, &scene5_palette, draw_texture});
    r.push_back({"k1", 105, 71, 0, &scene5_palette, draw_k1});
    r.push_back({"k2", 105, 71, 0, nullptr, draw_k2});
    r.push_back({"apsave", 320, 45, 0, &scene5_palette, draw_apsave});
}

}  // namespace art
