// Matrices, transform and projection in double precision.
#include "render/math3d.h"

#include <cmath>

#include "render/carried.h"

void matrix_identity(Matrix3& m) {
    for (double& e : m.m) e = 0.0;
    m.m[0] = m.m[4] = m.m[8] = 1.0;
}

void matrix_rotate_z(Matrix3& m, double t) {
    matrix_identity(m);
    const double c = cos(t), s = sin(t);
    m.m[0] = c;
    m.m[1] = s;
    m.m[3] = -s;
    m.m[4] = c;
}

void matrix_rotate_xyz(Matrix3& m, double a, double b, double c) {
    const double ca = cos(a), sa = sin(a);
    const double cb = cos(b), sb = sin(b);
    const double cc = cos(c), sc = sin(c);
    m.m[0] = cb * cc + sa * sb * sc;
    m.m[1] = sa * sb * cc - cb * sc;
    m.m[2] = ca * sb;
    m.m[3] = ca * sc;
    m.m[4] = ca * cc;
    m.m[5] = -sa;
    m.m[6] = sa * cb * sc - sb * cc;
    m.m[7] = sb * sc + sa * cb * cc;
    m.m[8] = ca * cb;
}

void transform_vec(Vec3& v, const Matrix3& m) {
    const double x = v.x, y = v.y, z = v.z;
    v.x = x * m.m[0] + y * m.m[3] + z * m.m[6];
    v.y = x * m.m[1] + y * m.m[4] + z * m.m[7];
    v.z = x * m.m[2] + y * m.m[5] + z * m.m[8];
}

void project_point(const Vec3& p, int32_t& out_x, int32_t& out_y) {
    const Vec3& e = carried.eye_point;
    const double d = e.z - p.z;
    if (d == 0.0) {
        out_x = 0;
        out_y = 0;
        return;
    }
    const double s = 1.0 / d;
    const double sx = s * (p.x * e.z - e.x * p.z) + 160.5;
    const double sy = s * (p.y * e.z - e.y * p.z) + 100.5;
    // Truncation toward zero. A point almost on the eye's plane can land far outside
    // the 32-bit range; it is pinned to the range's ends instead of converting out
    // of range.
    out_x = int32_t(fmin(fmax(sx, -2147483648.0), 2147483647.0));
    out_y = int32_t(fmin(fmax(sy, -2147483648.0), 2147483647.0));
}
