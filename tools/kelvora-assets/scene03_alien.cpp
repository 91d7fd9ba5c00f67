// Scene 3: the hidden picture (alien) and the two caption shapes (alwork, aphandl).
// The scene shows the picture only through its disc mask, averaging every shown
// pixel with its four neighbours and lifting it to at least 32, so the picture lives
// on one tone axis: the ramp from the background's grey (near 32) down to black at
// 222, then the bright ramp from black at 223 through maroon and copper to pale cyan
// at 255. The palette's own browns and reds (1..31) would never reach the screen: the
// lift turns them into the background's 32. The entries below 223 are mostly what a
// disc's edge makes of the copper and 32, so the palette keeps them a dusky copper.
// The creature's head, filling the middle of the cloud, is lit in the copper ramp
// as the lightest thing in the picture, modelled as one rounded form with black
// eyes that read in any fragment; the machinery behind it takes a warm light in
// darker maroon near the head and sinks into navy black towards the frame's sides;
// the two captions are plates centred on the frame between hazard stripes, and the
// picture holds their lettering, bright on navy black, so that the words stand out
// against the background's grey however the cloud's discs merge with the plates.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"
#include "sdf.h"

namespace art {
namespace {

constexpr int W = 320, H = 200;
constexpr float PI = 3.14159265f;

enum Material { CARAPACE, EYE, MACHINE, LAMP };

struct Hit {
    float d;
    Material m;
};
inline Hit closer(Hit a, Hit b) { return a.d < b.d ? a : b; }

float sd_box(V3 p, V3 half) {
    V3 q{std::fabs(p.x) - half.x, std::fabs(p.y) - half.y, std::fabs(p.z) - half.z};
    V3 o{std::max(q.x, 0.f), std::max(q.y, 0.f), std::max(q.z, 0.f)};
    return length(o) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.f);
}

// Raised rings along a capsule-like limb: 0 between rings, `height` on a ring.
float rings(float along, float count, float height) {
    float s = 0.5f + 0.5f * std::cos(along * count * 2.f * PI);
    return height * s * s * s * s;
}

// The head, facing the viewer (-z): a tall domed skull over a narrow jaw, large
// slanted eyes, ridges running back over the dome, and ringed hoses from the
// temples and the jaw out into the machinery.
float skull(V3 p) {
    float dome = sd_ellipsoid(p - V3{0.f, 0.32f, 0.08f}, {0.64f, 0.62f, 0.62f});
    float face = sd_ellipsoid(p - V3{0.f, -0.3f, -0.12f}, {0.3f, 0.46f, 0.34f});
    float d = smin(dome, face, 0.28f);
    d = smin(d, sd_sphere(p - V3{0.f, -0.72f, -0.2f}, 0.07f), 0.14f);
    float mirror_x = std::fabs(p.x);
    V3 m{mirror_x, p.y, p.z};
    // Cheek bones and brows.
    d = smin(d, sd_capsule(m, {0.14f, -0.34f, -0.36f}, {0.36f, -0.06f, -0.3f}, 0.045f), 0.08f);
    d = smin(d, sd_capsule(m, {0.08f, 0.15f, -0.5f}, {0.42f, 0.2f, -0.36f}, 0.04f), 0.08f);
    // A crest from the brow back over the dome.
    d -= 0.03f * std::exp(-p.x * p.x * 300.f) * smoothstep(0.f, 0.45f, p.y);
    // Eye sockets, nostril slits and the mouth carved in.
    for (float s : {-1.f, 1.f}) {
        V3 e = rot_z(p - V3{0.23f * s, -0.06f, -0.44f}, -0.5f * s);
        d = std::max(d, -sd_ellipsoid(e, {0.26f, 0.12f, 0.18f}));
        d = std::max(d, -sd_capsule(p, {0.035f * s, -0.36f, -0.47f}, {0.05f * s, -0.4f, -0.46f}, 0.018f));
    }
    d = std::max(d, -sd_box(p - V3{0.f, -0.55f, -0.45f}, {0.13f, 0.014f, 0.1f}));
    return d;
}

float eyes(V3 p) {
    float d = 1e9f;
    for (float s : {-1.f, 1.f}) {
        V3 e = rot_z(p - V3{0.23f * s, -0.06f, -0.42f}, -0.5f * s);
        d = std::min(d, sd_ellipsoid(e, {0.245f, 0.105f, 0.13f}));
    }
    return d;
}

// A ringed hose sagging from a to b: a quadratic curve through a point dropped
// below the middle, walked as straight pieces.
float hose(V3 p, V3 a, V3 b, float sag, float r) {
    V3 c = (a + b) * 0.5f - V3{0.f, sag, 0.f};
    constexpr int PIECES = 7;
    float d = 1e9f;
    V3 prev = a;
    for (int i = 1; i <= PIECES; ++i) {
        float t = float(i) / PIECES, u = 1.f - t;
        V3 next = a * (u * u) + c * (2.f * u * t) + b * (t * t);
        V3 ba = next - prev;
        float h = std::clamp(dot(p - prev, ba) / dot(ba, ba), 0.f, 1.f);
        float along = (float(i - 1) + h) / PIECES;
        d = std::min(d, length(p - (prev + ba * h)) - r - rings(along, 12.f, 0.02f));
        prev = next;
    }
    return d;
}

float hoses(V3 p) {
    V3 m{std::fabs(p.x), p.y, p.z};  // one side, mirrored
    float d = hose(m, {0.55f, 0.1f, 0.2f}, {1.7f, 0.05f, 1.25f}, 0.5f, 0.08f);
    d = std::min(d, hose(m, {0.5f, 0.5f, 0.3f}, {1.3f, 0.95f, 1.25f}, 0.1f, 0.05f));
    d = std::min(d, hose(m, {0.16f, -0.55f, 0.05f}, {1.1f, -1.05f, 1.25f}, 0.3f, 0.055f));
    // The neck: a ringed trunk down into the lower band.
    float neck = sd_capsule(p, {0.f, -0.5f, 0.1f}, {0.f, -1.6f, 0.25f}, 0.15f);
    neck -= rings(p.y, 7.f, 0.03f);
    return smin(d, neck, 0.05f);
}

Hit head(V3 p) {
    Hit h{smin(skull(p), hoses(p), 0.08f), CARAPACE};
    return closer(h, {eyes(p), EYE});
}

V3 to_head(V3 p) { return rot_y(p - V3{0.f, 0.05f, 0.f}, -0.18f); }

// The machinery behind: a wall of ringed pipes of uneven girth over a lumpy plate,
// crossed by two jointed spines; some of their joints are lamps.
Hit machine(V3 p) {
    float plate = 1.45f - p.z - 0.06f * fbm(p.x * 3.f + 5.f, p.y * 3.f + 2.f, 307, 4);
    const float pitch = 0.36f;
    float cell = std::floor((p.x + pitch / 2) / pitch);
    float qx = p.x - cell * pitch;
    float girth = 0.09f + 0.05f * hash2(int(cell), 0, 313);
    float pipe = std::sqrt(qx * qx + (p.z - 1.3f) * (p.z - 1.3f)) - girth;
    pipe -= rings(p.y * (0.9f + 0.1f * std::fmod(std::fabs(cell), 3.f)), 3.f, 0.018f);
    Hit h{smin(plate, pipe, 0.06f), MACHINE};
    int spine = 0;
    for (float y0 : {-0.55f, 0.6f}) {
        const float seg = 0.22f;
        float joint = std::floor(p.x / seg + 0.5f);
        float sx = p.x - seg * joint;
        float drop = 0.12f * std::sin(p.x * 1.3f + y0 * 3.f);
        V3 v{sx, p.y - y0 - drop, p.z - 1.12f};
        float bone = sd_ellipsoid(v, {0.085f, 0.09f, 0.09f});
        float cord = std::sqrt(v.y * v.y + v.z * v.z) - 0.035f;
        bool lamp = hash2(int(joint), spine++, 317) < 0.16f;
        if (lamp) h = closer(h, {bone, LAMP}), h.d = std::min(h.d, cord);
        else h.d = std::min(h.d, smin(bone, cord, 0.03f));
    }
    return h;
}

Hit scene(V3 p) { return closer(head(to_head(p)), machine(p)); }
float field(V3 p) { return scene(p).d; }

// The light behind the head, 0..1 over the frame (u, v as the rays' screen
// coordinates): full over the dome and face, falling off past the head's outline.
constexpr float CORONA_RIM = 0.22f;
float corona_at(float u, float v) {
    const float du = u / 0.62f, dv = (v - 0.08f) / 0.7f;
    return std::min(1.f, 1.7f * std::exp(-(du * du + dv * dv) * 1.0f));
}

// Tone: negative values run the greys (-1 lightest), positive the bright ramp (+1 pale
// cyan), with 0 as black, where the two ramps meet.
float shade(V3 eye, V3 dir, float corona) {
    float t = march(eye, dir, field, 9.f, 220);
    if (t < 0) return -0.05f;
    V3 p = eye + dir * t;
    Hit h = scene(p);
    V3 n = normal_at(p, field);
    const V3 key = normalize({-0.55f, 0.65f, -0.55f});
    const V3 fill = normalize({0.8f, -0.3f, -0.4f});
    const V3 back = normalize({0.4f, 0.5f, 0.9f});
    float diff = std::max(0.f, dot(n, key));
    float occ = occlusion(p, n, field);
    // Shadow from the key light: a short march toward it.
    float lit = march(p + n * 0.01f, key, field, 3.f, 60) < 0 ? 1.f : 0.35f;
    float spec = std::pow(std::max(0.f, dot(reflect(dir, n), key)), 40.f) * lit;
    float rim = std::pow(1.f - std::fabs(dot(dir, n)), 3.f) * std::max(0.f, dot(n, back) + 0.3f);
    float fl = std::max(0.f, dot(n, fill));
    switch (h.m) {
    case CARAPACE: {
        // Wrinkled skin: the normal tilted by the slope of a ridged noise.
        const float e = 0.01f;
        auto skin = [](V3 q) { return turbulence(q.x * 4.f + 3.f, q.y * 4.f + 1.f - q.z * 2.f, 331, 3); };
        float s0 = skin(p);
        n = normalize(n + V3{(skin(p + V3{e, 0, 0}) - s0) / e, (skin(p + V3{0, e, 0}) - s0) / e, 0.f} * 0.004f);
        diff = std::max(0.f, dot(n, key));
        spec = std::pow(std::max(0.f, dot(reflect(dir, n), key)), 40.f) * lit;
        // Glossy: a dark body, a sharp highlight and a broad sheen from the key
        // light, and a cold rim from behind.
        float sheen = std::pow(std::max(0.f, dot(reflect(dir, n), key)), 6.f) * lit;
        // The body sits in the ramp's copper above the machinery's maroon, so
        // the head is the lightest form in the picture; only the sheen and the
        // highlights climb to the cream at the ramp's top.
        // One big form first: the head's sides turn away from us into shadow, so
        // the dome and the middle of the face carry the light and any fragment
        // of the head shows which way it is turned.
        const float facing = std::max(0.f, -dot(dir, n));
        const float form = 0.3f + 0.7f * facing * facing;
        float b = 0.19f + (0.2f + 0.55f * std::pow(diff, 1.2f) * lit * occ + 0.32f * sheen) * form + 0.08f * fl * occ +
                  1.2f * spec + 0.1f * rim * occ;
        // A soft shoulder instead of a clip: past the copper the highlight eases up
        // through the cream over several entries and stops short of the ramp's
        // white, so the dome's shine is a graded pool rather than a flat patch.
        const float knee = 0.7f, room = 0.21f;
        if (b > knee) b = knee + room * (1.f - std::exp(-(b - knee) / room));
        return clamp01(b);
    }
    case EYE: {
        // Black glass: only reflections, a soft band of the sky above and the key
        // light as a catch light broad enough to survive the scene's softening, so
        // the eyes look back at the viewer through the discs.
        float sky = smoothstep(0.45f, 0.75f, reflect(dir, n).y);
        float glint = std::pow(std::max(0.f, dot(reflect(dir, n), key)), 14.f) * lit;
        return clamp01(0.01f + 0.5f * sky + 1.5f * spec + (glint > 0.28f ? 0.97f : 0.f));
    }
    // Lamps burn at the top of the bright ramp, cream at their rims to pale cyan
    // where they face us: sparks wherever a disc uncovers one.
    case LAMP: return clamp01(0.84f + 0.16f * std::pow(std::fabs(dot(dir, n)), 2.f) + spec);
    case MACHINE: default: {
        // Steel: its lit faces and grooves, measured 0..1 before the light behind
        // the head decides which ramp carries them.
        float g = 0.12f + 0.8f * std::sqrt(diff * lit) * occ * occ + 0.2f * fl * occ + 0.4f * spec;
        g = std::min(g, 0.96f);
        // The light behind the head floods the machinery near it in maroon and
        // copper, its surfaces lit on the key light's side and shadowed on the
        // other, falling off to black at its rim, where the steel takes over. It
        // stays below the head's own copper, so the head stands out lightest.
        if (corona > CORONA_RIM) {
            const float level = std::pow(clamp01((corona - CORONA_RIM) / (1.f - CORONA_RIM)), 0.6f);
            const float form = 0.25f + 0.6f * std::sqrt(diff * lit) * occ + 0.15f * fl * occ;
            return clamp01(level * 0.28f * form + 0.2f * spec * level);
        }
        // Past the light's rim the steel sinks into the navy black at the foot of
        // the bright ramp, lit faces only a shade warmer, so the copper head stands
        // on darkness however the discs cut it.
        g *= smoothstep(0.f, 1.f, (CORONA_RIM - corona) / CORONA_RIM * 1.6f);
        return 0.1f * g;
    }
    }
}

uint8_t tone_index(float tone, int x, int y) {
    if (tone >= 0.f) return ramp_index(tone, 223, 255, x, y);
    // The ramp below 223 stops short of the background's own 32 so that shown
    // pixels stay apart from it.
    return ramp_index(-tone, 222, 40, x, y);
}

// Where the captions stand in the frame (their blit positions), the plate each
// caption stands on (frame coordinates: centred on the frame, 6 pixels clear of its
// top and bottom edges, whatever the blit rectangle allows), the width of the
// hazard stripes at each end of the plate, and what they say.
struct Caption {
    int x, y, w, h;
    int px, py, pw, ph;
    int stripes;
    const char* text;
};
constexpr Caption TOP_CAPTION{50, 1, 269, 24, 50, 6, 220, 19, 14, "CREATURE AT WORK"};
constexpr Caption LOW_CAPTION{16, 167, 288, 32, 16, 167, 288, 27, 18, "HANDLE WITH CARE"};

// Caption layers in frame coordinates over the caption's blit rectangle: 0 off the
// plate, 1 the lettering's outline, 2 a glyph, 3 the plate's steel, 4 its rim, 5 an
// amber stripe, 6 a black stripe. The plate is a rectangle with rounded corners;
// the lettering is set between the striped ends with a margin. The same geometry
// gives the caption's shape (caption_shape), so the two line up pixel for pixel.
Indexed caption_layers(const Caption& c) {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 1;
    st.edge_width = 2.5;
    st.edge_index = 1;
    const int rim = 2, mx = c.stripes + rim + 3, my = c.ph > 22 ? rim + 1 : rim;
    Indexed type = text_sprite(c.pw - 2 * mx, c.ph - 2 * my, c.text, st, 0, [](int, int, float) { return uint8_t(2); }, 0);
    Indexed out(c.w, c.h, 0);
    const float r = 5.f;  // corner radius
    auto on_plate = [&](float fx, float fy, float inset) {
        const float x0 = float(c.px) + inset, x1 = float(c.px + c.pw) - inset;
        const float y0 = float(c.py) + inset, y1 = float(c.py + c.ph) - inset;
        const float rr = std::max(0.5f, r - inset);
        const float cx = std::clamp(fx, x0 + rr, x1 - rr), cy = std::clamp(fy, y0 + rr, y1 - rr);
        const float dx = fx - cx, dy = fy - cy;
        return fx >= x0 && fx <= x1 && fy >= y0 && fy <= y1 && dx * dx + dy * dy <= rr * rr;
    };
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const int fx = c.x + x, fy = c.y + y;
            const float sx = float(fx) + 0.5f, sy = float(fy) + 0.5f;
            if (!on_plate(sx, sy, 0.f)) continue;
            if (!on_plate(sx, sy, float(rim))) {
                out.at(x, y) = 4;
                continue;
            }
            const int tx = fx - c.px - mx, ty = fy - c.py - my;
            if (tx >= 0 && ty >= 0 && tx < type.w && ty < type.h && type.at(tx, ty)) {
                out.at(x, y) = type.at(tx, ty);
                continue;
            }
            const int from_end = std::min(fx - c.px, c.px + c.pw - 1 - fx);
            if (from_end < c.stripes + rim) {
                // Stripes leaning like a hazard band: 5 amber, 5 black pixels.
                const int lean = fx < c.px + c.pw / 2 ? fx + fy : fx - fy + 1000;
                out.at(x, y) = (lean / 5) % 2 ? 6 : 5;
                continue;
            }
            out.at(x, y) = 3;
        }
    return out;
}

// The caption as the picture holds it: the lettering burns in the bright ramp,
// cream at the top of each stroke to copper at its foot, inside a black outline,
// on a plate of navy black, far darker than the background's grey, with a rim lit
// copper along its top and left and shadowed along its foot, between amber and
// black hazard stripes.
// Returns false where (x, y) lies off the plate.
bool band_tone(int x, int y, const Caption& c, Indexed& layers, float& tone) {
    const int lx = x - c.x, ly = y - c.y;
    const uint8_t l = (lx >= 0 && lx < c.w && ly >= 0 && ly < c.h) ? layers.at(lx, ly) : 0;
    if (l == 0) return false;
    const float u = (float(y) - float(c.py)) / float(c.ph - 1);  // 0 top .. 1 foot of the plate
    switch (l) {
    case 1: tone = 0.f; break;
    case 2: {
        const float streak = fbm(float(x) / 23.f, float(y) / 3.f, 311, 3) - 0.5f;
        const float v = (float(y) - float(c.py) - 3.f) / float(c.ph - 7);
        tone = clamp01(0.97f - 0.4f * v + 0.05f * streak);
        break;
    }
    case 4: {
        // Lit from the upper left: the top and left edges in copper, the foot and
        // the right in shadow.
        const float lit = 0.5f + 0.5f * (1.f - 2.f * u) - 0.25f * (float(x - c.px) / float(c.pw) - 0.5f);
        tone = lit > 0.45f ? 0.55f + 0.2f * lit : -0.04f;
        break;
    }
    case 5: tone = 0.7f - 0.12f * u; break;
    case 6: tone = 0.02f; break;
    default: {
        const float brush = fbm(float(x) / 9.f, float(y) * 2.f, 337, 2) - 0.5f;
        tone = 0.035f * (1.f - u) + 0.015f * brush;
    }
    }
    return true;
}

Indexed draw_alien() {
    Indexed out(W, H);
    Indexed top = caption_layers(TOP_CAPTION), low = caption_layers(LOW_CAPTION);
    const V3 eye{-0.2f, 0.05f, -3.2f};
    const V3 fw = normalize(V3{0.f, 0.f, 0.f} - eye);
    const V3 rt = normalize(cross({0, 1, 0}, fw)), up = cross(fw, rt);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float plate = 0.f;
            if (band_tone(x, y, TOP_CAPTION, top, plate) || band_tone(x, y, LOW_CAPTION, low, plate)) {
                out.at(x, y) = tone_index(plate, x, y);
                continue;
            }
            // Four rays per pixel, their tones averaged: the same straight mix the
            // scene's softening makes of neighbouring indices.
            float sum = 0;
            for (int s = 0; s < 4; ++s) {
                float u = (float(x) + 0.25f + 0.5f * float(s & 1) - W / 2.f) / H;
                float v = -(float(y) + 0.25f + 0.5f * float(s >> 1) - H / 2.f) / H;
                sum += shade(eye, normalize(fw * 1.55f + rt * u + up * v), corona_at(u, v));
            }
            out.at(x, y) = tone_index(sum / 4.f, x, y);
        }
    return out;
}

// Only the shapes of the captions matter to the scene; their bytes are picked so
// that, added onto the background 32, they land on the palette's brightest entry.
// The outline widens every stroke so that softening, which darkens a shown stroke
// from its edges in, leaves the glyph itself at the bar's brightness.
Indexed caption_shape(const Caption& c) {
    const uint8_t onto_background = uint8_t(255 - 32);
    Indexed out = caption_layers(c);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x)
            if (out.at(x, y)) out.at(x, y) = onto_background;
    return out;
}

}  // namespace

void register_scene03() {
    auto& r = registry();
    r.push_back({"alien", W, H, -1, &scene3_palette, draw_alien});
    r.push_back({"alwork", 269, 24, 0, &scene3_palette, [] { return caption_shape(TOP_CAPTION); }});
    r.push_back({"aphandl", 288, 32, 0, &scene3_palette, [] { return caption_shape(LOW_CAPTION); }});
}

}  // namespace art
