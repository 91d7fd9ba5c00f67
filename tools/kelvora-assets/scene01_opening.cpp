// Scene 1, opening and logo phases: the opening picture (psx), the logo background
// (kelbck), the logo (kvlogo, blended with key 160), the caption (overl, keyed 160)
// and the scrolling strip (overl2, averaged onto the background).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "art.h"
#include "scenes/logo_path.h"
#include "scenes/palettes.h"
#include "sdf.h"

namespace art {
namespace {

// A chrome torus around a glowing sphere over a mirror-grid floor, under a night
// sky with the title above it. Shades go onto the black-to-cyan ramp 64..255;
// highlights onto the pale cyans 53..62 and white 63; the grid lines onto the teal
// ramp 1..31; stars onto the sky ramp 33..50.
constexpr int TITLE_TOP = 10, TITLE_H = 40;  // the title's ink rows

// The title "KELVORA" in chrome: each letter's face runs from white at the top
// through the cyan ramp to a dark horizon line a little below the middle, then up
// again toward the foot, the way polished metal mirrors a sky over a dark ground;
// a black outline and a drop shadow set it off the sky.
void draw_title(Indexed& out) {
    const int W = 320, H = 200, ss = 4;
    Canvas face(W * ss, H * ss), edge(W * ss, H * ss);
    const char* font = "DejaVu Sans Bold";
    const double px = fit_text(face.cr, "KELVORA", font, 286.0 * ss, TITLE_H * ss, 4.0 * ss);
    for (cairo_t* cr : {face.cr, edge.cr}) text_path_centred(cr, "KELVORA", font, px, 160.0 * ss, (TITLE_TOP + TITLE_H / 2.0) * ss, 4.0 * ss);
    cairo_set_source_rgb(face.cr, 1, 1, 1);
    cairo_fill(face.cr);
    cairo_set_source_rgb(edge.cr, 1, 1, 1);
    cairo_set_line_width(edge.cr, 2.4 * ss);
    cairo_set_line_join(edge.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(edge.cr);
    cairo_fill(edge.cr);
    auto down = [&](const Canvas& c) {
        const Plane big = c.alpha();
        Plane p(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float s = 0;
                for (int j = 0; j < ss; ++j)
                    for (int i = 0; i < ss; ++i) s += big.at(x * ss + i, y * ss + j);
                p.at(x, y) = s / float(ss * ss);
            }
        return p;
    };
    const Plane f = down(face), e = down(edge);
    // Shadow first, down and right, then the outline, then the face.
    for (int y = H - 1; y >= 0; --y)
        for (int x = W - 1; x >= 0; --x)
            if (x >= 3 && y >= 3 && e.at(x - 3, y - 3) > 0.5f) out.at(x, y) = 32;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (f.at(x, y) > 0.5f) {
                const float t = float(y - TITLE_TOP) / float(TITLE_H);
                uint8_t v;
                if (t < 0.18f) v = ramp_index(t / 0.18f, 62, 53, x, y);                // white sky
                else if (t < 0.56f) v = ramp_index((t - 0.18f) / 0.38f, 255, 150, x, y);  // cyan
                else if (t < 0.62f) v = 70;                                           // horizon
                else v = ramp_index((t - 0.62f) / 0.38f, 110, 220, x, y);               // ground glow
                // A bright edge where the face meets the outline on top.
                if (y > 0 && f.at(x, y - 1) <= 0.5f && t < 0.56f) v = 63;
                out.at(x, y) = v;
            } else if (e.at(x, y) > 0.5f) {
                out.at(x, y) = 0;
            }
        }
}

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
    // The camera looks a little above the object, so it sits in the lower two
    // thirds and the sky above holds the title.
    const V3 eye{0.f, 1.8f, -4.9f};
    const V3 target{0.f, 1.3f, 0.f};
    V3 fw = normalize(target - eye), rt = normalize(cross({0, 1, 0}, fw)), up = cross(fw, rt);
    const V3 light = normalize({-0.6f, 0.8f, -0.5f});
    Rng stars(3);
    std::vector<float> star(size_t(W) * H, 0.f);
    for (int i = 0; i < 170; ++i) {
        const int x = int(stars.range(0, W)), y = int(stars.range(0, 110));
        star[size_t(y) * W + x] = stars.uniform();
    }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float u = (float(x) + 0.5f - W / 2.f) / (H * 0.95f);
            float v = -(float(y) + 0.5f - H / 2.f) / (H * 0.95f);
            V3 d = normalize(fw * 1.5f + rt * u + up * v);
            float t = march(eye, d, scene, 30.f);
            float shade;
            if (t < 0) {
                // Sky: near black at the top, a narrow teal glow over the horizon,
                // stars; dark behind the title, so the chrome stands out.
                float hz = std::clamp(1.f - d.y * 3.2f, 0.f, 1.f);
                shade = 0.02f + 0.46f * std::pow(hz, 5.f);
                const float s = star[size_t(y) * W + x];
                if (s > 0.f && shade < 0.2f) {
                    out.at(x, y) = uint8_t(s > 0.8f ? 62 : 40 + int(s * 10.f));
                    continue;
                }
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
                    const bool grid = std::min(gx, gz) < 0.025f + 0.006f * t;
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
                    // Polished metal: mostly what it mirrors. Upward, the sky from
                    // its dark zenith to the bright haze on the horizon; downward,
                    // the dark floor with its glowing grid, receding into the haze.
                    // Four rays a pixel, so the grid mirrored in the tight inner
                    // curve stays lines instead of speckle.
                    float rim = std::pow(1.f - std::max(0.f, -dot(d, n)), 3.f);
                    auto mirrored = [](V3 at, V3 r) {
                        if (r.y >= 0.f) {
                            const float hz = std::clamp(1.f - r.y * 2.f, 0.f, 1.f);
                            return 0.14f + 0.86f * hz * hz;
                        }
                        const float ft = -at.y / r.y;
                        const V3 q = at + r * ft;
                        const float fade = std::exp(-ft * 0.16f);
                        const float gx = std::fabs(q.x - std::round(q.x)), gz = std::fabs(q.z - std::round(q.z));
                        const float grid = 1.f - smoothstep(0.03f, 0.09f + 0.012f * ft, std::min(gx, gz));
                        return (0.04f + 0.5f * grid) * fade + 0.6f * (1.f - fade);
                    };
                    float env = 0.f;
                    int hits = 0;
                    for (int j = 0; j < 2; ++j)
                        for (int i = 0; i < 2; ++i) {
                            const float su = (float(x) + 0.25f + 0.5f * float(i) - W / 2.f) / (H * 0.95f);
                            const float sv = -(float(y) + 0.25f + 0.5f * float(j) - H / 2.f) / (H * 0.95f);
                            const V3 sd = normalize(fw * 1.5f + rt * su + up * sv);
                            const float st = march(eye, sd, scene, 30.f);
                            if (st < 0) continue;
                            const V3 sp = eye + sd * st;
                            if (sp.y < object(sp)) continue;
                            env += mirrored(sp, reflect(sd, normal_at(sp, scene)));
                            ++hits;
                        }
                    env = hits ? env / float(hits) : mirrored(p, reflect(d, n));
                    shade = 0.04f + 0.3f * diff * occ + 0.6f * env * (0.6f + 0.4f * occ) + 0.2f * rim;
                    if (spec > 0.35f) {
                        out.at(x, y) = spec > 0.8f ? 63 : ramp_index((spec - 0.35f) / 0.45f, 53, 62, x, y);
                        continue;
                    }
                }
            }
            out.at(x, y) = ramp_index(shade, 64, 255, x, y);
        }
    draw_title(out);
    return out;
}

// ---------------------------------------------------------------- logo phase
//
// What the logo phase does to its pictures, per frame: the background is copied,
// the strip averaged into columns 33..72, 25 cone-shaped glows added along the loop
// around the letters (up to 255 at a centre, stopped at 190), then the logo sprite
// blended over rows 94..129: its letter pixels average with what lies under them,
// every other pixel becomes the sum of its eight neighbours over 9, which smooths
// that band and scales it to about 0.8 of itself. Last the caption is keyed on.
//
// The palette (logo_cool_half) keeps its backgrounds in a deep navy trough and puts
// the light above it: a glow climbs from navy through teal to a pale cyan peak, and
// its capped core (190) is the fixed dark teal, so the 25 glows make a cloud of dark
// teal ringed by light. The logo lets the band's smoothing act only in a halo round
// its letters (the cap smoothed to about 160, the peak) and blends the rest of the
// band with the cap, the cloud's own core, so the band shows no edges of its own.

// The loop's inner rows (its top and bottom runs are rows 95 and 116) and the
// columns it spans on row y, from its points.
constexpr int LOOP_INNER_TOP = 96, LOOP_INNER_BOTTOM = 115;
constexpr uint8_t LOGO_CAP = 190;  // where the glows stop; dark teal on the palette
std::pair<int, int> loop_span(int y) {
    int x0 = 320, x1 = -1;
    for (int i = 0; i < LOGO_PATH_POINTS; ++i)
        if (path_y[i] == y) x0 = std::min(x0, int(path_x[i])), x1 = std::max(x1, int(path_x[i]));
    return {x0, x1};
}

// Background indices: the trough, and the lighter lines drawn into it.
constexpr float BG_DEEP = 40.f;   // corners
constexpr float BG_MID = 47.f;    // around the band
constexpr float BG_LINE = 64.f;   // hairlines: a faint teal, well below the glows
constexpr int BAND_TOP = 94, BAND_BOTTOM = 129;  // the logo sprite's rows
constexpr float BAND_SCALE = 1.25f;  // undoes the band's 0.8 smoothing
constexpr int HORIZON = 146;         // a floor of lines below it, stars above the band
constexpr float NEBULA = 40.f;       // the nebula's brightest wisps climb this far
constexpr int MOON_X = 262, MOON_Y = 28, MOON_R = 24;

// A night field: faint stars above, a floor of teal lines running to a vanishing
// point behind the logo below, rules close to the band that the glows light up as
// they pass. All of it stays low on the ramp, so only the glows read as light.
Indexed draw_kelbck() {
    const int W = 320, H = 200;
    Indexed out(W, H);
    std::vector<float> t(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float dx = (float(x) - 160.f) / 160.f, dy = (float(y) - 106.f) / 100.f;
            const float r2 = dx * dx + dy * dy;
            float v = lerp(BG_MID, BG_DEEP, std::min(1.f, r2 * 0.9f));
            v += 5.f * (fbm(float(x) / 70.f, float(y) / 35.f, 21, 4) - 0.5f);
            // Rules above and below the band, fading out toward the sides.
            const int from_band = y < BAND_TOP ? BAND_TOP - 1 - y : y - BAND_BOTTOM - 1;
            const float fade = 1.f - smoothstep(0.45f, 0.98f, std::fabs(dx));
            if (from_band == 0 || from_band == 3 || from_band == 8) v = lerp(v, BG_LINE - float(from_band), fade);
            if (y > HORIZON) {
                // Floor: lines toward the vanishing point (160, 106) and cross lines
                // closing up toward the horizon; stronger nearer the viewer.
                const float depth = 400.f / float(y - 106);  // 1 at the bottom row
                const float u = (float(x) - 160.f) / float(y - 106) * 6.f;
                const float du = std::fabs(u - std::round(u)) * float(y - 106) / 6.f;  // pixels
                const float dz = std::fabs(depth - std::round(depth * 1.f));
                const float near = smoothstep(float(HORIZON), 199.f, float(y));
                const float line = std::max(1.f - du, dz < 0.06f * (1.f + near * 2.f) ? 1.f : 0.f);
                v = lerp(v, BG_LINE + 12.f * near, std::clamp(line, 0.f, 1.f) * (0.35f + 0.65f * near) * fade);
            }
            // A nebula drifting across the sky above, fading out before the glows'
            // reach, so that they still climb from the dark.
            {
                const float fx = float(x), fy = float(y);
                const float band = std::exp(-std::pow((fy - 30.f - 0.12f * fx + 0.0004f * fx * fx) / 26.f, 2.f));
                const float cloud = fbm(fx / 44.f, fy / 30.f, 91, 5);
                const float ridge = 1.f - turbulence(fx / 28.f, fy / 20.f, 93, 4);
                const float wisp = std::clamp((cloud - 0.36f) * 2.4f, 0.f, 1.f) * (0.4f + 0.6f * ridge * ridge);
                v += NEBULA * band * wisp * (1.f - smoothstep(40.f, 62.f, fy));
            }
            if (y >= BAND_TOP && y <= BAND_BOTTOM) v *= BAND_SCALE;
            t[size_t(y) * W + x] = v;
        }
    // Stars above the band: single pixels, a few with a cross of light.
    Rng rng(77);
    for (int i = 0; i < 90; ++i) {
        const int x = int(rng.range(2, 318)), y = int(rng.range(2, 80));
        const float b = rng.uniform();
        if (std::hypot(float(x - MOON_X), float(y - MOON_Y)) < MOON_R + 3) continue;
        t[size_t(y) * W + x] = 70.f + 60.f * b * b;
        if (b > 0.85f)
            for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) t[size_t(y + oy) * W + x + ox] = 62.f;
    }
    // A moon high on the right, lit from the right, out of the glows' reach: a disc
    // in the sky's dark with a crescent climbing the ramp, cratered.
    for (int y = 0; y < MOON_Y + MOON_R + 2; ++y)
        for (int x = MOON_X - MOON_R - 2; x <= MOON_X + MOON_R + 2; ++x) {
            float cover = 0, shade = 0;
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i) {
                    const float dx = (float(x) + 0.25f + 0.5f * float(i) - float(MOON_X)) / MOON_R;
                    const float dy = (float(y) + 0.25f + 0.5f * float(j) - float(MOON_Y)) / MOON_R;
                    const float rr = dx * dx + dy * dy;
                    if (rr >= 1.f) continue;
                    const float dz = std::sqrt(1.f - rr);
                    const float lit = std::max(0.f, dx * 0.8f + dy * -0.35f + dz * 0.48f);
                    const float crater = fbm(float(x) / 6.f, float(y) / 6.f, 97, 4);
                    const float maria = fbm(float(x) / 16.f, float(y) / 16.f, 99, 3);
                    cover += 0.25f;
                    shade += 0.25f * (44.f + 98.f * std::pow(lit, 1.2f) * (0.7f + 0.5f * (crater - 0.5f) - 0.3f * smoothstep(0.5f, 0.7f, maria)));
                }
            if (cover > 0.f) {
                float& v = t[size_t(y) * W + x];
                v = v * (1.f - cover) + shade;
            }
        }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) out.at(x, y) = ramp_index(t[size_t(y) * W + x] / 255.f, 0, 255, x, y);
    // Inside the loop the background sits at the cap: whatever the glows do, the
    // logo's letters and outline always blend with 190, so they come out the same
    // gold and dark teal on every frame, and the band's smoothing turns the gaps
    // between them into the glow's pale peak all along the word.
    for (int y = LOOP_INNER_TOP; y <= LOOP_INNER_BOTTOM; ++y) {
        const auto [x0, x1] = loop_span(y);
        for (int x = x0 + 1; x < x1; ++x) out.at(x, y) = LOGO_CAP;
    }
    return out;
}

// The logo: the seven letters of KELVORA, each centred in its cell of the loop the
// glows run along (the loop's notches fall between the letters), heavy block
// letters with a dark outline and drop shadow. A letter pixel shows (under +
// sprite) / 2, and the background holds what lies under the letters at the cap,
// 190, so a sprite value s shows as (190 + s) / 2: the faces use values past 190
// and come out gold in the warm half, lit white along their tops, the outline and
// shadow come out at 190, dark teal, inside the pale halo round them.
constexpr uint8_t LOGO_KEY = 160;  // the key of the logo and of the caption
constexpr int LOGO_FACE_TOP = 194, LOGO_FACE_BOTTOM = 232;  // gold to deep orange
constexpr int LOGO_SHINE = 100;                             // shows as about 145: white
constexpr int LOGO_EDGE = 190;
constexpr int LOGO_SHADOW = 3;  // the drop shadow's offset, pixels down and right
constexpr int LOGO_HALO = 5;    // the lit halo round the letters, pixels
// The loop's ends (x 50 and 271) and how far round them the glows mostly cap.
constexpr int LOGO_PLATE_X0 = 50, LOGO_PLATE_X1 = 271;
constexpr float LOGO_END_R = 12.f;
// Screen rows of the ink: the loop runs along rows 95 and 116, so the outline
// (rows 96 and 114) stays off it, and a row of the smoothed band lies between the
// outline and the bottom run (the smoothing reads the unsmoothed letter rows above
// it, which would lift the glows' centres there off the palette's peak).
constexpr int LOGO_ROWS_TOP = 97, LOGO_ROWS_BOTTOM = 113;
// Screen columns of each letter's ink, between the loop's notches (at 86, 116, ...,
// 236, four pixels wide) and inside its rounded ends, so that no letter or outline
// pixel covers a point of the loop, where a glow's centre would be hidden.
constexpr int LOGO_CELLS[7][2] = {{59, 80}, {91, 111}, {121, 141}, {151, 171}, {181, 201}, {211, 231}, {241, 262}};

Indexed draw_kvlogo() {
    const int W = 320, H = 36, Y0 = 94;
    const int ss = 4;  // drawn 4x, averaged down, thresholded
    Canvas face(W * ss, H * ss);
    const char* letters[7] = {"K", "E", "L", "V", "O", "R", "A"};
    const double ink_h = LOGO_ROWS_BOTTOM - LOGO_ROWS_TOP + 1;
    cairo_set_source_rgb(face.cr, 1, 1, 1);
    for (int i = 0; i < 7; ++i) {
        const double ink_w = LOGO_CELLS[i][1] - LOGO_CELLS[i][0] + 1;
        const double px = fit_text(face.cr, letters[i], "DejaVu Sans Bold", ink_w * ss, ink_h * ss);
        const TextBox b = text_extents(face.cr, letters[i], "DejaVu Sans Bold", px);
        // Every letter as tall as the rows and as wide as its cell.
        const double hpx = px * (ink_h * ss) / b.h;
        const TextBox hb = text_extents(face.cr, letters[i], "DejaVu Sans Bold", hpx);
        const double scale_x = ink_w * ss / hb.w;
        cairo_save(face.cr);
        cairo_translate(face.cr, (LOGO_CELLS[i][0] + LOGO_CELLS[i][1] + 1) / 2.0 * ss, 0);
        cairo_scale(face.cr, scale_x, 1);
        text_path(face.cr, letters[i], "DejaVu Sans Bold", hpx, -hb.w / 2, (LOGO_ROWS_TOP - Y0) * ss);
        cairo_restore(face.cr);
    }
    cairo_fill(face.cr);
    const Plane big = face.alpha();
    Plane ink(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float s = 0;
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) s += big.at(x * ss + i, y * ss + j);
            ink.at(x, y) = s / float(ss * ss);
        }
    // The loop's points, where the outline gives way at the corners it would touch.
    std::vector<bool> on_loop(size_t(W) * H, false);
    for (int i = 0; i < LOGO_PATH_POINTS; ++i)
        if (path_y[i] >= Y0 && path_y[i] < Y0 + H) on_loop[size_t(path_y[i] - Y0) * W + path_x[i]] = true;
    Indexed out(W, H, LOGO_KEY);
    auto inked = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && ink.at(x, y) > 0.5f; };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (inked(x, y)) {
                const float down = float(y + Y0 - LOGO_ROWS_TOP) / float(ink_h - 1);
                // The face's top edge catches the light: a white rim where ink has no
                // ink above it.
                out.at(x, y) = !inked(x, y - 1) ? LOGO_SHINE
                                                 : ramp_index(down, LOGO_FACE_TOP, LOGO_FACE_BOTTOM, x, y, false);
                continue;
            }
            if (on_loop[size_t(y) * W + x]) continue;
            bool near = false;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) near |= inked(x + i, y + j);
            // A drop shadow down and to the right, as dark as the outline.
            for (int k = 2; k <= LOGO_SHADOW; ++k) near |= inked(x - k, y - k) || inked(x - k + 1, y - k);
            if (near) out.at(x, y) = LOGO_EDGE;
        }
    // Everywhere else on the band's run along the loop, the band blends with the
    // cap instead of being smoothed, save for a halo round the letters: where the
    // glows reach the cap (almost always, this close to the loop) the band shows
    // the glow cloud's dark teal core like the rows above and below it, and only
    // the halo, smoothed from the cap, lights up to the pale peak. So the band has
    // no edges of its own, and the word sits on the cloud in a glow of its own shape.
    for (int y = 0; y < H; ++y)
        for (int x = LOGO_PLATE_X0; x <= LOGO_PLATE_X1; ++x) {
            if (out.at(x, y) != LOGO_KEY || on_loop[size_t(y) * W + x]) continue;
            int d2 = 1 << 20;  // squared distance to the nearest ink
            for (int j = -LOGO_HALO - 3; j <= LOGO_HALO + 3; ++j)
                for (int i = -LOGO_HALO - 3; i <= LOGO_HALO + 3; ++i)
                    if (inked(x + i, y + j)) d2 = std::min(d2, i * i + j * j);
            const float d = std::sqrt(float(d2));
            // Out to LOGO_HALO the smoothing; past it three rings blending the cap
            // with a little less (shows 175, 182, 187: the palette's fall), so the
            // halo fades into the core instead of ending on a line.
            const float fade = (d - float(LOGO_HALO)) / 3.f;
            if (fade > 0.f) out.at(x, y) = uint8_t(fade >= 1.f ? LOGO_EDGE : std::lround(lerp(158.f, 186.f, fade)));
        }
    // Round the loop's ends the glows cap the band too, as far as LOGO_END_R; past
    // that they seldom do, and the smoothing, which keeps about 0.8 of what it
    // reads (the background's band rows are drawn 1.25 times as bright), leaves the
    // night and the glows' fringes much as they are above and below the band.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // Distance past the rounded ends of the loop, inflated by LOGO_END_R.
            const float ex = x < LOGO_PLATE_X0 ? float(LOGO_PLATE_X0 - x) : x > LOGO_PLATE_X1 ? float(x - LOGO_PLATE_X1) : 0.f;
            const float ey = float(y + Y0) - 105.5f;
            const float out_by = ex > 0.f ? std::hypot(ex, ey) - LOGO_END_R : 0.f;
            if (ex <= 0.f || out.at(x, y) != LOGO_KEY || on_loop[size_t(y) * W + x]) continue;
            if (out_by <= 0.f) out.at(x, y) = LOGO_EDGE;
        }
    return out;
}

// The caption: "real time in 256 colours" in a bold pixel face of our own, seven
// rows from the tops of the tall letters to the baseline, x-height five, so every
// letter, both i dots included, is whole. It sits above the loop (sprite rows 0..6,
// screen rows 87..93) with a dark edge at its sides, two rows clear of the letters'
// outline below and of the glows' centres on the loop's top edge at row 95.
struct Glyph {
    char c;
    const char* rows[7];
};
const Glyph CAPTION_FONT[] = {
    {'r', {"", "", "##.##", "####.", "##...", "##...", "##..."}},
    {'e', {"", "", ".###.", "##.##", "#####", "##...", ".####"}},
    {'a', {"", "", ".###.", "...##", ".####", "##.##", ".####"}},
    {'l', {"##", "##", "##", "##", "##", "##", "##"}},
    {'t', {"", "##..", "####", "##..", "##..", "##..", ".###"}},
    {'i', {"##", "..", "##", "##", "##", "##", "##"}},
    {'m', {"", "", "#######.", "##.##.##", "##.##.##", "##.##.##", "##.##.##"}},
    {'n', {"", "", "####.", "##.##", "##.##", "##.##", "##.##"}},
    {'c', {"", "", ".####", "##...", "##...", "##...", ".####"}},
    {'o', {"", "", ".###.", "##.##", "##.##", "##.##", ".###."}},
    {'u', {"", "", "##.##", "##.##", "##.##", "##.##", ".####"}},
    {'s', {"", "", ".####", "##...", ".###.", "...##", "####."}},
    {'2', {".###.", "##.##", "...##", "..##.", ".##..", "##...", "#####"}},
    {'5', {"#####", "##...", "####.", "...##", "...##", "##.##", ".###."}},
    {'6', {".###.", "##...", "####.", "##.##", "##.##", "##.##", ".###."}},
};
constexpr int CAPTION_SPACE = 3, CAPTION_GAP = 1, CAPTION_TOP = 0;

const Glyph& caption_glyph(char c) {
    for (const Glyph& g : CAPTION_FONT)
        if (g.c == c) return g;
    fprintf(stderr, "kelvora-assets: the caption face has no '%c'\n", c);
    exit(1);
}
int glyph_width(const Glyph& g) {
    int w = 0;
    for (const char* r : g.rows) w = std::max(w, int(std::strlen(r)));
    return w;
}

Indexed draw_overl() {
    const int W = 229, H = 24;
    const std::string text = "real time in 256 colours";
    int width = 0;
    for (char c : text) width += (c == ' ' ? CAPTION_SPACE : glyph_width(caption_glyph(c))) + CAPTION_GAP;
    width -= CAPTION_GAP;
    Plane ink(W, H);
    int x = int(std::lround(160.5 - 90 - width / 2.0));  // centred over the logo
    for (char c : text) {
        if (c == ' ') {
            x += CAPTION_SPACE + CAPTION_GAP;
            continue;
        }
        const Glyph& g = caption_glyph(c);
        for (int r = 0; r < 7; ++r)
            for (int i = 0; g.rows[r][i]; ++i)
                if (g.rows[r][i] == '#') ink.at(x + i, CAPTION_TOP + r) = 1.f;
        x += glyph_width(g) + CAPTION_GAP;
    }
    Indexed out(W, H, LOGO_KEY);
    for (int y = 0; y < H; ++y)
        for (int x2 = 0; x2 < W; ++x2) {
            if (ink.at(x2, y) > 0.5f) {
                // Light yellow on top of the letters, deep orange at the foot.
                const float t = float(y - CAPTION_TOP) / 6.f;
                out.at(x2, y) = uint8_t(std::lround(lerp(191.f, 206.f, t)));
                continue;
            }
            // A dark red edge beside the ink and under its foot (screen row 94, the
            // band's top row, still clear of the loop on row 95), so the caption
            // stands on a dark line instead of touching the lit band.
            bool near = false;
            for (int j = y == CAPTION_TOP + 7 ? -1 : 0; j <= 0; ++j)  // under the foot only, so the i dots stay apart
                for (int i = -1; i <= 1; ++i) {
                    const int nx = x2 + i, ny = y + j;
                    if (nx >= 0 && nx < W && ny >= 0 && ny <= CAPTION_TOP + 6) near |= ink.at(nx, ny) > 0.5f;
                }
            if (near && y <= CAPTION_TOP + 7) out.at(x2, y) = 250;
        }
    return out;
}

// The strip that swings up and down over columns 33..72: a lit conduit between two
// thin rails, carrying lenses of three sizes at uneven spacing, so the swing shows a
// changing run of lights instead of one lens repeated. It is averaged with the
// background (about 47), so a strip value s shows as (47 + s) / 2: values past 190
// (the warm half of the palette, never seen as such) bring the lenses up to the pale
// peak of the cool ramp, 47 leaves the background as it is.
struct StripLens {
    float y, r;
};
constexpr StripLens STRIP_LENSES[] = {{16, 12}, {41, 5}, {57, 8}, {76, 5}, {104, 13}, {131, 6},
                                      {149, 9}, {168, 5}, {193, 12}, {219, 6}, {238, 9}, {258, 5},
                                      {281, 12}};
Indexed draw_overl2() {
    const int W = 40, H = 295;
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float cx = float(x) - 19.5f, fy = float(y) + 0.5f;
            // Nearest lens (they never overlap).
            const StripLens* near = &STRIP_LENSES[0];
            for (const StripLens& l : STRIP_LENSES)
                if (std::fabs(l.y - fy) < std::fabs(near->y - fy)) near = &l;
            const float cy = fy - near->y, R = near->r;
            const float r = std::sqrt(cx * cx + cy * cy);
            float s;
            if (r < R) {
                // Lens: a glass ball lit from the upper left, a hot spot off its centre.
                const float lit = std::clamp(1.f - r / R + 0.3f * (-cx - cy) / R, 0.f, 1.f);
                const float spot = std::hypot(cx + R * 0.35f, cy + R * 0.35f) < R * 0.22f + 0.6f ? 1.f : 0.f;
                s = 118.f + 137.f * std::max(lit, spot);
            } else if (r < R + 2.f) {
                s = 12.f;  // the dark bezel round each lens
            } else if (r < R + 3.f) {
                s = 96.f;  // its lit outer lip
            } else if (std::fabs(cx) <= 4.f) {
                // The conduit: a round pipe, lit on its left, a glowing core line.
                const float u = cx / 4.f;
                s = std::fabs(cx) < 1.f ? 176.f : 70.f + 50.f * (1.f - u) * std::sqrt(std::max(0.f, 1.f - u * u));
            } else if (std::fabs(cx) >= 15.f && std::fabs(cx) <= 17.f) {
                s = cx < 0 ? 104.f - 18.f * (std::fabs(cx) - 15.f) : 64.f;  // rails, lit on the left
            } else if (std::fabs(cy) < 1.5f && std::fabs(cx) < 15.f && R >= 8.f) {
                s = 84.f;  // a strut from the big lenses out to the rails
            } else {
                s = 47.f;  // the background shows through
            }
            out.at(x, y) = uint8_t(std::clamp(int(std::lround(s)), 0, 255));
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
