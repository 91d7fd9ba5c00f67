// Double-precision 3D kit shared by the dot-cloud, curve and warped-picture scenes:
// 3x3 matrices, two rotation builders, row-vector transform and the perspective
// projection from the shared viewpoint eye_point onto the 320x200 frame.
#pragma once

#include <cstdint>

#include "render/vectors.h"

// 1.0 on the diagonal, 0 elsewhere.
inline constexpr Matrix3 MATRIX_IDENTITY = {{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}};

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

// Projects p through carried.eye_point (render/carried.h) onto the plane z = 0, origin at pixel (160, 100),
// one unit per pixel; +0.5 then truncation toward zero. d = eye.z - p.z of exactly
// 0.0 gives (0, 0). Points behind the eye come out mirrored; nothing is clipped.
void project_point(const Vec3& p, int32_t& out_x, int32_t& out_y);
