// Scenes 2 and 4: the full-screen portraits that the lens circles over (self_g,
// self_b: teal ramp 0..62, index 1 marking the protected stripes of the backdrop)
// and the standing figures pasted over them (girl, boy: skin run and grey ramp).
#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

PortraitColours grey_colours(Person who) {
    // Painted in greys: only the luminance is kept, mapped onto the teal ramp.
    PortraitColours c;
    c.background_top = {30, 30, 30};
    c.background_bottom = {8, 8, 8};
    c.skin_light = {60, 60, 60};
    c.skin_dark = {26, 26, 26};
    c.hair_light = who == Person::girl ? Rgb{34, 34, 34} : Rgb{22, 22, 22};
    c.hair_dark = {4, 4, 4};
    c.cloth_light = {40, 40, 40};
    c.cloth_dark = {10, 10, 10};
    c.eye = {14, 14, 14};
    c.lips = {30, 30, 30};
    return c;
}

// The lens picture: a large head and shoulders on a striped backdrop. Light goes to
// the bright end of the teal ramp (0), shadow to 62; index 1 is kept for the
// protected backdrop stripes only.
Indexed draw_self(Person who) {
    const int W = 320, H = 200;
    Canvas c(W, H);
    double cx = who == Person::girl ? 150 : 170;
    paint_portrait(c.cr, who, cx, 88, 110, grey_colours(who), false, W, H);
    Plane lum = c.grey(), cover = c.alpha();
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t v;
            if (cover.at(x, y) < 0.5f) {
                // Backdrop: a soft radial falloff; every fourth row protected.
                float dx = (x - cx) / 220.f, dy = (y - 90.f) / 160.f;
                float t = 0.35f + 0.6f * (dx * dx + dy * dy);
                v = (y % 4 == 0) ? 1 : ramp_index(t, 0, 62, x, y);
            } else {
                v = ramp_index(1.f - lum.at(x, y) * cover.at(x, y), 0, 62, x, y);
            }
            if (v == 1 && !(cover.at(x, y) < 0.5f && y % 4 == 0)) v = 2;
            out.at(x, y) = v;
        }
    return out;
}

Indexed draw_girl() {
    Canvas c(108, 188);
    PortraitColours pc;
    pc.background_top = {40, 40, 40};
    pc.background_bottom = {6, 6, 6};
    pc.skin_light = {62, 56, 48};
    pc.skin_dark = {50, 26, 10};
    pc.hair_light = {54, 40, 0};
    pc.hair_dark = {43, 34, 0};
    pc.cloth_light = {58, 58, 58};
    pc.cloth_dark = {14, 14, 14};
    pc.eye = {20, 20, 20};
    pc.lips = {55, 22, 6};
    paint_figure(c.cr, Person::girl, 108, 188, pc);
    cairo_set_source_rgb(c.cr, 54 / 63., 40 / 63., 0);
    cairo_set_line_width(c.cr, 2);
    cairo_rectangle(c.cr, 1, 1, 106, 186);
    cairo_stroke(c.cr);
    ColourSet set(scene2_palette, {{165, 191}, {192, 255}});
    return quantise(c.colour(), set, 0.2f);
}

Indexed draw_boy() {
    Canvas c(108, 188);
    PortraitColours pc;
    pc.background_top = {44, 44, 44};
    pc.background_bottom = {6, 6, 6};
    pc.skin_light = {62, 56, 50};
    pc.skin_dark = {46, 22, 10};
    pc.hair_light = {24, 24, 24};
    pc.hair_dark = {3, 3, 3};
    pc.cloth_light = {18, 37, 46};
    pc.cloth_dark = {12, 20, 26};
    pc.eye = {18, 37, 46};
    pc.lips = {40, 12, 4};
    paint_figure(c.cr, Person::boy, 108, 188, pc);
    cairo_set_source_rgb(c.cr, 46 / 63., 47 / 63., 51 / 63.);
    cairo_set_line_width(c.cr, 2);
    cairo_rectangle(c.cr, 1, 1, 106, 186);
    cairo_stroke(c.cr);
    ColourSet set(scene4_palette, {{165, 194}, {195, 255}});
    return quantise(c.colour(), set, 0.2f);
}

}  // namespace

void register_portraits() {
    auto& r = registry();
    r.push_back({"girl", 108, 188, -1, &scene2_palette, draw_girl});
    r.push_back({"self_g", 320, 200, -1, &scene2_palette, [] { return draw_self(Person::girl); }});
    r.push_back({"boy", 108, 188, -1, &scene4_palette, draw_boy});
    r.push_back({"self_b", 320, 200, -1, &scene4_palette, [] { return draw_self(Person::boy); }});
}

}  // namespace art
