// Cubic Bezier curves stepped by forward differences into one list of projected
// points, and a stamp at every listed point sized by its depth. Shared by the two
// curve scenes (scene 1's nested curves, scene 9's curves over the tube).
#pragma once

#include <cstdint>

#include "render/math3d.h"

constexpr int CURVE_POINT_SLOTS = 400;  // room for 399 steps and the last end point

// The four control points of one curve.
struct CurveRecord {
    Vec3 p[4];
};

// The curve scenes' starting shape at size s: s * (-1,-1,-1), (1,-1,-1), (1,1,-1),
// (1,1,1), three edges of a cube.
constexpr CurveRecord cube_edge_curve(double s) {
    return {{{-s, -s, -s}, {s, -s, -s}, {s, s, -s}, {s, s, s}}};
}

// One projected curve point: screen x and y (project_point) and depth z
// (truncated toward zero).
struct CurvePoint {
    int32_t x, y, z;
};

// The projected points of the curve traced last, and its step count: entries
// 0..curve_point_count are valid. Overwritten by every trace_curve.
extern CurvePoint curve_point_list[CURVE_POINT_SLOTS];
extern int32_t curve_point_count;

// Evaluates the curve with control points p0..p3 at t = i / steps, i = 0..steps, by
// forward differences in double, and lists the points (project_point through the
// current eye_point; z truncated). curve_point_count ends at steps, at most 399: a
// longer curve lists its first 399 steps only. Nothing is listed when steps is 0.
// Called once per curve per frame by the curve scenes before they draw it.
void trace_curve(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3,
                 uint32_t steps);

// A blob stamp: centre x, y and radius d (render/blobs.h).
using PointStamp = void (*)(uint16_t x, uint16_t y, uint8_t d);

// Stamps every listed point 0..curve_point_count with radius |z / 7| + 3 (division
// truncating toward zero, so never below 3); x and y are cut to unsigned 16 bits,
// so a negative one fails the stamp's box test. Called after trace_curve.
void stamp_curve_points(PointStamp stamp);
