// Scene 1, tunnel phase: the two tunnel coordinate maps (tube_x, tube_y), the eight
// band colours (tunnel), the picture frame around the tunnel (frm1 left, frm2
// bottom, frm3 inner edge keyed by 0) and the breathing caption (sclpic), which is
// added onto the black slot of frm2.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// The tunnel's vanishing point, inside the frame's opening (columns 132..319,
// rows 0..143), and the squash that makes its rings round on a 4:3 screen, where a
// pixel is 1.2 times as tall as it is wide.
constexpr float TUNNEL_CX = 238.f, TUNNEL_CY = 70.f, PIXEL_ASPECT = 1.2f;
// The scene colours a pixel by band (angle + depth) >> 6, so lines of equal colour
// are spirals. Depth is TUBE_DEPTH / r, a tube seen end-on in perspective: a band is
// 64 r^2 / TUBE_DEPTH pixels wide, 30 to 50 near the opening's edge and under a
// pixel at the far end. The band colours repeat every four bands (256 units), so the
// angle makes TUBE_TURNS whole repeats per turn (two spiral arms) and its wrap, like
// the depth map's, lands on the same colour.
constexpr float TUBE_DEPTH = 20000.f;
constexpr int TUBE_TURNS = 2;
// Band widths (pixels) between which the far end fades into its haze.
constexpr float FOG_FULL = 0.4f, FOG_NONE = 1.6f;

float tube_radius(int x, int y) {
    float dx = float(x) - TUNNEL_CX, dy = (float(y) - TUNNEL_CY) * PIXEL_ASPECT;
    return std::sqrt(dx * dx + dy * dy);
}

// Angle around the vanishing point: 0..255 TUBE_TURNS times per turn, wrapping.
Indexed draw_tube_x() {
    Indexed out(320, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            float dx = float(x) - TUNNEL_CX, dy = (float(y) - TUNNEL_CY) * PIXEL_ASPECT;
            float turn = (std::atan2(dy, dx) + float(M_PI)) / (2.f * float(M_PI));
            out.at(x, y) = uint8_t(int(turn * 256.f * float(TUBE_TURNS)) & 255);
        }
    return out;
}

// Depth, wrapping every 255. At the far end, where bands would shrink below a pixel
// and shimmer, the depth stops growing and a 2 x 2 pattern spreads each four
// neighbours over a whole colour repeat: the scene's smoothing averages them into one
// steady haze, the mean of the band colours, whatever the flow.
Indexed draw_tube_y() {
    Indexed out(320, 200);
    const int spread[2][2] = {{0, 2}, {3, 1}};
    // Radius where a band is FOG_FULL pixels wide: inside it the depth stops growing.
    const float r_far = std::sqrt(FOG_FULL * TUBE_DEPTH / 64.f);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            float r = tube_radius(x, y);
            float band_px = 64.f * r * r / TUBE_DEPTH;  // width of one band here
            float fog = 1.f - smoothstep(FOG_FULL, FOG_NONE, band_px);
            float depth = TUBE_DEPTH / std::max(lerp(r, r_far, fog), 1.f) +
                          fog * 64.f * float(spread[y & 1][x & 1]);
            out.at(x, y) = uint8_t(int(depth) % 255);
        }
    return out;
}

// Four colours repeated twice, so a wrap of either map (a jump of four bands) lands
// on the same colour: dark brown, brown, orange, light orange, each spiral arm lit
// toward its leading edge. All lie on the dark-to-bright run 176..223, so the
// scene's smoothing, which averages indices, blends neighbours into in-between
// shades; the haze at the far end is their mean, a mid brown.
Indexed draw_tunnel_bands() {
    Indexed out(8, 1);
    const uint8_t bands[8] = {178, 192, 212, 221, 178, 192, 212, 221};
    for (int i = 0; i < 8; ++i) out.v[i] = bands[i];
    return out;
}

// Metal in the tunnel palette's greys: t = 0 white .. 1 near black (1..63).
uint8_t metal(float t, int x, int y) { return ramp_index(t, 1, 63, x, y); }

// Brushed metal with a bevel of width b around (0, 0, w, h).
float brushed(int x, int y, int w, int h, int b) {
    int e = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
    float base = 0.45f + 0.12f * (fbm(x / 60.f, y / 3.f, 31, 3) - 0.5f);
    if (e < b) {
        bool lit = (y < b && y <= x && y <= w - 1 - x) || (x < b && x <= y && x <= h - 1 - y);
        return lit ? 0.15f + 0.03f * e : 0.78f - 0.03f * e;
    }
    return base;
}

Indexed draw_frm1() {
    const int W = 132, H = 144;
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float t = brushed(x, y, W, H + 20, 4);
            // Grooves every 12 rows.
            if (y % 12 == 0 && y > 4) t = 0.8f;
            if (y % 12 == 1 && y > 4) t = 0.2f;
            // A round badge with a porthole in it.
            float dx = x - 64.f, dy = y - 70.f, r = std::sqrt(dx * dx + dy * dy);
            if (r < 46.f) {
                float lit = (-dx - dy) / (r + 1e-3f);
                if (r > 40.f) t = 0.45f - 0.3f * lit;
                else if (r > 34.f) t = 0.9f;
                else t = 0.55f - 0.35f * (1.f - r / 34.f) + 0.12f * lit;
            }
            out.at(x, y) = metal(t, x, y);
        }
    // The letter K embossed on the porthole.
    Canvas c(W, H);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    text_path_centred(c.cr, "K", "DejaVu Serif Bold", 46, 64, 70);
    cairo_fill(c.cr);
    Plane a = c.alpha();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (a.at(x, y) > 0.5f) {
                float shade = (x + 1 < W && y + 1 < H && a.at(x + 1, y + 1) < 0.5f) ? 0.85f : 0.06f + 0.004f * float(y - 45);
                out.at(x, y) = metal(shade, x, y);
            }
        }
    return out;
}

// The inner edge of the frame: metal on the left, an arched opening on the right.
Indexed draw_frm3() {
    const int W = 52, H = 144;
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y) {
        float v = (float(y) - 72.f) / 72.f;
        float edge = 6.f + 44.f * v * v * v * v;
        for (int x = 0; x < W; ++x) {
            if (float(x) >= edge + 3.f) continue;
            float t;
            if (float(x) >= edge) t = 0.12f;  // lit lip of the arch
            else if (float(x) >= edge - 2.f) t = 0.85f;
            else t = brushed(x + 132, y, 300, H + 20, 0);
            out.at(x, y) = metal(t, x, y);
        }
    }
    return out;
}

// The bottom bar: bevelled metal with a recessed black slot (index 0) where the
// caption breathes (columns 20..300, rows 10..55).
Indexed draw_frm2() {
    const int W = 320, H = 56;
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float t = brushed(x, y, W, H + 10, 4);
            bool slot = x >= 20 && x <= 300 && y >= 10;
            if (slot) {
                out.at(x, y) = 0;
                continue;
            }
            if (x >= 17 && x <= 303 && y >= 7) t = (x < 20 || y < 10) ? 0.85f : 0.2f;  // slot rim
            // Rivets.
            for (int rx : {9, 310}) {
                float dx = x - rx, dy = y - 30.f;
                if (dx * dx + dy * dy < 9.f) t = dx + dy < 0 ? 0.1f : 0.75f;
            }
            out.at(x, y) = metal(t, x, y);
        }
    return out;
}

// The breathing caption: orange letters with a brown glow, on key 0.
Indexed draw_sclpic() {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 3;
    st.edge_width = 4;
    st.edge_index = 182;
    return text_sprite(174, 33, "DEEPER", st, 0,
                       [](int x, int y, float) { return ramp_index(float(y - 4) / 25.f, 223, 209, x, y); });
}

}  // namespace

void register_scene01_tunnel() {
    auto& r = registry();
    r.push_back({"tube_x", 320, 200, -1, nullptr, draw_tube_x});
    r.push_back({"tube_y", 320, 200, -1, nullptr, draw_tube_y});
    r.push_back({"tunnel", 8, 1, -1, &tunnel_palette, draw_tunnel_bands});
    r.push_back({"frm1", 132, 144, -1, &tunnel_palette, draw_frm1});
    r.push_back({"frm2", 320, 56, -1, &tunnel_palette, draw_frm2});
    r.push_back({"frm3", 52, 144, 0, &tunnel_palette, draw_frm3});
    r.push_back({"sclpic", 174, 33, 0, &tunnel_palette, draw_sclpic});
}

}  // namespace art
