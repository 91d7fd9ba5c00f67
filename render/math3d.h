// Double-precision 3D kit shared by the dot-cloud, curve and warped-picture scenes:
// 3x3 matrices, two rotation builders, row-vector transform and the perspective
// projection from the shared viewpoint eye_point onto the 320x200 frame.
#pragma once

#include <cstdint>

struct Vec3 {
    double x, y, z;
};

// Nine doubles, row-major: element (row r, column c) is m[3r + c].
struct Matrix3 {
    double m[9];
};

// The viewpoint of project_point. Starts at (200, 200, -200); each scene finds it
// as the previous one left it (scene 1 turns it about z, scene 3 and 9 reset it).
extern Vec3 eye_point;

// All zero, then 1.0 on the diagonal.
void matrix_identity(Matrix3& m);

// Identity with (0,0) = cos t, (0,1) = sin t, (1,0) = -sin t, (1,1) = cos t.
// With transform_vec, (1,0,0) becomes (cos t, sin t, 0).
void matrix_rotate_z(Matrix3& m, double t);

// Ry(b) * Rx(a) * Rz(c) written out entry by entry; angles in radians, argument
// order x, y, z. Called by the scenes once per matrix (set-up or reseeding).
void matrix_rotate_xyz(Matrix3& m, double a, double b, double c);

// v := v * m as a row vector, all three results from the old v (vector first).
void transform_vec(Vec3& v, const Matrix3& m);

// Projects p through eye_point onto the plane z = 0, origin at pixel (160, 100),
// one unit per pixel; +0.5 then truncation toward zero. d = eye.z - p.z of exactly
// 0.0 gives (0, 0). Points behind the eye come out mirrored; nothing is clipped.
void project_point(const Vec3& p, int32_t& out_x, int32_t& out_y);
