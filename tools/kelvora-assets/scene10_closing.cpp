// Scene 10: the closing picture (apfrm) and the three sprites keyed by 149 (uppera,
// lowera, dotp).
//
// The picture is a balloon night-glow at dusk: a heart balloon leaning on its
// string and a hot-air balloon standing on the near bank of a lake with its
// basket, each with a string of lights round it (the dot trails run along those
// strings), a village and trees in silhouette across the lake with lit windows
// whose light runs down the water, people on the bank in the pool of light the
// burner throws, and the moon.
//
// The palette's upper half 149..255 dims while the scene runs and the lower half
// does not. The resting trails run low through the sky, where an afterglow in the
// dimming half would dim the dots passing over it, so the picture keeps to the
// lower half: nothing pops back when the fade's first step restores the palette.
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
#include "painter.h"
#include "scenes/closing_outlines.h"
#include "scenes/palettes.h"
#include "scenes/scene10_closing.h"
#include "scenes/scene10_trails.h"

namespace art {
namespace {

constexpr int W = 320, H = 200;
constexpr int LIT = 42, DIMS = 149;  // first index of each half
constexpr int TOP = 148;              // last index of the half that stays

// ---------------------------------------------------------------- the dots' reach

// The most the dots add at once to each pixel of the picture and of each sprite,
// over the whole scene: every frame of the shrink as the scene runs it, with the
// sprites where they stand in that frame, then every position of the two trains
// round their loops at the hold's scale (radius 4, the sprites still sliding to
// their rest) and at the fade's (radius 5, no sprites). Each dot is stamped as
// add_dot stamps it and the stamps of one frame are summed.
struct Reach {
    Plane picture{W, H, 0.f};
    Plane resting{W, H, 0.f};  // the picture's, from the hold and the fade only
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
    for (int f = 0; f < OUTLINE_B_POINTS; ++f, advance_dots(t)) moment(5, reach.resting);
    for (size_t i = 0; i < hold.v.size(); ++i) {
        reach.resting.v[i] = std::max(reach.resting.v[i], hold.v[i]);
        reach.picture.v[i] = std::max(reach.picture.v[i], reach.resting.v[i]);
    }
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

constexpr float HORIZON = 158.f;  // where the meadow meets the tree line

// Index of a picture colour in the half that keeps its colours, dithered unless
// asked not to, held to the picture's own part of the ramp.
uint8_t lit(float v, int x, int y, bool dither = true) {
    const float d = dither ? bayer4(x, y) : 0.f;
    return uint8_t(std::clamp(int(std::floor(v + d + 0.5f)), LIT, TOP - 1));
}

// Screen position of an outline point at the strings' scale.
float on_screen_x(float ox) { return 159.5f + float(STRING_SCALE) * ox; }
float on_screen_y(float oy) { return 99.5f + float(STRING_SCALE) * oy; }

// Sky at (x, y): deep blue overhead, lighter toward the trees, warmest low in the
// west where the sun went down.
float sky(float x, float y) {
    const float v = std::clamp(y / HORIZON, 0.f, 1.f);
    // The top rows on the ramp's darkest colour, so the night deepens overhead
    // and the dusk glow keeps to the horizon.
    float s = 42.f + 16.f * std::pow(v, 1.6f);
    const float gx = (x - 40.f) / 190.f, gy = (HORIZON - y) / 34.f;
    s += 15.f * std::exp(-(gx * gx + gy * gy));
    return s;
}

// A long thin cloud low over the trees, across the afterglow.
float cloud_top(float x) { return 125.f + 2.f * std::sin(x / 37.f) + 3.f * (fbm(x / 40.f, 0.5f, 1050, 2) - 0.5f); }
// How much of the cloud covers (x, y), 0..1.
float edge_cloud(float x, float y) {
    const float top = cloud_top(x), thick = 2.5f + 2.f * fbm(x / 25.f, 3.5f, 1051, 2);
    return smoothstep(top - thick - 1.5f, top - thick + 0.5f, y) * (y < top ? 1.f : 0.f);
}

// Top row of the near bank at column x: the lake lies between it and the far shore.
// Under the basket and the people the bank juts out into the lake as a grassy
// point, so the balloon and its watchers stand on land, not on the water.
float bank_top(float x) {
    const float point = (x - 200.f) / 62.f;
    return 187.f - 17.f * std::exp(-point * point * point * point) + 1.5f * std::sin(x / 23.f) +
           3.f * (fbm(x / 19.f, 8.5f, 1062, 2) - 0.5f);
}

// ---------------------------------------------------------------- the skyline

// Height of the tree line above the horizon at column x: rounded crowns and a few
// pointed firs.
float treeline(int x) {
    const float fx = float(x);
    float h = 4.f + 3.f * fbm(fx / 9.f, 0.5f, 1002, 2);
    // Crowns: overlapping half discs.
    Rng r(1010);
    for (int i = 0; i < 26; ++i) {
        const float cx = r.range(-10.f, 330.f), rad = r.range(5.f, 10.f), lift = r.range(0.f, 5.f);
        const float dx = fx - cx;
        if (std::fabs(dx) < rad) h = std::max(h, lift + std::sqrt(rad * rad - dx * dx));
    }
    // Firs: narrow spires with ragged sides.
    Rng f(1020);
    for (int i = 0; i < 11; ++i) {
        const float cx = f.range(0.f, 320.f), tall = f.range(12.f, 22.f), half = tall * 0.22f;
        const float dx = std::fabs(fx - cx);
        if (dx < half) h = std::max(h, tall * (1.f - dx / half) + (int(tall - dx * 3.f) % 3 == 0 ? -1.f : 0.f));
    }
    return h;
}

// A house of the village: wall box and roof apex; windows lit on some floors.
struct House {
    float x0, x1, wall_top, roof_top;
};
constexpr House houses[] = {
    {2.f, 16.f, 144.f, 137.f},   {18.f, 27.f, 147.f, 141.f},  {38.f, 52.f, 145.f, 138.f},
    {280.f, 293.f, 146.f, 139.f}, {296.f, 311.f, 143.f, 135.f}, {312.f, 322.f, 147.f, 141.f},
};
// The church between the houses, its steeple over the trees.
constexpr float CHURCH_X0 = 27.f, CHURCH_X1 = 37.f, CHURCH_WALL = 140.f, STEEPLE_X = 32.f, STEEPLE_TOP = 116.f;

// Coverage of the village at (x, y): houses, roofs, the church and its steeple.
bool village(float x, float y) {
    for (const House& h : houses) {
        if (x < h.x0 || x > h.x1) continue;
        if (y >= h.wall_top) return true;
        const float mid = 0.5f * (h.x0 + h.x1), half = 0.5f * (h.x1 - h.x0) + 1.f;
        const float roof = h.roof_top + (h.wall_top - h.roof_top) * std::fabs(x - mid) / half;
        if (y >= roof) return true;
    }
    if (x >= CHURCH_X0 && x <= CHURCH_X1 && y >= CHURCH_WALL) return true;
    if (std::fabs(x - STEEPLE_X) <= 2.5f && y >= 128.f) return true;
    if (y >= STEEPLE_TOP && y < 128.f && std::fabs(x - STEEPLE_X) <= 2.5f * (y - STEEPLE_TOP) / 12.f + 0.3f) return true;
    return false;
}

// A lit window: two by two pixels on a grid of five along each house's floors,
// some dark.
bool window(int x, int y) {
    for (const House& h : houses) {
        if (float(x) < h.x0 + 2.f || float(x) > h.x1 - 2.f || float(y) < h.wall_top + 2.f) continue;
        const int col = (x - int(h.x0) - 2) % 5, row = (y - int(h.wall_top) - 2) % 5;
        if (col < 2 && row < 2 && hash2((x - int(h.x0)) / 5 + int(h.x0), (y - int(h.wall_top)) / 5, 1030) > 0.4f)
            return true;
    }
    // The church's tall windows.
    return y >= 144 && y < 150 && (x == 29 || x == 30 || x == 34 || x == 35);
}

// ---------------------------------------------------------------- shading

// Light a rounded shape takes at each pixel: its coverage blurred into a height
// field, lit from the upper right (the moon) and from the front.
struct Lit {
    float diffuse, spec;
};
std::vector<Lit> round_light(const Plane& inside, int radius) {
    const Plane h = painter::blur(inside, radius);
    std::vector<Lit> out(size_t(W) * H);
    const float lx = 0.45f, ly = -0.55f, lz = 0.7f;
    // Half vector of the light and the eye (0, 0, 1).
    const float hn = std::sqrt(lx * lx + ly * ly + (lz + 1.f) * (lz + 1.f));
    const float hx = lx / hn, hy = ly / hn, hz = (lz + 1.f) / hn;
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x) {
            const float dx = (h.at(x + 1, y) - h.at(x - 1, y)) * float(radius);
            const float dy = (h.at(x, y + 1) - h.at(x, y - 1)) * float(radius);
            float nx = -dx, ny = -dy, nz = 1.f;
            const float n = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= n, ny /= n, nz /= n;
            const float d = std::max(0.f, nx * lx + ny * ly + nz * lz);
            const float s = std::pow(std::max(0.f, nx * hx + ny * hy + nz * hz), 24.f);
            out[size_t(y) * W + x] = {d, s};
        }
    return out;
}

Indexed draw_apfrm() {
    Indexed out(W, H);
    const Plane& reach = dot_reach().picture;
    const Plane& resting = dot_reach().resting;
    const Balloon heart = balloon(outline_a_x, outline_a_y, OUTLINE_A_POINTS);
    const Balloon round = balloon(outline_b_x, outline_b_y, OUTLINE_B_POINTS);
    const Plane heart_edge = distance_to(heart.string, 14);
    const Plane round_edge = distance_to(round.string, 14);
    const std::vector<Lit> heart_light = round_light(heart.inside, 9);

    // Balloon B's parts at the strings' scale: the envelope above the throat, the
    // ropes, the basket below them.
    const float throat_y = on_screen_y(61.f), basket_top = on_screen_y(79.f);
    const float b_mid = on_screen_x(63.5f);
    const float b_top = on_screen_y(-55.f), b_wide = on_screen_y(-8.5f);
    // The heart's knot and the stake its string is tied to.
    const float knot_x = on_screen_x(-11.f), knot_y = on_screen_y(56.f);
    const float stake_x = 160.f, stake_y = 190.f;

    Plane envelope_b(W, H, 0.f);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (round.inside.at(x, y) > 0.5f && float(y) < throat_y) envelope_b.at(x, y) = 1.f;
    const std::vector<Lit> round_lit = round_light(envelope_b, 12);
    Plane is_ground(W, H, 0.f);
    // Half the width of the envelope's mouth, where the ropes leave it.
    float throat_half = 0.f;
    for (int x = 0; x < W; ++x)
        if (envelope_b.at(x, int(throat_y) - 1) > 0.5f) throat_half = std::max(throat_half, std::fabs(float(x) - b_mid));
    throat_half = std::max(2.f, throat_half - 1.f);

    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = float(x), fy = float(y);
            uint8_t v;
            bool ground = false;  // the lake and the near bank, nothing in front
            const float tree_top = HORIZON - treeline(x);
            if (fy < tree_top && !village(fx, fy)) {
                const float s = sky(fx, fy);
                v = lit(lerp(s, 49.f, edge_cloud(fx, fy)), x, y);
                const float h = hash2(x, y, 1003);
                if (fy < 120.f && h > 0.995f) v = lit(62.f + 30.f * hash2(x, y, 1004) * (1.f - fy / 140.f), x, y, false);
            } else if (fy < HORIZON) {
                // Trees and the village in black, so they stand against the afterglow
                // even once it has sunk to the night's floor colour; where the resting
                // dots pass, the darkest lit colour, so they still climb the ramp there.
                v = resting.at(x, y) > 0.f ? uint8_t(LIT) : uint8_t(0);
                if (window(x, y)) v = lit(88.f + 4.f * hash2(x, y, 1031), x, y, false);
            } else {
                // The near bank (the lake is mirrored in below, once everything over it
                // is drawn): dark grass, and the pool of light the burner throws round
                // the basket.
                ground = true;
                const float d = (fy - HORIZON) / (float(H) - HORIZON);
                float m = 47.f - 4.f * std::sqrt(d);
                const float px = (fx - b_mid) / 58.f, py = (fy - 194.f) / 9.f;
                m += 26.f * std::exp(-(px * px + py * py));
                // Tufts of grass, dark against the lit ground.
                if (hash2(x, y / 3, 1040) > 0.85f) m -= 4.f;
                // The bank's edge: a dark lip of earth along the water, then a
                // lighter rim of grass catching the burner's light above it.
                const float below_edge = fy - bank_top(fx);
                if (below_edge >= 0.f && below_edge < 1.5f) m = 42.f;
                else if (below_edge >= 1.5f && below_edge < 3.f) m += 4.f;
                v = lit(m, x, y);
            }

            // The heart balloon: satin, lit by the moon from the upper right, its
            // lower left in shade, a highlight high on the big lobe.
            if (heart.inside.at(x, y) > 0.5f) {
                ground = false;
                const Lit& l = heart_light[size_t(y) * W + x];
                float u = 60.f + 27.f * l.diffuse;
                // A foil envelope: the moon's highlight a crisp-edged sheen with a
                // hot core, not a soft bloom.
                u += 10.f * smoothstep(0.18f, 0.26f, l.spec) + 8.f * smoothstep(0.55f, 0.7f, l.spec);
                // The burner-warm glow of the night-glow from below.
                u += 5.f * smoothstep(80.f, 150.f, fy);
                // A firm edge: a dark seam on the outline, then a thin band of light
                // reflected off the sky just inside it, before the rounded body.
                const float e = heart_edge.at(x, y);
                // The seam fades out on the moonlit side, where the bulbs ride just
                // outside the outline and a dark line would show inside their ring.
                if (e < 1.5f) u = lerp(52.f, 74.f, smoothstep(0.5f, 0.8f, l.diffuse));
                else if (e < 3.f) u = std::max(u, 74.f);
                // Toward the body from no darker than the body itself where the
                // moon lights it, so the lit lobe shows no dark seam under the bulbs.
                else u = lerp(std::max(64.f, std::min(u, 74.f)), u, smoothstep(3.f, 6.f, e));
                v = lit(u, x, y);
            }
            // The hot-air balloon: gores in two tones, a band round its widest part,
            // lit from the burner inside and by the moon on the right.
            if (envelope_b.at(x, y) > 0.5f) {
                ground = false;
                const Lit& l = round_lit[size_t(y) * W + x];
                int left = x, right = x;
                while (left > 0 && envelope_b.at(left - 1, y) > 0.5f) --left;
                while (right < W - 1 && envelope_b.at(right + 1, y) > 0.5f) ++right;
                const float half = std::max(1.f, float(right - left) / 2.f);
                const float s = std::clamp((fx - (float(left + right) / 2.f)) / half, -1.f, 1.f);
                const float phi = std::asin(s) / float(M_PI) * 12.f;
                // Round across its width: the moon lights its right side, its left is in
                // shade; the rim light of the height field rounds the crown.
                const float across = 0.45f * s + 0.7f * std::sqrt(std::max(0.f, 1.f - s * s));
                const float light = (across + 0.45f) / 1.29f;  // 0 on the shaded edge .. 1
                // Gores in two bold colours, rose red and pale gold, each rounded
                // across the envelope and lit at the crown by the moon.
                const bool rose = int(std::floor(phi + 12.f)) % 2 == 0;
                float u = (rose ? 78.f : 97.f) - 17.f * (1.f - light) + 3.f * l.diffuse + 6.f * l.spec;
                // The burner's glow inside, strongest low in the middle.
                const float gx = (fx - b_mid) / 40.f, gy = (fy - (throat_y - 18.f)) / 42.f;
                u += 7.f * std::exp(-(gx * gx + gy * gy));
                // Seams between the gores, finer toward the edges.
                if (std::abs(phi - std::round(phi)) * half * float(M_PI) / 12.f < 0.55f) u -= 7.f;
                // A band round the widest part, and the crown.
                // It curves with the envelope's roundness, seen a little from below.
                const float band = std::fabs(fy - (b_wide + 8.f + 5.f * std::sqrt(std::max(0.f, 1.f - s * s))));
                if (band < 3.5f) u = band < 2.f ? (rose ? 99.f : 76.f) - 12.f * (1.f - light) : u - 8.f;
                if (fy < b_top + 9.f) u -= 3.f;
                // The skirt round the throat, dark fabric.
                if (fy > throat_y - 9.f) u = lerp(u, 57.f + 6.f * (1.f - std::fabs(s)), smoothstep(throat_y - 9.f, throat_y - 6.f, fy));
                u = lerp(57.f, u, smoothstep(0.f, 4.f, round_edge.at(x, y)));
                v = lit(u, x, y);
            }
            // The ropes from the skirt down to the basket's corners, dark over the lake.
            if (fy >= throat_y && fy < basket_top - 0.5f) {
                const float t = (fy - throat_y) / (basket_top - throat_y);
                const float spread = lerp(throat_half, float(STRING_SCALE) * 8.5f, t);
                for (float k : {-1.f, -0.4f, 0.4f, 1.f})
                    if (std::fabs(fx - (b_mid + k * spread)) < 0.55f) {
                        v = lit(48.f, x, y, false);
                        ground = false;
                    }
            }
            // The burner's flame in the throat.
            {
                const float fx0 = (fx - b_mid) / 2.2f, fy0 = (fy - (throat_y + 3.f)) / 4.5f;
                const float flame = std::exp(-(fx0 * fx0 + fy0 * fy0));
                if (flame > 0.25f) {
                    v = lit(84.f + 20.f * flame, x, y, false);
                    ground = false;
                }
            }
            // The basket: a wicker box a little wider than the lights strung round
            // it and narrower at its foot, so its outline shows outside the bulbs
            // against the burner's pool of light: warm rows of weave with dark gaps
            // between them, a flame-lit rim, and sides and foot in the darkest lit
            // colour (not black: the shrinking trails sweep it, and a dot adding onto
            // black only climbs to a dim grey disc).
            {
                const float depth = fy - (basket_top - 2.f);
                const float half = 14.5f - 2.f * clamp01(depth / 19.f);
                const float across = (fx - b_mid) / half;
                if (depth >= 0.f && depth < 19.f && std::fabs(across) <= 1.f) {
                    ground = false;
                    // Lighter toward the moon on the right; upright stakes staggered.
                    const int row = int(depth);
                    float u = 74.f + 6.f * across;
                    if (row % 3 == 2) u = float(LIT);
                    else if ((x + (row / 3) * 2) % 4 == 0) u -= 10.f;
                    if (row < 2) u = row == 0 ? 100.f : 88.f;  // the rim
                    if (row >= 2 && (std::fabs(across) * half > half - 2.f || row >= 18 || row == 2)) u = float(LIT);
                    v = lit(u, x, y, false);
                }
                // Its shadow on the lit ground.
                const float sx = (fx - b_mid) / 16.f, sy = (fy - (basket_top + 17.5f)) / 1.6f;
                if (depth >= 19.f && sx * sx + sy * sy < 1.f && v >= LIT) v = lit(std::max(44.f, float(v) - 14.f), x, y, false);
            }

            // The light strings the dots run along.
            if (heart.string.at(x, y) > 0.45f || round.string.at(x, y) > 0.45f) {
                v = lit(55.f, x, y, false);
                ground = false;
            }
            out.at(x, y) = v;
            is_ground.at(x, y) = ground ? 1.f : 0.f;
        }

    // The lake between the village and the near bank: the rows above mirrored about
    // the far shore, each row shifted a little by the ripples, a shade darker and
    // laid in dark ripple lines; the lit windows and the flame run down it as
    // streaks of light.
    for (int y = int(HORIZON); y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (is_ground.at(x, y) <= 0.5f || float(y) >= bank_top(float(x))) continue;
            const float depth = (float(y) - HORIZON) / 30.f;
            // Long slow swells, a pixel or two, so the mirrored shapes stay whole.
            const float wob = (0.4f + 0.9f * depth) * std::sin(float(y) * 0.7f + 2.f * fbm(float(x) / 60.f, float(y) / 4.f, 1060, 2));
            const int xr = std::clamp(x + int(std::lround(wob)), 0, W - 1);
            const int yr = std::clamp(int(2.f * HORIZON) - 1 - y, 0, H - 1);
            int best = out.at(xr, yr);
            // Light sources stretch straight down the water, unbent by the swell,
            // so a lit window mirrors as one clean streak instead of loose bits.
            if (out.at(x, yr) >= 84) best = out.at(x, yr);
            for (int k = 1; k <= 1 + int(3.f * depth) && yr + k < int(HORIZON); ++k) {
                const int above = out.at(x, yr + k);
                if (above >= 84) best = std::max(best, above - 3 * k);
            }
            float u = best < LIT ? 0.f : float(best);
            // The mirrored sky sinks deeper than the sky itself; only the lights
            // keep their strength on the water.
            if (u >= 84.f) u = float(LIT) + 4.f + (u - float(LIT)) * 0.75f;
            else if (u > 0.f) u = float(LIT) + 1.f + (u - float(LIT)) * 0.55f;
            // Dark ripple lines, more of them toward the bank.
            // Long dashes, fewer of them: calm water, not a speckle.
            if (hash2(x / 16, y, 1061) > 0.78f - 0.25f * depth) u = std::max(u - 5.f, u > 0.f ? float(LIT) : 0.f);
            // The dark shapes mirror as the darkest lit colour, not black: the
            // shrinking trails sweep the whole lake, and a dot adding onto black
            // would only climb to a dim grey disc.
            out.at(x, y) = u <= 0.f ? uint8_t(LIT) : lit(u, x, y, false);
        }

    // People watching the night-glow: small dark figures on the near bank against
    // the lake and the burner's pool of light, gathered left of the basket, clear
    // of where the shrinking trails sweep the bank (a dot adding onto black only
    // climbs to a dim grey disc): grown-ups in coats, one in a skirt, children, a
    // couple hand in hand.
    {
        static const char* const man[] = {".XX.", ".XX.", "XXXX", "XXXX", "XXXX", "XXXX", ".XX.", ".XX.", ".X.X", ".X.X"};
        static const char* const woman[] = {".XX.", ".XX.", ".XX.", "XXXX", "XXXX", ".XX.", "XXXX", "XXXX", ".X.X"};
        static const char* const child[] = {".X.", "XXX", "XXX", "XXX", "X.X", "X.X"};
        static const char* const couple[] = {".XX...XX.", ".XX...XX.", "XXXX.XXXX", "XXXXXXXXX", "XXXX.XXXX",
                                             ".XX...XX.", ".XX..XXXX", ".X.X.XXXX", ".X.X..X.X"};
        struct Figure {
            const char* const* rows;
            int count, x, foot;
        };
        const Figure people[] = {{woman, 9, 162, 194}, {man, 10, 168, 196}, {child, 6, 174, 196},
                                 {couple, 9, 181, 197}, {man, 10, 194, 195}, {child, 6, 200, 196}};
        for (const Figure& f : people)
            for (int r = 0; r < f.count; ++r) {
                const int y = f.foot - f.count + 1 + r;
                for (int c = 0; f.rows[r][c]; ++c) {
                    const int x = f.x + c;
                    if (f.rows[r][c] != 'X' || x >= W || y >= H) continue;
                    out.at(x, y) = resting.at(x, y) > 0.f ? uint8_t(LIT) : uint8_t(0);
                }
            }
    }

    // The heart's string, from its knot down to a stake in the meadow.
    {
        Canvas c(W, H);
        cairo_move_to(c.cr, knot_x, knot_y);
        cairo_curve_to(c.cr, knot_x + 6, knot_y + 8, stake_x - 4, stake_y - 12, stake_x, stake_y);
        cairo_set_source_rgb(c.cr, 1, 1, 1);
        cairo_set_line_width(c.cr, 1.0);
        cairo_stroke(c.cr);
        const Plane string = c.alpha();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (string.at(x, y) > 0.5f && heart.inside.at(x, y) <= 0.5f) out.at(x, y) = lit(70.f, x, y, false);
    }

    // The moon, low in the half that stays: it outlasts the dusk; a faint halo round it.
    // It stands below the end of the farewell line, clear of its last letters.
    constexpr int MOON_X = 298, MOON_Y = 45;
    Canvas mc(W, H);
    cairo_arc(mc.cr, MOON_X, MOON_Y, 9, 0, 2 * M_PI);
    cairo_set_source_rgb(mc.cr, 1, 1, 1);
    cairo_fill(mc.cr);
    cairo_set_operator(mc.cr, CAIRO_OPERATOR_CLEAR);
    cairo_arc(mc.cr, MOON_X + 4.5, MOON_Y - 3, 8, 0, 2 * M_PI);
    cairo_fill(mc.cr);
    const Plane moon = mc.alpha();

    // The farewell, bold, over a dark edge that parts it from the sky.
    Canvas tc(W, H), sc(W, H);
    const char* face = "DejaVu Serif Bold Italic";
    for (cairo_t* cr : {tc.cr, sc.cr}) {
        text_path_centred(cr, "thank you for watching", face, 19.5, 155, 18, 0.6);
        cairo_set_source_rgb(cr, 1, 1, 1);
    }
    // The face set a little heavier than its bold, and a dark edge round it with
    // a shadow one pixel down and right, so the line reads as type with weight.
    cairo_set_line_width(tc.cr, 0.9);
    cairo_set_line_join(tc.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(tc.cr);
    cairo_fill(tc.cr);
    cairo_set_line_width(sc.cr, 2.6);
    cairo_set_line_join(sc.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(sc.cr);
    cairo_fill(sc.cr);
    const Plane text = tc.alpha(), edge = sc.alpha();
    auto shadow = [&](int x, int y) { return x >= 1 && y >= 1 && text.at(x - 1, y - 1) > 0.4f; };

    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float mh = std::hypot(float(x) - float(MOON_X), float(y) - float(MOON_Y));
            if (mh < 22.f && mh > 9.f && out.at(x, y) < DIMS)
                out.at(x, y) = lit(sky(float(x), float(y)) + 4.f * (1.f - smoothstep(9.f, 22.f, mh)), x, y);
            if (moon.at(x, y) > 0.25f) out.at(x, y) = lit(76.f + 16.f * moon.at(x, y), x, y);
            // Cream at the top of the letters warming to gold at their feet, so
            // the line reads as lit lettering with weight, not a pale caption.
            if (text.at(x, y) > 0.4f) out.at(x, y) = lit(114.f - 22.f * clamp01(float(y - 8) / 19.f), x, y, false);
            // The shadow in black: the lit ramp's darkest colour is the sky's own
            // night teal. A dot crossing it climbs through black into that teal.
            else if (shadow(x, y)) out.at(x, y) = 0;
            else if (edge.at(x, y) > 0.3f) out.at(x, y) = uint8_t(LIT);
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
    return out;
}

// ---------------------------------------------------------------- the sprites

// One line of a sprite's lettering: the text set as large as fits its box.
struct Line {
    const char* text;
    double x, y, w, h;
};

// Lettering in the farewell line's face, in two manners. Flat lettering is set
// as that line is: light letters inside a black edge with a black shadow down and
// to the right, so it reads over the pale heart where it comes to rest and over
// the night sky it slides across. `round` is dark letters inside a light edge two
// pixels deep, thickened past the face's weight and shaded as if printed on the
// curved envelope, lit as the envelope is from the moon on the right, each stroke
// bevelled toward it. Black pixels stay black: a dot climbs them into the teal.
// No dot may carry a lit letter pixel past 148 wherever the sprite stands while
// the dots run: such pixels are darkened (which holds the flat letters to salmon),
// or where no lit colour is dark enough, moved to the half that dims, where the
// sum saturates instead of wrapping to its dark start.
Indexed lettering(int sw, int sh, std::initializer_list<Line> lines, const char* font, const Plane& reach,
                  bool round = false) {
    Canvas c(sw, sh);
    for (const Line& l : lines) {
        const double px = fit_text(c.cr, l.text, font, l.w, l.h, 0.6);
        const TextBox b = text_extents(c.cr, l.text, font, px, 0.6);
        text_path(c.cr, l.text, font, px, l.x + (l.w - b.w) / 2, l.y + (l.h - b.h) / 2, 0.6);
    }
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    // Thickened past the face's own weight; the italic capitals less, or their
    // counters close at this size.
    cairo_set_line_width(c.cr, round ? 1.1 : 0.5);
    cairo_set_line_join(c.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(c.cr);
    cairo_fill(c.cr);
    const Plane a = c.alpha();
    auto face = [&](int xx, int yy) { return xx >= 0 && yy >= 0 && xx < sw && yy < sh && a.at(xx, yy) > 0.5f; };
    auto near = [&](int xx, int yy, int r) {
        for (int j = -r; j <= r; ++j)
            for (int i = -r; i <= r; ++i)
                if (i * i + j * j <= r * r + 1 && face(xx + i, yy + j)) return true;
        return false;
    };
    Indexed out(sw, sh, SPRITE_KEY);
    for (int yy = 0; yy < sh; ++yy)
        for (int xx = 0; xx < sw; ++xx) {
            int v = SPRITE_KEY;
            if (face(xx, yy)) {
                float t = 42.f + 3.f * float(yy) / float(sh);
                if (round) {
                    const float s = (float(xx) + 0.5f) / float(sw) * 2.f - 1.f;
                    // Lit as the envelope is: the moon on its right, the left in shade.
                    const float across = 0.45f * s + 0.7f * std::sqrt(std::max(0.f, 1.f - s * s));
                    const float light = clamp01((across + 0.45f) / 1.29f);
                    t = 42.f + 22.f * light * light * (0.75f + 0.25f * (1.f - float(yy) / float(sh)));
                    // Each stroke bevelled: its upper right catches the light.
                    if (!face(xx + 1, yy - 1)) t += 14.f;
                    else if (!face(xx + 2, yy - 2)) t += 6.f;
                }
                v = lit(t, xx, yy, round);
                // Flat lettering is coloured as the farewell line is: cream at the
                // top of the letters warming to gold at their feet, each stroke's
                // upper right edge a little brighter.
                if (!round) v = lit(112.f - 22.f * float(yy) / float(sh) + (face(xx + 1, yy - 1) ? 0.f : 6.f), xx, yy, false);
            } else if (!round && (near(xx, yy, 1) || face(xx - 1, yy - 1) || face(xx - 2, yy - 2))) {
                // A black edge and a shadow down and to the right part the light
                // letters from the pale heart as well as from the night sky.
                v = 0;
            } else if (round && near(xx, yy, 1)) {
                v = lit(104.f, xx, yy, false);
            } else if (round && near(xx, yy, 2)) {
                v = lit(70.f, xx, yy, false);
            }
            if (v == SPRITE_KEY) continue;
            const int room = TOP - int(reach.at(xx, yy));
            if (v < LIT) out.at(xx, yy) = uint8_t(v);  // black: a dot climbs it into the teal
            else out.at(xx, yy) = uint8_t(room >= LIT ? std::min(v, room) : std::clamp(v + (DIMS - LIT), DIMS + 1, 255));
        }
    return out;
}

// Three sky lanterns drifting in over the heart: paper wider at the top, glowing
// from the flame at its open mouth, brightest low. They
// come to rest in the sky above the heart's small lobe; where the dots pass over
// them they are held down like the lettering.
Indexed lanterns(const Plane& reach) {
    struct Lantern {
        int x, y, w, h;  // body box; the top row is the widest
    };
    const Lantern all[] = {{2, 8, 6, 8}, {12, 2, 7, 10}, {23, 0, 5, 7}};
    Indexed out(UPPERA_W, UPPERA_H, SPRITE_KEY);
    auto put = [&](int xx, int yy, int v) {
        if (xx < 0 || yy < 0 || xx >= UPPERA_W || yy >= UPPERA_H) return;
        const int room = TOP - int(reach.at(xx, yy));
        out.at(xx, yy) = uint8_t(room >= LIT ? std::min(v, room) : int(SPRITE_KEY));
    };
    for (const Lantern& l : all) {
        for (int yy = l.y; yy < l.y + l.h; ++yy) {
            const float t = float(yy - l.y) / float(l.h - 1);
            // The body tapers by a pixel each side over its lower half.
            const int inset = t > 0.55f ? 1 : 0;
            for (int xx = l.x + inset; xx < l.x + l.w - inset; ++xx) {
                const bool edge = xx == l.x + inset || xx == l.x + l.w - inset - 1;
                put(xx, yy, lit(80.f + 20.f * t - (edge ? 6.f : 0.f), xx, yy, false));
            }
        }
        // The flame in the mouth.
        put(l.x + l.w / 2, l.y + l.h, lit(112.f, 0, 0, false));
        if (l.w % 2 == 0) put(l.x + l.w / 2 - 1, l.y + l.h, lit(108.f, 0, 0, false));
    }
    return out;
}

}  // namespace

void register_scene10() {
    auto& r = registry();
    r.push_back({"apfrm", W, H, -1, &scene10_palette, draw_apfrm});
    // "THE END" across the heart's belly, the show's initial on the hot-air
    // balloon's envelope, sky lanterns over the heart; each box sits where its
    // sprite comes to rest, clear of the strings.
    r.push_back({"dotp", DOTP_W, DOTP_H, SPRITE_KEY, &scene10_palette, [] {
                     return lettering(DOTP_W, DOTP_H, {{"K", 3, 7, 30, 42}}, "DejaVu Serif Bold Italic", dot_reach().dotp, true);
                 }});
    r.push_back({"lowera", LOWERA_W, LOWERA_H, SPRITE_KEY, &scene10_palette, [] {
                     return lettering(LOWERA_W, LOWERA_H, {{"THE", 2, 0, 33, 13}, {"END", 1, 16, 34, 17}},
                                      "DejaVu Serif Bold Italic", dot_reach().lowera);
                 }});
    r.push_back({"uppera", UPPERA_W, UPPERA_H, SPRITE_KEY, &scene10_palette, [] { return lanterns(dot_reach().uppera); }});
}

}  // namespace art
