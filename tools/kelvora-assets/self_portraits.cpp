// Scenes 2 and 4: the full-screen portraits that the lens circles over (self_g,
// self_b).
//
// Each portrait is painted as a map of regions (skin, shadow, hair, strands, ink,
// backdrop, ...) and every region then gets one palette index, chosen for what the
// feedback makes of it rather than for its own colour (see SELF_VALUE).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "art.h"
#include "painter.h"
#include "portraits.h"
#include "render/lens.h"
#include "render/tables.h"
#include "scenes/palettes.h"
#include "scenes/scene02_lens_girl.h"
#include "scenes/scene04_lens_boy.h"

namespace art {
namespace {

using namespace painter;

// The parts of a lens portrait.
enum SelfRegion : uint8_t {
    S_BACK,       // the plain backdrop
    S_PATTERN,    // the rays on the boy's backdrop
    S_HAIR,       // the hair's mass
    S_STRAND,     // strands combed over it
    S_SKIN,       // lit skin
    S_SHADOW,     // skin in shadow
    S_INK,        // lids, brows, nostrils, the lines of the mouth
    S_EYE,        // whites and catch lights: the pixels the lens leaves in place
    S_CLOTH,      // clothes
    S_CLOTH_LIT,  // light along the shoulders and collar
    S_COUNT
};

void put(Paint& pt, uint8_t region, const Plane& m) {
    pt.current = region;
    pt.flat(m, grey(float(region)));
}

// A closed shape through points given relative to a face: (cx + u s, cy + v s).
struct FaceFrame {
    double cx, cy, s;
    P2 at(double u, double v) const { return {cx + u * s, cy + v * s}; }
    void shape(cairo_t* cr, std::initializer_list<std::pair<double, double>> uv) const {
        std::vector<P2> p;
        for (auto [u, v] : uv) p.push_back(at(u, v));
        blob(cr, p);
    }
    void line(cairo_t* cr, std::initializer_list<std::pair<double, double>> uv) const {
        std::vector<P2> p;
        for (auto [u, v] : uv) p.push_back(at(u, v));
        curve(cr, p);
    }
};

void eye(Paint& pt, const FaceFrame& f, double u, bool girl, int side) {
    const double v = -0.02, ew = girl ? 0.095 : 0.085, eh = girl ? 0.042 : 0.034;
    // White, iris and pupil as one dark disc with its catch light, lids over them.
    put(pt, S_EYE, pt.mask([&](cairo_t* cr) {
        f.shape(cr, {{u - ew, v}, {u - ew * 0.4, v - eh * 1.35}, {u + ew * 0.5, v - eh * 1.3}, {u + ew, v - eh * 0.2},
                     {u + ew * 0.3, v + eh * 0.95}, {u - ew * 0.5, v + eh * 0.85}});
    }));
    put(pt, S_INK, pt.mask([&](cairo_t* cr) {
        const P2 c = f.at(u - 0.01, v - 0.004);
        oval(cr, c.x, c.y, 0.042 * f.s, 0.042 * f.s);
    }));
    put(pt, S_EYE, pt.mask([&](cairo_t* cr) {
        const P2 c = f.at(u - 0.024, v - 0.018);
        oval(cr, c.x, c.y, 0.013 * f.s, 0.013 * f.s);
    }));
    // The upper lid, a heavy line that thickens to the outer corner; the girl's ends
    // in a flick.
    put(pt, S_INK, pt.mask([&](cairo_t* cr) {
        const double o = side * 0.012, t = girl ? 0.022 : 0.014;
        f.shape(cr, {{u - ew * 1.05, v + 0.004}, {u - ew * 0.4, v - eh * 1.45}, {u + ew * 0.5, v - eh * 1.45},
                     {u + side * ew * 1.1 + o, v - eh * (girl ? 0.9 : 0.3)},
                     {u + ew * 0.45, v - eh * 1.45 + t * 1.3}, {u - ew * 0.4, v - eh * 1.35 + t}});
    }));
    // Crease above, lower lash line below.
    put(pt, S_INK, pt.stroke_mask([&](cairo_t* cr) {
        f.line(cr, {{u - ew * 0.75, v - eh * 2.0}, {u, v - eh * 2.7}, {u + ew * 0.85, v - eh * 1.8}});
        f.line(cr, {{u - ew * 0.55, v + eh * 1.0}, {u + ew * 0.1, v + eh * 1.2}, {u + ew * 0.75, v + eh * 0.6}});
    }, 0.009 * f.s));
    // The brow: a tapered wedge, straighter and heavier for the boy.
    const double bv = v - (girl ? 0.135 : 0.12), t = girl ? 0.016 : 0.028;
    put(pt, S_INK, pt.mask([&](cairo_t* cr) {
        f.shape(cr, {{u - ew * 1.15, bv + t}, {u - ew * 0.3, bv - t * (girl ? 1.5 : 0.6)},
                     {u + ew * 0.6, bv - t * (girl ? 1.6 : 0.9)}, {u + ew * 1.25, bv - t * 0.1},
                     {u + ew * 0.5, bv - t * 0.3}, {u - ew * 0.4, bv + t * 0.6}});
    }));
}

// The face at (cx, cy), s = face height (brow line to chin about half of it).
void face(Paint& pt, Person who, double cx, double cy, double s) {
    const bool girl = who == Person::girl;
    const FaceFrame f{cx, cy, s};
    const double jaw = girl ? 0.25 : 0.3;
    if (!girl) {
        // Ears, the far one in shadow.
        put(pt, S_SKIN, pt.mask([&](cairo_t* cr) {
            f.shape(cr, {{-0.34, -0.1}, {-0.42, -0.08}, {-0.43, 0.06}, {-0.36, 0.14}, {-0.32, 0.1}});
        }));
        put(pt, S_INK, pt.stroke_mask([&](cairo_t* cr) {
            f.line(cr, {{-0.345, -0.1}, {-0.415, -0.07}, {-0.42, 0.05}, {-0.365, 0.13}});
            f.line(cr, {{-0.37, -0.04}, {-0.39, 0.03}, {-0.37, 0.07}});
        }, 0.012 * s));
        put(pt, S_SHADOW, pt.mask([&](cairo_t* cr) {
            f.shape(cr, {{0.34, -0.1}, {0.42, -0.08}, {0.43, 0.06}, {0.36, 0.14}, {0.32, 0.1}});
        }));
    }
    put(pt, S_SKIN, pt.mask([&](cairo_t* cr) {
        f.shape(cr, {{0, -0.52}, {0.31, -0.42}, {0.36, -0.08}, {jaw, 0.26}, {0.08, 0.48}, {-0.08, 0.48},
                     {-jaw, 0.26}, {-0.36, -0.08}, {-0.31, -0.42}});
    }));
    // The outline on the lit side, from the temple round the chin.
    put(pt, S_INK, pt.stroke_mask([&](cairo_t* cr) {
        f.line(cr, {{-0.34, -0.3}, {-0.36, -0.08}, {-jaw - 0.01, 0.26}, {-0.08, 0.48}, {0.08, 0.48}});
    }, 0.016 * s));
    // The far side in shadow: a crescent from temple to jaw, hollowed under the
    // cheekbone.
    put(pt, S_SHADOW, pt.mask([&](cairo_t* cr) {
        f.shape(cr, {{0.27, -0.42}, {0.36, -0.1}, {jaw + 0.01, 0.26}, {0.08, 0.49}, {0.1, 0.42}, {0.19, 0.3},
                     {0.17, 0.16}, {0.25, 0.04}, {0.26, -0.2}});
    }));
    eye(pt, f, -0.16, girl, -1);
    eye(pt, f, 0.16, girl, 1);
    // The nose: its shadow side, the shadow under it; the nostrils.
    put(pt, S_SHADOW, pt.mask([&](cairo_t* cr) {
        f.shape(cr, {{0.03, -0.03}, {0.065, 0.08}, {0.085, 0.17}, {0.06, 0.21}, {0.045, 0.13}});
        cairo_fill(cr);
        f.shape(cr, {{-0.06, 0.2}, {-0.02, 0.215}, {0.02, 0.21}, {0.08, 0.2}, {0.05, 0.235}, {-0.03, 0.235}});
    }));
    // Mouth: the girl's full lips (upper in shadow, lower lit with a dark rim), the
    // boy's firm line; the shadow under the lower lip.
    const double mv = 0.3, mw = girl ? 0.12 : 0.105;
    if (girl) {
        put(pt, S_INK, pt.mask([&](cairo_t* cr) {
            f.shape(cr, {{-mw, mv}, {-mw * 0.45, mv - 0.035}, {0, mv - 0.022}, {mw * 0.45, mv - 0.037}, {mw, mv},
                         {0, mv + 0.008}});
        }));
        put(pt, S_INK, pt.stroke_mask([&](cairo_t* cr) {
            f.line(cr, {{-mw * 0.85, mv + 0.012}, {-mw * 0.3, mv + 0.052}, {mw * 0.3, mv + 0.052}, {mw * 0.85, mv + 0.012}});
        }, 0.012 * s));
    } else {
        put(pt, S_INK, pt.mask([&](cairo_t* cr) {
            f.shape(cr, {{-mw, mv - 0.004}, {0, mv - 0.01}, {mw, mv - 0.012}, {0, mv + 0.012}});
        }));
    }
    put(pt, S_SHADOW,
        pt.mask([&](cairo_t* cr) { f.shape(cr, {{-0.05, mv + 0.07}, {0.05, mv + 0.065}, {0.01, mv + 0.09}}); }));
}

// Lines of hair flowing between two edges of a lock: line i of n runs at the
// fraction (i + 0.5) / n between the inner and outer edge curves, rippling a little.
void hair_lines(Paint& pt, const Plane& clip, const std::vector<P2>& inner, const std::vector<P2>& outer, int n,
                double width, double ripple, double phase) {
    for (int i = 0; i < n; ++i) {
        const double t = (i + 0.5) / n;
        std::vector<P2> line;
        for (size_t k = 0; k < inner.size(); ++k) {
            const double u = double(k) / double(inner.size() - 1);
            const double wob = ripple * std::sin(u * 7.0 + phase + t * 3.0) * u;
            line.push_back({inner[k].x + (outer[k].x - inner[k].x) * t + wob, inner[k].y + (outer[k].y - inner[k].y) * t});
        }
        Plane m = pt.stroke_mask([&](cairo_t* cr) { curve(cr, line); }, width * (0.7 + 0.6 * std::sin(i * 2.3 + phase)));
        for (size_t k = 0; k < m.v.size(); ++k) m.v[k] *= clip.v[k];
        put(pt, S_STRAND, m);
    }
}

// The girl's locks and the boy's rays stop short of the frame's sides: beside the
// figure the picture is shown as it is under the tiles' half-size faces, and hair or
// rays there would cover them. The locks reach just into the window's columns
// (from 75), where the window moves their strands on screen.
constexpr double LOCK_X0 = 92, LOCK_X1 = 228, RAY_X0 = 90, RAY_X1 = 230;

// Rays from behind the head out to radius r, alternating with the backdrop.
void sunburst(Paint& pt, double cx, double cy, int rays, double r) {
    put(pt, S_PATTERN, pt.mask([&](cairo_t* cr) {
        cairo_rectangle(cr, RAY_X0, 0, RAY_X1 - RAY_X0, 200);
        cairo_clip(cr);
        for (int i = 0; i < rays; i += 2) {
            const double a0 = 2 * M_PI * i / rays, a1 = 2 * M_PI * (i + 1) / rays;
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + r * std::cos(a0), cy + r * std::sin(a0));
            cairo_line_to(cr, cx + r * std::cos(a1), cy + r * std::sin(a1));
            cairo_close_path(cr);
        }
    }));
}

// The girl: long hair falling past the frame on both sides in locks of fine strands,
// a fringe swept across from a parting on her right. The boy: short hair swept up, a
// turned-up collar, rays behind.
std::vector<uint8_t> self_regions(Person who) {
    Paint pt(320, 200, 2);
    const bool girl = who == Person::girl;
    // The boy's head sits a little lower and smaller, his hair inside the lens window.
    const double cx = 160, cy = girl ? 96 : 104, s = girl ? 128 : 112;
    put(pt, S_BACK, pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, 320, 200); }));
    if (!girl) {
        // A halo of 100 narrow wedges round the head: their edges are what the window
        // moves, and their copies turn as whole rays round every tiled face. Hairline
        // rays there only re-noise every frame.
        sunburst(pt, cx, cy - 10, 200, 170);
    }

    if (girl) {
        // Two long locks, one each side, from the crown to past the bottom edge, with
        // fourteen strands each: enough for the window to keep the copies moving,
        // few enough that their quarter-size copies stay lines rather than speckle.
        for (int side = -1; side <= 1; side += 2) {
            const auto X = [&](double dx) { return cx + side * dx; };
            const std::vector<P2> inner = {{X(8), 18}, {X(40), 34}, {X(56), 80}, {X(58), 130}, {X(66), 170}, {X(80), 206}};
            const std::vector<P2> outer = {{X(20), 14}, {X(74), 30}, {X(92), 82}, {X(100), 134}, {X(118), 172},
                                           {X(140), 206}};
            const Plane lock = pt.mask([&](cairo_t* cr) {
                // Kept inside the columns the figure covers: what lies beside them is
                // shown as it is, under the tiles' faces.
                cairo_rectangle(cr, LOCK_X0, 0, LOCK_X1 - LOCK_X0, 200);
                cairo_clip(cr);
                curve(cr, inner);
                std::vector<P2> back(outer.rbegin(), outer.rend());
                for (const P2& q : back) cairo_line_to(cr, q.x, q.y);
                cairo_close_path(cr);
            });
            put(pt, S_HAIR, lock);
            hair_lines(pt, lock, inner, outer, 20, 1.1, 6, side > 0 ? 0.0 : 1.7);
        }
    }
    // Neck and shoulders.
    put(pt, S_SKIN, pt.mask([&](cairo_t* cr) { limb(cr, {cx + 2, 140}, 24, {cx, 190}, 28); }));
    put(pt, S_INK, pt.stroke_mask([&](cairo_t* cr) { curve(cr, {{cx - 23, 140}, {cx - 26, 170}, {cx - 32, 190}}); }, 2));
    // The head's shadow across the throat and down the far side of the neck.
    put(pt, S_SHADOW, pt.mask([&](cairo_t* cr) {
        blob(cr, {{cx - 24, 146}, {cx + 26, 140}, {cx + 30, 170}, {cx + 28, 196}, {cx + 12, 184}, {cx + 4, 168},
                  {cx - 14, 162}});
    }));
    put(pt, S_CLOTH, pt.mask([&](cairo_t* cr) {
        if (girl) {
            blob(cr, {{cx - 120, 206}, {cx - 100, 182}, {cx - 40, 176}, {cx, 194}, {cx + 40, 176}, {cx + 100, 182},
                      {cx + 120, 206}});
        } else {
            blob(cr, {{cx - 130, 206}, {cx - 110, 174}, {cx - 46, 164}, {cx - 24, 170}, {cx, 196}, {cx + 24, 170},
                      {cx + 46, 164}, {cx + 110, 174}, {cx + 130, 206}});
        }
    }));
    // Light along the top of the shoulders.
    put(pt, S_CLOTH_LIT, pt.stroke_mask([&](cairo_t* cr) {
        if (girl) {
            curve(cr, {{cx - 112, 198}, {cx - 96, 186}, {cx - 44, 180}, {cx - 20, 188}});
        } else {
            curve(cr, {{cx - 122, 198}, {cx - 104, 180}, {cx - 50, 170}});
        }
    }, 2.5));
    if (!girl) {
        // The turned-up collar of the jacket, lit on our left.
        for (int side = -1; side <= 1; side += 2) {
            const auto X = [&](double dx) { return cx + side * dx; };
            put(pt, side < 0 ? S_CLOTH_LIT : S_CLOTH, pt.mask([&](cairo_t* cr) {
                blob(cr, {{X(28), 136}, {X(52), 150}, {X(66), 178}, {X(40), 184}, {X(26), 168}});
            }));
            put(pt, side < 0 ? S_CLOTH : S_CLOTH_LIT, pt.stroke_mask([&](cairo_t* cr) {
                curve(cr, {{X(28), 136}, {X(52), 150}, {X(66), 178}});
            }, 2));
        }
    }
    face(pt, who, cx, cy, s);

    if (girl) {
        // The fringe: swept across the brow from a parting above her right eye.
        const std::vector<P2> inner = {{cx - 22, 24}, {cx - 6, 36}, {cx + 16, 46}, {cx + 34, 62}, {cx + 44, 92}};
        const std::vector<P2> outer = {{cx - 30, 16}, {cx + 10, 16}, {cx + 40, 26}, {cx + 58, 52}, {cx + 60, 96}};
        const Plane fringe = pt.mask([&](cairo_t* cr) {
            curve(cr, inner);
            std::vector<P2> back(outer.rbegin(), outer.rend());
            for (const P2& q : back) cairo_line_to(cr, q.x, q.y);
            cairo_close_path(cr);
            cairo_fill(cr);
            // The other side of the parting, falling straight past her left temple.
            blob(cr, {{cx - 30, 16}, {cx - 22, 24}, {cx - 40, 50}, {cx - 46, 96}, {cx - 58, 94}, {cx - 54, 40}});
        });
        put(pt, S_HAIR, fringe);
        hair_lines(pt, fringe, inner, outer, 18, 1, 2, 0.4);
        hair_lines(pt, fringe, {{cx - 24, 22}, {cx - 38, 40}, {cx - 44, 70}, {cx - 48, 96}},
                   {{cx - 30, 16}, {cx - 50, 34}, {cx - 56, 64}, {cx - 58, 94}}, 6, 1, 1, 2.0);
    } else {
        // Short at the sides, swept up and over to his left on top.
        const FaceFrame f{cx, cy, s};
        const Plane hair = pt.mask([&](cairo_t* cr) {
            f.shape(cr, {{-0.36, -0.04}, {-0.39, -0.32}, {-0.32, -0.54}, {-0.12, -0.66}, {0.14, -0.7}, {0.35, -0.6},
                         {0.42, -0.38}, {0.37, -0.04}, {0.33, -0.3}, {0.2, -0.4}, {0.0, -0.42}, {-0.2, -0.38},
                         {-0.31, -0.26}});
        });
        put(pt, S_HAIR, hair);
        // A few combed strands catch the light on the near side of the quiff.
        Rng rng(41);
        const int n = 36;
        for (int i = 0; i < n; ++i) {
            const double u = -0.33 + 0.42 * (i + rng.uniform() * 0.5) / n;
            Plane m = pt.stroke_mask([&](cairo_t* cr) {
                f.line(cr, {{u - 0.02, -0.4}, {u + 0.04, -0.52 - 0.03 * i / n}, {u + 0.16, -0.62 - 0.02 * i / n},
                            {u + 0.3, -0.66}});
            }, rng.range(0.5f, 0.9f));
            for (size_t k = 0; k < m.v.size(); ++k) m.v[k] *= hair.v[k];
            put(pt, S_STRAND, m);
        }
    }

    return pt.regions();
}

// The index each region is drawn in, per portrait (girl, boy).
//
// The feedback shows at every pixel the picture's byte plus twice the byte shown at
// the same place of the half-size frame before it (and so on down the smaller
// tiles); of that sum only the low five bits (the shade) and bit 6 (teal, or the
// black and warm half) reach the screen. So the faces beside the figure are the
// tiles' copies of the big face under it, and a region's value is chosen for what
// its copy turns into on the backdrop (28, which settles on the palest teal):
// - over the flat backdrop a shade adds the value's low four bits, doubled, to the
//   copy: skin 0, shadow 4 and ink 8 land on three teal tones (24, 40, 56) a quarter
//   of the ramp apart, so the half-size faces read as one-hue shaded faces; every
//   face region keeps to the teal half, where the fourth pixel of each word shows the
//   same colour as the other three, so the faces carry no stripes;
// - the girl's hair and both figures' clothes (20) carry their copies into the warm
//   half (168), the boy's rays (20) too, and his hair (24) into the dark teal (56);
// - the strands (24 on the girl's hair, 28 on the boy's) land on teal, never on the
//   black entries, whose fourth pixel in each word would show as a pale stripe: the
//   window moves them a pixel a frame and the copies of the hair shimmer while the
//   faces hold still.
// Every value but the protected 1 is a multiple of four below 128: an odd byte or
// an odd pair would put noise into the top bits of the smallest tiles, and a top
// bit would carry into the next pixel.
constexpr uint8_t SELF_VALUE[2][S_COUNT] = {
    // back pattern hair strand skin shadow ink eye cloth lit
    {28, 28, 20, 24, 0, 4, 8, 1, 20, 24},
    {28, 20, 24, 28, 0, 4, 8, 1, 20, 24},
};

// ---------------------------------------------------------------- leaf tuning
//
// The tiling reads only even columns of even rows, so every other byte of the
// picture is a leaf: shown once, mixed with what the tiles bring to it, and never fed
// back. Where the picture is shown in place (outside the window and outside what the
// window reads), a leaf's byte is free: it changes nothing but its own pixel (the
// carries a leaf passes to a fed-back byte in its word are checked unchanged). Each
// such byte is picked, over one turn of the lens, so that the pixel shows what its
// fed-back neighbours show: the background then reads as the half-size picture the
// feedback really runs on, in even colour fields, instead of one column in four
// pinned to the teal ramp and single pixels flickering against their neighbours.

constexpr int W = 320, H = 200, TURN = LENS_STEPS, SETTLE = 8;
constexpr float SPECK_COST = 6000.f;  // in the units of the colour distance below
constexpr float FIRST_WEIGHT = 6.f;   // the opening frame counts as this many of the turn's

// One turn of the effect, settled: the back frame each frame mixes with and the
// frame it leaves, for steps SETTLE .. SETTLE + 63 (every step of the circle once).
struct LensTurn {
    std::vector<std::vector<uint8_t>> back, shown;
};

LensTurn run_turn(const std::vector<uint8_t>& pic, const LensTable& lx, const LensTable& ly) {
    LensTurn turn;
    std::vector<uint8_t> back(pic), screen(W * H);
    for (int t = 0; t < SETTLE + TURN; ++t) {
        screen = pic;
        const int ox = lx[t & 63], oy = ly[t & 63];
        for (int r = 0; r < LENS_WINDOW_ROWS; ++r)
            for (int c = 0; c < LENS_SIDE; ++c) {
                const int k = (LENS_WINDOW_Y + r) * W + LENS_WINDOW_X + c;
                if (pic[k] != 1) screen[k] = pic[(oy + r) * W + ox + c];
            }
        if (t >= SETTLE) turn.back.push_back(back);
        feedback_mix(screen.data(), back.data());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) back[y * W + x] = screen[2 * (y % 100) * W + 2 * (x % 160)];
        if (t >= SETTLE) turn.shown.push_back(screen);
    }
    return turn;
}

// Shown in place and never read by the window: outside the window's columns and rows
// on screen and outside the block it copies from along its circle.
bool in_place(int x, int y) {
    const bool window = x >= LENS_WINDOW_X - 11 && x < LENS_WINDOW_X + LENS_SIDE + 11 && y >= LENS_WINDOW_Y - 11 &&
                        y < LENS_WINDOW_Y + LENS_WINDOW_ROWS + 12;
    return !window;
}

// One pass over the free leaves. From the second pass on, a leaf also counts as
// matched when it shows what the leaves above, below and four columns either side
// (the same byte of the neighbouring words) showed after the pass before.
void tune_pass(std::vector<uint8_t>& pic, const Palette& pal, const LensTable& lx, const LensTable& ly, bool again) {
    const LensTurn turn = run_turn(pic, lx, ly);
    // The first frame's mix of one word of the picture with itself (the scene opens
    // with the picture in the back frame; the window keeps clear of the leaves tuned).
    const auto first_mix = [](uint8_t* w) {
        uint32_t a;
        std::memcpy(&a, w, 4);
        const uint32_t m = ((a + a) * 2u) & 0x3FBFBFBEu;  // wraps modulo 2^32
        std::memcpy(w, &m, 4);
    };
    std::vector<uint8_t> opening(pic);
    for (size_t w0 = 0; w0 < opening.size(); w0 += 4) first_mix(&opening[w0]);
    // Squared colour distance, green weighted most as the eye does.
    const auto dist = [&](int i, const float* t) {
        const float dr = pal.rgb[i * 3] - t[0], dg = pal.rgb[i * 3 + 1] - t[1], db = pal.rgb[i * 3 + 2] - t[2];
        return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    };
    std::vector<float> target(size_t(TURN) * 3);
    for (int y = 0; y < H; ++y)
        for (int w0 = 0; w0 < W; w0 += 4) {
            if (!in_place(w0, y) || !in_place(w0 + 3, y)) continue;
            for (int lane = 0; lane < 4; ++lane) {
                const int x = w0 + lane, k = y * W + x;
                if ((y % 2 == 0 && lane % 2 == 0) || pic[k] == 1) continue;
                // The fed-back pixels round the leaf: beside it, above and below, or
                // on its diagonals.
                int nb[4], n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if ((dx == 0 && dy == 0) || nx < 0 || nx >= W || ny < 0 || ny >= H) continue;
                        if (nx % 2 == 0 && ny % 2 == 0 && (dx == 0 || dy == 0 || (x % 2 && y % 2))) nb[n++] = ny * W + nx;
                    }
                if (n == 0) continue;
                int same[4], n_same = 0;
                if (again) {
                    if (y > 0) same[n_same++] = k - W;
                    if (y < H - 1) same[n_same++] = k + W;
                    if (x >= 4) same[n_same++] = k - 4;
                    if (x < W - 4) same[n_same++] = k + 4;
                }
                for (int t = 0; t < TURN; ++t) {
                    float* tg = &target[size_t(t) * 3];
                    tg[0] = tg[1] = tg[2] = 0;
                    for (int j = 0; j < n; ++j) {
                        const int i = turn.shown[t][nb[j]];
                        tg[0] += pal.rgb[i * 3] / float(n);
                        tg[1] += pal.rgb[i * 3 + 1] / float(n);
                        tg[2] += pal.rgb[i * 3 + 2] / float(n);
                    }
                }
                float best = 0;
                uint8_t pick = pic[k];
                for (int v = pick, first = 1; first || v != pick; v = (v + 2) & 127, first = 0) {
                    uint8_t word[4];
                    std::copy_n(&pic[y * W + w0], 4, word);
                    word[lane] = uint8_t(v);
                    float cost = 0;
                    bool keeps = true;
                    for (int t = 0; t < TURN && keeps; ++t) {
                        uint8_t mixed[4];
                        std::copy_n(word, 4, mixed);
                        uint32_t a, b;
                        std::memcpy(&a, mixed, 4);
                        std::memcpy(&b, &turn.back[t][y * W + w0], 4);
                        const uint32_t m = ((a + b) * 2u) & 0x3FBFBFBEu;  // as the scene mixes, wraps modulo 2^32
                        std::memcpy(mixed, &m, 4);
                        for (int l = 0; l < 4; ++l)
                            if (y % 2 == 0 && l % 2 == 0 && mixed[l] != turn.shown[t][y * W + w0 + l]) keeps = false;
                        cost += dist(mixed[lane], &target[size_t(t) * 3]);
                        // A shade that none of the neighbours shows is a speck even
                        // when it lies between them: matching one of them wins ties.
                        bool matches = false;
                        for (int j = 0; j < n; ++j) matches |= mixed[lane] == turn.shown[t][nb[j]];
                        for (int j = 0; j < n_same; ++j) matches |= mixed[lane] == turn.shown[t][same[j]];
                        cost += matches ? 0.f : SPECK_COST;
                    }
                    // The scene's first frame mixes the picture with itself: there the
                    // leaf should show what its neighbours show too, so that the cut
                    // into the scene opens on the picture rather than on scattered dots.
                    {
                        uint8_t before[4], after[4];
                        std::copy_n(&pic[y * W + w0], 4, before);
                        first_mix(before);
                        std::copy_n(word, 4, after);
                        first_mix(after);
                        for (int l = 0; l < 4; ++l)
                            if (y % 2 == 0 && l % 2 == 0 && after[l] != before[l]) keeps = false;
                        bool matches = false;
                        float t0[3] = {0, 0, 0};
                        for (int j = 0; j < n; ++j) {
                            const int i = opening[nb[j]];
                            matches |= after[lane] == i;
                            for (int c = 0; c < 3; ++c) t0[c] += pal.rgb[i * 3 + c] / float(n);
                        }
                        cost += FIRST_WEIGHT * (dist(after[lane], t0) + (matches ? 0.f : SPECK_COST));
                    }
                    if (keeps && (first || cost < best)) best = cost, pick = uint8_t(v);
                }
                pic[k] = pick;
            }
        }
}

void tune_leaves(std::vector<uint8_t>& pic, const Palette& pal, const LensTable& lx, const LensTable& ly) {
    tune_pass(pic, pal, lx, ly, false);
    tune_pass(pic, pal, lx, ly, true);
}

}  // namespace

Indexed draw_self(Person who) {
    const std::vector<uint8_t> regions = self_regions(who);
    const bool girl = who == Person::girl;
    const uint8_t* value = SELF_VALUE[girl ? 0 : 1];
    Indexed out(320, 200);
    for (size_t k = 0; k < out.v.size(); ++k) out.v[k] = value[regions[k]];
    if (girl) {
        tune_leaves(out.v, scene2_palette, girl_lens_x, girl_lens_y);
    } else {
        tune_leaves(out.v, scene4_palette, boy_lens_x, boy_lens_y);
    }
    return out;
}

}  // namespace art
