// Scene 10: the closing picture (apfrm) and the three sprites keyed by 149 (uppera,
// lowera, dotp).
//
// The picture is a balloon night-glow at dusk: a heart-shaped balloon and a round
// one stand lit over still water, each with a string of lights around its rim (the
// dot trails run along those strings). The palette's upper half 149..255 dims while
// the scene runs and the lower half does not. Nearly everything is drawn in the
// lower half; only a narrow band of afterglow over the trees is drawn in the upper
// half, so it sinks into the night, and when the fade's first step restores the
// palette only that band brightens again.
//
// The dots add up to 63 each onto the picture's indices. Over the lower half that
// must not carry a pixel past 148 (into the dimming copy, where it would show the
// ramp's darkest colour), so every pixel of the picture and of the sprites is held
// to what the dots add there at most, in any frame of the scene.
#include <algorithm>
#include <cmath>
#include <functional>
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

// The most the dots add at once to each pixel of the picture and of each sprite,
// over the whole scene: every frame of the shrink as the scene runs it, with the
// sprites where they stand in that frame, then every position of the two trains
// round their loops at the hold's scale (radius 4, the sprites still sliding to
// their rest) and at the fade's (radius 5, no sprites). Each dot is stamped as
// add_dot stamps it and the stamps of one frame are summed.
struct Reach {
    Plane picture{W, H, 0.f};
    Plane uppera{UPPERA_W, UPPERA_H, 0.f}, lowera{LOWERA_W, LOWERA_H, 0.f}, dotp{DOTP_W, DOTP_H, 0.f};
};

// Where the sprites stand in frame k of the scene (0 = the shrink's first).
ClosingSprites sprites_at(int k) {
    ClosingSprites s{UPPERA_FROM, LOWERA_FROM, DOTP_FROM};
    for (int i = 0; i < k; ++i) slide_sprites(s);
    return s;
}

// Raises a sprite's reach by what `sum` holds under it at left edge x, row y.
void reach_under(Plane& sprite, int x, int y, const std::function<float(int, int)>& sum) {
    for (int yy = 0; yy < sprite.h; ++yy)
        for (int xx = 0; xx < sprite.w; ++xx) {
            const int sx = x + xx, sy = y + yy;
            if (sx < 0 || sx >= W || sy < 0 || sy >= H) continue;
            sprite.at(xx, yy) = std::max(sprite.at(xx, yy), sum(sx, sy));
        }
}

Reach compute_reach() {
    Reach reach;
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
    // One frame: the placed trains with the dots at their current indices.
    ClosingTrails t;
    auto moment = [&](int d, Plane& into) {
        std::fill(sum.begin(), sum.end(), 0);
        for (uint16_t k : t.dots_a) stamp(t.path_a_x[k], t.path_a_y[k], d);
        for (uint16_t k : t.dots_b) stamp(t.path_b_x[k], t.path_b_y[k], d);
        for (size_t i = 0; i < sum.size(); ++i) into.v[i] = std::max(into.v[i], float(sum[i]));
    };
    auto now = [&](int x, int y) { return float(sum[size_t(y) * W + size_t(x)]); };
    auto sprites_under = [&](const ClosingSprites& at, const std::function<float(int, int)>& f) {
        reach_under(reach.uppera, at.ua, UPPERA_Y, f);
        reach_under(reach.lowera, at.la, LOWERA_Y, f);
        reach_under(reach.dotp, at.dp, DOTP_Y, f);
    };
    // The shrink as the scene runs it: it places before each step and sizes after.
    fill_dot_indices(t);
    double s = SHRINK_FROM;
    int frame = 0;
    do {
        advance_dots(t);
        place_outlines(t, s);
        s += SHRINK_STEP;
        moment(int(5.0 * s), reach.picture);
        sprites_under(sprites_at(frame), now);
        ++frame;
    } while (s > SHRINK_UNTIL);
    // At rest the trains come round to every offset: A every 444 frames, B every 469.
    // The trains never meet, so B's longer loop covers both.
    Plane hold(W, H, 0.f);
    place_outlines(t, s);
    for (int f = 0; f < OUTLINE_B_POINTS; ++f, advance_dots(t)) moment(int(5.0 * s), hold);
    place_outlines(t, 1.0);
    for (int f = 0; f < OUTLINE_B_POINTS; ++f, advance_dots(t)) moment(5, reach.picture);
    for (size_t i = 0; i < hold.v.size(); ++i) reach.picture.v[i] = std::max(reach.picture.v[i], hold.v[i]);
    // The sprites slide on through the hold until they rest.
    auto held = [&](int x, int y) { return hold.at(x, y); };
    for (ClosingSprites at = sprites_at(frame), last{};; slide_sprites(at)) {
        sprites_under(at, held);
        if (at.ua == last.ua && at.la == last.la && at.dp == last.dp) break;
        last = at;
    }
    return reach;
}

const Reach& dot_reach() {
    static const Reach reach = compute_reach();
    return reach;
}

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

// Only a narrow band of afterglow over the trees is drawn in the half that dims:
// it sinks into the night while the scene runs, and when the fade's first step
// puts the palette back it is all that brightens again.
constexpr float AFTERGLOW = 16.f;  // rows above the tree line

// Brightness of the balloon's glow on the still water at (x, y), mirrored about
// the horizon, in calm horizontal bands.
float reflection(const Plane& heart, const Plane& round, int x, int y) {
    const int my = int(2.f * HORIZON) - y + 4;
    if (my < 0 || my >= H) return 0.f;
    const float depth = (float(y) - HORIZON) / (float(H) - HORIZON);
    // A few rows of ripple: every other band is broken a little more.
    const int row = int((float(y) - HORIZON) / (1.5f + 3.f * depth));
    const float broken = (row % 2) ? 0.75f : 1.f;
    const float in = std::max(heart.at(x, my), round.at(x, my));
    return in * broken * (0.62f - 0.3f * depth);
}

Indexed draw_apfrm() {
    Indexed out(W, H);
    const Plane& reach = dot_reach().picture;
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
            // Sky and stars above the tree line, still water below it.
            const float tree_top = HORIZON - treeline(x);
            if (fy < tree_top) {
                const float u = sky(x, y);
                v = fy > tree_top - AFTERGLOW ? dims(u, x, y) : lit(u, x, y);
                const float h = hash2(x, y, 1003);
                if (h > 0.9935f) {
                    const float star = std::max(u + 0.12f, 0.35f + 0.5f * hash2(x, y, 1004));
                    v = lit(std::min(star, 0.95f), x, y, false);
                }
            } else if (fy < HORIZON + 1.f) {
                v = 0;  // trees
            } else {
                // The water: black, the balloons' glow mirrored in calm bands.
                const float u = reflection(heart.inside, round.inside, x, y);
                v = u < 0.12f ? uint8_t(0) : lit(u, x, y, false);
            }
            // Far lights along the tree line.
            if (fy >= tree_top - 1.f && fy <= HORIZON && hash2(x, 0, 1006) > 0.93f && hash2(x, y, 1007) > 0.6f)
                v = lit(0.85f + 0.15f * hash2(x, y, 1008), x, y, false);

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

    // The farewell, bold, over a dark edge that parts it from the sky.
    Canvas tc(W, H), sc(W, H);
    const char* face = "DejaVu Serif Bold Italic";
    for (cairo_t* cr : {tc.cr, sc.cr}) {
        text_path_centred(cr, "thank you for watching", face, 17, 160, 17, 0.4);
        cairo_set_source_rgb(cr, 1, 1, 1);
    }
    cairo_fill(tc.cr);
    cairo_set_line_width(sc.cr, 3);
    cairo_set_line_join(sc.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(sc.cr);
    cairo_fill(sc.cr);
    const Plane text = tc.alpha(), edge = sc.alpha();

    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (moon.at(x, y) > 0.25f) out.at(x, y) = lit(0.7f + 0.3f * moon.at(x, y), x, y);
            if (text.at(x, y) > 0.4f) out.at(x, y) = lit(0.88f + 0.12f * float(y - 8) / 18.f, x, y, false);
            else if (edge.at(x, y) > 0.3f) out.at(x, y) = lit(0.02f, x, y, false);
        }

    // Where the dots pass, nothing of the half that stays may rise past 148, where
    // it would show the dimming half's darkest colour: each pixel is held to what
    // the dots add there at most. Where even the darkest lit colour has no room,
    // the pixel goes to the half that dims instead, where the sum saturates at 255.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t& v = out.at(x, y);
            const int room = TOP - int(reach.at(x, y));
            if (v < LIT || v >= DIMS || v <= room) continue;
            v = room >= LIT ? uint8_t(room) : uint8_t(v + (DIMS - LIT));
        }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // Black (trees, water) under the dots: only the dims half saturates safely.
            uint8_t& v = out.at(x, y);
            const int room = TOP - int(reach.at(x, y));
            if (v < LIT && v > room) v = uint8_t(std::max(room, 0));
        }
    return out;
}

// ---------------------------------------------------------------- the sprites

// Dark painted letters with a light edge that carries them over the night sky as
// they slide in; the box (x, y, w, h) inside the sprite holds the text. No dot may
// carry a letter pixel past 148 wherever the sprite stands while the dots run:
// such pixels are darkened, or left to the picture (key) where no lit colour is
// dark enough.
Indexed lettering(int sw, int sh, const std::string& text, const char* font, double x, double y, double w,
                  double h, const Plane& reach) {
    Canvas c(sw, sh), ec(sw, sh);
    const double px = fit_text(c.cr, text, font, w, h, 1.0);
    const TextBox b = text_extents(c.cr, text, font, px, 1.0);
    for (cairo_t* cr : {c.cr, ec.cr}) {
        text_path(cr, text, font, px, x + (w - b.w) / 2, y + (h - b.h) / 2, 1.0);
        cairo_set_source_rgb(cr, 1, 1, 1);
    }
    cairo_fill(c.cr);
    cairo_set_line_width(ec.cr, 2.6);
    cairo_set_line_join(ec.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(ec.cr);
    cairo_fill(ec.cr);
    const Plane a = c.alpha(), e = ec.alpha();
    Indexed out(sw, sh, SPRITE_KEY);
    for (int yy = 0; yy < sh; ++yy)
        for (int xx = 0; xx < sw; ++xx) {
            const float depth = float(yy - y) / float(h);
            int v = SPRITE_KEY;
            if (a.at(xx, yy) > 0.5f) v = lit(0.06f + 0.18f * clamp01(depth), xx, yy, false);
            else if (e.at(xx, yy) > 0.35f) v = lit(0.93f, xx, yy, false);
            if (v == SPRITE_KEY) continue;
            const int room = TOP - int(reach.at(xx, yy));
            out.at(xx, yy) = uint8_t(room >= LIT ? std::min(v, room) : int(SPRITE_KEY));
        }
    return out;
}

}  // namespace

void register_scene10() {
    auto& r = registry();
    r.push_back({"apfrm", W, H, -1, &scene10_palette, draw_apfrm});
    // "THE" in the heart's left lobe, clear of the cleft the dots run down, "END"
    // under it, the show's initial on the round balloon; each box sits where its
    // sprite comes to rest inside the balloon's string.
    r.push_back({"dotp", DOTP_W, DOTP_H, SPRITE_KEY, &scene10_palette, [] {
                     return lettering(DOTP_W, DOTP_H, "K", "DejaVu Serif Bold", 2, 8, 28, 44, dot_reach().dotp);
                 }});
    r.push_back({"lowera", LOWERA_W, LOWERA_H, SPRITE_KEY, &scene10_palette, [] {
                     return lettering(LOWERA_W, LOWERA_H, "END", "DejaVu Sans Condensed Bold", 2, 3, 33, 16,
                                      dot_reach().lowera);
                 }});
    r.push_back({"uppera", UPPERA_W, UPPERA_H, SPRITE_KEY, &scene10_palette, [] {
                     return lettering(UPPERA_W, UPPERA_H, "THE", "DejaVu Sans Condensed Bold", 3, 9, 22, 12,
                                      dot_reach().uppera);
                 }});
}

}  // namespace art
