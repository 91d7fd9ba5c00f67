// Scene 5: the tube texture (texture: 256 x 256; the scene adds a distance shade
// 0..63 to every texel), the sliding sprite (k1) and its silhouette mask (k2), and
// the banner averaged over the bottom of the screen (apsave, key 0).
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// The texture: u (columns) runs along the tube and wraps every 256 texels, v (rows)
// runs around it from angle 0 to pi (the other half is its mirror image). Texels
// are indices, not shades: the scene adds the distance shade (5..30 on most of the
// screen once smoothed), and the smoothing pass averages indices, so each material
// sits low in a band of its own on the palette (grooves 28 + shade in the near
// blacks 33..63, panels 62 + shade in the steel blues 65..96, lights 110 + shade in
// the warm whites 97..123) and two materials side by side blend through the
// colours between them. Only large shapes survive the sparse sampling, the
// camera's jumps every four frames and the averaging: a light strip down each of
// four panels to a half turn (spokes toward the vanishing point), dark seams
// between them, and two rings to a wrap, a lit lip ahead of a deep groove, which
// stream past as the camera moves 2 texels a frame.
namespace tube {

constexpr int N = 256;
constexpr float GROOVE = 28.f, PANEL = 62.f, LIGHT = 110.f;

// Distance from x to the nearest multiple of period, in texels (0..period / 2).
float from_line(float x, float period) {
    const float m = std::fmod(x + period * 4.f, period);
    return std::min(m, period - m);
}

// 1 inside a band of half-width w around the lines, 0 outside, over a soft edge.
float band(float d, float w, float soft) { return 1.f - smoothstep(w, w + soft, d); }

float texel(int u, int v) {
    const float fu = float(u), fv = float(v);
    // Blue panels, four to a half turn, with some grime.
    float t = PANEL + 8.f * (fbm(fu / 32.f, fv / 32.f, 51, 3, 8, 8) - 0.5f);
    // A light strip down the middle of each panel.
    t = lerp(t, LIGHT, band(from_line(fv + 32.f, 64.f), 14.f, 6.f));
    // Two rings to a wrap: a lit lip, then a deep groove behind it.
    t = lerp(t, LIGHT, band(from_line(fu + 22.f, 128.f), 5.f, 4.f));
    t = lerp(t, GROOVE, band(from_line(fu, 128.f), 13.f, 6.f));
    // Seams between the panels.
    t = lerp(t, GROOVE, band(from_line(fv, 64.f), 4.f, 4.f));
    return t;
}

}  // namespace tube

Indexed draw_texture() {
    Indexed out(tube::N, tube::N);
    for (int v = 0; v < tube::N; ++v)
        for (int u = 0; u < tube::N; ++u) out.at(u, v) = uint8_t(std::lround(tube::texel(u, v)));
    return out;
}

// Grey g (0..1 of full white) as a Cairo source.
void grey(cairo_t* cr, double g, double a = 1.0) { cairo_set_source_rgba(cr, g, g, g, a); }

// A closed four-cornered path through (x0, y0) .. (x3, y3).
void quad(cairo_t* cr, const double (&p)[8]) {
    cairo_move_to(cr, p[0], p[1]);
    for (int i = 2; i < 8; i += 2) cairo_line_to(cr, p[i], p[i + 1]);
    cairo_close_path(cr);
}

void hull_path(cairo_t* cr) {
    cairo_move_to(cr, 104, 37);                               // the nose
    cairo_curve_to(cr, 92, 27, 72, 23, 50, 24);               // spine
    cairo_curve_to(cr, 34, 24, 20, 27, 12, 29);
    cairo_line_to(cr, 10, 45);                                // engine block
    cairo_curve_to(cr, 30, 48, 60, 50, 82, 46);               // belly
    cairo_curve_to(cr, 92, 44, 100, 41, 104, 37);
    cairo_close_path(cr);
}

// A swept-wing fighter flying right, lit from above: brushed grey hull with a
// spine highlight and panel lines, a tinted canopy with a glint, a red and cream
// stripe, a dark wing below and a fin above, and the engine's flame behind.
void paint_craft(cairo_t* cr) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // Far wing (in shadow, seen past the hull) and the fin.
    grey(cr, 0.16);
    quad(cr, {70, 30, 38, 8, 28, 8, 40, 28});
    cairo_fill(cr);
    cairo_pattern_t* fin = cairo_pattern_create_linear(14, 2, 30, 28);
    cairo_pattern_add_color_stop_rgb(fin, 0, 0.62, 0.62, 0.62);
    cairo_pattern_add_color_stop_rgb(fin, 1, 0.22, 0.22, 0.22);
    cairo_set_source(cr, fin);
    quad(cr, {34, 26, 14, 3, 7, 3, 14, 28});
    cairo_fill(cr);
    cairo_pattern_destroy(fin);
    cairo_set_source_rgb(cr, 33 / 63., 11 / 63., 9 / 63.);  // red fin tip
    quad(cr, {14, 3, 7, 3, 9, 10, 19, 10});
    cairo_fill(cr);

    // Engine flame: white-hot core in a warm cone.
    cairo_pattern_t* flame = cairo_pattern_create_linear(12, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(flame, 0, 48 / 63., 46 / 63., 36 / 63., 1);
    cairo_pattern_add_color_stop_rgba(flame, 0.6, 45 / 63., 45 / 63., 30 / 63., 1);
    cairo_pattern_add_color_stop_rgba(flame, 1, 31 / 63., 36 / 63., 22 / 63., 0.6);
    cairo_set_source(cr, flame);
    cairo_move_to(cr, 12, 31);
    cairo_curve_to(cr, 6, 32, 2, 35, 0, 37);
    cairo_curve_to(cr, 2, 39, 6, 42, 12, 43);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(flame);

    // Hull: vertical light falloff, then a soft spine highlight.
    cairo_pattern_t* hull = cairo_pattern_create_linear(0, 23, 0, 50);
    cairo_pattern_add_color_stop_rgb(hull, 0, 0.70, 0.70, 0.70);
    cairo_pattern_add_color_stop_rgb(hull, 0.35, 0.52, 0.52, 0.52);
    cairo_pattern_add_color_stop_rgb(hull, 0.7, 0.24, 0.24, 0.24);
    cairo_pattern_add_color_stop_rgb(hull, 1, 0.08, 0.08, 0.08);
    cairo_set_source(cr, hull);
    hull_path(cr);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(hull);
    cairo_save(cr);
    cairo_clip(cr);
    grey(cr, 0.82, 0.8);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 96, 32);
    cairo_curve_to(cr, 84, 27, 66, 26, 46, 27);
    cairo_stroke(cr);
    // Stripe along the hull: red with a cream edge above.
    cairo_set_source_rgb(cr, 44 / 63., 43 / 63., 33 / 63.);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 14, 36);
    cairo_curve_to(cr, 40, 36, 80, 36, 102, 37);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 33 / 63., 11 / 63., 9 / 63.);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 14, 38.6);
    cairo_curve_to(cr, 40, 38.6, 80, 38.6, 103, 38.4);
    cairo_stroke(cr);
    // Panel lines and the intake.
    grey(cr, 0.12, 0.9);
    cairo_set_line_width(cr, 0.8);
    for (double x : {30.0, 46.0, 88.0}) {
        cairo_move_to(cr, x, 22);
        cairo_line_to(cr, x - 2, 50);
        cairo_stroke(cr);
    }
    grey(cr, 0.05);
    quad(cr, {48, 41, 62, 41, 60, 45, 48, 45});
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_new_path(cr);

    // Canopy: blue glass, darker behind, with a bright glint.
    cairo_pattern_t* glass = cairo_pattern_create_linear(60, 0, 88, 0);
    cairo_pattern_add_color_stop_rgb(glass, 0, 13 / 63., 20 / 63., 34 / 63.);
    cairo_pattern_add_color_stop_rgb(glass, 1, 18 / 63., 29 / 63., 40 / 63.);
    cairo_set_source(cr, glass);
    cairo_move_to(cr, 90, 29);
    cairo_curve_to(cr, 82, 21, 68, 19, 58, 24);
    cairo_line_to(cr, 60, 28);
    cairo_curve_to(cr, 70, 27, 82, 27, 90, 29);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    cairo_set_source_rgb(cr, 48 / 63., 46 / 63., 36 / 63.);
    cairo_set_line_width(cr, 1.3);
    cairo_move_to(cr, 78, 22.5);
    cairo_curve_to(cr, 74, 21.5, 69, 21.8, 66, 23);
    cairo_stroke(cr);

    // Near wing, below and in front of the hull: lit leading edge, dark trailing.
    cairo_pattern_t* wing = cairo_pattern_create_linear(66, 40, 46, 68);
    cairo_pattern_add_color_stop_rgb(wing, 0, 0.60, 0.60, 0.60);
    cairo_pattern_add_color_stop_rgb(wing, 1, 0.14, 0.14, 0.14);
    cairo_set_source(cr, wing);
    quad(cr, {76, 43, 40, 68, 27, 68, 38, 44});
    cairo_fill(cr);
    cairo_pattern_destroy(wing);
    grey(cr, 0.85);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 75, 43.5);
    cairo_line_to(cr, 40, 67.5);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 33 / 63., 11 / 63., 9 / 63.);  // red wing tip
    quad(cr, {40, 68, 27, 68, 30, 62, 44, 62});
    cairo_fill(cr);

    // Engine nozzle ring.
    grey(cr, 0.3);
    cairo_rectangle(cr, 9, 30, 4, 14);
    cairo_fill(cr);
    grey(cr, 0.6);
    cairo_rectangle(cr, 12, 30, 1, 14);
    cairo_fill(cr);

    // A dark rim around everything, so the craft reads over any part of the tube.
    hull_path(cr);
    grey(cr, 0.04);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

Indexed draw_k1() {
    Canvas c(105, 71);
    paint_craft(c.cr);
    Plane a = c.alpha();
    ColourSet set(scene5_palette, {{96, 127}, {131, 229}, {232, 237}, {239, 253}});
    return quantise(c.colour(), set, 0.3f, &a, 0);
}

Indexed draw_k2() {
    Indexed k1 = draw_k1();
    for (uint8_t& v : k1.v) v = v ? 255 : 0;
    return k1;
}

// The banner is averaged with the tube behind it, which mostly shows 35..130, so
// its letters land on (p + s) / 2: the faces' bytes 255 and 236 in a checker put
// them in the light bands 132..228 (where one of the two meets the dimmer fixed
// run 158..167 the other misses it), and the rim's byte 1 halves the tube into
// the dark bands. Between the letters the tube shows through, blurred.
Indexed draw_apsave() {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 2;
    st.edge_width = 3;
    st.edge_index = 1;
    return text_sprite(320, 45, "STAY INSIDE THE TUBE", st, 0,
                       [](int, int, float) { return uint8_t(210); }, 6);
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
