// Scene 10: the closing picture (apfrm) and the three sprites keyed by 149 (uppera,
// lowera, dotp).
//
// The picture is a balloon night-glow at dusk: a heart-shaped balloon and a round
// one stand lit on a field, each with a string of lights around its rim (the dot
// trails run along those strings). The palette's upper half 149..255 dims while
// the scene runs and the lower half does not, so the sky is drawn in the upper half
// and fades to night, while the balloons, the ground lights, the moon and the
// lettering are drawn in the lower half and keep glowing; stars drawn in the lower
// half, faint against the dusk, come out as the sky darkens.
//
// The dots add up to 63 onto the picture's indices. Over the lower half that must
// not carry a pixel past 148 (into the dimming copy, where it would show the ramp's
// darkest colour), so wherever the resting dots land the picture is capped by what
// they add at once; nearby sky pixels move to the lower half at the same brightness,
// so the bulbs' glow stays when the sky dims. The sprites are dark painted letters,
// held to the same limit where they come to rest.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"
#include "scenes/closing_outlines.h"
#include "scenes/palettes.h"
#include "scenes/scene10_closing.h"
#include "scenes/scene10_trails.h"

namespace art {
namespace {

constexpr int W = 320, H = 200;
constexpr int LIT = 42, DIMS = 149;  // first index of each half
constexpr int TOP = 148;              // last index of the half that stays
constexpr int LEVELS = 43;            // the picture uses LIT..LIT+43: a dot's 63 on top reaches 148
constexpr float HORIZON = 163.f;

// Picture brightness u (0 night blue .. 1 warm peach) in the half that keeps its
// colours.
uint8_t lit(float u, int x, int y, bool dither = true) { return ramp_index(u, LIT, LIT + LEVELS, x, y, dither); }
// The same in the half that dims.
uint8_t dims(float u, int x, int y) { return ramp_index(u, DIMS, DIMS + LEVELS, x, y); }

// ---------------------------------------------------------------- the dots' reach

// The most the dots add to each pixel at once while they rest on their strings:
// every position of the two trains round their loops, at the hold's scale (radius
// 4) and the fade's (radius 5), and the shrink's last frames between the two, each
// dot stamped as add_dot stamps it and the stamps of one moment summed.
Plane compute_reach() {
    Plane reach(W, H, 0.f);
    std::vector<int> sum(size_t(W) * H);
    auto stamp = [&](int x, int y, int d) {
        if (d < 1 || x < d || x + d > W - 1 || y < d || y + d > H - 1) return;
        const int e = 255 / d, n = (512 + e - 1) / e;
        for (int j = 0; j < n && y - d + j < H; ++j)
            for (int i = 0; i < n && x - d + i < W; ++i) {
                const int dr = j * e - 256, dc = i * e - 256;
                const int t = 63 - int(std::floor(0.25 * std::sqrt(double(dr * dr + dc * dc))));
                if (t > 0) sum[size_t(y - d + j) * W + size_t(x - d + i)] += t;
            }
    };
    // One moment: the placed trains with the dots at their current indices.
    ClosingTrails t;
    auto moment = [&](int d) {
        std::fill(sum.begin(), sum.end(), 0);
        for (uint16_t k : t.dots_a) stamp(t.path_a_x[k], t.path_a_y[k], d);
        for (uint16_t k : t.dots_b) stamp(t.path_b_x[k], t.path_b_y[k], d);
        for (size_t i = 0; i < sum.size(); ++i) reach.v[i] = std::max(reach.v[i], float(sum[i]));
    };
    // The shrink as the scene runs it: it places before each step and sizes after.
    fill_dot_indices(t);
    double s = SHRINK_FROM;
    do {
        advance_dots(t);
        place_outlines(t, s);
        s += SHRINK_STEP;
        if (s < 1.0) moment(int(5.0 * s));
    } while (s > SHRINK_UNTIL);
    // At rest the trains come round to every offset: A every 444 frames, B every 469.
    for (double scale : {s, 1.0}) {
        place_outlines(t, scale);
        // The trains never meet, so B's longer loop covers both.
        for (int f = 0; f < OUTLINE_B_POINTS; ++f) {
            moment(int(5.0 * scale));
            advance_dots(t);
        }
    }
    return reach;
}

const Plane& dot_reach() {
    static const Plane reach = compute_reach();
    return reach;
}

// The highest index of the half that stays that the resting dots cannot carry past
// 148 at (x, y); below 42 where two trains cross.
int room_at(int x, int y) { return TOP - int(dot_reach().at(x, y)); }

// ---------------------------------------------------------------- shapes

// An outline's points scaled about the screen centre, as a closed Cairo path.
void outline_path(cairo_t* cr, const int16_t* ox, const int16_t* oy, int n, double s) {
    for (int i = 0; i < n; ++i) {
        const double x = 159.5 + s * ox[i], y = 99.5 + s * oy[i];
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

constexpr double STRING_SCALE = 0.975;  // the light strings sit between the two resting scales

struct Balloon {
    Plane inside;  // envelope coverage
    Plane string;  // light string coverage
};

Balloon balloon(const int16_t* ox, const int16_t* oy, int n) {
    Balloon b;
    {
        Canvas c(W, H);
        outline_path(c.cr, ox, oy, n, STRING_SCALE);
        cairo_set_source_rgb(c.cr, 1, 1, 1);
        cairo_fill(c.cr);
        b.inside = c.alpha();
    }
    {
        Canvas c(W, H);
        outline_path(c.cr, ox, oy, n, STRING_SCALE);
        cairo_set_source_rgb(c.cr, 1, 1, 1);
        cairo_set_line_width(c.cr, 1.6);
        cairo_set_line_join(c.cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(c.cr);
        b.string = c.alpha();
    }
    return b;
}

// Distance in pixels from each pixel to the nearest set pixel of a mask (> 0.5),
// up to `limit`; brute force over a window, enough for the picture's few shapes.
Plane distance_to(const Plane& mask, int limit) {
    Plane d(W, H, float(limit));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (mask.at(x, y) <= 0.5f) continue;
            for (int j = -limit; j <= limit; ++j)
                for (int i = -limit; i <= limit; ++i) {
                    const int xx = x + i, yy = y + j;
                    if (xx < 0 || yy < 0 || xx >= W || yy >= H) continue;
                    float& v = d.at(xx, yy);
                    v = std::min(v, std::sqrt(float(i * i + j * j)));
                }
        }
    return d;
}

// ---------------------------------------------------------------- the picture

// Sky brightness at (x, y): deep blue overhead, the last light low over the field,
// and thin streaks of cloud across the glow.
float sky(int x, int y) {
    const float v = float(y) / HORIZON;
    float u = 0.22f + 0.5f * v * v;
    const float gx = (float(x) - 150.f) / 170.f, gy = (HORIZON - float(y)) / 70.f;
    u += 0.3f * std::exp(-(gx * gx + gy * gy));
    const float streak = fbm(float(x) / 60.f, float(y) / 9.f, 1001, 4);
    u += 0.12f * smoothstep(0.55f, 0.8f, streak) * smoothstep(40.f, 120.f, float(y));
    return u;
}

// Height of the tree line above the horizon at column x.
float treeline(int x) {
    const float n = fbm(float(x) / 14.f, 0.5f, 1002, 3);
    return 3.f + 9.f * n + 5.f * std::max(0.f, std::sin(float(x) / 23.f)) * n;
}

Indexed draw_apfrm() {
    Indexed out(W, H);
    const Balloon heart = balloon(outline_a_x, outline_a_y, OUTLINE_A_POINTS);
    const Balloon round = balloon(outline_b_x, outline_b_y, OUTLINE_B_POINTS);
    const Plane heart_edge = distance_to(heart.string, 14);
    const Plane round_edge = distance_to(round.string, 14);

    // The heart's tip and its basket on the field; the round balloon's basket is
    // below the frame.
    const float tip_x = 159.5f + float(STRING_SCALE) * -58.f, tip_y = 99.5f + float(STRING_SCALE) * 56.f;
    const float basket_top = tip_y + 8.f, basket_bottom = basket_top + 8.f;

    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = float(x), fy = float(y);
            uint8_t v;
            // Sky and stars above the tree line, field below it.
            const float tree_top = HORIZON - treeline(x);
            if (fy < tree_top) {
                const float u = sky(x, y);
                v = dims(u, x, y);
                const float h = hash2(x, y, 1003);
                if (h > 0.9935f) {
                    // Bright enough to show at dusk only where the sky is dark.
                    const float star = std::max(u + 0.1f, 0.35f + 0.5f * hash2(x, y, 1004));
                    v = lit(std::min(star, 0.95f), x, y);
                }
            } else if (fy < HORIZON + 1.f) {
                v = 0;  // trees
            } else {
                // The field: dark, with pools of light under the balloons.
                const float hx = (fx - tip_x) / 40.f, hy = (fy - basket_bottom) / 9.f;
                const float rx = (fx - 222.f) / 60.f, ry = (fy - 205.f) / 22.f;
                const float pool = 0.25f * std::exp(-(hx * hx + hy * hy)) + 0.28f * std::exp(-(rx * rx + ry * ry));
                const float grass = 0.03f * fbm(fx / 3.f, fy / 1.5f, 1005, 2);
                // Black where no light reaches, dithered into the pools' glow.
                const float u = pool + grass;
                v = fy < HORIZON + 3.f || u < 0.08f + 0.16f * (bayer4(x, y) + 0.5f) ? uint8_t(0) : lit(u, x, y);
            }
            // Far lights along the tree line.
            if (fy >= tree_top - 1.f && fy <= HORIZON && hash2(x, 0, 1006) > 0.93f && hash2(x, y, 1007) > 0.6f)
                v = lit(0.85f + 0.15f * hash2(x, y, 1008), x, y);

            // The heart-shaped balloon: lit from below, its lobes rounder at the top,
            // gores converging on the tip.
            if (heart.inside.at(x, y) > 0.5f) {
                const float e = heart_edge.at(x, y);
                const float gx = (fx - tip_x) / 50.f, gy = (fy - 115.f) / 45.f;
                float u = 0.78f + 0.24f * std::exp(-(gx * gx + gy * gy));
                const float lobe = fx < tip_x ? std::hypot(fx - 77.f, fy - 68.f) : std::hypot(fx - 124.f, fy - 68.f);
                u += 0.06f * (1.f - smoothstep(6.f, 22.f, lobe));
                const float angle = std::atan2(fx - tip_x, tip_y - fy);
                const float gore = angle / 0.16f;
                const float seam = std::abs(gore - std::round(gore)) * 0.16f * std::hypot(fx - tip_x, tip_y - fy);
                if (int(std::floor(gore)) % 2 == 0) u -= 0.08f;
                if (seam < 0.7f) u -= 0.16f;
                u = lerp(0.4f, u, smoothstep(0.f, 9.f, e));
                v = lit(u, x, y);
            }
            // The round balloon: meridian gores in two tones and a band round its
            // widest part, lit from the burner below.
            if (round.inside.at(x, y) > 0.5f) {
                const float e = round_edge.at(x, y);
                const float cx = 218.f, cy = 96.f;  // the envelope's middle
                const float gx = (fx - cx) / 60.f, gy = (fy - 125.f) / 60.f;
                float u = 0.76f + 0.26f * std::exp(-(gx * gx + gy * gy));
                // Meridians: across the balloon's own width at this row.
                int left = x, right = x;
                while (left > 0 && round.inside.at(left - 1, y) > 0.5f) --left;
                while (right < W - 1 && round.inside.at(right + 1, y) > 0.5f) ++right;
                const float half = std::max(1.f, float(right - left) / 2.f);
                const float s = std::clamp((fx - (float(left + right) / 2.f)) / half, -1.f, 1.f);
                const float phi = std::asin(s) / float(M_PI) * 12.f;
                if (int(std::floor(phi + 12.f)) % 2 == 0) u -= 0.12f;
                if (std::abs(phi - std::round(phi)) * half * float(M_PI) / 12.f < 0.6f) u -= 0.16f;
                if (std::abs(fy - (cy + 18.f)) < 4.f) u -= 0.2f;
                u = lerp(0.4f, u, smoothstep(0.f, 9.f, e));
                v = lit(u, x, y);
            }
            // The heart's basket and its ropes, its rim lit by the burner.
            const float bx = fx - tip_x;
            if (fy >= tip_y && fy < basket_top) {
                const float spread = 5.f * (fy - tip_y) / (basket_top - tip_y);
                if (std::abs(std::abs(bx) - spread) < 0.6f) v = lit(0.15f, x, y);
            }
            if (fy >= basket_top && fy < basket_bottom && std::abs(bx) < 6.f)
                v = lit(fy < basket_top + 1.f ? 0.7f : 0.08f + 0.06f * float(int(fx) % 2), x, y);
            // The light strings.
            if (heart.string.at(x, y) > 0.45f || round.string.at(x, y) > 0.45f) v = lit(0.25f, x, y);

            // Under the resting dots nothing of the lower half may rise past 148,
            // where it would show the dimming half's darkest colour. Sky pixels
            // within their glow move to the lower half at the same colour (dithered
            // at the fringe), so the glow stays when the sky dims; where even the
            // darkest lit colour has no room (two trains crossing), the pixel goes
            // to the upper half instead, where the sum saturates at 255.
            const int t = int(dot_reach().at(x, y));
            const int room = TOP - t;
            if (t > 0) {
                if (v >= DIMS) {
                    if (room >= LIT && t > 12.f + 24.f * (bayer4(x, y) + 0.5f))
                        v = uint8_t(std::min(v - (DIMS - LIT), room));
                } else if (v >= LIT) {
                    v = room >= LIT ? uint8_t(std::min<int>(v, room)) : uint8_t(v + (DIMS - LIT));
                } else if (v > room) {
                    v = uint8_t(std::max(room, 0));
                }
            }
            out.at(x, y) = v;
        }

    // The moon, low in the half that stays: it outlasts the dusk.
    Canvas mc(W, H);
    cairo_arc(mc.cr, 291, 27, 9, 0, 2 * M_PI);
    cairo_set_source_rgb(mc.cr, 1, 1, 1);
    cairo_fill(mc.cr);
    cairo_set_operator(mc.cr, CAIRO_OPERATOR_CLEAR);
    cairo_arc(mc.cr, 295.5, 24, 8, 0, 2 * M_PI);
    cairo_fill(mc.cr);
    const Plane moon = mc.alpha();

    // The farewell, in the half that stays, over a soft dark shadow.
    Canvas tc(W, H), sc(W, H);
    for (cairo_t* cr : {tc.cr, sc.cr}) {
        text_path_centred(cr, "thank you for watching", "DejaVu Serif Italic", 15, 160, 17);
        cairo_set_source_rgb(cr, 1, 1, 1);
    }
    cairo_fill(tc.cr);
    cairo_set_line_width(sc.cr, 2);
    cairo_stroke_preserve(sc.cr);
    cairo_fill(sc.cr);
    const Plane text = tc.alpha(), shadow = sc.alpha();

    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (moon.at(x, y) > 0.25f) out.at(x, y) = lit(0.7f + 0.3f * moon.at(x, y), x, y);
            if (text.at(x, y) > 0.45f) out.at(x, y) = lit(0.8f + 0.2f * float(y - 8) / 18.f, x, y, false);
            else if (shadow.at(x, y) > 0.35f && out.at(x, y) >= DIMS) out.at(x, y) = lit(0.04f, x, y, false);
        }
    return out;
}

// ---------------------------------------------------------------- the sprites

// Dark painted letters; the box (x, y, w, h) inside the sprite holds the text. At
// rest at (rest_x, rest_y) no resting dot may carry a letter pixel past 148: such
// pixels are darkened, or left to the picture (key) where no lit colour is dark
// enough.
Indexed lettering(int sw, int sh, const std::string& text, const char* font, double x, double y, double w,
                  double h, int rest_x, int rest_y) {
    Canvas c(sw, sh);
    const double px = fit_text(c.cr, text, font, w, h, 1.0);
    const TextBox b = text_extents(c.cr, text, font, px, 1.0);
    text_path(c.cr, text, font, px, x + (w - b.w) / 2, y + (h - b.h) / 2, 1.0);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    cairo_fill(c.cr);
    const Plane a = c.alpha();
    Indexed out(sw, sh, SPRITE_KEY);
    for (int yy = 0; yy < sh; ++yy)
        for (int xx = 0; xx < sw; ++xx) {
            const float cov = a.at(xx, yy);
            const float depth = float(yy - y) / float(h);
            int v = SPRITE_KEY;
            if (cov > 0.5f) v = lit(0.25f * clamp01(depth), xx, yy);
            else if (cov > 0.18f) v = lit(0.5f, xx, yy, false);
            if (v == SPRITE_KEY) continue;
            const int room = room_at(rest_x + xx, rest_y + yy);
            out.at(xx, yy) = uint8_t(room >= LIT ? std::min(v, room) : int(SPRITE_KEY));
        }
    return out;
}

}  // namespace

void register_scene10() {
    auto& r = registry();
    r.push_back({"apfrm", W, H, -1, &scene10_palette, draw_apfrm});
    // "THE" over "END" on the heart, the show's initial on the round balloon; each
    // box sits where its sprite comes to rest inside the balloon's string.
    r.push_back({"dotp", DOTP_W, DOTP_H, SPRITE_KEY, &scene10_palette,
                 [] { return lettering(DOTP_W, DOTP_H, "K", "DejaVu Serif Bold", 0, 8, 30, 46, DOTP_TO, DOTP_Y); }});
    r.push_back({"lowera", LOWERA_W, LOWERA_H, SPRITE_KEY, &scene10_palette,
                 [] { return lettering(LOWERA_W, LOWERA_H, "END", "DejaVu Sans Condensed Bold", 4, 2, 32, 17, LOWERA_TO, LOWERA_Y); }});
    r.push_back({"uppera", UPPERA_W, UPPERA_H, SPRITE_KEY, &scene10_palette,
                 [] { return lettering(UPPERA_W, UPPERA_H, "THE", "DejaVu Sans Condensed Bold", 14, 8, 36, 17, UPPERA_TO, UPPERA_Y); }});
}

}  // namespace art
