// Bezier curves by forward differences into the shared point list, and the depth-sized
// stamps along them.
#include "render/bezier_trace.h"

#include <cstdlib>

CurvePoint curve_point_list[CURVE_POINT_SLOTS];
int32_t curve_point_count = 0;

static void list_point(int32_t slot, const Vec3& p) {
    CurvePoint& out = curve_point_list[slot];
    project_point(p, out.x, out.y);
    out.z = int32_t(p.z);  // truncates toward zero
}

void trace_curve(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3,
                 uint32_t steps) {
    curve_point_count = 0;
    if (steps == 0) return;
    const double h = 1.0 / double(steps);
    const double h2 = h * h, h3 = h * h * h;
    // Polynomial coefficients per coordinate (t^3, t^2, t), then the three forward
    // differences. The sums keep this order (t^3 term first): the pictures depend on
    // the last bit before the truncation to pixels.
    auto a3 = [](double c0, double c1, double c2, double c3) { return -c0 + 3 * c1 - 3 * c2 + c3; };
    auto a2 = [](double c0, double c1, double c2) { return 3 * c0 - 6 * c1 + 3 * c2; };
    auto a1 = [](double c0, double c1) { return 3 * c1 - 3 * c0; };
    const Vec3 k3{a3(p0.x, p1.x, p2.x, p3.x), a3(p0.y, p1.y, p2.y, p3.y), a3(p0.z, p1.z, p2.z, p3.z)};
    const Vec3 k2{a2(p0.x, p1.x, p2.x), a2(p0.y, p1.y, p2.y), a2(p0.z, p1.z, p2.z)};
    const Vec3 k1{a1(p0.x, p1.x), a1(p0.y, p1.y), a1(p0.z, p1.z)};
    Vec3 d1{k3.x * h3 + k2.x * h2 + k1.x * h, k3.y * h3 + k2.y * h2 + k1.y * h,
            k3.z * h3 + k2.z * h2 + k1.z * h};
    Vec3 d2{6 * k3.x * h3 + 2 * k2.x * h2, 6 * k3.y * h3 + 2 * k2.y * h2,
            6 * k3.z * h3 + 2 * k2.z * h2};
    const Vec3 d3{6 * k3.x * h3, 6 * k3.y * h3, 6 * k3.z * h3};
    Vec3 cur = p0;
    list_point(0, p0);
    for (uint32_t i = 0; i < steps; ++i) {
        const Vec3 next{cur.x + d1.x, cur.y + d1.y, cur.z + d1.z};
        d1 = {d1.x + d2.x, d1.y + d2.y, d1.z + d2.z};
        d2 = {d2.x + d3.x, d2.y + d3.y, d2.z + d3.z};
        // The list keeps room for the last end point; a longer curve stops listing.
        if (curve_point_count < CURVE_POINT_SLOTS - 1) list_point(++curve_point_count, next);
        cur = next;
    }
}

void stamp_curve_points(PointStamp stamp) {
    for (int32_t i = 0; i <= curve_point_count; ++i) {
        const CurvePoint& p = curve_point_list[i];
        const int32_t d = std::abs(p.z / 7) + 3;  // truncating division
        stamp(uint16_t(p.x), uint16_t(p.y), uint8_t(d));
    }
}
