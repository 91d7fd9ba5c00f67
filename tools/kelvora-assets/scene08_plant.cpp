// Scenes 8 and 9: the plant picture (plant): a power station at dusk. A low sun
// with a wide halo stands left of centre, behind where the knot turns; on the right
// two cooling towers breathe plumes of steam that the sun lights from the side, a
// pylon carries its lines across the sky, and a river takes the sun's reflection.
//
// The knot is shaded in 0..64 (15 its wire colour), so the sky and everything
// else above the middle line keeps out of 16..64: the sky, the steam and the sun
// use 66..127, silhouettes 2..14. Scene 9 subtracts its texture (scene09_texture)
// from this picture and adds glowing dots capped at 127 on top, so the sky is kept
// in the lower, deeper part of the light ramp except round the sun: the glows
// need that headroom to build up as light.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "painter.h"
#include "scenes/palettes.h"

namespace art {
namespace {

constexpr int W = 320, H = 200;
constexpr int SKY_LO = 66, SKY_HI = 127;  // sky, steam and sun
constexpr int DARK_LO = 2, DARK_HI = 14;  // silhouettes
constexpr float HORIZON = 149.f;          // far bank
constexpr float WATER_TOP = 156.f, WATER_BOTTOM = 181.f;
constexpr float SUN_X = 146.f, SUN_Y = 110.f, SUN_R = 18.f;

uint8_t sky_index(float t, int x, int y) { return ramp_index(t, SKY_LO, SKY_HI, x, y); }
uint8_t dark_index(float t, int x, int y) { return ramp_index(t, DARK_LO, DARK_HI, x, y); }

// Light of the sun and its halo at distance d from its centre: 1 on the disc,
// falling softly through a bright corona into a wide glow.
float sun_light(float d) {
    const float disc = 1.f - smoothstep(SUN_R - 1.5f, SUN_R + 1.f, d);
    const float out = std::max(0.f, d - SUN_R);
    const float halo = 0.42f * std::exp(-out / 9.f) + 0.22f * std::exp(-out / 34.f) + 0.1f * std::exp(-out / 110.f);
    return std::max(disc * (1.02f - 0.1f * (d / SUN_R) * (d / SUN_R)), halo);
}

// Sky brightness 0..1 at (x, y): a deep amber overhead warming toward the horizon,
// the halo, and long bands of cloud whose lower edges catch the light.
float sky(int x, int y) {
    const float fx = float(x), fy = float(y);
    const float d = std::hypot(fx - SUN_X, fy - SUN_Y);
    const float v = fy / HORIZON;
    float t = 0.03f + 0.2f * v * v * v;
    // The horizon glows wider than the sun: a band along the far bank.
    t += 0.12f * std::exp(-(HORIZON - fy) / 14.f) * (0.4f + std::exp(-std::fabs(fx - SUN_X) / 90.f));
    const float sun = sun_light(d);
    // Bands of cloud: thin, long, darker than the sky round them, rimmed with light
    // from below where they pass the sun.
    const float band = fbm(fx / 130.f, fy / 4.5f, 61, 4);
    const float cloud = smoothstep(0.56f, 0.7f, band) * smoothstep(12.f, 40.f, fy) * (1.f - smoothstep(118.f, 140.f, fy));
    const float below = smoothstep(0.56f, 0.66f, fbm(fx / 130.f, (fy - 1.5f) / 4.5f, 61, 4));
    const float rim = std::max(0.f, below - cloud);
    t += sun;
    t -= cloud * (0.05f + 0.5f * sun);
    t += rim * (0.08f + 0.5f * std::exp(-d / 50.f));
    return t;
}

// Half-width of a cooling tower's hyperbolic shell at row y: waist w at row yw.
float shell(float y, float waist, float yw, float flare) {
    const float k = (y - yw) / flare;
    return waist * std::sqrt(1.f + k * k);
}

struct Tower {
    float x, top, base, waist, yw, flare;
};
constexpr Tower towers[] = {{258.f, 94.f, 151.f, 17.f, 131.f, 30.f}, {306.f, 111.f, 152.f, 13.f, 139.f, 22.f}};

// Density 0..1 of the steam over a tower: a column rising from its mouth that
// widens and leans left in the evening air, broken up by noise.
float steam(float fx, float fy, const Tower& t, uint32_t seed, float strength) {
    const float rise = t.top + 2.f - fy;
    if (rise < -3.f) return 0.f;
    const float r = std::max(rise, 0.f);
    const float lean = 0.42f * r + 0.0022f * r * r;
    const float cx = t.x - lean + 5.f * std::sin(r / 17.f);
    const float half = shell(t.top, t.waist, t.yw, t.flare) * 0.9f + 0.2f * r + 0.0015f * r * r;
    const float across = (fx - cx) / half;
    const float n = fbm(fx / 16.f + r / 40.f, fy / 13.f, seed, 5);
    const float body = 1.f - smoothstep(0.6f, 0.9f, std::fabs(across) + 0.9f * (n - 0.5f));
    const float fade = 1.f - smoothstep(40.f, 110.f, r + 30.f * (n - 0.5f));
    return clamp01(body * fade * strength * smoothstep(-3.f, 6.f, rise));
}

Indexed draw_plant() {
    // Silhouettes drawn with Cairo: towers, the station hall with its chimney, the
    // pylon, its lines, the reeds and the near bank.
    Canvas c(W, H);
    cairo_t* cr = c.cr;
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (const Tower& t : towers) {
        cairo_move_to(cr, t.x - shell(t.base, t.waist, t.yw, t.flare), t.base);
        for (float y = t.base; y >= t.top; y -= 1.f) cairo_line_to(cr, t.x - shell(y, t.waist, t.yw, t.flare), y);
        for (float y = t.top; y <= t.base; y += 1.f) cairo_line_to(cr, t.x + shell(y, t.waist, t.yw, t.flare), y);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    // The hall, a lower annexe and the chimney.
    cairo_rectangle(cr, 206, 128, 30, 24);
    cairo_rectangle(cr, 226, 138, 22, 14);
    cairo_move_to(cr, 212, 128);
    cairo_line_to(cr, 214, 58);
    cairo_line_to(cr, 218, 58);
    cairo_line_to(cr, 220, 128);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_rectangle(cr, 212.5, 56, 6, 3);
    cairo_fill(cr);
    // The far bank runs under everything.
    cairo_rectangle(cr, 0, HORIZON + 0.5, W, WATER_TOP - HORIZON - 0.5);
    cairo_fill(cr);
    // Distant trees and roofs along it.
    for (int x = 0; x < W; ++x) {
        const float n = fbm(float(x) / 9.f, 0.5f, 33, 3);
        const float h = 4.f * smoothstep(0.45f, 0.75f, n) + (x > 60 && x < 74 ? 3.f : 0.f);
        if (h > 0.3f) cairo_rectangle(cr, x, HORIZON + 0.5 - h, 1, h);
    }
    cairo_fill(cr);

    // The pylon: a lattice mast tapering from its feet to a peak with two arms.
    const double px = 196, foot = 150, peak = 52;
    auto leg = [&](double side) {
        cairo_move_to(cr, px + side * 11, foot);
        cairo_line_to(cr, px + side * 3, peak + 22);
        cairo_line_to(cr, px, peak);
    };
    cairo_set_line_width(cr, 1.3);
    leg(-1);
    leg(1);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.7);
    for (int i = 0; i < 8; ++i) {
        // Cross bracing between the legs, every few rows.
        const double y0 = foot - i * 9.0, y1 = y0 - 9.0;
        auto half = [&](double y) { return y > peak + 22 ? 3 + 8 * (y - (peak + 22)) / (foot - (peak + 22)) : 3.0; };
        cairo_move_to(cr, px - half(y0), y0);
        cairo_line_to(cr, px + half(y1), y1);
        cairo_move_to(cr, px + half(y0), y0);
        cairo_line_to(cr, px - half(y1), y1);
    }
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.2);
    const double arms[] = {peak + 10, peak + 22};
    for (double a : arms) {
        cairo_move_to(cr, px - 15, a);
        cairo_line_to(cr, px + 15, a);
    }
    cairo_stroke(cr);
    // The lines sag from the arms out of the frame on the left and into the hall.
    cairo_set_line_width(cr, 1.1);
    for (double a : arms)
        for (double side : {-1.0, 1.0}) {
            const double x0 = px + side * 14, y0 = a + 1;
            cairo_move_to(cr, x0, y0);
            if (side < 0) cairo_curve_to(cr, x0 - 60, y0 + 26, x0 - 120, y0 + 30, -4, y0 + 6);
            else cairo_curve_to(cr, x0 + 8, y0 + 14, 200, y0 + 40, 208, 128);
        }
    cairo_stroke(cr);

    // Reeds along the near bank, and the bank itself.
    cairo_move_to(cr, 0, 200);
    cairo_line_to(cr, 0, 184);
    cairo_curve_to(cr, 60, 179, 150, 184, 200, 183);
    cairo_curve_to(cr, 250, 182, 300, 178, 320, 180);
    cairo_line_to(cr, 320, 200);
    cairo_close_path(cr);
    cairo_fill(cr);
    Rng reed(5);
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 260; ++i) {
        const double x = 320 * reed.uniform();
        const double y = 186 + 6 * reed.uniform();
        const double h = 5 + 20 * reed.uniform() * reed.uniform();
        const double lean = reed.range(-4.f, 3.f);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x, y - h * 0.5, x + lean * 0.4, y - h * 0.8, x + lean, y - h);
        cairo_stroke(cr);
    }
    const Plane solid = c.alpha();

    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = float(x), fy = float(y);
            uint8_t v;
            if (fy < WATER_TOP) {
                float t = sky(x, y);
                // Steam in front of the sky, lit from the sun's side.
                for (int k = 0; k < 2; ++k) {
                    const Tower& tw = towers[k];
                    const float s = steam(fx, fy, tw, 71 + uint32_t(k) * 7, k == 0 ? 1.f : 0.8f);
                    if (s <= 0.f) continue;
                    const float side = clamp01(0.5f - (fx - (tw.x - 0.42f * (tw.top - fy))) / 60.f);
                    const float lit = 0.04f + 0.42f * side * side + 0.25f * std::exp(-std::hypot(fx - SUN_X, fy - SUN_Y) / 70.f);
                    t = lerp(t, lit, s);
                }
                v = sky_index(t, x, y);
            } else if (fy < WATER_BOTTOM) {
                // The river: the sky mirrored and darkened, broken into ripples, with
                // the sun's road of light across it.
                const float mirror = 2.f * WATER_TOP - fy - 8.f;
                const float ripple = fbm(fx / 40.f, fy * 1.3f, 83, 3);
                float t = 0.8f * sky(x, int(std::clamp(mirror, 0.f, WATER_TOP - 1.f))) - 0.06f;
                const float road = std::exp(-std::pow((fx - SUN_X) / (10.f + 0.9f * (fy - WATER_TOP)), 2.f));
                t += road * (0.55f * smoothstep(0.45f, 0.62f, ripple) + 0.1f);
                t -= 0.12f * smoothstep(0.55f, 0.7f, fbm(fx / 60.f, fy * 0.9f, 89, 3));
                v = t < 0.f ? dark_index(0.85f + 2.f * t, x, y) : sky_index(t, x, y);
            } else {
                v = dark_index(0.5f - 0.02f * (fy - WATER_BOTTOM), x, y);
            }
            if (solid.at(x, y) > 0.5f) {
                // Silhouettes: the bank in the haze, the towers' lit rims toward the sun.
                float t = 0.15f;
                if (fy > HORIZON - 6.f && fy < WATER_TOP) t = 0.3f;
                for (const Tower& tw : towers) {
                    if (fy < tw.top || fy > tw.base) continue;
                    const float half = shell(fy, tw.waist, tw.yw, tw.flare);
                    const float u = (fx - tw.x) / half;
                    if (std::fabs(u) <= 1.02f) t = 0.12f + 0.45f * clamp01(-u - 0.55f) * 2.f + 0.08f * (1.f - std::fabs(u));
                }
                v = dark_index(t, x, y);
            }
            out.at(x, y) = v;
        }
    return out;
}

}  // namespace

void register_scene08() {
    auto& r = registry();
    r.push_back({"plant", W, H, -1, &scene8_palette, draw_plant});
}

}  // namespace art
