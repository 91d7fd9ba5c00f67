// Scene 1, opening and logo phases: the opening picture (psx), the logo background
// (kelbck), the logo (kvlogo, blended with key 160), the caption (overl, keyed 160)
// and the scrolling strip (overl2, averaged onto the background).
#include <algorithm>

#include "art.h"
#include "scenes/palettes.h"
#include "sdf.h"

namespace art {
namespace {

// A chrome torus around a glowing sphere over a mirror-grid floor, under a cyan
// sky. Shades go onto the black-to-cyan ramp 64..255; highlights onto the pale
// cyans 53..62 and white 63; the grid lines onto the teal ramp 1..31.
Indexed draw_psx() {
    const int W = 320, H = 200;
    Indexed out(W, H);
    auto object = [](V3 p) {
        V3 q = rot_x(rot_z(p - V3{0, 1.05f, 0}, 0.45f), 0.9f);
        float torus = sd_torus(q, 0.95f, 0.26f);
        float ball = sd_sphere(p - V3{0, 1.05f, 0}, 0.5f);
        return std::min(torus, ball);
    };
    auto scene = [&](V3 p) { return std::min(object(p), p.y); };
    const V3 eye{0.f, 1.35f, -3.6f};
    const V3 target{0.f, 0.95f, 0.f};
    V3 fw = normalize(target - eye), rt = normalize(cross({0, 1, 0}, fw)), up = cross(fw, rt);
    const V3 light = normalize({-0.6f, 0.8f, -0.5f});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float u = (float(x) + 0.5f - W / 2.f) / (H * 0.95f);
            float v = -(float(y) + 0.5f - H / 2.f) / (H * 0.95f);
            V3 d = normalize(fw * 1.5f + rt * u + up * v);
            float t = march(eye, d, scene, 30.f);
            float shade;
            bool grid = false;
            if (t < 0) {
                // Sky: dark at the top, brighter toward the horizon.
                float hz = std::clamp(1.f - d.y * 2.2f, 0.f, 1.f);
                shade = 0.04f + 0.42f * hz * hz * hz;
            } else {
                V3 p = eye + d * t;
                V3 n = p.y < object(p) ? V3{0, 1, 0} : normal_at(p, scene);
                float diff = std::max(0.f, dot(n, light));
                float spec = std::pow(std::max(0.f, dot(reflect(d, n), light)), 40.f);
                float occ = occlusion(p, n, scene);
                if (p.y < object(p)) {
                    // Floor: dark, fading into the horizon haze, with a grid of
                    // teal lines and the object's shadow.
                    float fade = std::exp(-t * 0.16f);
                    float gx = std::fabs(p.x - std::round(p.x)), gz = std::fabs(p.z - std::round(p.z));
                    grid = std::min(gx, gz) < 0.025f + 0.006f * t;
                    float sh = march(p + n * 0.01f, light, scene, 6.f) > 0 ? 0.3f : 1.f;
                    // A dim mirror image of the sky and the object.
                    V3 r = reflect(d, n);
                    float back = march(p + n * 0.01f, r, scene, 8.f);
                    float mirror = back > 0 ? 0.12f : 0.0f;
                    shade = (0.04f + 0.22f * diff * sh * occ + mirror) * fade + 0.42f * (1 - fade);
                    if (grid) {
                        out.at(x, y) = ramp_index((0.3f + 0.7f * fade) * sh, 8, 31, x, y);
                        continue;
                    }
                } else {
                    float rim = std::pow(1.f - std::max(0.f, -dot(d, n)), 3.f);
                    V3 r = reflect(d, n);
                    float env = std::clamp(0.5f + 0.5f * r.y, 0.f, 1.f);
                    shade = 0.12f + 0.45f * diff * occ + 0.3f * env * env + 0.35f * rim;
                    if (spec > 0.35f) {
                        out.at(x, y) = spec > 0.8f ? 63 : ramp_index((spec - 0.35f) / 0.45f, 53, 62, x, y);
                        continue;
                    }
                }
            }
            out.at(x, y) = ramp_index(shade, 64, 255, x, y);
        }
    // A small title under the object, in the picture's white and greys.
    Canvas c(W, H);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    text_path_centred(c.cr, "K E L V O R A", "DejaVu Sans Bold", 11, 160, 186, 1.5);
    cairo_fill(c.cr);
    Plane a = c.alpha();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float k = a.at(x, y);
            if (k > 0.6f) out.at(x, y) = 63;
            else if (k > 0.25f) out.at(x, y) = 52;
            else if (k > 0.05f) out.at(x, y) = 51;
        }
    return out;
}

// Background of the logo phase: light above and below, a mid-teal band behind the
// logo (rows 80..140) so its averaged white letters stand out; the glow blobs add
// toward 190 and darken the band where they pass. Soft diagonal sheen and grain.
Indexed draw_kelbck() {
    Indexed out(320, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            float dx = (x - 160.f) / 190.f, dy = (y - 106.f) / 120.f;
            float r = std::sqrt(dx * dx + dy * dy);
            float band = smoothstep(70.f, 86.f, float(y)) * (1.f - smoothstep(134.f, 150.f, float(y)));
            float sheen = 0.5f + 0.5f * std::sin((x + y * 1.6f) * 0.045f);
            float grain = fbm(x / 40.f, y / 40.f, 11, 4);
            float t = 0.06f + 0.35f * r * r + 0.06f * sheen + 0.14f * (grain - 0.5f) + 0.5f * band;
            // Thin rules at the band's edges.
            if (y == 78 || y == 142) t = 0.8f;
            out.at(x, y) = ramp_index(t, 1, 190, x, y);
        }
    return out;
}

// "KELVORA" in heavy letters: white faces with a darker rim, shaded downwards;
// everything else is the key 160. Averaged with the background, the letters come out
// halfway to white, their rims halfway to teal. The letters sit in the lower part
// of the sprite (ink rows LOGO_TOP..LOGO_TOP + LOGO_INK_H) so that the caption drawn
// above them has rows of its own.
constexpr double LOGO_INK_W = 236, LOGO_INK_H = 24, LOGO_TOP = 9;
constexpr double LOGO_RIM = 4.0;  // stroke width; half of it lies outside the ink
const char* const LOGO_FONT = "DejaVu Sans Bold";

// The logo's pixel size and its ink width, for the caption to line up with.
double logo_size(cairo_t* cr, double* ink_w) {
    double px = fit_text(cr, "KELVORA", LOGO_FONT, LOGO_INK_W, LOGO_INK_H, 6);
    if (ink_w) *ink_w = text_extents(cr, "KELVORA", LOGO_FONT, px, 6).w;
    return px;
}

Indexed draw_kvlogo() {
    const int W = 320, H = 36;
    Canvas face(W, H), rim(W, H);
    const char* font = LOGO_FONT;
    double px = logo_size(face.cr, nullptr);
    for (cairo_t* cr : {face.cr, rim.cr}) {
        text_path_centred(cr, "KELVORA", font, px, 160, LOGO_TOP + LOGO_INK_H / 2, 6);
    }
    cairo_set_source_rgb(rim.cr, 1, 1, 1);
    cairo_set_line_width(rim.cr, LOGO_RIM);
    cairo_set_line_join(rim.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(rim.cr);
    cairo_fill(rim.cr);
    cairo_set_source_rgb(face.cr, 1, 1, 1);
    cairo_fill(face.cr);
    Plane f = face.alpha(), r = rim.alpha();
    Indexed out(W, H, 160);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float down = float((y - LOGO_TOP) / LOGO_INK_H);
            if (f.at(x, y) > 0.5f) {
                // Face: white at the top, pale cyan lower down.
                out.at(x, y) = ramp_index(down * 0.9f, 1, 40, x, y);
            } else if (r.at(x, y) > 0.4f) {
                out.at(x, y) = ramp_index(0.5f + 0.5f * down, 165, 190, x, y);
            }
        }
    return out;
}

// The caption, a tagline set above the logo's letters in the warm ramp with a dark
// edge, its right end over the logo's right end; key 160. The sprite lies at (90, 87)
// over the logo's sprite at (0, 94): the caption's ink takes sprite rows 2..12
// (screen rows 89..99) and the logo's rim starts at screen row 101.
Indexed draw_overl() {
    const int W = 229, H = 24;
    const double ink_h = 10, ink_top = 2;
    Canvas text(W, H), edge(W, H);
    double logo_w = 0;
    logo_size(text.cr, &logo_w);
    const double right = 160 + logo_w / 2 - 90;  // the logo's right end, in sprite columns
    const char* font = "DejaVu Sans Bold Oblique";
    const std::string s = "real time in 256 colours";
    double px = fit_text(text.cr, s, font, right - 4, ink_h, 0.4);
    for (cairo_t* cr : {text.cr, edge.cr})
        text_path(cr, s, font, px, right - text_extents(cr, s, font, px, 0.4).w, ink_top, 0.4);
    cairo_set_source_rgb(edge.cr, 1, 1, 1);
    cairo_set_line_width(edge.cr, 2.2);
    cairo_stroke_preserve(edge.cr);
    cairo_fill(edge.cr);
    cairo_set_source_rgb(text.cr, 1, 1, 1);
    cairo_fill(text.cr);
    Plane t = text.alpha(), e = edge.alpha();
    Indexed out(W, H, 160);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (t.at(x, y) > 0.45f)
                out.at(x, y) = ramp_index(float((y - ink_top) / ink_h) * 0.6f, 191, 255, x, y, false);
            else if (e.at(x, y) > 0.3f) out.at(x, y) = 250;
        }
    return out;
}

// The strip that swings up and down over columns 33..72: a column of bevelled
// diamonds on a ribbon, in light and mid teal values (averaged, never keyed).
Indexed draw_overl2() {
    const int W = 40, H = 295;
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float cx = x - 19.5f;
            float cell = std::fmod(float(y), 37.f) - 18.f;
            float dia = std::fabs(cx) + std::fabs(cell);  // diamond distance
            float t;
            if (dia < 15.f) {
                // Bevel: light on the upper left facets, darker lower right.
                float facet = (cx < 0 ? 0.f : 0.25f) + (cell < 0 ? 0.f : 0.3f);
                t = 0.05f + facet + 0.15f * (dia / 15.f);
            } else if (dia < 17.f) {
                t = 0.9f;
            } else {
                float rib = 0.5f + 0.5f * std::sin(y * 0.17f + cx * 0.3f);
                t = 0.35f + 0.2f * rib + (std::fabs(cx) > 17.f ? 0.3f : 0.f);
            }
            out.at(x, y) = ramp_index(t, 1, 190, x, y);
        }
    return out;
}

}  // namespace

void register_scene01_opening() {
    auto& r = registry();
    r.push_back({"psx", 320, 200, -1, &opening_palette, draw_psx});
    r.push_back({"kelbck", 320, 200, -1, &logo_palette, draw_kelbck});
    r.push_back({"kvlogo", 320, 36, 160, &logo_palette, draw_kvlogo});
    r.push_back({"overl", 229, 24, 160, &logo_palette, draw_overl});
    r.push_back({"overl2", 40, 295, -1, &logo_palette, draw_overl2});
}

}  // namespace art
