// Rotations, the row-vector transform and the projection.
#include <gtest/gtest.h>

#include <cmath>

#include "render/carried.h"
#include "render/math3d.h"

namespace {

struct EyeGuard {  // carried.eye_point is shared state: put it back after each test
    Vec3 saved = carried.eye_point;
    ~EyeGuard() { carried.eye_point = saved; }
};

void expect_identity(const Matrix3& m) {
    for (int i = 0; i < 9; ++i) EXPECT_EQ(m.m[i], (i % 4 == 0) ? 1.0 : 0.0) << i;
}

TEST(Math3d, ZeroRotationsAreTheIdentity) {
    Matrix3 m;
    matrix_rotate_xyz(m, 0, 0, 0);
    expect_identity(m);
    matrix_rotate_z(m, 0);
    expect_identity(m);
}

TEST(Math3d, RotateZTurnsTheXAxisTowardY) {
    Matrix3 m;
    matrix_rotate_z(m, 0.7);
    Vec3 v = {1, 0, 0};
    transform_vec(v, m);
    EXPECT_DOUBLE_EQ(v.x, cos(0.7));
    EXPECT_DOUBLE_EQ(v.y, sin(0.7));
    EXPECT_EQ(v.z, 0.0);
    EXPECT_EQ(m.m[8], 1.0);
}

TEST(Math3d, RotateXyzIsRyRxRzAsRows) {
    // transform_vec multiplies a row vector, so v * M = (M^T v^T)^T: compare with the
    // product of the three single-axis rotations applied to a column vector.
    const double a = 0.3, b = -1.1, c = 2.0;
    Matrix3 m;
    matrix_rotate_xyz(m, a, b, c);
    auto rz = [&](Vec3 v) { return Vec3{cos(c) * v.x - sin(c) * v.y, sin(c) * v.x + cos(c) * v.y, v.z}; };
    auto rx = [&](Vec3 v) { return Vec3{v.x, cos(a) * v.y - sin(a) * v.z, sin(a) * v.y + cos(a) * v.z}; };
    auto ry = [&](Vec3 v) { return Vec3{cos(b) * v.x + sin(b) * v.z, v.y, -sin(b) * v.x + cos(b) * v.z}; };
    for (int axis = 0; axis < 3; ++axis) {
        Vec3 e = {axis == 0 ? 1.0 : 0.0, axis == 1 ? 1.0 : 0.0, axis == 2 ? 1.0 : 0.0};
        const Vec3 col = ry(rx(rz(e)));  // column `axis` of Ry Rx Rz
        EXPECT_NEAR(m.m[0 + axis], col.x, 1e-15);
        EXPECT_NEAR(m.m[3 + axis], col.y, 1e-15);
        EXPECT_NEAR(m.m[6 + axis], col.z, 1e-15);
    }
}

TEST(Math3d, TransformUsesTheOldVectorForAllThree) {
    Matrix3 m = {{1, 2, 3, 4, 5, 6, 7, 8, 9}};
    Vec3 v = {1, 10, 100};
    transform_vec(v, m);
    EXPECT_EQ(v.x, 1 * 1 + 10 * 4 + 100 * 7);
    EXPECT_EQ(v.y, 1 * 2 + 10 * 5 + 100 * 8);
    EXPECT_EQ(v.z, 1 * 3 + 10 * 6 + 100 * 9);
}

TEST(Math3d, ProjectionFromTheInitialEye) {
    EyeGuard guard;
    EXPECT_EQ(carried.eye_point.x, 200.0);
    EXPECT_EQ(carried.eye_point.y, 200.0);
    EXPECT_EQ(carried.eye_point.z, -200.0);
    int32_t x = -1, y = -1;
    project_point({0, 0, 0}, x, y);
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 100);
    project_point({10, -20, 0}, x, y);
    EXPECT_EQ(x, 170);
    EXPECT_EQ(y, 80);
    project_point({55, 77, -200}, x, y);  // on the eye's plane
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(Math3d, ProjectionTruncatesTowardZero) {
    EyeGuard guard;
    carried.eye_point = {0, 0, -200};
    int32_t x, y;
    // A point at z = 0 keeps its x and y: X = x + 160.5.
    project_point({-161.2, -100.7, 0}, x, y);  // -0.7 and -0.2 both truncate to 0
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    project_point({-147.6, 12.4, 0}, x, y);  // 12.9 and 112.9
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 112);
    project_point({-170.0, 0, 0}, x, y);  // -9.5 truncates to -9
    EXPECT_EQ(x, -9);
}

TEST(Math3d, ProjectionNearTheEyePlaneStaysInRange) {
    EyeGuard guard;
    int32_t x, y;
    project_point({1e6, -1e6, -200.0 + 1e-9}, x, y);  // far beyond 32 bits
    EXPECT_EQ(x, INT32_MAX);
    EXPECT_EQ(y, INT32_MIN);
}

}  // namespace
