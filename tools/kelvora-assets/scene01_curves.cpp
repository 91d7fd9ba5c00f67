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
// at 190. On the curves palette the field sits just where the cool ramp starts to
// climb out of its navy trough (about 55), so a line shows as a thin teal stroke,
// a point as a pale glow, and only where several points pile up do they reach the
// ramp's dark end. The field's detail is a star chart in faint lines a few steps
// above it: circles, degree ticks and a few constellations, quiet enough that the
// thinnest curve still reads over it.
constexpr float FIELD_CENTRE = 55.f, FIELD_EDGE = 47.f;
constexpr float CHART_LINE = 10.f;  // chart lines this far above the field
constexpr float CHART_TICK = 14.f;
constexpr float STAR = 40.f;
constexpr float CX = 150.f, CY = 100.f;  // the chart's centre

// Frame colours on the cool ramp: pale cyan lit faces, a shaded blue-teal and the
// ramp's dark teal end for the lines between.
constexpr int FRAME_DARK = 190, FRAME_LIT_FROM = 7, FRAME_LIT_TO = 16, FRAME_SHADE_FROM = 27,
              FRAME_SHADE_TO = 33;

// The field with its chart, as ramp positions (index units, fractional).
float chart(int x, int y) {
    const float dx = float(x) - CX, dy = float(y) - CY;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float vign = std::min(1.f, (dx * dx / (170.f * 170.f) + dy * dy / (115.f * 115.f)));
    float v = lerp(FIELD_CENTRE, FIELD_EDGE, vign);
    v += 3.f * (fbm(float(x) / 50.f, float(y) / 50.f, 41, 3) - 0.5f);
    float add = 0.f;
    // Rings, the outer one graduated.
    for (float ring : {34.f, 62.f, 118.f})
        add = std::max(add, CHART_LINE * std::clamp(1.f - std::fabs(r - ring), 0.f, 1.f));
    const float ring = 90.f;
    add = std::max(add, CHART_TICK * std::clamp(1.f - std::fabs(r - ring), 0.f, 1.f));
    const float ang = std::atan2(dy, dx) * 180.f / float(M_PI) + 180.f;  // 0..360
    const float to_tick = std::fabs(ang / 5.f - std::round(ang / 5.f)) * 5.f * float(M_PI) / 180.f * r;
    const bool long_tick = std::fabs(ang / 30.f - std::round(ang / 30.f)) * 30.f < 2.5f;
    if (to_tick < 0.6f && r > ring && r < ring + (long_tick ? 6.f : 3.f)) add = std::max(add, CHART_TICK);
    // Cross hairs, dashed.
    if ((std::fabs(dx) < 0.5f || std::fabs(dy) < 0.5f) && int(r) % 6 < 4 && r > 8.f) add = std::max(add, CHART_LINE);
    // A slanted ecliptic ellipse.
    {
        const float a = 0.35f, ex = dx * std::cos(a) + dy * std::sin(a), ey = -dx * std::sin(a) + dy * std::cos(a);
        const float e = std::sqrt(ex * ex / (140.f * 140.f) + ey * ey / (48.f * 48.f));
        if (std::fabs(e - 1.f) * 48.f < 0.6f && (int(ex) / 3) % 2 == 0) add = std::max(add, CHART_LINE);
    }
    return v + add;
}

// A constellation: stars joined by faint lines.
struct Star {
    float x, y, b;
};
void constellation(std::vector<float>& t, const std::vector<Star>& s, const std::vector<std::pair<int, int>>& links) {
    for (auto [a, b] : links) {
        const float len = std::hypot(s[b].x - s[a].x, s[b].y - s[a].y);
        for (float k = 3.f; k < len - 3.f; k += 0.5f) {
            const int x = int(std::lround(lerp(s[a].x, s[b].x, k / len)));
            const int y = int(std::lround(lerp(s[a].y, s[b].y, k / len)));
            float& v = t[size_t(y) * 320 + x];
            v = std::max(v, FIELD_EDGE + CHART_LINE);
        }
    }
    for (const Star& st : s) {
        const int x = int(st.x), y = int(st.y);
        t[size_t(y) * 320 + x] = FIELD_EDGE + STAR * st.b + 20.f;
        if (st.b > 0.6f)
            for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                t[size_t(y + oy) * 320 + x + ox] = std::max(t[size_t(y + oy) * 320 + x + ox], FIELD_EDGE + 14.f);
    }
}

}  // namespace

Indexed draw_frm01() {
    const int W = 320, H = 200;
    std::vector<float> t(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) t[size_t(y) * W + x] = chart(x, y);
    // A few constellations where the curves seldom go: low left, upper right.
    constellation(t, {{30, 150, 0.8f}, {48, 160, 0.4f}, {62, 150, 0.6f}, {77, 166, 0.3f}, {70, 182, 0.9f}, {42, 178, 0.5f}},
                  {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}});
    constellation(t, {{232, 58, 0.7f}, {252, 48, 0.4f}, {270, 56, 0.9f}, {290, 44, 0.5f}, {281, 76, 0.4f}, {300, 90, 0.7f}},
                  {{0, 1}, {1, 2}, {2, 3}, {2, 4}, {4, 5}});
    Rng rng(5);
    for (int i = 0; i < 60; ++i) {
        const int x = int(rng.range(12, 308)), y = int(rng.range(12, 188));
        float& v = t[size_t(y) * W + x];
        v = std::max(v, FIELD_EDGE + 12.f + 18.f * rng.uniform());
    }

    // The emblem, drawn at 4x and averaged down, in the recess's coordinates.
    Plane emblem(W - NICHE_X, H - NICHE_Y);
    {
        const int ss = 4, ew = emblem.w, eh = emblem.h;
        Canvas c(ew * ss, eh * ss);
        const double ex = (NICHE_BEVEL + (ew - FRAME_EDGE)) / 2.0 * ss, ey = (NICHE_BEVEL + (eh - FRAME_EDGE)) / 2.0 * ss;
        cairo_set_source_rgb(c.cr, 1, 1, 1);
        cairo_set_line_width(c.cr, 2.0 * ss);
        cairo_arc(c.cr, ex, ey, 20.0 * ss, 0, 2 * M_PI);
        cairo_stroke(c.cr);
        text_path_centred(c.cr, "K", "DejaVu Sans Bold", 26.0 * ss, ex, ey);
        cairo_fill(c.cr);
        const Plane big = c.alpha();
        for (int y = 0; y < eh; ++y)
            for (int x = 0; x < ew; ++x) {
                float sum = 0;
                for (int j = 0; j < ss; ++j)
                    for (int i = 0; i < ss; ++i) sum += big.at(x * ss + i, y * ss + j);
                emblem.at(x, y) = sum / float(ss * ss);
            }
    }
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t v = ramp_index(t[size_t(y) * W + x] / 255.f, 0, 255, x, y);
            // The frame: dark line, bevel lit on its top and left faces, dark line.
            const int e = std::min(std::min(x, W - 1 - x), std::min(y, H - 1 - y));
            if (e == 0 || e == FRAME_EDGE - 1) {
                v = FRAME_DARK;
            } else if (e < FRAME_EDGE - 1) {
                const bool lit = (y == e && x >= e && x <= W - 1 - e) || (x == e && y >= e && y <= H - 1 - e);
                const float along = float(lit ? x + y : (W - x) + (H - y)) / float(W + H);
                v = lit ? ramp_index(along, FRAME_LIT_FROM, FRAME_LIT_TO, x, y)
                        : ramp_index(along, FRAME_SHADE_TO, FRAME_SHADE_FROM, x, y);
            } else if (e < FRAME_EDGE + 3) {
                v = uint8_t(std::min(255, int(v) - 2 * (FRAME_EDGE + 3 - e)));  // a shadow inside the frame
            }
            // The portraits' recess: a bevel shaded on top and left (it is sunk),
            // dark glass with faint scan lines inside, and a faint emblem for the
            // phase that shows no portrait: a ring with a K.
            if (x >= NICHE_X && y >= NICHE_Y && e >= FRAME_EDGE) {
                const int ix = x - NICHE_X, iy = y - NICHE_Y;
                if (ix == 0 || iy == 0) v = FRAME_DARK;
                else if (ix < NICHE_BEVEL || iy < NICHE_BEVEL) v = uint8_t(ix < iy ? FRAME_SHADE_TO : FRAME_SHADE_FROM);
                else {
                    float g = FIELD_EDGE - 6.f + (iy % 3 == 0 ? 5.f : 0.f);
                    g = std::max(g, FIELD_EDGE - 6.f + 16.f * emblem.at(x - NICHE_X, y - NICHE_Y));
                    v = ramp_index(g / 255.f, 0, 255, x, y);
                }
            }
            if (v == 38) v = 37;  // 38 is the captions' key; keep it out of pictures
            out.at(x, y) = v;
        }
    return out;
}

namespace {

// A caption in the orange ramp (light at the top of the letters, darker below) with
// a dark red edge, on key 38.
Indexed caption(int w, int h, const std::string& text, const char* font, double spacing) {
    TextStyle st;
    st.font = font;
    st.letter_spacing = spacing;
    st.edge_width = 3.0;
    st.edge_index = 253;
    return text_sprite(w, h, text, st, 38, [h](int x, int y, float) {
        return ramp_index(float(y) / float(h) * 0.55f, 191, 255, x, y);
    });
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
                 [] { return caption(133, 26, "drawn by code", "DejaVu Serif Bold Italic", 0); }});
    r.push_back({"bizk", 180, 33, 38, &curves_palette,
                 [] { return caption(180, 33, "SOUND & RHYTHM", "DejaVu Sans Bold", 0.5); }});
    r.push_back({"nudge", 206, 29, 38, &curves_palette,
                 [] { return caption(206, 29, "PROGRAMMING", "DejaVu Sans Bold", 1); }});
    r.push_back({"ephoy", 146, 23, 38, &curves_palette,
                 [] { return caption(146, 23, "every frame by hand", "DejaVu Serif Bold Italic", 0); }});
    r.push_back({"gpor", 74, 90, -1, &curves_palette, draw_gpor});
    r.push_back({"npor", 71, 89, -1, &curves_palette, draw_npor});
}

}  // namespace art
