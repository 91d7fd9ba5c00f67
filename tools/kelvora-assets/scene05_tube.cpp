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
// are indices, not shades. The scene adds the distance shade (0..63, mostly 5..25,
// largest about 60 pixels from the centre) and the smoothing pass averages
// indices, spreads every sample over its neighbours and lets the picture sink a
// little with each pass, so what shows is a blur a few pixels wide of the last
// half second of views. Shapes ten texels and up survive that. What the pass
// leaves is one continuous field about forty entries wide (the shade alone
// spans thirty), so no texture keeps it off every fixed entry: it is set low,
// walls (16..26) landing on the dark navy ramp 33..63 and lights (70..72) on
// 65..85, warm lamps climbing to white over nineteen entries. Of the fixed
// entries only the single 64 lies inside, at the foot of the lights' glow, where
// it is the glow's own dim olive step; 91..96 are left to the rare near-camera
// tail.
// In one turn of the texture:
// - a ring of light every 64 texels along the tube, twenty texels wide, so two or
//   three rings stream out of the dark centre at once as the camera moves 2
//   texels a frame;
// - a dark groove (16) on either side of each ring, and lengthwise seams of it,
//   eight to a half turn, cutting the wall into panels (20 rising to 26 toward
//   the rings, as if lit by them);
// - a lamp in the middle of every panel, about seventeen texels square.
// Far away (small shade) the walls sit on navy black and the lights on a dim
// olive; near the camera the walls rise to slate and the lights through amber
// to white, warm lamps in a cold tube.
namespace tube {

constexpr int N = 256;
constexpr int RING_PERIOD = 64;   // u texels from one ring of light to the next
constexpr int SEAM_PERIOD = 32;   // v texels from one lengthwise seam to the next
constexpr float GROOVE = 16.f, PANEL_MID = 20.f, PANEL_LIT = 26.f, LAMP = 70.f, RING = 72.f;

// Distance from x to the nearest multiple of period (0..period / 2).
int from_line(int x, int period) {
    const int m = ((x % period) + period) % period;
    return std::min(m, period - m);
}

float texel(int u, int v) {
    // The seam at v = 0 (and at v = 256) is its own mirror image, so the two
    // halves of the tube meet without a seam of their own.
    const float du = float(from_line(u, RING_PERIOD)), dv = float(from_line(v, SEAM_PERIOD));
    const float ring = 1.f - smoothstep(9.f, 11.f, du);
    const float groove = smoothstep(11.f, 13.f, du) * (1.f - smoothstep(16.f, 18.f, du));
    const float seam = (1.f - smoothstep(1.5f, 3.5f, dv)) * smoothstep(16.f, 18.f, du);
    const float lamp = (1.f - smoothstep(7.f, 9.5f, std::fabs(du - RING_PERIOD / 2.f))) *
                       (1.f - smoothstep(7.f, 9.5f, std::fabs(dv - SEAM_PERIOD / 2.f)));
    float t = lerp(PANEL_MID, PANEL_LIT, 1.f - smoothstep(18.f, 30.f, du));
    t = lerp(t, GROOVE, std::max(groove, seam));
    t = lerp(t, LAMP, lamp);
    return lerp(t, RING, ring);
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

// The craft is drawn in a 105 x 71 space of its own and set into the sprite at nine
// tenths of that, nose to the sprite's right edge and fin tip seven rows down: the
// sprite's top row is the frame's, and a fin touching it reads as cut off.
void craft_space(cairo_t* cr) {
    cairo_translate(cr, 10.4, 4.3);
    cairo_scale(cr, 0.9, 0.9);
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
    craft_space(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // Far wing (in shadow, seen past the hull) and the fin, in blue greys like
    // the near wing, so that the craft's dark parts stay mid tones.
    cairo_set_source_rgb(cr, 16 / 63., 20 / 63., 27 / 63.);
    quad(cr, {70, 30, 38, 8, 28, 8, 40, 28});
    cairo_fill(cr);
    cairo_pattern_t* fin = cairo_pattern_create_linear(14, 2, 30, 28);
    cairo_pattern_add_color_stop_rgb(fin, 0, 44 / 63., 48 / 63., 54 / 63.);
    cairo_pattern_add_color_stop_rgb(fin, 1, 18 / 63., 22 / 63., 29 / 63.);
    cairo_set_source(cr, fin);
    quad(cr, {34, 26, 14, 3, 7, 3, 14, 28});
    cairo_fill(cr);
    cairo_pattern_destroy(fin);
    cairo_set_source_rgb(cr, 33 / 63., 11 / 63., 9 / 63.);  // red fin tip
    quad(cr, {14, 3, 7, 3, 9, 10, 19, 10});
    cairo_fill(cr);

    // Engine flame: a short orange cone with a white-hot core.
    cairo_pattern_t* flame = cairo_pattern_create_linear(12, 0, 1, 0);
    cairo_pattern_add_color_stop_rgba(flame, 0, 63 / 63., 58 / 63., 38 / 63., 1);
    cairo_pattern_add_color_stop_rgba(flame, 0.5, 62 / 63., 44 / 63., 16 / 63., 1);
    cairo_pattern_add_color_stop_rgba(flame, 1, 52 / 63., 26 / 63., 6 / 63., 0.7);
    cairo_set_source(cr, flame);
    cairo_move_to(cr, 12, 32);
    cairo_curve_to(cr, 7, 33, 3, 35, 1, 37);
    cairo_curve_to(cr, 3, 39, 7, 41, 12, 42);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(flame);
    cairo_set_source_rgb(cr, 63 / 63., 63 / 63., 58 / 63.);
    cairo_move_to(cr, 12, 35);
    cairo_curve_to(cr, 9, 35.5, 7, 36.3, 6, 37);
    cairo_curve_to(cr, 7, 37.7, 9, 38.5, 12, 39);
    cairo_close_path(cr);
    cairo_fill(cr);

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
    cairo_pattern_add_color_stop_rgb(wing, 0, 46 / 63., 50 / 63., 56 / 63.);
    cairo_pattern_add_color_stop_rgb(wing, 1, 20 / 63., 24 / 63., 31 / 63.);
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
    ColourSet set(scene5_palette, {{97, 123}, {132, 157}, {168, 198}, {204, 228}, {232, 237}, {239, 253}});
    return quantise(c.colour(), set, 0.3f, &a, 0);
}

// The silhouettes behind the craft are painted in greys from this mask, twelve of
// them 20 pixels apart, each later (darker, further left) one over the one before,
// so only the right-hand 20 pixels of each show, and the last one whole. The mask
// is the exhaust's vapour rather than the craft: a plume level with the engine,
// thin at its tail and rounded at its head, which lies under the hull and shows
// as a row of soft puffs fading to dark behind the engine.
Indexed draw_k2() {
    Canvas c(105, 71);
    cairo_t* cr = c.cr;
    craft_space(cr);
    cairo_move_to(cr, -12, 37);
    cairo_curve_to(cr, 20, 35, 40, 31, 62, 30.5);
    cairo_line_to(cr, 92, 30.5);
    cairo_arc(cr, 92, 37, 6.5, -M_PI / 2, M_PI / 2);
    cairo_line_to(cr, 62, 43.5);
    cairo_curve_to(cr, 40, 43, 20, 39, -12, 37);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    const Plane a = c.alpha();
    Indexed out(105, 71, 0);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x)
            if (a.at(x, y) > 0.5f) out.at(x, y) = 255;
    return out;
}

// The banner is averaged with the tube behind it, which holds about 37..82 where
// the letters lie (the bottom rows' walls are near), so a byte b lands on
// (p + b) / 2. The letters' byte (and the two rules'), 238, lands on the creams
// 132..157 whatever the tube shows, from the 26 or so to which the flat 32 the
// flight starts on sinks in its first frames, up to its lights; toward the ends of the line the tube sinks (the smoothing pass
// pulls it toward the border, more on the left, which each row smooths first),
// so the letters' byte rises there to keep them on the creams. The rest is a
// plate of tinted glass (28) landing on the dark navy ramp 33..55, through which
// the tube's light still shows, dimly. The plate leaves no key pixel: the blur a
// key pixel gets would sink the tube through the fixed 64 and draw olive contours.
// Toward the frame's edge the smoothing pass sinks the tube toward the border's 5
// (to about 20 in the outermost column and row), so the glass's byte rises there
// to keep the plate on its ramp, and the outermost columns, averaged with the
// border itself, carry 9: (5 + 9) / 2 is 7, the border's own colour.
constexpr uint8_t BANNER_GLASS = 28, BANNER_BORDER = 9;

// The letters' byte in column x.
uint8_t letter_byte(int x) {
    const float left = std::clamp((70.f - float(x)) / 58.f, 0.f, 1.f);
    const float right = std::clamp((float(x) - 230.f) / 80.f, 0.f, 1.f);
    return uint8_t(238 + std::lround(3.f * left + 3.f * right));
}

// The glass byte at distance d pixels from the frame's edge (1 = next to the border).
uint8_t glass_byte(int d) {
    constexpr uint8_t near_edge[] = {63, 62, 58, 52, 46, 42, 38, 36, 34, 33, 32, 31, 30, 30, 30, 30};
    constexpr int n = int(sizeof near_edge);
    return d >= 1 && d <= n ? near_edge[d - 1] : d <= 24 ? 29 : BANNER_GLASS;
}

Indexed draw_apsave() {
    const int W = 320, H = 45;
    const char* font = "DejaVu Sans Condensed Bold";
    const std::string text = "STAY INSIDE THE TUBE";
    const double spacing = 1.5;
    // The letters fill the plate between two cream rules, and a stroke of 1.4
    // pixels round their outline thickens every stem to four pixels or more, so
    // the line keeps its weight after the average with the tube halves its light.
    Canvas c(W, H);
    const double px = fit_text(c.cr, text, font, W - 36, H - 20, spacing);
    text_path_centred(c.cr, text, font, px, W / 2.0, H / 2.0 - 1.5, spacing);
    ink_thickened(c.cr, 1.4);
    for (double y : {3.0, H - 9.0}) cairo_rectangle(c.cr, 18, y, W - 36, 1);
    cairo_fill(c.cr);
    const Plane f = c.alpha();
    Indexed out(W, H, BANNER_GLASS);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // The banner's last row is the frame's row 198, next to the border.
            const int d = std::min({x, W - 1 - x, H - y});
            out.at(x, y) = f.at(x, y) > 0.45f ? letter_byte(x) : d == 0 ? BANNER_BORDER : glass_byte(d);
        }
    return out;
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
