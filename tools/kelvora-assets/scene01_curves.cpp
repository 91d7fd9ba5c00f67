// Scene 1, curves phases: the framed background (frm01), the credit captions keyed
// by 38 (gaia, jar, bizk, nudge, ephoy) and the two small portraits (gpor, npor).
#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// The curves and their glows add toward 190, dark teal, so the field inside the
// frame is a calm, smooth pale cyan (about 25..75, mostly near 40, where the ramp
// already changes fast), lightest in the middle where the curves turn: every line
// darkens it visibly and the glows gather into rich teal, deepest where they
// overlap. A faint lighter grid, like drafting paper, gives the field depth without
// the noise that would hide the thinnest lines.

// Ramp positions (0 white .. 1 the teal at 190) of the frame and the field.
constexpr float FRAME_OUTER = 0.95f, FRAME_LIT = 0.35f, FRAME_SHADE = 0.8f, FRAME_INNER = 0.9f;
constexpr float FIELD_MID = 0.17f;     // the field's centre row, about index 33
constexpr float FIELD_SLOPE = 0.08f;   // darker toward the bottom
constexpr float FIELD_RADIAL = 0.07f;  // darker toward the corners
constexpr int GRID = 20;               // grid pitch in pixels, lines through the centre
constexpr float GRID_LIFT = 0.03f;     // grid lines this much lighter

Indexed draw_frm01() {
    const int W = 320, H = 200;
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int edge = std::min(std::min(x, W - 1 - x), std::min(y, H - 1 - y));
            float t;
            if (edge < 3) {
                t = FRAME_OUTER;
            } else if (edge < 9) {
                // Bevel: lit on the top and left faces.
                bool lit = (x < y && x < 9) || (y < 9 && y <= x && x < W - 9);
                t = lit ? FRAME_LIT : FRAME_SHADE;
                t += 0.02f * float(edge - 3);
            } else if (edge < 11) {
                t = FRAME_INNER;
            } else {
                float dx = (x - 160.f) / 160.f, dy = (y - 100.f) / 100.f;
                float r2 = dx * dx + dy * dy;
                float fall = float(y) / float(H);
                t = FIELD_MID + FIELD_SLOPE * (fall - 0.5f) + FIELD_RADIAL * r2;
                // Inner shadow under the bevel.
                t += 0.08f * (1.f - smoothstep(11.f, 18.f, float(edge)));
                bool grid = (x - 160 + 320) % GRID == 0 || (y - 100 + 200) % GRID == 0;
                if (grid) t -= GRID_LIFT;
            }
            uint8_t v = ramp_index(t, 1, 190, x, y);
            if (v == 38) v = 37;  // 38 is the captions' key; keep it out of pictures
            out.at(x, y) = v;
        }
    return out;
}

// A caption in the orange ramp (light at the top of the letters, darker below) with
// a dark red edge, on key 38.
Indexed caption(int w, int h, const std::string& text, const char* font, double spacing) {
    TextStyle st;
    st.font = font;
    st.letter_spacing = spacing;
    st.edge_width = 3.0;
    st.edge_index = 253;
    return text_sprite(w, h, text, st, 38, [h](int x, int y, float) {
        return ramp_index(float(y) / float(h) * 0.55f, 191, 255, x, y);
    });
}

PortraitColours curves_portrait_colours() {
    PortraitColours c;
    c.background_top = {40, 58, 60};
    c.background_bottom = {6, 24, 32};
    c.skin_light = {57, 44, 24};
    c.skin_dark = {40, 16, 4};
    c.hair_light = {30, 10, 3};
    c.hair_dark = {8, 1, 0};
    c.cloth_light = {30, 50, 56};
    c.cloth_dark = {3, 18, 26};
    c.eye = {10, 36, 44};
    c.lips = {50, 20, 8};
    return c;
}

Indexed small_portrait(int w, int h, Person who) {
    Canvas c(w, h);
    PortraitColours pc = curves_portrait_colours();
    if (who == Person::boy) {
        pc.hair_light = {44, 26, 8};
        pc.hair_dark = {20, 6, 1};
    }
    paint_portrait(c.cr, who, w / 2.0, h * 0.42, h * 0.5, pc, true, w, h);
    // A thin dark frame.
    cairo_set_source_rgb(c.cr, 0.02, 0.24, 0.35);
    cairo_set_line_width(c.cr, 2);
    cairo_rectangle(c.cr, 1, 1, w - 2, h - 2);
    cairo_stroke(c.cr);
    ColourSet set(curves_palette, {{1, 190}, {191, 255}});
    return quantise(c.colour(), set, 0.5f);
}

}  // namespace

void register_scene01_curves() {
    auto& r = registry();
    r.push_back({"frm01", 320, 200, -1, &curves_palette, draw_frm01});
    r.push_back({"gaia", 120, 30, 38, &curves_palette,
                 [] { return caption(120, 30, "VISUALS", "DejaVu Sans Bold", 1); }});
    r.push_back({"jar", 133, 26, 38, &curves_palette,
                 [] { return caption(133, 26, "drawn by code", "DejaVu Serif Bold Italic", 0); }});
    r.push_back({"bizk", 180, 33, 38, &curves_palette,
                 [] { return caption(180, 33, "SOUND & RHYTHM", "DejaVu Sans Bold", 0.5); }});
    r.push_back({"nudge", 206, 29, 38, &curves_palette,
                 [] { return caption(206, 29, "PROGRAMMING", "DejaVu Sans Bold", 1); }});
    r.push_back({"ephoy", 146, 23, 38, &curves_palette,
                 [] { return caption(146, 23, "every frame by hand", "DejaVu Serif Bold Italic", 0); }});
    r.push_back({"gpor", 74, 90, -1, &curves_palette, [] { return small_portrait(74, 90, Person::girl); }});
    r.push_back({"npor", 71, 89, -1, &curves_palette, [] { return small_portrait(71, 89, Person::boy); }});
}

}  // namespace art
