// Scene 3: the hidden picture (alien), revealed through discs and smoothed toward
// the background 32, so it lives in 33..255: lit surfaces on the light end of the
// blue-grey ramp, shadow toward 222, glowing eyes and rim light in the bright blues
// 223..255. The two captions (alwork, aphandl) are mask shapes: any non-zero byte.
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"
#include "sdf.h"

namespace art {
namespace {

// A ray-marched creature: a long domed skull, large slanted eyes, cheek ridges,
// a narrow jaw and a neck with tendrils.
float alien_field(V3 p) {
    V3 q = rot_x(p, -0.25f);
    float skull = sd_ellipsoid(q - V3{0, 0.35f, 0.15f}, {0.62f, 0.78f, 0.72f});
    float face = sd_ellipsoid(q - V3{0, -0.25f, -0.12f}, {0.42f, 0.55f, 0.45f});
    float head = smin(skull, face, 0.25f);
    float jaw = sd_ellipsoid(q - V3{0, -0.72f, -0.05f}, {0.2f, 0.2f, 0.22f});
    head = smin(head, jaw, 0.18f);
    float neck = sd_capsule(p, {0, -0.7f, 0.2f}, {0, -1.8f, 0.35f}, 0.2f);
    head = smin(head, neck, 0.15f);
    // Ridges over the skull.
    float ridge = sd_capsule(q, {0, 1.05f, 0.3f}, {0, 0.35f, -0.45f}, 0.07f);
    head = smin(head, ridge, 0.08f);
    // Tendrils hanging from the jaw line.
    for (int i = -2; i <= 2; ++i) {
        float x = 0.13f * float(i);
        float t = sd_capsule(p, {x, -0.65f, -0.2f}, {x * 1.6f, -1.6f, -0.35f + 0.05f * std::fabs(float(i))}, 0.045f);
        head = smin(head, t, 0.06f);
    }
    // Eye sockets carved in.
    for (float s : {-1.f, 1.f}) {
        V3 e = rot_z(q - V3{0.22f * s, -0.05f, -0.48f}, -0.5f * s);
        head = std::max(head, -sd_ellipsoid(e, {0.2f, 0.09f, 0.12f}));
    }
    return head;
}

float eye_field(V3 p) {
    V3 q = rot_x(p, -0.25f);
    float d = 1e9f;
    for (float s : {-1.f, 1.f}) {
        V3 e = rot_z(q - V3{0.22f * s, -0.05f, -0.44f}, -0.5f * s);
        d = std::min(d, sd_ellipsoid(e, {0.18f, 0.075f, 0.08f}));
    }
    return d;
}

Indexed draw_alien() {
    const int W = 320, H = 200;
    Indexed out(W, H);
    auto scene = [](V3 p) { return std::min(alien_field(p), eye_field(p)); };
    const V3 eye{0.35f, 0.1f, -3.4f};
    V3 fw = normalize(V3{0, 0.0f, 0} - eye), rt = normalize(cross({0, 1, 0}, fw)), up = cross(fw, rt);
    const V3 key = normalize({-0.5f, 0.7f, -0.6f}), rim = normalize({0.8f, 0.2f, 0.7f});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float u = (float(x) + 0.5f - W / 2.f) / H, v = -(float(y) + 0.5f - H / 2.f) / H;
            V3 d = normalize(fw * 1.25f + rt * u + up * v);
            float t = march(eye, d, scene, 8.f);
            if (t < 0) {
                // Dark backdrop with a faint glow behind the head.
                float g = std::exp(-(u * u + v * v) * 3.f);
                float n = fbm(x / 30.f, y / 30.f, 41, 3);
                out.at(x, y) = ramp_index(0.92f - 0.35f * g - 0.1f * n, 33, 222, x, y);
                continue;
            }
            V3 p = eye + d * t;
            if (eye_field(p) < 0.01f) {
                V3 n = normal_at(p, eye_field);
                float s = std::pow(std::max(0.f, dot(reflect(d, n), key)), 12.f);
                out.at(x, y) = ramp_index(0.35f + 0.45f * std::max(0.f, -n.z) + s, 223, 255, x, y);
                continue;
            }
            V3 n = normal_at(p, alien_field);
            float diff = std::max(0.f, dot(n, key));
            float occ = occlusion(p, n, alien_field);
            float skin = fbm(p.x * 6.f + 9.f, p.y * 6.f + 9.f, 43, 4);
            float l = (0.08f + 0.75f * diff) * (0.6f + 0.4f * occ) * (0.85f + 0.3f * skin);
            float r = std::pow(std::max(0.f, dot(n, rim)), 3.f) * (1.f - std::fabs(dot(d, n)));
            if (r > 0.25f) {
                out.at(x, y) = ramp_index(r, 226, 250, x, y);
                continue;
            }
            out.at(x, y) = ramp_index(1.f - l, 33, 222, x, y);
        }
    return out;
}

Indexed caption_shape(int w, int h, const std::string& text) {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 2;
    return text_sprite(w, h, text, st, 0, [](int, int, float) { return uint8_t(250); }, 1);
}

}  // namespace

void register_scene03() {
    auto& r = registry();
    r.push_back({"alien", 320, 200, -1, &scene3_palette, draw_alien});
    r.push_back({"alwork", 269, 24, 0, &scene3_palette, [] { return caption_shape(269, 24, "CREATURE AT WORK"); }});
    r.push_back({"aphandl", 288, 32, 0, &scene3_palette, [] { return caption_shape(288, 32, "HANDLE WITH CARE"); }});
}

}  // namespace art
