// Scenes 2 and 4: the standing figures pasted over the lens portraits (girl, boy),
// and the registration of all four pictures (the portraits themselves are drawn in
// self_portraits.cpp).
//
// The figures are painted supersampled in float colour: every body part is a Cairo
// path whose coverage, blurred into a height field, gives it a rounded relief lit
// from the upper left, with a cool rim light from behind and soft contact shadows
// on what lies under it. The result is box-filtered down and diffused, region by
// region, onto the figure's own ramps (skin, hair, denim, card: entries 64..127,
// which the feedback never produces) and the warm run and greys of the palette.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "art.h"
#include "painter.h"
#include "portraits.h"
#include "scenes/palettes.h"

namespace art {
namespace {

using namespace painter;

// The colour set each part of a figure is quantised with.
enum Region : uint8_t { R_BACK, R_SKIN, R_HAIR, R_CLOTH, R_ACCENT, R_LOWER, R_DETAIL };

// Strands combed over a lit hair mass: thin curves from `strand`, lighter or darker
// than the mass, clipped to it.
struct HairStyle {
    Rgb sheen, deep;
    int strands;
    uint32_t seed;
};

void comb(Paint& pt, const Plane& clip, const HairStyle& st,
          const std::function<std::vector<P2>(Rng&)>& strand, double width) {
    Rng rng(st.seed);
    for (int i = 0; i < st.strands; ++i) {
        const std::vector<P2> pts = strand(rng);
        const bool light = rng.uniform() < 0.55f;
        const float a = rng.range(0.3f, 0.6f);
        Plane s = pt.stroke_mask([&](cairo_t* cr) { curve(cr, pts); }, width * rng.range(0.6f, 1.3f));
        for (size_t k = 0; k < s.v.size(); ++k) s.v[k] *= clip.v[k];
        pt.flat(s, light ? st.sheen : st.deep, a);
    }
}

// A framed card: dark outline, a bevelled metal edge, studio backdrop inside.
void card_frame(Paint& pt, Rgb light_edge, Rgb dark_edge) {
    const double w = pt.w, h = pt.h;
    pt.flat(pt.mask([&](cairo_t* cr) {
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_rectangle(cr, 3, 3, w - 6, h - 6);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    }), grey(2));
    pt.flat(pt.mask([&](cairo_t* cr) {
        cairo_move_to(cr, 1, 1);
        cairo_line_to(cr, w - 1, 1);
        cairo_line_to(cr, w - 2, 2);
        cairo_line_to(cr, 2, 2);
        cairo_line_to(cr, 2, h - 2);
        cairo_line_to(cr, 1, h - 1);
        cairo_close_path(cr);
    }), light_edge);
    pt.flat(pt.mask([&](cairo_t* cr) {
        cairo_move_to(cr, w - 1, 1);
        cairo_line_to(cr, w - 1, h - 1);
        cairo_line_to(cr, 1, h - 1);
        cairo_line_to(cr, 2, h - 2);
        cairo_line_to(cr, w - 2, h - 2);
        cairo_line_to(cr, w - 2, 2);
        cairo_close_path(cr);
    }), dark_edge);
}

// The studio backdrop of a figure card: a lit wall fading into a floor, and the
// soft shadow the figure casts on the floor behind it.
void backdrop(Paint& pt, Rgb wall_top, Rgb wall_low, Rgb floor_near, double floor_y, double feet_x) {
    const float fy = float(floor_y);
    // The card's ramp steps by about two units a channel, so the spot's slow falloff
    // would show as rings: a 4 x 4 ordered offset of under one step per output
    // pixel turns each ring into a fine, even blend of its two shades.
    static constexpr int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    pt.fill(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, pt.w, pt.h); }), [&](float x, float y) {
        const float o = (float(BAYER[int(y) & 3][int(x) & 3]) - 7.5f) / 16.f * 1.8f;
        Rgb c;
        if (y < fy) {
            // A spot on the wall behind the head, falling off to the corners.
            const float dx = (x - float(feet_x) + 8.f) / 70.f, dy = (y - fy * 0.35f) / 110.f;
            const float spot = std::exp(-(dx * dx + dy * dy) * 2.2f);
            c = mix(mix(wall_top, wall_low, y / fy), scale(wall_low, 1.35f), spot * 0.75f);
        } else {
            c = mix(wall_low, floor_near, std::min(1.f, (y - fy) / 22.f));
        }
        // The card's sides sink into shadow, so the lit figure stands off a darker
        // ground at its outline.
        const float side = std::abs(x - float(feet_x)) / (float(pt.w) * 0.5f);
        c = scale(c, 1.f - 0.45f * side * side);
        return Rgb{c.r + o, c.g + o, c.b + o};
    });
    // Contact shadow under the feet and a long soft one thrown back and right.
    const Plane s1 = pt.mask([&](cairo_t* cr) { oval(cr, feet_x + 1, floor_y + 2, 17, 3.2); });
    pt.shadow(s1, 0, 0, 5, 0.6f);
    const Plane s2 = pt.mask([&](cairo_t* cr) {
        blob(cr, {{feet_x - 8, floor_y + 1}, {feet_x + 10, floor_y - 3}, {feet_x + 40, floor_y - 9},
                  {feet_x + 46, floor_y - 6}, {feet_x + 14, floor_y + 4}});
    });
    pt.shadow(s2, 0, 0, 4, 0.35f);
}

// ---------------------------------------------------------------- the girl

constexpr int FIG_W = 108, FIG_H = 188, FIG_SS = 4;

// Skin on its own ramp, blonde hair on the gold ramp, a black satin dress.
const Finish girl_skin{{54, 32, 18}, {63, 59, 55}, {63, 62, 60}, 0.25f, {46, 54, 58}, 0.55f, 1.f};
const Finish girl_hair{{14, 10, 1}, {54, 40, 0}, {62, 58, 44}, 0.7f, {50, 56, 56}, 0.7f, 1.35f};
const Finish girl_dress{{1, 1, 2}, {14, 14, 17}, {56, 58, 62}, 0.75f, {34, 42, 52}, 0.9f, 1.5f};

// Colour sets of the girl's regions on the scene 2 palette.
std::vector<ColourSet> girl_sets() {
    const Palette& p = scene2_palette;
    return {ColourSet(p, {{104, 127}}),                // card
            ColourSet(p, {{64, 79}, {176, 190}}),      // skin
            ColourSet(p, {{80, 103}}),                 // hair
            ColourSet(p, {{192, 253}}),                // dress
            ColourSet(p, {{80, 103}, {104, 127}}),     // belt, card frame
            ColourSet(p, {{192, 253}}),                // shoes
            ColourSet(p, {{64, 127}, {165, 255}})};    // eyes, lips
}

// The girl's face inside the head oval at (cx, cy), s = face height: she looks a
// little to our left, lit from the upper left.
void girl_face(Paint& pt, double cx, double cy, double s) {
    pt.current = R_SKIN;
    const Plane face = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 0.02 * s, cy - 0.5 * s}, {cx + 0.28 * s, cy - 0.4 * s}, {cx + 0.33 * s, cy - 0.05 * s},
                  {cx + 0.25 * s, cy + 0.28 * s}, {cx + 0.04 * s, cy + 0.48 * s}, {cx - 0.13 * s, cy + 0.4 * s},
                  {cx - 0.28 * s, cy + 0.16 * s}, {cx - 0.32 * s, cy - 0.18 * s}, {cx - 0.24 * s, cy - 0.42 * s}});
    });
    pt.shaded(face, s * 0.4, girl_skin);
    const Plane blush = blur(pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.17 * s, cy + 0.15 * s, 0.09 * s, 0.05 * s);
        oval(cr, cx + 0.18 * s, cy + 0.15 * s, 0.07 * s, 0.05 * s);
    }), int(0.05 * s * pt.ss));
    pt.flat(blush, {60, 36, 28}, 0.4f);
    // Eye sockets a shade darker, so the eyes sit in the face.
    pt.flat(blur(pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.14 * s, cy - 0.03 * s, 0.12 * s, 0.07 * s);
        oval(cr, cx + 0.17 * s, cy - 0.03 * s, 0.11 * s, 0.07 * s);
    }), int(0.05 * s * pt.ss)), {50, 28, 18}, 0.45f);

    pt.current = R_DETAIL;
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + (side < 0 ? -0.14 : 0.17) * s, ey = cy - 0.02 * s, ew = 0.085 * s;
        pt.flat(pt.mask([&](cairo_t* cr) { oval(cr, ex, ey + 0.01 * s, ew, 0.035 * s); }), {60, 58, 56});
        pt.flat(pt.mask([&](cairo_t* cr) { oval(cr, ex - 0.01 * s, ey + 0.005 * s, 0.042 * s, 0.042 * s); }),
                {6, 10, 12});
        // Lash line, heavier at the outer corner.
        pt.flat(pt.stroke_mask([&](cairo_t* cr) {
            cairo_move_to(cr, ex - ew * 1.05, ey + 0.015 * s);
            cairo_curve_to(cr, ex - ew * 0.5, ey - 0.05 * s, ex + ew * 0.5, ey - 0.055 * s, ex + ew * 1.15,
                           ey - 0.005 * s);
        }, 0.04 * s), {3, 2, 2});
        // Brow.
        pt.flat(pt.stroke_mask([&](cairo_t* cr) {
            cairo_move_to(cr, ex - ew * 1.0, ey - 0.1 * s);
            cairo_curve_to(cr, ex - ew * 0.3, ey - 0.15 * s, ex + ew * 0.5, ey - 0.15 * s, ex + ew * 1.1,
                           ey - 0.1 * s);
        }, 0.028 * s), {30, 18, 6}, 0.85f);
    }
    // Lips: a darker upper, a fuller lit lower.
    pt.flat(pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 0.1 * s, cy + 0.29 * s}, {cx + 0.01 * s, cy + 0.26 * s}, {cx + 0.12 * s, cy + 0.28 * s},
                  {cx + 0.02 * s, cy + 0.3 * s}});
    }), {40, 10, 8});
    pt.flat(pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 0.08 * s, cy + 0.3 * s}, {cx + 0.1 * s, cy + 0.295 * s}, {cx + 0.02 * s, cy + 0.36 * s}});
    }), {56, 24, 20});
    pt.current = R_SKIN;
    // The nose: shadow under it and down the far side.
    pt.flat(blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx + 0.05 * s, cy + 0.02 * s}, {cx + 0.07 * s, cy + 0.13 * s}, {cx + 0.0 * s, cy + 0.2 * s}});
    }, 0.035 * s), int(0.02 * s * pt.ss)), {44, 20, 8}, 0.55f);
}

Indexed draw_girl() {
    Paint pt(FIG_W, FIG_H, FIG_SS);
    const double floor_y = 176, cx = 54;
    pt.current = R_BACK;
    backdrop(pt, {3, 13, 16}, {8, 27, 32}, {2, 8, 10}, floor_y, cx);

    // Back hair: long and loosely waved, falling behind the shoulders.
    const double hx = cx + 0.5, hy = 23, fh = 21;
    pt.current = R_HAIR;
    const Plane back_hair = pt.mask([&](cairo_t* cr) {
        blob(cr, {{hx, 10.5}, {hx + 11, 13}, {hx + 15, 25}, {hx + 15, 36}, {hx + 19, 47}, {hx + 18, 58},
                  {hx + 22, 68}, {hx + 15, 77}, {hx + 8, 70}, {hx - 2, 72}, {hx - 12, 78}, {hx - 20, 70},
                  {hx - 17, 58}, {hx - 19, 46}, {hx - 15, 35}, {hx - 14, 24}, {hx - 10, 13}});
    });
    pt.shadow(back_hair, 4, 2, 6, 0.3f);
    pt.shaded(back_hair, 9, girl_hair);
    comb(pt, back_hair, {{60, 52, 26}, {16, 10, 1}, 26, 5}, [&](Rng& r) {
        const double x0 = hx + r.range(-13, 13), side = x0 < hx ? -1 : 1;
        std::vector<P2> p;
        for (int k = 0; k <= 6; ++k) {
            const double t = k / 6.0;
            p.push_back({x0 + side * t * 8 + std::sin(t * 9 + x0 * 0.3) * 2.2 * t, 12 + t * r.range(46, 66)});
        }
        return p;
    }, 0.8);

    // Legs, her weight on the right (our left), the other knee turned in a little.
    const P2 hip_l{cx - 6, 88}, knee_l{cx - 6.5, 130}, ankle_l{cx - 5, 168};
    const P2 hip_r{cx + 6, 88}, knee_r{cx + 4.5, 129}, ankle_r{cx + 9, 166};
    pt.current = R_SKIN;
    const Plane leg_r = pt.mask([&](cairo_t* cr) {
        limb(cr, hip_r, 7, knee_r, 3.8);
        limb(cr, knee_r, 3.8, {knee_r.x + 2.5, 145}, 3.3);
        limb(cr, {knee_r.x + 2.5, 145}, 3.3, ankle_r, 2.1);
    });
    const Plane leg_l = pt.mask([&](cairo_t* cr) {
        limb(cr, hip_l, 7, knee_l, 3.9);
        limb(cr, knee_l, 3.9, {knee_l.x - 0.5, 146}, 3.4);
        limb(cr, {knee_l.x - 0.5, 146}, 3.4, ankle_l, 2.2);
    });
    pt.shaded(leg_r, 5, girl_skin);
    pt.shadow(leg_l, 2, 1, 3, 0.4f);
    pt.shaded(leg_l, 5, girl_skin);
    // Kneecaps: lit on top with a soft shadow under each, and a gleam down the shins.
    Plane legs = leg_l;
    for (size_t k = 0; k < legs.v.size(); ++k) legs.v[k] = std::max(leg_l.v[k], leg_r.v[k]);
    Plane knee_lit = blur(pt.mask([&](cairo_t* cr) {
        oval(cr, knee_l.x - 0.8, knee_l.y - 1.5, 2.2, 2.4);
        oval(cr, knee_r.x - 0.8, knee_r.y - 1.5, 2.0, 2.4);
    }), 4);
    for (size_t k = 0; k < knee_lit.v.size(); ++k) knee_lit.v[k] *= legs.v[k];
    pt.flat(knee_lit, {63, 56, 48}, 0.5f);
    Plane knee_dark = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{knee_l.x - 2.5, knee_l.y + 3}, {knee_l.x, knee_l.y + 4}, {knee_l.x + 2.5, knee_l.y + 3}});
        curve(cr, {{knee_r.x - 2.5, knee_r.y + 3}, {knee_r.x, knee_r.y + 4}, {knee_r.x + 2.5, knee_r.y + 3}});
    }, 1.0), 3);
    for (size_t k = 0; k < knee_dark.v.size(); ++k) knee_dark.v[k] *= legs.v[k];
    pt.flat(knee_dark, {40, 18, 9}, 0.4f);
    Plane shins = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{knee_l.x - 1.4, knee_l.y + 8}, {knee_l.x - 1.6, 146}, {ankle_l.x - 1, 162}});
        curve(cr, {{knee_r.x + 0.6, knee_r.y + 8}, {knee_r.x + 1.5, 145}, {ankle_r.x - 1, 160}});
    }, 0.8), 2);
    for (size_t k = 0; k < shins.v.size(); ++k) shins.v[k] *= legs.v[k];
    pt.flat(shins, {63, 58, 52}, 0.45f);
    // Black court shoes with a lit edge.
    pt.current = R_LOWER;
    const Plane shoes = pt.mask([&](cairo_t* cr) {
        blob(cr, {{ankle_l.x - 3, 166.5}, {ankle_l.x + 2.5, 166}, {ankle_l.x + 2, 171}, {ankle_l.x - 2, 176},
                  {ankle_l.x - 9, 177}, {ankle_l.x - 8, 174}});
        blob(cr, {{ankle_r.x - 2.5, 164.5}, {ankle_r.x + 3, 164.5}, {ankle_r.x + 8, 171}, {ankle_r.x + 9, 175},
                  {ankle_r.x + 3, 175}, {ankle_r.x, 170}});
    });
    pt.shaded(shoes, 2, {{2, 2, 2}, {16, 15, 16}, {62, 62, 62}, 0.9f, {40, 44, 50}, 0.6f, 1.f});

    // The dress: black satin, sleeveless, fitted to the waist and flaring to the
    // knee, the hem swinging to her left.
    const Plane dress = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 9, 41}, {cx - 4, 46}, {cx + 4, 46}, {cx + 10, 41}, {cx + 12, 50}, {cx + 9.5, 62},
                  {cx + 8.5, 72}, {cx + 14, 86}, {cx + 21, 104}, {cx + 11, 109}, {cx - 1, 107}, {cx - 13, 109},
                  {cx - 19, 102}, {cx - 12, 86}, {cx - 9, 72}, {cx - 9.5, 60}, {cx - 12, 49}});
    });
    pt.shadow(dress, 3, 2, 5, 0.45f);
    pt.shaded(dress, 9, girl_dress);
    // Satin: each fold a lit ridge with a near-black valley beside it, the ridges
    // brightest on the lit (left) side of the skirt; a sheen down the bodice.
    for (int f = 0; f < 4; ++f) {
        const double fx = cx - 10 + f * 7;
        Plane fold = blur(pt.stroke_mask([&](cairo_t* cr) {
            curve(cr, {{fx + 2, 84}, {fx + 0.5 - f * 0.6, 97}, {fx - 1 - f * 1.5, 108}});
        }, 1.1), 2);
        for (size_t k = 0; k < fold.v.size(); ++k) fold.v[k] *= dress.v[k];
        pt.flat(fold, {46, 48, 54}, 0.75f - 0.1f * float(f));
        Plane valley = blur(pt.stroke_mask([&](cairo_t* cr) {
            curve(cr, {{fx + 5, 86}, {fx + 3.5 - f * 0.6, 97}, {fx + 2.2 - f * 1.5, 108}});
        }, 1.2), 2);
        for (size_t k = 0; k < valley.v.size(); ++k) valley.v[k] *= dress.v[k];
        pt.flat(valley, {1, 1, 2}, 0.7f);
    }
    Plane bodice = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 6, 49}, {cx - 5, 58}, {cx - 5.5, 68}});
        curve(cr, {{cx - 7.5, 76}, {cx - 9, 82}});
    }, 1.0), 2);
    for (size_t k = 0; k < bodice.v.size(); ++k) bodice.v[k] *= dress.v[k];
    pt.flat(bodice, {52, 54, 60}, 0.6f);
    pt.current = R_ACCENT;
    Plane belt = pt.mask([&](cairo_t* cr) {
        cairo_move_to(cr, cx - 10, 70.5);
        cairo_curve_to(cr, cx - 3, 72.5, cx + 4, 72.5, cx + 10, 70.5);
        cairo_line_to(cr, cx + 10, 72.6);
        cairo_curve_to(cr, cx + 4, 74.6, cx - 3, 74.6, cx - 10, 72.6);
        cairo_close_path(cr);
    });
    for (size_t k = 0; k < belt.v.size(); ++k) belt.v[k] *= dress.v[k];
    pt.shaded(belt, 1.2, {{26, 18, 0}, {54, 40, 0}, {62, 60, 48}, 1.f, {40, 40, 40}, 0.2f, 1.f});

    // Neck and collarbones above the neckline.
    pt.current = R_SKIN;
    const Plane neck = minus(pt.mask([&](cairo_t* cr) {
        limb(cr, {hx, 29}, 3.2, {cx, 41}, 3.7);
        cairo_fill(cr);
        blob(cr, {{cx - 10, 41.5}, {cx - 4, 39}, {cx + 4, 39}, {cx + 11, 41.5}, {cx + 4, 46.5}, {cx - 4, 46.5}});
    }), dress);
    pt.shaded(neck, 4, girl_skin);

    // Arms: her right hangs loose, her left rests on the hip.
    const P2 sh_r{cx - 9.5, 44}, el_r{cx - 13, 69}, wr_r{cx - 14, 90};
    const P2 sh_l{cx + 10, 44}, el_l{cx + 20.5, 63}, wr_l{cx + 11, 79};
    const Plane arm_r = pt.mask([&](cairo_t* cr) {
        limb(cr, sh_r, 3.9, el_r, 2.7);
        limb(cr, el_r, 2.7, wr_r, 2.0);
        cairo_fill(cr);  // filled apart: the hand may wind the other way
        blob(cr, {{wr_r.x - 2.2, wr_r.y}, {wr_r.x + 2, wr_r.y}, {wr_r.x + 2.4, wr_r.y + 5}, {wr_r.x + 0.4, wr_r.y + 8.5},
                  {wr_r.x - 2.2, wr_r.y + 5.5}});
    });
    const Plane arm_l = pt.mask([&](cairo_t* cr) {
        limb(cr, sh_l, 3.9, el_l, 2.7);
        limb(cr, el_l, 2.7, wr_l, 2.0);
        cairo_fill(cr);
        blob(cr, {{wr_l.x + 1.5, wr_l.y - 2}, {wr_l.x - 5.5, wr_l.y + 0.5}, {wr_l.x - 6.5, wr_l.y + 3.5},
                  {wr_l.x + 0.5, wr_l.y + 3}});
    });
    pt.shadow(arm_r, 2, 1.5, 3, 0.5f);
    pt.shaded(arm_r, 4, girl_skin);
    pt.shadow(arm_l, 2, 1.5, 3, 0.5f);
    pt.shaded(arm_l, 4, girl_skin);

    // The head, its shadow across the throat.
    const Plane head_shape = pt.mask([&](cairo_t* cr) { oval(cr, hx, hy + 1, 6.8, 10); });
    pt.shadow(head_shape, 1.5, 3, 2.5, 0.5f);
    girl_face(pt, hx, hy, fh);

    // Front hair: a side parting, the fringe swept across the brow, two long locks
    // falling in front of the shoulders.
    pt.current = R_HAIR;
    const Plane front = pt.mask([&](cairo_t* cr) {
        blob(cr, {{hx - 3, 11.5}, {hx + 6, 12.5}, {hx + 9.5, 18}, {hx + 8.5, 30}, {hx + 10.5, 41}, {hx + 13.5, 56},
                  {hx + 9.5, 59}, {hx + 6, 43}, {hx + 5.8, 27}, {hx + 3.5, 18}, {hx - 1, 16.2}, {hx - 5.2, 19.5},
                  {hx - 6.3, 29}, {hx - 8, 44}, {hx - 10.5, 58}, {hx - 14, 54}, {hx - 11.5, 40}, {hx - 9.5, 24},
                  {hx - 7.5, 14.5}});
    });
    pt.shadow(front, 1.5, 1.5, 2.5, 0.5f);
    pt.shaded(front, 4, girl_hair);
    comb(pt, front, {{60, 52, 26}, {16, 10, 1}, 22, 7}, [&](Rng& r) {
        const double x0 = hx + r.range(-8, 8), side = x0 < hx - 1 ? -1 : 1;
        const double len = r.range(20, 48);
        std::vector<P2> p;
        for (int k = 0; k <= 5; ++k) {
            const double t = k / 5.0;
            p.push_back({x0 + side * (std::sin(t * 2.2) * 6 + t * 4) + std::sin(t * 9 + x0) * 0.7, 12 + t * len});
        }
        return p;
    }, 0.7);
    // Gloss: a bright ring across the crown and a sheen down the lit (left) locks,
    // so the hair reads as one glossy mass rather than combed strands alone.
    Plane hair_all = back_hair;
    for (size_t k = 0; k < hair_all.v.size(); ++k) hair_all.v[k] = std::max(back_hair.v[k], front.v[k]);
    Plane ring = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{hx - 8, 18.5}, {hx - 3.5, 14.5}, {hx + 2.5, 14.2}, {hx + 7.5, 17}});
    }, 1.5), 2);
    for (size_t k = 0; k < ring.v.size(); ++k) ring.v[k] *= front.v[k];
    pt.flat(ring, {63, 61, 46}, 0.8f);
    Plane locks = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{hx - 9.5, 24}, {hx - 11.5, 34}, {hx - 12.5, 44}, {hx - 15.5, 54}});
        curve(cr, {{hx + 7.5, 24}, {hx + 9, 33}, {hx + 10.5, 42}, {hx + 12.5, 51}});
    }, 1.2), 2);
    for (size_t k = 0; k < locks.v.size(); ++k) locks.v[k] *= hair_all.v[k];
    pt.flat(locks, {62, 56, 30}, 0.6f);
    // The long hair in locks: a dark parting down each, a lit ridge beside it that
    // catches the light where the wave turns towards it.
    Plane partings = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{hx - 12, 30}, {hx - 14.5, 42}, {hx - 14, 52}, {hx - 16.5, 66}});
        curve(cr, {{hx - 6.5, 30}, {hx - 7.5, 44}, {hx - 9.5, 56}});
        curve(cr, {{hx + 12, 30}, {hx + 13.5, 44}, {hx + 15, 56}, {hx + 17, 68}});
        curve(cr, {{hx + 7, 28}, {hx + 8.5, 40}, {hx + 11, 54}});
    }, 0.9), 1);
    for (size_t k = 0; k < partings.v.size(); ++k) partings.v[k] *= hair_all.v[k];
    pt.flat(partings, {10, 6, 1}, 0.75f);
    Plane ridges = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{hx - 13.5, 36}, {hx - 16, 46}, {hx - 17, 52}});
        curve(cr, {{hx - 17.5, 58}, {hx - 18.5, 66}, {hx - 17, 72}});
        curve(cr, {{hx + 14.5, 38}, {hx + 16, 46}, {hx + 17, 50}});
        curve(cr, {{hx - 9, 44}, {hx - 10.5, 50}, {hx - 11.5, 55}});
    }, 1.0), 1);
    for (size_t k = 0; k < ridges.v.size(); ++k) ridges.v[k] *= hair_all.v[k];
    pt.flat(ridges, {63, 60, 40}, 0.7f);

    pt.current = R_ACCENT;
    card_frame(pt, {52, 38, 4}, {7, 4, 1});
    Indexed out = quantise_regions(pt.down(), pt.regions(), girl_sets(), 0.45f);
    // Eyes with dark lashes swept out at the corners, brows, lips.
    stamp(out, 49, 20, {" bbb    bbb ",
                        "llll   llll ",
                        " wpw   wpw  "}, {{'l', 193}, {'w', 189}, {'p', 196}, {'b', 84}});
    // The crown's gloss broken into strand clusters with partings between them.
    stamp(out, 44, 11, {"    hHHh  h       ",
                        "  hHHd  hHHh  d   ",
                        " hHd  hHd  hHd  d ",
                        " Hd  hd    hd     ",
                        "d                 "}, {{'H', 103}, {'h', 102}, {'d', 92}});
    // The nose: a lit bridge, its shadow side and the shadow under the tip; a mouth
    // with a fuller lower lip catching the light, its shadow and the chin under it.
    stamp(out, 51, 24, {"    s ",
                        "   hs ",
                        "   hd ",
                        "  nddn",
                        "      ",
                        " cuuuc",
                        "  lLl ",
                        "  sss ",
                        "  hh  ",
                        "jjkkkkj"}, {{'h', 77}, {'s', 72}, {'d', 70}, {'n', 71}, {'c', 69}, {'u', 66},
                                    {'l', 165}, {'L', 166}, {'j', 67}, {'k', 66}});
    return out;
}

// ---------------------------------------------------------------- the boy

// Skin, T-shirt, jeans and hair on ramps of their own, a dark leather jacket on the
// greys.
const Finish boy_skin{{52, 29, 17}, {63, 57, 51}, {63, 61, 58}, 0.25f, {44, 50, 60}, 0.55f, 1.05f};
const Finish boy_hair{{2, 1, 1}, {15, 10, 6}, {34, 26, 18}, 0.6f, {30, 34, 40}, 0.5f, 1.3f};
const Finish boy_jacket{{2, 2, 2}, {17, 17, 19}, {58, 58, 60}, 0.75f, {38, 44, 52}, 0.9f, 1.45f};
const Finish boy_shirt{{31, 0, 0}, {54, 12, 6}, {62, 34, 24}, 0.3f, {40, 40, 46}, 0.3f, 1.1f};
const Finish boy_jeans{{4, 8, 15}, {20, 34, 48}, {40, 50, 58}, 0.35f, {40, 50, 60}, 0.65f, 0.9f};

std::vector<ColourSet> boy_sets() {
    const Palette& p = scene4_palette;
    return {ColourSet(p, {{104, 119}}),                          // card
            ColourSet(p, {{64, 79}, {182, 191}}),                // skin
            ColourSet(p, {{96, 103}, {195, 215}}),               // hair
            ColourSet(p, {{195, 255}, {104, 119}}),              // jacket, sneakers, card frame
            ColourSet(p, {{120, 127}, {195, 200}}),              // T-shirt
            ColourSet(p, {{80, 95}, {195, 200}}),                // jeans
            ColourSet(p, {{64, 127}, {165, 255}})};              // eyes, mouth
}

void boy_face(Paint& pt, double cx, double cy, double s) {
    pt.current = R_SKIN;
    const Plane ears = pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.35 * s, cy + 0.02 * s, 0.06 * s, 0.1 * s);
        oval(cr, cx + 0.36 * s, cy + 0.02 * s, 0.06 * s, 0.1 * s);
    });
    pt.shaded(ears, s * 0.1, boy_skin);
    const Plane face = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx, cy - 0.5 * s}, {cx + 0.3 * s, cy - 0.42 * s}, {cx + 0.36 * s, cy - 0.05 * s},
                  {cx + 0.3 * s, cy + 0.28 * s}, {cx + 0.1 * s, cy + 0.47 * s}, {cx - 0.1 * s, cy + 0.47 * s},
                  {cx - 0.3 * s, cy + 0.28 * s}, {cx - 0.36 * s, cy - 0.05 * s}, {cx - 0.3 * s, cy - 0.42 * s}});
    });
    pt.shaded(face, s * 0.4, boy_skin);
    pt.flat(blur(pt.mask([&](cairo_t* cr) {
        oval(cr, cx - 0.15 * s, cy - 0.03 * s, 0.12 * s, 0.07 * s);
        oval(cr, cx + 0.16 * s, cy - 0.03 * s, 0.12 * s, 0.07 * s);
    }), int(0.05 * s * pt.ss)), {48, 26, 16}, 0.5f);
    pt.current = R_DETAIL;
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * 0.155 * s, ey = cy - 0.02 * s, ew = 0.075 * s;
        pt.flat(pt.mask([&](cairo_t* cr) { oval(cr, ex, ey + 0.01 * s, ew, 0.03 * s); }), {58, 56, 54});
        pt.flat(pt.mask([&](cairo_t* cr) { oval(cr, ex - 0.01 * s, ey + 0.008 * s, 0.038 * s, 0.038 * s); }),
                {18, 37, 46});
        pt.flat(pt.stroke_mask([&](cairo_t* cr) {
            cairo_move_to(cr, ex - ew * 1.1, ey + 0.005 * s);
            cairo_curve_to(cr, ex - ew * 0.5, ey - 0.04 * s, ex + ew * 0.5, ey - 0.04 * s, ex + ew * 1.1, ey);
        }, 0.028 * s), {6, 4, 4});
        // Straight, heavy brows.
        pt.flat(pt.stroke_mask([&](cairo_t* cr) {
            cairo_move_to(cr, ex - ew * 1.2, ey - 0.1 * s + side * 0.01 * s);
            cairo_line_to(cr, ex + ew * 1.1, ey - 0.12 * s);
        }, 0.045 * s), {8, 6, 5}, 0.95f);
    }
    // Mouth: a firm line with a shadow under the lower lip.
    pt.flat(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 0.1 * s, cy + 0.29 * s}, {cx, cy + 0.3 * s}, {cx + 0.11 * s, cy + 0.285 * s}});
    }, 0.03 * s), {30, 10, 6});
    pt.current = R_SKIN;
    pt.flat(blur(pt.mask([&](cairo_t* cr) { oval(cr, cx + 0.01 * s, cy + 0.35 * s, 0.06 * s, 0.02 * s); }),
                 int(0.02 * s * pt.ss)), {46, 24, 14}, 0.5f);
    pt.flat(blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx + 0.04 * s, cy + 0.0 * s}, {cx + 0.07 * s, cy + 0.14 * s}, {cx + 0.0 * s, cy + 0.19 * s}});
    }, 0.04 * s), int(0.02 * s * pt.ss)), {42, 20, 10}, 0.6f);
}

Indexed draw_boy() {
    Paint pt(FIG_W, FIG_H, FIG_SS);
    const double floor_y = 176, cx = 54;
    pt.current = R_BACK;
    backdrop(pt, {2, 8, 18}, {7, 21, 36}, {2, 6, 12}, floor_y, cx);

    // Jeans, the weight on his left (our right).
    const P2 hip_l{cx - 6.5, 90}, knee_l{cx - 7.5, 129}, ankle_l{cx - 8, 166};
    const P2 hip_r{cx + 6.5, 90}, knee_r{cx + 7, 129}, ankle_r{cx + 7.5, 167};
    pt.current = R_LOWER;
    const Plane jeans = pt.mask([&](cairo_t* cr) {
        limb(cr, hip_l, 8, knee_l, 5.2);
        limb(cr, knee_l, 5.2, ankle_l, 4.6);
        limb(cr, hip_r, 8, knee_r, 5.2);
        limb(cr, knee_r, 5.2, ankle_r, 4.6);
        cairo_fill(cr);
        blob(cr, {{cx - 13, 86}, {cx + 13, 86}, {cx + 14, 96}, {cx, 100}, {cx - 14, 96}});
    });
    pt.shaded(jeans, 6, boy_jeans);
    // Seams, the crotch shadow and worn, lighter knees.
    pt.flat(blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx, 96}, {cx - 1, 104}});
        curve(cr, {{knee_l.x - 3, 104}, {knee_l.x - 3.6, 140}, {ankle_l.x - 3.5, 165}});
        curve(cr, {{knee_r.x + 3, 104}, {knee_r.x + 3.6, 140}, {ankle_r.x + 3.5, 165}});
    }, 0.5), 2), {4, 8, 12}, 0.7f);
    pt.flat(blur(pt.mask([&](cairo_t* cr) {
        oval(cr, knee_l.x - 1, knee_l.y, 3, 5);
        oval(cr, knee_r.x - 1, knee_r.y, 3, 5);
    }), 6), {34, 46, 56}, 0.35f);
    // Faded denim down the lit front of each leg, whiskers from the crotch, and the
    // hems stacked in creases over the sneakers.
    Plane fade = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{hip_l.x - 2.5, 98}, {knee_l.x - 2, 116}, {knee_l.x - 1.8, 126}});
        curve(cr, {{knee_l.x - 2, 135}, {ankle_l.x - 1.8, 156}});
        curve(cr, {{hip_r.x - 2, 98}, {knee_r.x - 1.6, 116}, {knee_r.x - 1.4, 126}});
        curve(cr, {{knee_r.x - 1.2, 135}, {ankle_r.x - 1.2, 156}});
    }, 1.3), 2);
    for (size_t k = 0; k < fade.v.size(); ++k) fade.v[k] *= jeans.v[k];
    pt.flat(fade, {38, 50, 60}, 0.45f);
    Plane creases = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 2, 100}, {cx - 5, 102.5}, {cx - 8, 103.5}});
        curve(cr, {{cx + 2, 100}, {cx + 5, 102.5}, {cx + 8, 103.5}});
        for (int leg = 0; leg < 2; ++leg) {
            const double ax = leg ? ankle_r.x : ankle_l.x;
            curve(cr, {{ax - 4, 157}, {ax, 158.5}, {ax + 4, 157.5}});
            curve(cr, {{ax - 4, 161.5}, {ax - 0.5, 160.5}, {ax + 4, 162}});
        }
    }, 0.7), 1);
    for (size_t k = 0; k < creases.v.size(); ++k) creases.v[k] *= jeans.v[k];
    pt.flat(creases, {4, 8, 14}, 0.6f);
    // Sneakers: white, with dark soles.
    pt.current = R_CLOTH;
    const Plane shoes = pt.mask([&](cairo_t* cr) {
        blob(cr, {{ankle_l.x - 4, 164}, {ankle_l.x + 4, 164}, {ankle_l.x + 5, 171}, {ankle_l.x + 1, 176},
                  {ankle_l.x - 10, 177}, {ankle_l.x - 11, 173}, {ankle_l.x - 6, 170}});
        cairo_fill(cr);
        blob(cr, {{ankle_r.x - 4, 165}, {ankle_r.x + 4, 165}, {ankle_r.x + 7, 170}, {ankle_r.x + 12, 173},
                  {ankle_r.x + 11, 177}, {ankle_r.x - 3, 177}, {ankle_r.x - 5, 171}});
    });
    pt.shaded(shoes, 2.5, {{22, 22, 24}, {62, 62, 62}, {63, 63, 63}, 0.6f, {40, 44, 50}, 0.5f, 1.1f});
    pt.flat(pt.mask([&](cairo_t* cr) {
        cairo_rectangle(cr, ankle_l.x - 11.5, 175.5, 17, 2);
        cairo_rectangle(cr, ankle_r.x - 4, 175.5, 16.5, 2);
    }), {6, 6, 6}, 0.9f);
    // Laces down each tongue and the seam of the toe cap.
    Plane laces = pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{ankle_l.x + 0.5, 166.5}, {ankle_l.x - 2, 168.5}, {ankle_l.x - 4.5, 170.5}});
        curve(cr, {{ankle_l.x - 6.5, 171.5}, {ankle_l.x - 7.5, 174}});
        curve(cr, {{ankle_r.x - 0.5, 167.5}, {ankle_r.x + 2, 169.5}, {ankle_r.x + 4.5, 171}});
        curve(cr, {{ankle_r.x + 6.5, 172}, {ankle_r.x + 7.5, 174.5}});
    }, 0.7);
    for (size_t k = 0; k < laces.v.size(); ++k) laces.v[k] *= shoes.v[k];
    pt.flat(laces, {26, 27, 30}, 0.75f);

    // The T-shirt under the open jacket.
    pt.current = R_ACCENT;
    const Plane shirt = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 10, 41}, {cx - 4, 45}, {cx + 4, 45}, {cx + 10, 41}, {cx + 12, 60}, {cx + 11, 89},
                  {cx, 91}, {cx - 11, 89}, {cx - 12, 60}});
    });
    pt.shaded(shirt, 8, boy_shirt);

    // Neck.
    pt.current = R_SKIN;
    const Plane neck = pt.mask([&](cairo_t* cr) { limb(cr, {cx + 0.5, 28}, 3.8, {cx, 41}, 4.4); });
    pt.shaded(minus(neck, shirt), 4, boy_skin);

    // The jacket: two front panels hanging open, a turned-down collar, sleeves down
    // to the hands in the jeans pockets.
    pt.current = R_CLOTH;
    const P2 sh_l{cx - 13, 44}, el_l{cx - 17, 68}, wr_l{cx - 12, 88};
    const P2 sh_r{cx + 13, 44}, el_r{cx + 17.5, 68}, wr_r{cx + 12, 88};
    const Plane sleeves = pt.mask([&](cairo_t* cr) {
        limb(cr, sh_l, 5.4, el_l, 4.2);
        limb(cr, el_l, 4.2, wr_l, 3.6);
        limb(cr, sh_r, 5.4, el_r, 4.2);
        limb(cr, el_r, 4.2, wr_r, 3.6);
    });
    const Plane body = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 7, 39}, {cx - 16, 42}, {cx - 17, 60}, {cx - 16, 82}, {cx - 14, 94}, {cx - 6, 95},
                  {cx - 7, 70}, {cx - 5, 48}});
        cairo_fill(cr);
        blob(cr, {{cx + 7, 39}, {cx + 16, 42}, {cx + 17, 60}, {cx + 16, 82}, {cx + 14, 94}, {cx + 6, 95},
                  {cx + 7, 70}, {cx + 5, 48}});
    });
    pt.shadow(body, 2.5, 1.5, 4, 0.5f, &shirt);
    pt.shaded(body, 8, boy_jacket);
    pt.shadow(sleeves, 2, 1, 3, 0.4f);
    pt.shaded(sleeves, 6, boy_jacket);
    // Creases at the elbows and the zip's metal edge.
    pt.flat(blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{el_l.x - 3, el_l.y - 3}, {el_l.x + 1, el_l.y}, {el_l.x + 3, el_l.y + 4}});
        curve(cr, {{el_r.x + 3, el_r.y - 3}, {el_r.x - 1, el_r.y}, {el_r.x - 3, el_r.y + 4}});
    }, 0.6), 2), {1, 1, 1}, 0.7f);
    pt.flat(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 5.6, 50}, {cx - 6.8, 70}, {cx - 6.2, 94}});
        curve(cr, {{cx + 5.6, 50}, {cx + 6.8, 70}, {cx + 6.2, 94}});
    }, 0.45), {46, 47, 51}, 0.8f);
    // Leather: hard, narrow highlights down the lit side of each sleeve and over
    // the shoulders, and a dark seam where each sleeve meets the body.
    Plane jacket = sleeves;
    for (size_t k = 0; k < jacket.v.size(); ++k) jacket.v[k] = std::max(sleeves.v[k], body.v[k]);
    Plane seams = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 9.5, 49}, {cx - 12.6, 66}, {cx - 9, 84}});
        curve(cr, {{cx + 9.5, 49}, {cx + 12.8, 66}, {cx + 9, 84}});
    }, 0.7), 1);
    for (size_t k = 0; k < seams.v.size(); ++k) seams.v[k] *= jacket.v[k];
    pt.flat(seams, {1, 1, 1}, 0.85f);
    Plane gloss = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{sh_l.x - 2.5, 45}, {sh_l.x - 4.6, 54}, {el_l.x - 2, 64}});
        curve(cr, {{el_l.x - 1, 72}, {wr_l.x - 3.2, 84}});
        curve(cr, {{sh_r.x - 2, 47}, {sh_r.x + 0.5, 56}, {el_r.x - 2.5, 64}});
        curve(cr, {{sh_l.x - 1, 41.5}, {sh_l.x + 3, 40.5}});
        curve(cr, {{sh_r.x - 2, 40.5}, {sh_r.x + 1.5, 41.5}});
    }, 0.8), 1);
    for (size_t k = 0; k < gloss.v.size(); ++k) gloss.v[k] *= jacket.v[k];
    pt.flat(gloss, {58, 60, 63}, 0.7f);
    // The T-shirt: a ribbed crew neck, light on the chest and soft folds drawn
    // down to the belt line.
    pt.current = R_ACCENT;
    Plane shirt_light = blur(pt.mask([&](cairo_t* cr) { oval(cr, cx - 2.5, 54, 3.5, 5); }), 8);
    for (size_t k = 0; k < shirt_light.v.size(); ++k) shirt_light.v[k] *= shirt.v[k];
    pt.flat(shirt_light, {62, 30, 20}, 0.5f);
    Plane shirt_folds = blur(pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 3, 63}, {cx + 1, 72}, {cx + 2.5, 84}});
        curve(cr, {{cx + 3, 58}, {cx + 4.5, 68}});
        curve(cr, {{cx - 4.5, 78}, {cx - 2.5, 88}});
    }, 1.0), 2);
    for (size_t k = 0; k < shirt_folds.v.size(); ++k) shirt_folds.v[k] *= shirt.v[k];
    pt.flat(shirt_folds, {26, 0, 0}, 0.6f);
    Plane neckband = pt.stroke_mask([&](cairo_t* cr) {
        curve(cr, {{cx - 4.6, 41.5}, {cx - 2, 44.6}, {cx + 2, 44.6}, {cx + 4.6, 41.5}});
    }, 0.9);
    for (size_t k = 0; k < neckband.v.size(); ++k) neckband.v[k] *= shirt.v[k];
    pt.flat(neckband, {28, 0, 0}, 0.8f);
    pt.current = R_CLOTH;
    const Plane collar = pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 6, 37}, {cx - 14, 41}, {cx - 9, 50}, {cx - 5, 47}});
        cairo_fill(cr);
        blob(cr, {{cx + 6, 37}, {cx + 14, 41}, {cx + 9, 50}, {cx + 5, 47}});
    });
    pt.shadow(collar, 1.5, 1.5, 2, 0.5f);
    pt.shaded(collar, 2.5, boy_jacket);

    // Head, hair: short at the sides, swept up and back on top.
    const double hx = cx + 0.5, hy = 22, fh = 21;
    const Plane head_shape = pt.mask([&](cairo_t* cr) { oval(cr, hx, hy + 1, 7.4, 10.3); });
    pt.shadow(head_shape, 1.5, 3, 2.5, 0.55f);
    boy_face(pt, hx, hy, fh);
    pt.current = R_HAIR;
    const Plane hair = pt.mask([&](cairo_t* cr) {
        blob(cr, {{hx - 8, 20}, {hx - 8.6, 13}, {hx - 6, 7}, {hx - 1, 4.3}, {hx + 5, 4.6}, {hx + 8.5, 8},
                  {hx + 8.8, 14}, {hx + 8, 21}, {hx + 6.8, 15.5}, {hx + 3, 13.2}, {hx - 2, 13.4},
                  {hx - 6.6, 15}});
    });
    pt.shadow(hair, 1, 1.5, 2, 0.5f);
    pt.shaded(hair, 3.5, boy_hair);
    comb(pt, hair, {{32, 24, 16}, {1, 1, 1}, 24, 11}, [&](Rng& r) {
        const double x0 = hx + r.range(-7, 6);
        return std::vector<P2>{{x0, 14}, {x0 + 1.5, 9}, {x0 + 4, 5.5}};
    }, 0.5);

    pt.current = R_CLOTH;
    card_frame(pt, {44, 54, 56}, {2, 6, 8});
    Indexed out = quantise_regions(pt.down(), pt.regions(), boy_sets(), 0.45f);
    // Blue eyes under straight brows, the line of the mouth.
    stamp(out, 49, 18, {"bbbb  bbbb",
                        "          ",
                        " lll  lll ",
                        " wpw  wpw "}, {{'l', 197}, {'w', 190}, {'p', 166}, {'b', 198}});
    // The nose: a lit bridge, its shadow side and the shadow under it; then the
    // mouth, its corners turned up in half a smile, the lower lip catching the light
    // and its shadow on the chin.
    stamp(out, 51, 22, {"  h   ",
                        "  hs  ",
                        "  hs  ",
                        "  h s ",
                        " ndddn",
                        "      ",
                        "c    c",
                        " mmmm ",
                        " llll ",
                        "  uu  "}, {{'h', 78}, {'s', 71}, {'n', 72}, {'d', 69}, {'c', 68}, {'m', 65}, {'l', 73}, {'u', 71}});
    // The jaw: a lit chin and the dark under it, so the face stands off the neck.
    stamp(out, 49, 30, {"   hhh    ",
                        "  kkkkkk  "}, {{'h', 75}, {'k', 68}});
    // The hair swept up and back: lit strand clusters on the crown's near side,
    // dark partings between them, only dim strands on the shadow side.
    stamp(out, 46, 5, {"     hHHh         ",
                       "    hHHHhd  h     ",
                       "   hHHhd  hHh     ",
                       "   HHh   hHhd  d  ",
                       "  hHd  hHh   h    ",
                       "  Hh  hHd         ",
                       "  d   d    d      "}, {{'H', 103}, {'h', 102}, {'d', 98}});
    return out;
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
