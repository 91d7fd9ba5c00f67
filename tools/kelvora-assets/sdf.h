// Small vector maths and a sphere tracer for the ray-marched pictures.
#pragma once

#include <algorithm>
#include <cmath>

namespace art {

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline V3 operator*(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
inline float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float length(V3 a) { return std::sqrt(dot(a, a)); }
inline V3 normalize(V3 a) { return a * (1.f / std::max(length(a), 1e-12f)); }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline V3 reflect(V3 d, V3 n) { return d - n * (2.f * dot(d, n)); }
inline V3 rot_x(V3 p, float a) {
    float c = std::cos(a), s = std::sin(a);
    return {p.x, c * p.y - s * p.z, s * p.y + c * p.z};
}
inline V3 rot_y(V3 p, float a) {
    float c = std::cos(a), s = std::sin(a);
    return {c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
}
inline V3 rot_z(V3 p, float a) {
    float c = std::cos(a), s = std::sin(a);
    return {c * p.x - s * p.y, s * p.x + c * p.y, p.z};
}

inline float sd_sphere(V3 p, float r) { return length(p) - r; }
inline float sd_torus(V3 p, float R, float r) {
    float q = std::sqrt(p.x * p.x + p.z * p.z) - R;
    return std::sqrt(q * q + p.y * p.y) - r;
}
inline float sd_ellipsoid(V3 p, V3 r) {
    float k0 = length({p.x / r.x, p.y / r.y, p.z / r.z});
    float k1 = length({p.x / (r.x * r.x), p.y / (r.y * r.y), p.z / (r.z * r.z)});
    return k0 * (k0 - 1.f) / std::max(k1, 1e-6f);
}
inline float sd_capsule(V3 p, V3 a, V3 b, float r) {
    V3 pa = p - a, ba = b - a;
    float h = std::clamp(dot(pa, ba) / dot(ba, ba), 0.f, 1.f);
    return length(pa - ba * h) - r;
}
// Smooth union with blend radius k.
inline float smin(float a, float b, float k) {
    float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.f, 1.f);
    return b + (a - b) * h - k * h * (1.f - h);
}

// Marches the ray from o along unit d through the field f; returns the distance of
// the hit, or a negative value when nothing is hit before tmax.
template <typename F>
float march(V3 o, V3 d, F&& f, float tmax, int steps = 160) {
    float t = 0;
    for (int i = 0; i < steps && t < tmax; ++i) {
        float h = f(o + d * t);
        if (h < 0.001f * (1.f + t)) return t;
        t += h * 0.9f;
    }
    return -1.f;
}

template <typename F>
V3 normal_at(V3 p, F&& f) {
    const float e = 0.002f;
    return normalize({f({p.x + e, p.y, p.z}) - f({p.x - e, p.y, p.z}),
                      f({p.x, p.y + e, p.z}) - f({p.x, p.y - e, p.z}),
                      f({p.x, p.y, p.z + e}) - f({p.x, p.y, p.z - e})});
}

// Ambient occlusion estimate along the normal, 0 (closed) .. 1 (open).
template <typename F>
float occlusion(V3 p, V3 n, F&& f) {
    float occ = 0, sca = 1;
    for (int i = 1; i <= 5; ++i) {
        float h = 0.03f * float(i);
        occ += (h - f(p + n * h)) * sca;
        sca *= 0.7f;
    }
    return std::clamp(1.f - 3.f * occ, 0.f, 1.f);
}

}  // namespace art
