// Scenes 8 and 9: the plant picture (plant): a power station across a river at
// dusk. A large low sun stands right behind where the knot turns, an even white
// disc with a crisp edge, so the knot's gaps show it as white shapes and the knot
// reads as a dark shape against light. It floods the left of the sky with light:
// beams fan out from it through the haze, long banks of cloud stand darker
// against the glow with their lower edges lined by the sun, and the sky deepens
// to amber toward the top and the far right. On the right a quay carries a pylon,
// the station hall and two cooling towers whose steam the sun lights from the
// side, with birds heading home over them; their sunward edges catch the light
// and the river mirrors them in rippled bands. A dark near bank with reeds closes
// the frame.
//
// The knot is shaded from near black (its near faces) to orange (64, its far
// ones), with 15 as its wire colour. Everything the knot passes in front of (the
// left two thirds, down to the near bank) is drawn in the pale part of the ramp,
// LIGHT_FLOOR and above and mostly far above it, so both its dark and its bright
// faces stand clear; the silhouettes that are not pale are warm browns well above
// the knot's near black, and none of them stands where the knot turns.
//
// Scene 9 subtracts its texture (scene09_texture) from this picture, clamping at
// black, and adds glowing dots capped at 127. Under a glow a silhouette shows
// exactly as much as the sky round it keeps after the subtraction, so the towers'
// shading and the steam stay low: the trails cross the station as one dark shape
// with a small step at its edge, not a shape cut along its own shading. The
// texture's panels take a little less than the sky holds, so the sky shows
// through as deep browns and the glows build up on a dark tube; long thin bright
// lines in the sky would cross that tube as bands, so the banks are broad or
// short and only the thick ones carry a lit rim.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scene08_plant.h"
#include "scenes/palettes.h"

namespace art {
namespace {

constexpr int W = 320, H = 200;
constexpr float SHORE = 147.f;        // the far shore's waterline
constexpr float SUN_X = 100.f, SUN_Y = 106.f, SUN_R = 58.f;
constexpr float SUN_CORE = 123.f;     // the disc stays a few steps below white
constexpr float QUAY_X = 199.f;       // the quay and everything built on it start here

// Index with ordered dithering, held inside lo..hi.
uint8_t quantise(float v, int x, int y, int lo, int hi) {
    const int i = int(std::floor(v + bayer4(x, y) + 0.5f));
    return uint8_t(std::clamp(i, lo, hi));
}

// ---------------------------------------------------------------- sky

// How far the sun's light reaches at distance d from its centre, 1 at the disc's
// edge falling to nothing at the frame's far corners.
float reach(float d) { return std::exp(-std::max(0.f, d - SUN_R) / 80.f); }

// The sun and its halo at distance d from its centre, in index steps above the
// far sky: a tight bright ring, a wider glow, and a broad one that lights the
// whole left of the sky, so everything behind the knot is well above its orange.
float halo(float d) {
    const float out = std::max(0.f, d - SUN_R);
    return 3.f * std::exp(-out / 3.f) + 8.f * std::exp(-out / 18.f) + 24.f * reach(d);
}

// Beams of light and shadow fanning out from the sun through the haze: +7 steps in
// a beam, -4 in a shadow, none near the disc or far from it.
float beams(float x, float y) {
    const float d = std::hypot(x - SUN_X, y - SUN_Y);
    const float angle = std::atan2(y - SUN_Y, x - SUN_X);
    const float n = 0.62f * value_noise(angle * 6.f + 20.f, 1.5f, 401) + 0.38f * value_noise(angle * 17.f + 20.f, 3.5f, 402);
    const float fade = smoothstep(SUN_R + 3.f, SUN_R + 40.f, d) * std::exp(-d / 320.f);
    return fade * (7.f * smoothstep(0.52f, 0.62f, n) - 4.f * smoothstep(0.46f, 0.36f, n));
}

// A bank of cloud: its middle row wanders slowly along x and its thickness swells
// and thins; 0 outside, 1 in its body, soft over a few rows at both edges.
struct Bank {
    float y, half, wave, period, phase;
    uint32_t seed;
    float from, to;  // x range it fades in and out over
};
constexpr Bank banks[] = {
    {14.f, 8.f, 3.f, 90.f, 0.3f, 301, -40.f, 360.f},
    {43.f, 10.f, 4.f, 120.f, 1.7f, 302, -40.f, 270.f},
    {70.f, 6.f, 2.5f, 70.f, 2.9f, 303, 20.f, 340.f},
    // Low over the sun, short and broken: long thin banks there would cross the
    // whole frame as lines once scene 9's texture darkens the sky round them.
    {134.f, 2.6f, 2.f, 40.f, 0.9f, 304, 40.f, 175.f},
};

// (body, lower rim) of bank b at (x, y). The lower edge billows.
std::pair<float, float> bank(const Bank& b, float x, float y) {
    const float along = smoothstep(b.from, b.from + 60.f, x) * (1.f - smoothstep(b.to - 60.f, b.to, x));
    const float swell = 0.35f + 1.1f * fbm(x / 70.f, 0.5f, b.seed, 3);
    const float half = b.half * swell * along;
    if (half < 0.3f) return {0.f, 0.f};
    const float mid = b.y + b.wave * std::sin(x / b.period + b.phase) + 3.f * (fbm(x / 110.f, 2.5f, b.seed, 2) - 0.5f);
    float off = y - mid;
    if (off > 0.f) off -= 0.35f * half * (value_noise(x / 9.f, 7.5f, b.seed + 50) - 0.3f);
    // Torn into wisps and cloudlets rather than one even ribbon; the pieces are
    // kept a few rows tall so no hairline streak crosses the sky.
    const float torn = smoothstep(0.28f, 0.55f, fbm(x / 30.f, y / 9.f, b.seed + 60, 3));
    const float body = (1.f - smoothstep(half * 0.45f, half + 1.5f, std::fabs(off))) * torn;
    // The lower edge catches light from the sun below it.
    const float rim = torn * smoothstep(half * 0.1f, half + 0.5f, off) * (1.f - smoothstep(half + 0.5f, half + 3.5f, off));
    return {body, rim};
}

// Sky index at (x, y): deep amber at the top and the far right, glowing pale
// toward the low sun, beams through the haze, and long banks of cloud whose bodies
// stand darker against the glow and whose lower edges the sun lines with light.
float sky(float x, float y) {
    // Behind the station the sky is one even shade a little lighter than above
    // it, from the towers' tops down to the shore, so where scene 9's texture
    // takes nearly all of it the towers' outlines show, or sink, whole: a
    // brighter strip low between them would be all that is left of them.
    const float station = smoothstep(215.f, 240.f, x);
    const float v = std::min(std::clamp(y / SHORE, 0.f, 1.f), lerp(1.f, 0.62f, station));
    const float d = std::hypot(x - SUN_X, y - SUN_Y);
    const float lit = reach(d);
    float s = 66.f + 8.f * std::pow(v, 1.5f) + halo(d) + beams(x, y) + 5.f * station * smoothstep(60.f, 90.f, y);
    for (const Bank& b : banks) {
        const auto [body, rim] = bank(b, x, y);
        // Cloud bodies: a little below the sky near the sun, deep amber far from it.
        const float cloud = 66.f + 34.f * lit * lit;
        s = lerp(s, std::min(s, cloud), 0.95f * body);
        // The lit rim only where the bank is thick enough to cast it, so the thin
        // ends of the wisps do not trail off into bright hairlines.
        s = lerp(s, std::max(s, 84.f + 30.f * lit), rim * smoothstep(2.5f, 6.f, b.half));
    }
    // The disc, crossed low by the thin banks in front of it.
    if (d < SUN_R + 1.f) {
        // A crisp edge and a nearly even face, so where the knot's gaps show the
        // disc they show it as white shapes against the orange glow round it.
        const float disc = 1.f - smoothstep(SUN_R - 1.5f, SUN_R + 0.5f, d);
        float core = SUN_CORE - 3.f * (d / SUN_R) * (d / SUN_R);
        for (const Bank& b : banks) core -= 22.f * bank(b, x, y).first;
        s = lerp(s, core, disc);
    }
    return std::clamp(s, float(PLANT_LIGHT_FLOOR), SUN_CORE);
}

// ---------------------------------------------------------------- the quay

// Half-width of a cooling tower's hyperbolic shell at row y: waist w at row yw.
float shell(float y, float waist, float yw, float flare) {
    const float k = (y - yw) / flare;
    return waist * std::sqrt(1.f + k * k);
}

struct Tower {
    float x, top, base, waist, yw, flare;
};
constexpr Tower towers[] = {{262.f, 92.f, 150.f, 17.f, 130.f, 30.f}, {307.f, 109.f, 151.f, 13.f, 138.f, 22.f}};

// Density 0..1 of the steam over a tower: a column rising from its mouth that
// widens and leans left in the evening air, broken up into soft billows.
float steam(float fx, float fy, const Tower& t, uint32_t seed, float strength) {
    const float rise = t.top + 2.f - fy;
    if (rise < -3.f) return 0.f;
    const float r = std::max(rise, 0.f);
    const float lean = 0.5f * r + 0.0025f * r * r;
    const float cx = t.x - lean + 4.f * std::sin(r / 19.f);
    const float half = shell(t.top, t.waist, t.yw, t.flare) * 0.9f + 0.22f * r + 0.0015f * r * r;
    const float across = (fx - cx) / half;
    const float n = fbm(fx / 22.f + r / 45.f, fy / 18.f, seed, 4);
    const float body = 1.f - smoothstep(0.55f, 0.95f, std::fabs(across) + 0.8f * (n - 0.5f));
    const float fade = 1.f - smoothstep(40.f, 115.f, r + 36.f * (n - 0.5f));
    return clamp01(body * fade * strength * smoothstep(-3.f, 6.f, rise));
}

// Coverage masks of the silhouettes, drawn with Cairo.
struct Shapes {
    Plane towers, hall, pylon, quay, shore, bank, reeds, birds;
};

Plane fill_mask(const std::function<void(cairo_t*)>& draw) {
    Canvas c(W, H);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    draw(c.cr);
    return c.alpha();
}

Shapes draw_shapes() {
    Shapes s;
    s.towers = fill_mask([](cairo_t* cr) {
        for (const Tower& t : towers) {
            cairo_move_to(cr, t.x - shell(t.base, t.waist, t.yw, t.flare), t.base);
            for (float y = t.base; y >= t.top; y -= 1.f) cairo_line_to(cr, t.x - shell(y, t.waist, t.yw, t.flare), y);
            for (float y = t.top; y <= t.base; y += 1.f) cairo_line_to(cr, t.x + shell(y, t.waist, t.yw, t.flare), y);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    });
    s.hall = fill_mask([](cairo_t* cr) {
        // The turbine hall, a lower annexe, and the chimney with its cap.
        cairo_rectangle(cr, 216, 124, 30, 26);
        cairo_rectangle(cr, 208, 134, 14, 16);
        cairo_move_to(cr, 228, 124);
        cairo_line_to(cr, 230, 54);
        cairo_line_to(cr, 235, 54);
        cairo_line_to(cr, 237, 124);
        cairo_close_path(cr);
        cairo_rectangle(cr, 228.5, 52, 7, 3);
        cairo_fill(cr);
    });
    s.pylon = fill_mask([](cairo_t* cr) {
        // A lattice mast on the quay's edge, its lines running to the hall.
        const double px = 207, foot = 146, peak = 66;
        cairo_set_line_width(cr, 1.4);
        for (double side : {-1.0, 1.0}) {
            cairo_move_to(cr, px + side * 8, foot);
            cairo_line_to(cr, px + side * 2.5, peak + 18);
            cairo_line_to(cr, px, peak);
        }
        cairo_stroke(cr);
        cairo_set_line_width(cr, 0.8);
        auto half = [&](double y) { return y > peak + 18 ? 2.5 + 5.5 * (y - (peak + 18)) / (foot - (peak + 18)) : 2.5; };
        for (int i = 0; i < 7; ++i) {
            const double y0 = foot - i * 9.0, y1 = y0 - 9.0;
            cairo_move_to(cr, px - half(y0), y0);
            cairo_line_to(cr, px + half(y1), y1);
            cairo_move_to(cr, px + half(y0), y0);
            cairo_line_to(cr, px - half(y1), y1);
        }
        cairo_stroke(cr);
        cairo_set_line_width(cr, 1.3);
        for (double a : {peak + 8, peak + 18}) {
            cairo_move_to(cr, px - 9, a);
            cairo_line_to(cr, px + 11, a);
        }
        cairo_stroke(cr);
        cairo_set_line_width(cr, 0.9);
        for (double a : {peak + 8, peak + 18}) {
            cairo_move_to(cr, px + 10, a + 1);
            cairo_curve_to(cr, px + 14, a + 10, 222, a + 18, 228, 96 + (a - peak) * 0.4);
        }
        cairo_stroke(cr);
    });
    s.quay = fill_mask([](cairo_t* cr) {
        cairo_move_to(cr, QUAY_X, SHORE + 0.5);
        cairo_line_to(cr, QUAY_X + 2, 143);
        cairo_line_to(cr, W, 143);
        cairo_line_to(cr, W, SHORE + 0.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    s.shore = fill_mask([](cairo_t* cr) {
        // Distant trees and roofs along the far shore, soft in the haze.
        cairo_move_to(cr, 0, SHORE + 0.5);
        for (int x = 0; x <= int(QUAY_X) + 4; ++x) {
            const float n = fbm(float(x) / 11.f, 0.5f, 33, 3);
            const float h = 2.f + 5.f * smoothstep(0.4f, 0.75f, n) + (x > 52 && x < 60 ? 3.f : 0.f);
            cairo_line_to(cr, x, SHORE + 0.5 - h);
        }
        cairo_line_to(cr, QUAY_X + 4, SHORE + 0.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    s.bank = fill_mask([](cairo_t* cr) {
        cairo_move_to(cr, 0, H);
        cairo_line_to(cr, 0, 190);
        cairo_curve_to(cr, 70, 186, 150, 191, 210, 189);
        cairo_curve_to(cr, 260, 187, 300, 185, W, 187);
        cairo_line_to(cr, W, H);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    s.birds = fill_mask([](cairo_t* cr) {
        // A loose skein of birds heading home over the station, wings in a shallow
        // M, smaller as they go.
        struct Bird {
            double x, y, span, lift;
        };
        const Bird flock[] = {{236, 30, 5.5, 1.6}, {249, 24, 4.5, 0.6}, {259, 33, 4.5, 1.8}, {268, 19, 3.5, 1.0},
                              {277, 27, 3.5, 0.4}, {288, 14, 2.8, 1.2}, {296, 22, 2.5, 0.8}};
        cairo_set_line_width(cr, 1.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (const Bird& b : flock) {
            cairo_move_to(cr, b.x - b.span, b.y - b.lift);
            cairo_curve_to(cr, b.x - b.span * 0.6, b.y - b.lift - 1.5, b.x - b.span * 0.25, b.y - 1.2, b.x, b.y + 0.6);
            cairo_curve_to(cr, b.x + b.span * 0.25, b.y - 1.2, b.x + b.span * 0.6, b.y - b.lift - 1.5, b.x + b.span, b.y - b.lift);
        }
        cairo_stroke(cr);
    });
    s.reeds = fill_mask([](cairo_t* cr) {
        Rng reed(5);
        cairo_set_line_width(cr, 1.1);
        for (int i = 0; i < 170; ++i) {
            const double x = 320 * reed.uniform();
            const double y = 191 + 5 * reed.uniform();
            const double h = 4 + 13 * reed.uniform() * reed.uniform();
            const double lean = reed.range(-4.f, 3.f);
            cairo_move_to(cr, x, y);
            cairo_curve_to(cr, x, y - h * 0.5, x + lean * 0.4, y - h * 0.8, x + lean, y - h);
            cairo_stroke(cr);
        }
    });
    return s;
}

// ---------------------------------------------------------------- water

// The river at (x, y): the sky mirrored about the shore a little darker, laid in
// calm bands that thicken toward the viewer, and the sun's road of light broken
// into glints.
float water(float x, float y) {
    const float depth = (y - SHORE) / (float(H) - SHORE);
    float s = sky(x, std::max(0.f, 2.f * SHORE - y - 4.f)) - 12.f - 8.f * depth;
    // Ripple bands: long and soft, a row or two near the shore, three or four below.
    const float band = (y - SHORE) / (1.2f + 3.f * depth);
    const float ripple = std::sin(band * 3.14159f + 2.f * fbm(x / 60.f, band * 0.3f, 83, 2));
    s += 2.5f * ripple;
    // The road: glints where the ripples face the sun.
    const float width = 8.f + 1.1f * (y - SHORE);
    const float road = std::exp(-std::pow((x - SUN_X) / width, 2.f));
    const float glint = smoothstep(0.35f, 0.9f, ripple) * smoothstep(0.4f, 0.7f, fbm(x / 9.f, band * 0.7f, 87, 2));
    s += road * (6.f + 22.f * glint);
    return std::min(s, 119.f);
}

}  // namespace

Indexed draw_plant() {
    const Shapes sh = draw_shapes();
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = float(x), fy = float(y);
            float v = fy < SHORE + 0.5f ? sky(fx, fy) : water(fx, fy);
            int lo = PLANT_LIGHT_FLOOR, hi = 127;
            // Steam in front of the sky, lit on the sun's side.
            for (int k = 0; k < 2; ++k) {
                const Tower& tw = towers[k];
                const float st = steam(fx, fy, tw, 71 + uint32_t(k) * 7, k == 0 ? 1.f : 0.85f);
                if (st <= 0.f) continue;
                const float r = std::max(0.f, tw.top - fy);
                const float axis = tw.x - 0.5f * r - 0.0025f * r * r;
                const float side = clamp01(0.5f - (fx - axis) / 50.f);
                const float lit = 76.f + 14.f * side * side + 8.f * std::exp(-std::hypot(fx - SUN_X, fy - SUN_Y) / 80.f);
                v = lerp(v, lit, st);
            }
            // The far shore: a strip of haze, a little darker than the sky over it.
            if (sh.shore.at(x, y) > 0.5f) v = 73.f + 2.f * (fy - (SHORE - 8.f)) / 8.f;
            // The quay and what stands on it: warm browns lit at the rims, well above
            // the knot's near black.
            auto dark = [&](float t) {
                v = t;
                lo = DARK_FLOOR;
                hi = DARK_CEILING;
            };
            if (sh.quay.at(x, y) > 0.5f) dark(fy < 144.f ? 40.f : 28.f);
            if (sh.hall.at(x, y) > 0.5f) {
                dark(25.f + 4.f * clamp01((fy - 60.f) / 90.f));
                // A few lit windows in the hall.
                const bool window = fy >= 128.f && fy < 146.f && int(fy - 128.f) % 6 < 2 && x >= 218 && x < 244 &&
                                    int(fx) % 5 < 2 && hash2(x / 5, int(fy) / 6, 309) > 0.45f;
                if (window) {
                    v = 108.f;
                    lo = PLANT_LIGHT_FLOOR;
                    hi = 127;
                }
            }
            for (const Tower& tw : towers) {
                if (sh.towers.at(x, y) <= 0.5f || fy < tw.top - 1.f || fy > tw.base + 1.f) continue;
                const float half = shell(fy, tw.waist, tw.yw, tw.flare);
                const float u = (fx - tw.x) / half;
                if (std::fabs(u) > 1.1f) continue;
                // Rounded shell: the rim toward the sun catches its light, the lip at
                // the top and a few rings of the shell show faintly.
                // Kept at most a few steps above what scene 9's texture takes at
                // its least, so under its glows the shell stays one even dark shape
                // instead of showing where its shading crosses the texture's take.
                float t = 22.f + 8.f * clamp01(0.5f - 0.5f * u);
                t += 8.f * smoothstep(-0.6f, -0.97f, u);
                if (fy < tw.top + 2.f) t += 8.f;
                if (int(fy - tw.top) % 12 == 7) t -= 4.f;
                dark(t);
            }
            if (sh.pylon.at(x, y) > 0.45f) dark(30.f);
            if (sh.bank.at(x, y) > 0.5f) dark(30.f - 0.4f * (fy - 188.f) + 3.f * (fbm(fx / 7.f, fy / 3.f, 91, 2) - 0.5f));
            if (sh.reeds.at(x, y) > 0.5f) dark(22.f);
            if (sh.birds.at(x, y) > 0.45f) dark(34.f);
            out.at(x, y) = quantise(v, x, y, lo, hi);
        }
    // The station's reflection: below the quay the river mirrors the silhouettes
    // about the waterline, broken by the ripples into dark bands with lit gaps.
    // Drawn over the water from the upper picture before the rim light below.
    Indexed above = out;
    for (int y = int(SHORE) + 1; y < H; ++y)
        for (int x = int(QUAY_X); x < W; ++x) {
            if (sh.bank.at(x, y) > 0.5f || sh.reeds.at(x, y) > 0.5f) continue;
            const float depth = (float(y) - SHORE) / (float(H) - SHORE);
            const int shift = int(std::lround((1.f + 3.f * depth) * std::sin(float(y) * 1.3f + 4.f * fbm(float(x) / 40.f, float(y) / 3.f, 95, 2))));
            const int xr = std::clamp(x + shift, 0, W - 1);
            const int yr = int(2.f * SHORE) + 2 - y;
            if (yr < 0 || above.at(xr, yr) >= PLANT_LIGHT_FLOOR) continue;
            // Gaps where a ripple faces the sky, more of them further out.
            if (hash2(x / 5, y, 97) < 0.12f + 0.3f * depth) continue;
            out.at(x, y) = uint8_t(std::clamp(int(above.at(xr, yr)) + 6, DARK_FLOOR, DARK_CEILING));
        }
    // Rim light: the low sun stands to the left of the station, so the left edge of
    // every solid silhouette above the bank catches it, two pixels fading inward.
    for (int y = 0; y < 184; ++y)
        for (int x = 2; x < W; ++x) {
            uint8_t& v = out.at(x, y);
            if (v >= PLANT_LIGHT_FLOOR || above.at(x, y) >= PLANT_LIGHT_FLOOR) continue;
            // Solid shapes only: the pylon's thin lattice stays a silhouette.
            if (x + 2 >= W || above.at(x + 1, y) >= PLANT_LIGHT_FLOOR || above.at(x + 2, y) >= PLANT_LIGHT_FLOOR) continue;
            if (above.at(x - 1, y) >= PLANT_LIGHT_FLOOR) v = uint8_t(std::max<int>(v, DARK_CEILING - 2));
            else if (above.at(x - 2, y) >= PLANT_LIGHT_FLOOR) v = uint8_t(std::max<int>(v, DARK_CEILING - 12));
        }
    return out;
}

void register_scene08() {
    auto& r = registry();
    r.push_back({"plant", W, H, -1, &scene8_palette, draw_plant});
}

}  // namespace art
