// Scene 1, curves phases: the two small portraits in the background's lower right
// recess (gpor in phase A, npor in phase C). Each is a copy of that corner of the
// background with a head-and-shoulders portrait painted into the recess's glass,
// so the frame runs on unbroken around it.
//
// Painted supersampled like the standing figures of the later scenes: every part a
// Cairo path whose blurred coverage gives it a rounded relief lit from the upper
// left, a cool rim light from behind on the right, soft shadows under hair and
// chin, then box-filtered down and quantised part by part onto the curves palette:
// the skin on its warm half (orange to dark red) with the cool ramp's whites for
// highlights, the rest on the cool ramp.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"
#include "painter.h"
#include "scene01.h"
#include "scenes/palettes.h"

namespace art::scene01 {
namespace {

using namespace painter;

enum Region : uint8_t { R_BACK, R_SKIN, R_HAIR, R_CLOTH, R_DETAIL };

std::vector<ColourSet> portrait_sets() {
    const Palette& p = curves_palette;
    return {ColourSet(p, {{36, 128}}),                          // backdrop
            ColourSet(p, {{191, 246}, {1, 10}, {128, 150}}),    // skin
            ColourSet(p, {{200, 255}, {98, 114}}),              // hair
            ColourSet(p, {{36, 150}, {190, 190}, {12, 24}}),    // clothes
            ColourSet(p, {{1, 255}})};                          // eyes, lips
}

const Finish skin{{18, 5, 3}, {59, 38, 21}, {63, 50, 34}, 0.5f, {40, 58, 60}, 0.7f, 2.2f};

// The glass of the recess in portrait coordinates.
struct Glass {
    int x0, y0, w, h;  // inside the sprite
};

// The glass: the view behind the frame seen through it, dimmed, with a cool glow
// from behind the head. (gx, gy) is the glass's top left corner on the screen.
void backdrop(Paint& pt, double cx, double cy, int gx, int gy) {
    pt.current = R_BACK;
    pt.fill(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, pt.w, pt.h); }), [&](float x, float y) {
        const float v = frm01_view(float(gx) + x, float(gy) + y);
        const int i = std::clamp(int(std::lround(v)), 40, 128);
        const Rgb view = scale(palette_rgb(curves_palette, i), 0.85f);
        const float d = std::hypot(x - float(cx + 8), (y - float(cy - 6)) * 0.9f) / 40.f;
        const float glow = std::clamp(1.f - d, 0.f, 1.f);
        return mix(view, Rgb{12, 38, 47}, 0.7f * glow * glow);
    });
}

// The face's planes: the side away from the key light turned into shadow, a lit
// cheekbone and brow on the near side, so the head reads as a solid under one light
// rather than a cushion lit from the front.
void model_face(Paint& pt, const Plane& face, double cx, double cy, double s) {
    pt.current = R_SKIN;
    // Fill on the mouth and chin, so the key light's falloff leaves the lower face
    // in half tone and the dark stays on the far cheek.
    Plane fill = blur(pt.mask([&](cairo_t* cr) { oval(cr, cx - 0.02 * s, cy + 0.3 * s, 0.15 * s, 0.13 * s); }),
                      int(0.06 * s * pt.ss));
    for (size_t k = 0; k < fill.v.size(); ++k) fill.v[k] *= face.v[k];
    pt.flat(fill, {50, 28, 13}, 0.6f);
    // The shadow side is a crescent along the cheek and jaw that stops short of the
    // mouth and chin: carried across them it read as stubble.
    Plane side = blur(pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx + 0.18 * s, cy - 0.5 * s}, {cx + 0.45 * s, cy - 0.3 * s}, {cx + 0.45 * s, cy + 0.5 * s},
                  {cx + 0.16 * s, cy + 0.5 * s}, {cx + 0.2 * s, cy + 0.2 * s}, {cx + 0.22 * s, cy - 0.1 * s}});
    }), int(0.04 * s * pt.ss));
    for (size_t k = 0; k < side.v.size(); ++k) side.v[k] *= face.v[k];
    pt.flat(side, {24, 7, 3}, 0.8f);
    Plane lit = blur(pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.17 * s, cy + 0.1 * s, 0.09 * s, 0.06 * s, -0.3);
        oval(cr, cx - 0.1 * s, cy - 0.3 * s, 0.14 * s, 0.06 * s);
        oval(cr, cx - 0.03 * s, cy + 0.4 * s, 0.06 * s, 0.03 * s);  // the chin's lit point
    }), int(0.04 * s * pt.ss));
    for (size_t k = 0; k < lit.v.size(); ++k) lit.v[k] *= face.v[k];
    pt.flat(lit, {63, 50, 34}, 0.75f);
}

// Light on the shoulders: the near shoulder lit from the upper left, the far side
// and the chest under the chin in shadow, so the body turns like the head does.
void model_body(Paint& pt, const Plane& body, double cx, double cy, double s, Rgb light, Rgb shade) {
    pt.current = R_CLOTH;
    Plane dark = blur(pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx + 4, cy + 0.7 * s}, {cx + 40, cy + 0.8 * s}, {cx + 40, pt.h + 6.0}, {cx + 8, pt.h + 6.0}});
        oval(cr, cx, cy + 1.0 * s, 10, 4);
    }), int(4 * pt.ss));
    for (size_t k = 0; k < dark.v.size(); ++k) dark.v[k] *= body.v[k];
    pt.flat(dark, shade, 0.6f);
    Plane lit = blur(pt.mask([&](cairo_t* cr) { oval(cr, cx - 22, cy + 0.86 * s, 9, 3.5, -0.35); }), int(2 * pt.ss));
    for (size_t k = 0; k < lit.v.size(); ++k) lit.v[k] *= body.v[k];
    pt.flat(lit, light, 0.6f);
}

// The band of light across the crown that makes hair read as glossy: a soft arc
// centred at (x, y), w wide and h tall, in a lit warm brown, only on the hair.
void sheen(Paint& pt, const Plane& hair, double x, double y, double w, double h) {
    pt.current = R_HAIR;
    Plane band = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{x - w, y + h}, {x - w * 0.5, y + h * 0.2}, {x + w * 0.3, y}, {x + w, y + h * 0.5}});
    }, 2.0), pt.ss);
    for (size_t k = 0; k < band.v.size(); ++k) band.v[k] *= hair.v[k];
    pt.flat(band, {60, 38, 22}, 0.85f);
}

// Hair in locks rather than a felt: each lock a lit band on the side toward the key
// light with a dark parting beside it, n locks fanned between x0 and x1 and
// following the fall from (top) to (bottom); only where `hair` lies.
void locks(Paint& pt, const Plane& hair, double x0, double x1, double top, double bottom, double sweep, int n,
           Rgb lit, Rgb parting, std::initializer_list<const Plane*> in_front = {}) {
    pt.current = R_HAIR;
    for (int i = 0; i < n; ++i) {
        const double x = x0 + (x1 - x0) * (i + 0.5) / n;
        const double side = x < (x0 + x1) * 0.5 ? -1.0 : 1.0;
        const auto path = [&](double dx) {
            return [&, dx](cairo_t* cr) {
                curve(cr, {{x + dx, top}, {x + dx + side * sweep * 0.6, (top + bottom) * 0.5},
                           {x + dx + side * sweep, bottom}});
            };
        };
        Plane band = blur(pt.stroke_mask(path(0.0), 1.1), pt.ss / 2);
        Plane cut = blur(pt.stroke_mask(path(1.4), 0.6), pt.ss / 2);
        for (size_t k = 0; k < band.v.size(); ++k) {
            float m = hair.v[k];
            for (const Plane* p : in_front) m *= 1.f - p->v[k];
            band.v[k] *= m;
            cut.v[k] *= m;
        }
        // Locks on the far side of the parting sit in the head's own shade.
        pt.flat(band, side < 0 ? lit : scale(lit, 0.8f), side < 0 ? 0.6f : 0.4f);
        pt.flat(cut, parting, 0.55f);
    }
}

// The cool light from behind the head (the planet's glow on the glass) catching the
// edge of a part turned away from the key light: a thin crescent along its right
// side, where the part's coverage shifted left leaves it, softened and only on it.
void rim_light(Paint& pt, const Plane& part, uint8_t region, Rgb colour, double width, float strength,
               std::initializer_list<const Plane*> in_front = {}) {
    pt.current = region;
    const int d = int(std::lround(width * pt.ss));
    Plane crescent(part.w, part.h);
    for (int y = 0; y < part.h; ++y)
        for (int x = 0; x < part.w; ++x) {
            const int sx = x + d, sy = y - d / 3;  // the shape moved toward the light's source
            const float inner = sx < part.w && sy >= 0 ? part.at(sx, sy) : 0.f;
            crescent.at(x, y) = std::max(0.f, part.at(x, y) - inner);
        }
    Plane soft = blur(crescent, pt.ss / 2);
    for (size_t k = 0; k < soft.v.size(); ++k) {
        soft.v[k] *= part.v[k];
        for (const Plane* p : in_front) soft.v[k] *= 1.f - p->v[k];
    }
    pt.flat(soft, colour, strength);
}

// Eyes, brows, nose and mouth drawn onto a face centred at (cx, cy), s = face
// height; `girl` makes the lashes heavier and the lips fuller.
void features(Paint& pt, double cx, double cy, double s, bool girl) {
    pt.current = R_SKIN;
    // Sockets, the shadow under the nose and under the lower lip, the cheek hollows.
    pt.flat(blur(pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.17 * s, cy - 0.04 * s, 0.12 * s, 0.07 * s);
        oval(cr, cx + 0.17 * s, cy - 0.04 * s, 0.12 * s, 0.07 * s);
    }), int(0.04 * s * pt.ss)), {36, 14, 4}, 0.5f);
    pt.flat(blur(pt.mask([&](cairo_t* cr) {
        oval(cr, cx + 0.02 * s, cy + 0.16 * s, 0.07 * s, 0.03 * s);
        oval(cr, cx, cy + 0.33 * s, 0.06 * s, 0.02 * s);
    }), int(0.03 * s * pt.ss)), {30, 9, 3}, 0.45f);
    pt.flat(blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx + 0.03 * s, cy - 0.02 * s}, {cx + 0.07 * s, cy + 0.1 * s}, {cx + 0.03 * s, cy + 0.15 * s}});
    }, 0.04 * s), int(0.02 * s * pt.ss)), {34, 12, 4}, 0.5f);
    // The lit ridge of the nose.
    pt.flat(blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 0.03 * s, cy + 0.0 * s}, {cx - 0.04 * s, cy + 0.1 * s}});
    }, 0.03 * s), int(0.02 * s * pt.ss)), {62, 50, 34}, 0.5f);
    pt.current = R_DETAIL;
    // Lips: a darker upper, a lit lower.
    const double mw = girl ? 0.13 : 0.12;
    pt.flat(pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - mw * s, cy + 0.27 * s}, {cx, cy + 0.245 * s}, {cx + mw * s, cy + 0.27 * s}, {cx, cy + 0.285 * s}});
    }), girl ? Rgb{36, 6, 3} : Rgb{34, 12, 5});
    pt.flat(pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - mw * 0.85 * s, cy + 0.285 * s}, {cx + mw * 0.85 * s, cy + 0.285 * s}, {cx, cy + (girl ? 0.33 : 0.31) * s}});
    }), girl ? Rgb{50, 18, 8} : Rgb{44, 20, 8});
}

// The sprite: the background's corner, the portrait painted into its glass.
Indexed portrait(int x0, int y0, int w, int h, const std::function<void(Paint&, int, int)>& paint,
                 const std::function<void(Indexed&)>& touch_up) {
    const Indexed frame = draw_frm01();
    Indexed out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.at(x, y) = frame.v[size_t(y0 + y) * 320 + size_t(x0 + x)];
    const Glass g{NICHE_X + NICHE_BEVEL - x0, NICHE_Y + NICHE_BEVEL - y0, 320 - FRAME_EDGE - (NICHE_X + NICHE_BEVEL),
                  200 - FRAME_EDGE - (NICHE_Y + NICHE_BEVEL)};
    Paint pt(g.w, g.h, 4);
    paint(pt, x0 + g.x0, y0 + g.y0);
    // The bevel's shadow falls on the glass's top and left.
    {
        pt.current = R_BACK;
        const Plane edge = pt.mask([&](cairo_t* cr) {
            cairo_rectangle(cr, -10, -10, g.w + 20, 10.5);
            cairo_rectangle(cr, -10, -10, 10.5, g.h + 20);
        });
        pt.shadow(edge, 1.5, 1.5, 2.5, 0.6f);
    }
    // Little error diffusion: at this size a dithered cheek reads as noise, where a
    // pixel artist would lay flat clusters of two or three tones.
    Indexed pic = quantise_regions(pt.down(), pt.regions(), portrait_sets(), 0.12f);
    // A lone pale white (indices 1..8) among other colours is a highlight the
    // quantiser over-shot, read as a stray pixel; it takes its left or right
    // neighbour's colour. The eyes' whites are stamped after this.
    const auto pale = [](uint8_t v) { return v >= 1 && v <= 8; };
    for (int y = 1; y + 1 < g.h; ++y)
        for (int x = 1; x + 1 < g.w; ++x)
            if (pale(pic.at(x, y)) && !pale(pic.at(x - 1, y)) && !pale(pic.at(x + 1, y)) &&
                !pale(pic.at(x, y - 1)) && !pale(pic.at(x, y + 1)))
                pic.at(x, y) = pic.at(x - 1, y);
    touch_up(pic);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x) {
            uint8_t v = pic.at(x, y);
            out.at(g.x0 + x, g.y0 + y) = v;
        }
    return out;
}

// ---------------------------------------------------------------- the girl

void paint_girl(Paint& pt, int gx, int gy) {
    const double cx = 30, cy = 31, s = 35;  // face centre and height
    backdrop(pt, cx, cy, gx, gy);
    const Finish hair{{6, 0, 0}, {30, 10, 3}, {46, 22, 8}, 0.4f, {24, 48, 55}, 0.8f, 1.2f};
    const Finish top{{2, 15, 24}, {12, 38, 47}, {46, 62, 63}, 0.35f, {36, 57, 61}, 0.8f, 1.2f};

    // Hair behind the head and shoulders: long, falling past the collarbones.
    pt.current = R_HAIR;
    const Plane back_hair = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 2, cy - 0.62 * s}, {cx + 12, cy - 0.55 * s}, {cx + 18, cy - 0.2 * s}, {cx + 18, cy + 0.4 * s},
                  {cx + 22, cy + 0.95 * s}, {cx + 14, cy + 1.2 * s}, {cx + 6, cy + 0.7 * s}, {cx - 6, cy + 0.7 * s},
                  {cx - 15, cy + 1.22 * s}, {cx - 22, cy + 0.95 * s}, {cx - 18, cy + 0.4 * s}, {cx - 17, cy - 0.2 * s},
                  {cx - 13, cy - 0.52 * s}});
    });
    pt.shadow(back_hair, 3, 2, 5, 0.4f);
    pt.shaded(back_hair, 8, hair);

    // Shoulders and a teal top with a scooped neckline.
    pt.current = R_CLOTH;
    const Plane body = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 9, cy + 0.64 * s}, {cx + 9, cy + 0.64 * s}, {cx + 24, cy + 0.72 * s}, {cx + 32, cy + 1.0 * s},
                  {cx + 34, pt.h + 6.0}, {cx - 34, pt.h + 6.0}, {cx - 32, cy + 1.0 * s}, {cx - 24, cy + 0.72 * s}});
    });
    pt.shaded(body, 10, top);
    model_body(pt, body, cx, cy, s, {40, 60, 62}, {2, 12, 20});
    pt.current = R_SKIN;
    const Plane neck = pt.mask([&](cairo_t* cr) {
        limb(cr, {cx, cy + 0.3 * s}, 5.6, {cx, cy + 0.7 * s}, 6.4);
        cairo_fill(cr);
        blob(cr, {{cx - 13, cy + 0.72 * s}, {cx, cy + 0.66 * s}, {cx + 13, cy + 0.72 * s}, {cx + 6, cy + 0.97 * s},
                  {cx - 6, cy + 0.97 * s}});
    });
    pt.shaded(neck, 5, skin);
    // The jaw's shadow on the throat.
    const Plane head = pt.mask([&](cairo_t* cr) { oval(cr, cx, cy + 1, 0.33 * s, 0.5 * s); });
    pt.shadow(head, 1, 3, 3, 0.55f, &neck);

    // The face: a soft oval, narrowing to the chin.
    const Plane face = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx, cy - 0.5 * s}, {cx + 0.3 * s, cy - 0.38 * s}, {cx + 0.34 * s, cy - 0.05 * s}, {cx + 0.26 * s, cy + 0.28 * s},
                  {cx + 0.03 * s, cy + 0.47 * s}, {cx - 0.1 * s, cy + 0.42 * s}, {cx - 0.27 * s, cy + 0.25 * s},
                  {cx - 0.34 * s, cy - 0.05 * s}, {cx - 0.3 * s, cy - 0.38 * s}});
    });
    pt.shaded(face, s * 0.35, skin);
    model_face(pt, face, cx, cy, s);
    features(pt, cx, cy, s, true);

    // Front hair: a side parting, the fringe swept across to our right, locks
    // framing the cheeks.
    pt.current = R_HAIR;
    const Plane front = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 4, cy - 0.6 * s}, {cx + 9, cy - 0.56 * s}, {cx + 15, cy - 0.3 * s}, {cx + 13, cy + 0.1 * s},
                  {cx + 15, cy + 0.55 * s}, {cx + 12, cy + 0.6 * s}, {cx + 11, cy + 0.05 * s}, {cx + 8, cy - 0.28 * s},
                  {cx - 2, cy - 0.36 * s}, {cx - 8, cy - 0.24 * s}, {cx - 11.5, cy + 0.1 * s}, {cx - 12.5, cy + 0.6 * s},
                  {cx - 15.5, cy + 0.55 * s}, {cx - 14.5, cy + 0.0 * s}, {cx - 13, cy - 0.4 * s}});
    });
    pt.shadow(front, 1, 1.5, 2, 0.5f, &face);
    pt.shaded(front, 4, hair);
    // A few lit strands.
    Rng rng(19);
    for (int i = 0; i < 8; ++i) {
        const double x = cx + rng.range(-12, 12), side = x < cx - 3 ? -1 : 1;
        Plane st = pt.stroke_mask([&](cairo_t* cr) {
            curve(cr, {{x, cy - 0.55 * s}, {x + side * 4, cy - 0.2 * s}, {x + side * 5.5, cy + 0.3 * s + rng.range(0, 8)}});
        }, 0.35);
        for (size_t k = 0; k < st.v.size(); ++k) st.v[k] *= front.v[k] + back_hair.v[k] > 0.5f ? 1.f : 0.f;
        pt.flat(st, i % 3 == 0 ? Rgb{24, 48, 55} : Rgb{38, 12, 3}, 0.35f);
    }
    locks(pt, back_hair, cx - 20, cx - 11, cy - 0.1 * s, cy + 1.1 * s, 2.5, 3, {50, 26, 10}, {8, 1, 0},
          {&body, &neck, &face, &front});
    locks(pt, front, cx - 13, cx + 14, cy - 0.55 * s, cy + 0.5 * s, 3.5, 6, {50, 26, 10}, {8, 1, 0});
    sheen(pt, front, cx - 3, cy - 0.38 * s, 12, 5);
    rim_light(pt, back_hair, R_HAIR, {34, 56, 61}, 1.4, 0.9f, {&body, &neck, &face});
    rim_light(pt, body, R_CLOTH, {44, 62, 63}, 1.4, 0.8f, {&back_hair});
}

// Eyes, nose and mouth at the output size, where a face of 35 pixels has eyes four
// wide: a dark lash line over a dark iris between two pale corners, a shadow under
// the nose on the side away from the light, parted lips with a lit lower lip.
// Indices on the curves palette: 1..8 pale whites, 195..250 the skin ramp's tans
// to dark red.
void girl_eyes(Indexed& out) {
    painter::stamp(out, 21, 26, {" bbbb        bbbb ",
                                 "                  ",
                                 " llllll    llllll ",
                                 " wiiow      wiiow ",
                                 " wiiiw      wiiiw ",
                                 "  sss        sss  "},
                   {{'l', 250}, {'w', 6}, {'i', 240}, {'o', 2}, {'b', 232}, {'s', 212}});
    painter::stamp(out, 30, 34, {" d",
                                 " d",
                                 "hdd",
                                 "n n"},
                   {{'d', 222}, {'h', 197}, {'n', 240}});
    painter::stamp(out, 26, 39, {" uuuuu ",
                                 "mmmmmmm",
                                 " LLhLL ",
                                 "  sss  "},
                   {{'u', 232}, {'m', 246}, {'L', 216}, {'h', 203}, {'s', 226}});
}
// ---------------------------------------------------------------- the boy

void paint_boy(Paint& pt, int gx, int gy) {
    const double cx = 29, cy = 31, s = 35;
    backdrop(pt, cx, cy, gx, gy);
    const Finish hair{{6, 1, 0}, {22, 8, 2}, {42, 20, 7}, 0.4f, {24, 48, 55}, 0.8f, 1.3f};
    const Finish jacket{{2, 12, 20}, {8, 27, 38}, {46, 62, 63}, 0.1f, {36, 57, 61}, 0.9f, 1.3f};
    const Finish shirt{{24, 38, 46}, {50, 62, 63}, {63, 63, 63}, 0.3f, {46, 60, 62}, 0.5f, 1.f};

    // Shoulders: a dark jacket over a pale open collar.
    pt.current = R_CLOTH;
    const Plane body = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 10, cy + 0.62 * s}, {cx + 10, cy + 0.62 * s}, {cx + 26, cy + 0.72 * s}, {cx + 34, cy + 1.0 * s},
                  {cx + 36, pt.h + 6.0}, {cx - 36, pt.h + 6.0}, {cx - 34, cy + 1.0 * s}, {cx - 26, cy + 0.72 * s}});
    });
    pt.shaded(body, 10, jacket);
    model_body(pt, body, cx, cy, s, {30, 52, 58}, {1, 8, 14});
    const Plane collar = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 9, cy + 0.66 * s}, {cx + 9, cy + 0.66 * s}, {cx + 7, cy + 1.02 * s}, {cx, cy + 1.32 * s},
                  {cx - 7, cy + 1.1 * s}});
    });
    pt.shadow(collar, 1, 1, 2, 0.4f);
    pt.shaded(collar, 3, shirt);
    // Lapels: lit edges down from the collar.
    pt.flat(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 9, cy + 0.7 * s}, {cx - 7, cy + 1.07 * s}, {cx - 3, pt.h + 2.0}});
        cairo_new_sub_path(cr);
        curve(cr, {{cx + 9, cy + 0.7 * s}, {cx + 7, cy + 1.07 * s}, {cx + 3, pt.h + 2.0}});
    }, 0.8), {24, 48, 55}, 0.8f);

    pt.current = R_SKIN;
    const Plane neck = pt.mask([&](cairo_t* cr) {
        limb(cr, {cx, cy + 0.3 * s}, 5.8, {cx, cy + 0.72 * s}, 6.6);
        cairo_fill(cr);
        blob(cr, {{cx - 7.5, cy + 0.68 * s}, {cx + 7.5, cy + 0.68 * s}, {cx, cy + 1.04 * s}});
    });
    pt.shaded(neck, 5, skin);
    const Plane head = pt.mask([&](cairo_t* cr) { oval(cr, cx, cy + 1, 0.36 * s, 0.5 * s); });
    pt.shadow(head, 1, 3, 3, 0.6f, &neck);
    // Ears.
    const Plane ears = pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.37 * s, cy + 0.02 * s, 2.2, 3.6);
        oval(cr, cx + 0.37 * s, cy + 0.02 * s, 2.2, 3.6);
    });
    pt.shaded(ears, 2, skin);

    // A squarer face: broad cheekbones, a firm jaw.
    const Plane face = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx, cy - 0.5 * s}, {cx + 0.32 * s, cy - 0.38 * s}, {cx + 0.36 * s, cy - 0.02 * s}, {cx + 0.3 * s, cy + 0.28 * s},
                  {cx + 0.14 * s, cy + 0.45 * s}, {cx, cy + 0.48 * s}, {cx - 0.14 * s, cy + 0.45 * s},
                  {cx - 0.3 * s, cy + 0.28 * s}, {cx - 0.36 * s, cy - 0.02 * s}, {cx - 0.32 * s, cy - 0.38 * s}});
    });
    pt.shaded(face, s * 0.35, skin);
    model_face(pt, face, cx, cy, s);
    features(pt, cx, cy, s, false);

    // Short hair, swept up and to our right at the front.
    pt.current = R_HAIR;
    const Plane top = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 12, cy - 0.42 * s}, {cx - 8, cy - 0.66 * s}, {cx + 2, cy - 0.74 * s}, {cx + 12, cy - 0.66 * s},
                  {cx + 14, cy - 0.46 * s}, {cx + 12.5, cy - 0.12 * s}, {cx + 11, cy - 0.28 * s}, {cx + 4, cy - 0.38 * s},
                  {cx - 4, cy - 0.34 * s}, {cx - 10, cy - 0.3 * s}, {cx - 12, cy - 0.1 * s}});
    });
    pt.shadow(top, 0.5, 1.5, 2, 0.5f, &face);
    pt.shaded(top, 4, hair);
    Rng rng(23);
    for (int i = 0; i < 10; ++i) {
        const double x = cx + rng.range(-10, 10);
        Plane st = pt.stroke_mask([&](cairo_t* cr) {
            curve(cr, {{x - 2, cy - 0.36 * s}, {x + 1, cy - 0.56 * s}, {x + 4, cy - 0.68 * s}});
        }, 0.5);
        for (size_t k = 0; k < st.v.size(); ++k) st.v[k] *= top.v[k] > 0.5f ? 1.f : 0.f;
        pt.flat(st, Rgb{36, 14, 4}, 0.5f);
    }
    sheen(pt, top, cx - 1, cy - 0.64 * s, 9, 4);
    rim_light(pt, top, R_HAIR, {34, 56, 61}, 1.4, 0.9f, {&face});
    rim_light(pt, body, R_CLOTH, {44, 62, 63}, 1.4, 0.8f);
}

void boy_eyes(Indexed& out) {
    painter::stamp(out, 20, 26, {"bbbbbb      bbbbbb",
                                 "                  ",
                                 " lllll      lllll ",
                                 " wiiow      wiiow ",
                                 " wiiiw      wiiiw ",
                                 "  sss        sss  "},
                   {{'b', 244}, {'l', 246}, {'w', 8}, {'i', 240}, {'o', 4}, {'s', 214}});
    painter::stamp(out, 29, 34, {" d",
                                 " d",
                                 "hdd",
                                 "n n"},
                   {{'d', 222}, {'h', 197}, {'n', 240}});
    painter::stamp(out, 25, 39, {" uuuuuu ",
                                 "mmmmmmmm",
                                 "  LLLL  ",
                                 "  ssss  "},
                   {{'u', 230}, {'m', 246}, {'L', 214}, {'s', 226}});
}
}  // namespace

Indexed draw_gpor() { return portrait(246, 110, 74, 90, paint_girl, girl_eyes); }
Indexed draw_npor() { return portrait(249, 111, 71, 89, paint_boy, boy_eyes); }

}  // namespace art::scene01
