// Scene 1, curves phases: the framed background (frm01) and the credit captions
// keyed by 38 (gaia, jar, bizk, nudge, ephoy). The two small portraits are in
// scene01_portraits.cpp.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"
#include "scene01.h"
#include "scenes/palettes.h"

namespace art {
namespace scene01 {
namespace {

// The curves' lines add 5..23 and their points up to 63 to the picture, stopping
// at 190. On the curves palette everything here lies low on the cool ramp, in its
// navy trough and the first half of its climb (about 36..125), so whatever the
// curves add climbs toward the pale peak and reads as light. The picture is a view
// from orbit: the lit limb of a planet curving across the lower part of the frame,
// its night side in deep navy with faint cloud bands, a thin atmosphere glowing
// along the edge where a sun is about to rise, and above it a dark sky with a
// drifting nebula and sharp stars.
constexpr float SKY_DEEP = 40.f, SKY_HAZE = 56.f;  // sky at the top, and over the limb
constexpr float NEBULA = 58.f;                      // the nebula's brightest wisps add this
constexpr float NIGHT = 44.f, DAY = 88.f;           // the planet's dark and lit ground
constexpr float LIMB = 122.f;                       // the sunlit rim of the atmosphere
// The planet: a sphere far larger than the frame, its top edge just below the
// middle of the frame.
constexpr float PX = 96.f, PY = 420.f, PR = 300.f;
constexpr float SUN_X = 206.f;  // where the sun sits on the limb, behind the planet

// The bezel round the portraits' recess starts where the portrait sprites do.
constexpr int BEZEL_X = 246, BEZEL_Y = 110;
constexpr float EMBLEM_R = 23.f, EMBLEM_K = 30.f;  // the orb's radius, the K's size (pixels)

// Frame colours on the cool ramp: pale cyan lit faces, a shaded blue-teal and the
// ramp's dark teal end for the lines between.
constexpr int FRAME_DARK = 190, FRAME_LIT_FROM = 7, FRAME_LIT_TO = 16, FRAME_SHADE_FROM = 27,
              FRAME_SHADE_TO = 33;

// Ramp positions (index units, fractional) of the sky at (x, y).
float sky(int x, int y) {
    const float fx = float(x), fy = float(y);
    const float d = std::hypot(fx - PX, fy - PY) - PR;  // height above the limb, pixels
    float v = lerp(SKY_HAZE, SKY_DEEP, smoothstep(0.f, 120.f, d));
    // The atmosphere: a glow hugging the limb, strongest toward the sun.
    const float sun = std::exp(-std::fabs(fx - SUN_X) / 70.f);
    v += (14.f + 30.f * sun) * std::exp(-d / (5.f + 10.f * sun));
    // The nebula: a band of wisps running from the upper left down to the right,
    // ridged so that it shows filaments and dark lanes.
    const float along = (fx * 0.8f + fy * 0.6f), across = (-fx * 0.6f + fy * 0.8f);
    const float band = std::exp(-std::pow((across - 10.f - 0.0012f * along * along) / 46.f, 2.f));
    const float cloud = fbm(fx / 46.f, fy / 34.f, 71, 5);
    const float ridge = 1.f - turbulence(fx / 30.f, fy / 22.f, 73, 4);
    const float wisp = std::clamp((cloud - 0.34f) * 2.8f, 0.f, 1.f) * (0.35f + 0.65f * ridge * ridge);
    v += NEBULA * band * wisp * smoothstep(6.f, 40.f, d);
    return v;
}

// Ramp position of the planet's surface at (x, y), inside the limb.
float planet(int x, int y) {
    const float dx = float(x) - PX, dy = float(y) - PY;
    const float z = std::sqrt(std::max(0.f, PR * PR - dx * dx - dy * dy));
    const float nx = dx / PR, ny = dy / PR, nz = z / PR;
    // The sun low behind the planet's edge, up and to the right: it lights a thin
    // crescent along the limb and leaves the face toward us in the night.
    const float lx = 0.35f, ly = -0.55f, lz = -0.76f;
    const float lit = std::max(0.f, nx * lx + ny * ly + nz * lz);
    // Cloud bands along the latitudes, broken by storms.
    const float lat = std::asin(std::clamp(-ny, -1.f, 1.f)), lon = std::atan2(nx, nz);
    const float bands = fbm(lon * 9.f, lat * 60.f, 81, 4);
    const float storms = fbm(lon * 30.f, lat * 90.f, 83, 3);
    const float tex = std::clamp(0.35f + 0.9f * (bands - 0.5f) + 0.5f * (storms - 0.5f), 0.f, 1.f);
    float v = NIGHT + 6.f * tex + (DAY - NIGHT) * std::pow(lit, 0.8f) * (0.6f + 0.6f * tex);
    // The atmosphere seen edge-on: the last pixels inside the limb brighten.
    const float depth = PR - std::hypot(dx, dy);  // pixels inside the limb
    const float sun = std::exp(-std::fabs(float(x) - SUN_X) / 60.f);
    v = lerp(v, LIMB * (0.7f + 0.3f * sun), std::exp(-depth / (1.2f + 2.f * sun)) * (0.55f + 0.45f * sun));
    return v;
}

}  // namespace

float frm01_view(float x, float y) {
    // Four samples a pixel along the limb, so the planet's edge is smooth.
    float sum = 0;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const float sx = x + 0.25f + 0.5f * float(i), sy = y + 0.25f + 0.5f * float(j);
            const int px = int(std::floor(x)), py = int(std::floor(y));
            sum += std::hypot(sx - PX, sy - PY) < PR ? planet(px, py) : sky(px, py);
        }
    return sum / 4.f;
}

Indexed draw_frm01() {
    const int W = 320, H = 200;
    std::vector<float> t(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) t[size_t(y) * W + x] = frm01_view(float(x), float(y));
    // Stars in the sky: single sharp pixels on the white end of the ramp (1..30
    // run from white down to the trough), the brightest with a small cross.
    Rng rng(5);
    for (int i = 0; i < 110; ++i) {
        const int x = int(rng.range(8, 312)), y = int(rng.range(8, 150));
        const float b = rng.uniform();
        if (std::hypot(float(x) - PX, float(y) - PY) < PR + 4.f) continue;
        t[size_t(y) * W + x] = -(b * b * 28.f + 2.f);  // negative: an index below the trough
        if (b > 0.9f)
            for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) t[size_t(y + oy) * W + x + ox] = -26.f;
    }
    // Depth behind the sharp stars: a field of faint ones 10..26 ramp steps above
    // the sky (capped at 104, well under the limb), so the dark reads as far rather
    // than empty and the curves over them still climb toward the light.
    Rng faint(7);
    for (int i = 0; i < 420; ++i) {
        const int x = int(faint.range(8, 312)), y = int(faint.range(8, 160));
        const float b = faint.uniform();
        if (std::hypot(float(x) - PX, float(y) - PY) < PR + 3.f) continue;
        float& v = t[size_t(y) * W + x];
        if (v < 0.f) continue;  // a sharp star already
        v = std::min(v + 10.f + 16.f * b, 104.f);
    }
    // The emblem for the phase that shows no portrait, in the recess's coordinates:
    // a glass orb lit from the upper left in a steel ring, a K standing out of it,
    // all on a soft backlight. A K mask drawn at 4x and averaged down; the rest shaded
    // per pixel. Values are cool-ramp positions (40 navy .. 150 pale), kept under the
    // peak so that the curves passing over it still brighten it.
    Plane emblem(W - NICHE_X, H - NICHE_Y);
    const float ecx = (NICHE_BEVEL + (emblem.w - FRAME_EDGE)) / 2.f, ecy = (NICHE_BEVEL + (emblem.h - FRAME_EDGE)) / 2.f;
    {
        const int ss = 4, ew = emblem.w, eh = emblem.h;
        Canvas kc(ew * ss, eh * ss);
        cairo_set_source_rgb(kc.cr, 1, 1, 1);
        text_path_centred(kc.cr, "K", "DejaVu Sans Bold", EMBLEM_K * ss, ecx * ss, ecy * ss);
        cairo_fill(kc.cr);
        const Plane big = kc.alpha();
        Plane k(ew, eh);
        for (int y = 0; y < eh; ++y)
            for (int x = 0; x < ew; ++x) {
                float sum = 0;
                for (int j2 = 0; j2 < ss; ++j2)
                    for (int i2 = 0; i2 < ss; ++i2) sum += big.at(x * ss + i2, y * ss + j2);
                k.at(x, y) = sum / float(ss * ss);
            }
        auto kin = [&](int x, int y) { return x >= 0 && y >= 0 && x < ew && y < eh && k.at(x, y) >= 0.5f; };
        const float lx = -0.52f, ly = -0.62f, lz = 0.59f;  // light from the upper left, toward us
        for (int y = 0; y < eh; ++y)
            for (int x = 0; x < ew; ++x) {
                const float dx = float(x) + 0.5f - ecx, dy = float(y) + 0.5f - ecy;
                const float r = std::hypot(dx, dy);
                // Backlight behind the orb, and faint scan lines on the glass.
                float g = SKY_DEEP + 46.f * std::exp(-std::pow(r / 28.f, 2.f)) + (y % 3 == 0 ? 4.f : 0.f);
                if (r < EMBLEM_R) {
                    const float nx = dx / EMBLEM_R, ny = dy / EMBLEM_R, nz = std::sqrt(std::max(0.f, 1.f - nx * nx - ny * ny));
                    const float lam = std::max(0.f, nx * lx + ny * ly + nz * lz);
                    const float rz = 2.f * lam * nz - lz;  // reflected light toward the viewer
                    const float spec = std::pow(std::max(0.f, rz), 24.f);
                    const float rim = std::pow(1.f - nz, 3.f);  // the backlight caught at the edge
                    g = 42.f + 100.f * std::pow(lam, 1.6f) + 34.f * rim * (ny > 0.f ? 1.f : 0.4f) + 60.f * spec;
                } else if (r < EMBLEM_R + 1.f) {
                    g = 40.f;  // the dark gap between orb and ring
                } else if (r < EMBLEM_R + 4.f) {
                    // Steel ring, lit on its upper left, with a bright line along its crown.
                    const float face = -(dx * lx + dy * ly) / r;
                    const float crown = 1.f - std::fabs(r - EMBLEM_R - 2.5f) / 1.5f;
                    g = 80.f + 55.f * face + 25.f * crown;
                } else if (r < EMBLEM_R + 5.f) {
                    g = 40.f;
                }
                // The K stands out of the orb: a pale face, lit along its upper-left
                // edges, a dark shadow cast down and to the right.
                if (kin(x, y)) {
                    g = !kin(x - 1, y - 1) ? 152.f : 118.f + 24.f * (1.f - float(y) / float(eh));
                } else if (kin(x - 1, y - 1) || kin(x - 2, y - 2)) {
                    g = 40.f;
                }
                emblem.at(x, y) = std::clamp(g, 40.f, 152.f);
            }
    }
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float tv = t[size_t(y) * W + x];
            uint8_t v = tv < 0.f ? uint8_t(std::clamp(int(-tv), 1, 35)) : ramp_index(tv / 255.f, 0, 255, x, y);
            // The frame: dark line, bevel lit on its top and left faces, dark line.
            const int e = std::min(std::min(x, W - 1 - x), std::min(y, H - 1 - y));
            if (e == 0 || e == FRAME_EDGE - 1) {
                v = FRAME_DARK;
            } else if (e < FRAME_EDGE - 1) {
                const bool lit = (y == e && x >= e && x <= W - 1 - e) || (x == e && y >= e && y <= H - 1 - e);
                const float along = float(lit ? x + y : (W - x) + (H - y)) / float(W + H);
                v = lit ? ramp_index(along, FRAME_LIT_FROM, FRAME_LIT_TO, x, y)
                        : ramp_index(along, FRAME_SHADE_TO, FRAME_SHADE_FROM, x, y);
            } else if (e < FRAME_EDGE + 2) {
                v = 40;  // the frame's shadow: the darkest entry of the trough
            }
            // A raised bezel round the recess, as wide as the portraits reach beyond
            // it, so that their sprites' edges are part of the frame.
            if (e >= FRAME_EDGE && x >= BEZEL_X && y >= BEZEL_Y && (x < NICHE_X || y < NICHE_Y)) {
                const int bx = x - BEZEL_X, by = y - BEZEL_Y;
                if (bx == 0 || by == 0) v = FRAME_DARK;
                else if (by < NICHE_Y - BEZEL_Y && bx >= by) v = ramp_index(float(x) / float(W), FRAME_LIT_FROM, FRAME_LIT_TO, x, y);
                else v = ramp_index(float(y) / float(H), FRAME_LIT_TO, FRAME_SHADE_FROM, x, y);
            }
            // The portraits' recess: a bevel shaded on top and left (it is sunk),
            // and inside it the emblem for the phase that shows no portrait.
            if (x >= NICHE_X && y >= NICHE_Y && e >= FRAME_EDGE) {
                const int ix = x - NICHE_X, iy = y - NICHE_Y;
                if (ix == 0 || iy == 0) v = FRAME_DARK;
                else if (ix < NICHE_BEVEL || iy < NICHE_BEVEL) v = uint8_t(ix < iy ? FRAME_SHADE_TO : FRAME_SHADE_FROM);
                else
                    v = ramp_index(emblem.at(ix, iy) / 255.f, 0, 255, x, y);
            }
            if (v == 38) v = 37;  // 38 is the captions' key; keep it out of pictures
            out.at(x, y) = v;
        }
    return out;
}

namespace {

// A caption in the orange ramp on key 38, cut hard so it sits on the blue frame
// with no fringe: the glyphs stroked outward by `bold` pixels for weight, a lit top
// edge on every stroke, the face darkening downward through the orange ramp, a
// two-pixel extrusion down and to the right in dark red and a one-pixel dark edge
// round the whole, so the words stand off the sky as raised lettering.
Indexed caption(int w, int h, const std::string& text, const char* font, double spacing, double bold = 1.2) {
    constexpr int DEPTH = 2;
    Canvas cv(w, h);
    cairo_t* cr = cv.cr;
    const double px = fit_text(cr, text, font, w - 2 - DEPTH - bold, h - 2 - DEPTH - bold, spacing);
    const TextBox box = text_extents(cr, text, font, px, spacing);
    const double x0 = std::floor((w - DEPTH - box.w) / 2), y0 = std::floor((h - DEPTH - box.h) / 2);
    text_path(cr, text, font, px, x0, y0, spacing);
    ink_thickened(cr, bold);
    const Plane cover = cv.alpha();
    auto face = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && cover.at(x, y) >= 0.5f; };
    const double top = y0 - bold / 2, rows = box.h + bold;
    Indexed out(w, h, 38);
    std::vector<bool> body(size_t(w) * h, false);  // face and extrusion
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (face(x, y)) {
                const float t = clamp01(float((y + 0.5 - top) / rows));
                out.at(x, y) = face(x, y - 1) ? uint8_t(std::lround(lerp(192.f, 214.f, t))) : 191;
                body[size_t(y) * w + x] = true;
                continue;
            }
            for (int k = 1; k <= DEPTH; ++k)
                if (face(x - k, y - k)) {
                    out.at(x, y) = uint8_t(238 + 6 * k);  // dark red, darker with depth
                    body[size_t(y) * w + x] = true;
                    break;
                }
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (body[size_t(y) * w + x]) continue;
            bool near = false;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const int nx = x + i, ny = y + j;
                    near |= nx >= 0 && ny >= 0 && nx < w && ny < h && body[size_t(ny) * w + nx];
                }
            if (near) out.at(x, y) = 253;
        }
    return out;
}

}  // namespace
}  // namespace scene01

void register_scene01_curves() {
    using namespace scene01;
    auto& r = registry();
    r.push_back({"frm01", 320, 200, -1, &curves_palette, draw_frm01});
    r.push_back({"gaia", 120, 30, 38, &curves_palette,
                 [] { return caption(120, 30, "VISUALS", "DejaVu Sans Bold", 1); }});
    r.push_back({"jar", 133, 26, 38, &curves_palette,
                 [] { return caption(133, 26, "drawn by code", "DejaVu Serif Bold Italic", 0.5, 0.4); }});
    r.push_back({"bizk", 180, 33, 38, &curves_palette,
                 [] { return caption(180, 33, "SOUND & RHYTHM", "DejaVu Sans Bold", 0.5); }});
    r.push_back({"nudge", 206, 29, 38, &curves_palette,
                 [] { return caption(206, 29, "PROGRAMMING", "DejaVu Sans Bold", 1); }});
    r.push_back({"ephoy", 146, 23, 38, &curves_palette,
                 [] { return caption(146, 23, "every frame by hand", "DejaVu Serif Bold Italic", 0.5, 0.3); }});
    r.push_back({"gpor", 74, 90, -1, &curves_palette, draw_gpor});
    r.push_back({"npor", 71, 89, -1, &curves_palette, draw_npor});
}

}  // namespace art
