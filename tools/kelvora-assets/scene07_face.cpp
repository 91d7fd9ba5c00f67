// Scene 7: the face at the top of the shaded tube (face: key 0, quantised onto
// the colours of the banded palette 62..191) and the banner of added amounts
// (pay_att: each byte is added to the picture, capped at 191).
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"
#include "scenes/scene07_shaded_tube.h"
#include "sdf.h"

namespace art {
namespace {

// A sculpted face, ray-marched: cranium, jaw and chin blended smoothly, cheekbones,
// a brow ridge over carved eye sockets, nose, lips parted by a thin slit. Units:
// the face is about two units from brow to chin, looking down the -z axis.
constexpr float MASK_TOP = 0.43f;  // the cut's height, in face units above the eyes

float face_field(V3 p) {
    float d = sd_ellipsoid(p - V3{0, 0.25f, 0.1f}, {0.72f, 0.88f, 0.8f});
    d = smin(d, sd_ellipsoid(p - V3{0, -0.35f, -0.12f}, {0.56f, 0.62f, 0.6f}), 0.25f);
    d = smin(d, sd_ellipsoid(p - V3{0, -0.86f, -0.3f}, {0.23f, 0.16f, 0.2f}), 0.16f);
    for (float s : {-1.f, 1.f})
        d = smin(d, sd_ellipsoid(p - V3{0.38f * s, -0.16f, -0.45f}, {0.19f, 0.12f, 0.16f}), 0.15f);
    d = smin(d, sd_capsule(p, {-0.4f, 0.14f, -0.56f}, {0.4f, 0.14f, -0.56f}, 0.07f), 0.14f);
    for (float s : {-1.f, 1.f}) {
        const float socket = sd_ellipsoid(p - V3{0.25f * s, 0.0f, -0.7f}, {0.18f, 0.11f, 0.16f});
        d = -smin(-d, socket, 0.06f);  // smooth subtraction
    }
    // Eyelids: shells over the eyeballs, the upper one heavy, down to just above the
    // middle, the lower one up to just below it.
    for (float s : {-1.f, 1.f}) {
        const V3 c = p - V3{0.25f * s, 0.0f, -0.53f};
        const float shell = sd_sphere(c, 0.145f);
        d = smin(d, std::max(shell, 0.012f - c.y), 0.02f);
        d = smin(d, std::max(shell, c.y + 0.065f), 0.02f);
    }
    // Nose: bridge, tip and the wings of the nostrils.
    float nose = sd_capsule(p, {0, 0.06f, -0.64f}, {0, -0.28f, -0.84f}, 0.055f);
    nose = smin(nose, sd_sphere(p - V3{0, -0.31f, -0.81f}, 0.085f), 0.06f);
    for (float s : {-1.f, 1.f}) nose = smin(nose, sd_sphere(p - V3{0.075f * s, -0.36f, -0.73f}, 0.06f), 0.05f);
    d = smin(d, nose, 0.06f);
    // Lips and the slit between them.
    float lips = sd_ellipsoid(p - V3{0, -0.52f, -0.69f}, {0.2f, 0.05f, 0.08f});
    lips = smin(lips, sd_ellipsoid(p - V3{0, -0.605f, -0.67f}, {0.17f, 0.055f, 0.08f}), 0.03f);
    d = smin(d, lips, 0.05f);
    d = std::max(d, -sd_ellipsoid(p - V3{0, -0.557f, -0.76f}, {0.2f, 0.011f, 0.09f}));
    // A mask, not a head: cut level across the forehead with a rounded lip, which
    // the key light from above catches as a bright rim, so the face ends in a
    // clean edge a few rows under the frame's top instead of running off it.
    return -smin(-d, MASK_TOP - p.y, 0.07f);
}

float eye_field(V3 p) {
    return std::min(sd_sphere(p - V3{0.25f, 0.0f, -0.53f}, 0.13f), sd_sphere(p - V3{-0.25f, 0.0f, -0.53f}, 0.13f));
}

// The face lit like polished stone from above left, with a cyan rim from the
// right and eyes looking at the viewer; every pixel off the face is the key. The
// tube's entries 62..191 are dark and light bands, not one ramp, so the face's
// shades, from deep navy through cyan to white, are matched to the nearest of
// their colours; a dark line (62) keeps the outline apart from the tube behind.
constexpr uint8_t FACE_SHADOW = 63;  // the darkest teal of the tube's palette

Indexed draw_face() {
    const int W = FACE_DAT_W, H = FACE_DAT_H, SS = 3;  // 3 x 3 samples a pixel
    auto scene = [](V3 p) { return std::min(face_field(p), eye_field(p)); };
    const V3 eye{0.0f, -0.25f, -4.2f};
    const V3 fw = normalize(V3{0.0f, -0.05f, 0.0f} - eye), rt = normalize(cross({0, 1, 0}, fw)),
             up = cross(fw, rt);
    const V3 key = normalize({-0.55f, 0.6f, -0.6f}), rim = normalize({0.9f, 0.1f, 0.4f});
    Plane lum(W, H), cover(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int sy = 0; sy < SS; ++sy)
                for (int sx = 0; sx < SS; ++sx) {
                    // The mask's top edge four rows under the top row, the chin at the
                    // bottom: the whole mask stands inside the sprite.
                    const float u = (float(x) + (float(sx) + 0.5f) / SS - W / 2.f) / 84.f;
                    const float v = -(float(y) + (float(sy) + 0.5f) / SS - 28.5f) / 84.f;
                    const V3 d = normalize(fw * 2.1f + rt * u + up * v);
                    const float t = march(eye, d, scene, 9.f, 220);
                    if (t < 0) continue;
                    const V3 p = eye + d * t;
                    float l;
                    if (eye_field(p) < 0.004f) {
                        // Eyeball: pale, with a wide dark iris and a black pupil facing the camera.
                        const V3 c = p.x > 0 ? V3{0.25f, 0.0f, -0.53f} : V3{-0.25f, 0.0f, -0.53f};
                        const V3 n = normalize(p - c);
                        const V3 look = normalize(eye - c);
                        const float a = dot(n, look);
                        l = a > 0.8f ? (a > 0.95f ? 0.0f : 0.08f + 0.3f * (0.95f - a) / 0.15f) : 0.56f;
                        const float glint = std::pow(std::max(0.f, dot(reflect(d, n), key)), 40.f);
                        l = std::min(1.f, l + glint);
                    } else {
                        const V3 n = normal_at(p, face_field);
                        const float diff = std::max(0.f, dot(n, key));
                        const float occ = occlusion(p, n, face_field);
                        const float spec = std::pow(std::max(0.f, dot(reflect(d, n), key)), 18.f);
                        const float r = std::pow(std::max(0.f, dot(n, rim)), 2.f) * (1.f - std::fabs(dot(d, n)));
                        l = (0.04f + 0.88f * diff * diff) * (0.3f + 0.7f * occ) + 0.6f * spec + 0.75f * r;
                    }
                    lum.at(x, y) += l / (SS * SS);
                    cover.at(x, y) += 1.f / (SS * SS);
                }
    RgbImage shaded(W, H);
    Plane inside(W, H);
    const Rgb dark{0, 3, 7}, mid{8, 30, 40}, light{42, 56, 60}, white{63, 63, 63};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float c = cover.at(x, y);
            if (c < 0.99f) continue;
            const float l = std::clamp(lum.at(x, y) / c, 0.f, 1.f);
            shaded.at(x, y) = l < 0.3f ? mix(dark, mid, l / 0.3f)
                            : l < 0.7f ? mix(mid, light, (l - 0.3f) / 0.4f)
                                       : mix(light, white, (l - 0.7f) / 0.3f);
            inside.at(x, y) = 1.f;
        }
    const ColourSet set(scene7_palette, {{62, 191}});
    Indexed out = quantise(shaded, set, 0.35f, &inside, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (cover.at(x, y) >= 0.5f && cover.at(x, y) < 0.99f) out.at(x, y) = 62;  // the outline
    // A shadow the face casts on the tube, down and to the right of it, two
    // pixels wide: it lifts the face off the rings behind.
    auto on_face = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && cover.at(x, y) >= 0.5f; };
    Indexed shadowed = out;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (!on_face(x, y) && (on_face(x - 1, y - 1) || on_face(x - 2, y - 2) || on_face(x - 2, y - 1)))
                shadowed.at(x, y) = FACE_SHADOW;
    return shadowed;
}

// The banner is added onto the tube with a cap at 191 (white), so its bytes are
// amounts: the letters brighten whatever lies behind them and let the tube show
// through, like lit glass. A bevel from the letters' own coverage, lit from the
// upper left, makes the upper left edges add the most (they reach the cap, a white
// rim, over anything) and the lower right ones the least; the faces add enough to
// reach the cap over their upper half whatever lies behind, less toward the foot,
// where the tube's light shows through. Condensed bold letters, stroked a pixel
// thicker, so every stem is three to four pixels of white. Edge pixels add in
// proportion to their coverage, which antialiases the letters over any background.
Indexed draw_pay_att() {
    const int W = PAY_ATT_W, H = PAY_ATT_H;
    Canvas c(W, H);
    const char* font = "DejaVu Sans Condensed Bold";
    const double spacing = 3;
    const double px = fit_text(c.cr, "PAY ATTENTION", font, W - 8, H - 5, spacing);
    text_path_centred(c.cr, "PAY ATTENTION", font, px, W / 2.0, H / 2.0, spacing);
    ink_thickened(c.cr, 1.0);
    const Plane cover = c.alpha();
    // A softened copy for the bevel's slope.
    Plane soft(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) sum += cover.sample(float(x + dx), float(y + dy));
            soft.at(x, y) = sum / 9.f;
        }
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float a = cover.at(x, y);
            if (a < 0.15f) continue;
            const float gx = soft.sample(float(x + 1), float(y)) - soft.sample(float(x - 1), float(y));
            const float gy = soft.sample(float(x), float(y + 1)) - soft.sample(float(x), float(y - 1));
            const float lit = -(gx + gy) * 0.7071f;  // > 0 on upper left edges
            const float face = 200.f - 60.f * float(y) / float(H);
            const float amount = std::clamp(face + 220.f * lit, 16.f, 191.f) * std::min(1.f, a * 1.4f);
            out.at(x, y) = uint8_t(std::max(1.f, std::round(amount)));
        }
    return out;
}

}  // namespace

void register_scene07() {
    auto& r = registry();
    r.push_back({"face", 115, 73, 0, &scene7_palette, draw_face});
    r.push_back({"pay_att", 238, 27, 0, nullptr, draw_pay_att});  // amounts, shown as greys
}

}  // namespace art
