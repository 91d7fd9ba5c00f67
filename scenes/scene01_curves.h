// Scene 1, curves phases (cues 3, 4, 5): ten nested cubic Bezier curves spun a
// little every frame, drawn as additive line segments with a glow at each point,
// over a framed background with each phase's sprites.
#pragma once

#include <cstdint>

#include "render/bezier_trace.h"
#include "render/math3d.h"

constexpr int CURVE_COUNT = 10;
constexpr int CURVE_SEGMENTS = 10;
constexpr uint8_t LINE_CAP = 190;   // additive lines and glows stop at this index

// The curves phases' state, kept from frame to frame and from phase to phase.
struct CurvesRun {
    // Curve j starts at s * (-1,-1,-1), (1,-1,-1), (1,1,-1), (1,1,1) with s = 35, 40,
    // 45, 50, 55, 60, 70, 80, 90, 100; the spin accumulates over the three phases.
    CurveRecord records[CURVE_COUNT] = {
        cube_edge_curve(35), cube_edge_curve(40), cube_edge_curve(45), cube_edge_curve(50),
        cube_edge_curve(55), cube_edge_curve(60), cube_edge_curve(70), cube_edge_curve(80),
        cube_edge_curve(90), cube_edge_curve(100),
    };
    // point_spin[k] turns the k-th control point of every curve each frame;
    // view_spin turns eye_point about z by 0.01 rad per frame. Built by curves_init.
    Matrix3 point_spin[4] = {MATRIX_IDENTITY, MATRIX_IDENTITY, MATRIX_IDENTITY, MATRIX_IDENTITY};
    Matrix3 view_spin = MATRIX_IDENTITY;
    // Frames drawn by curves_frame (wraps modulo 2^32).
    uint32_t frames = 0;
};

// Seeds the generator from the tick counter, builds point_spin (three draws per
// matrix, each fmod(rand(), 0.02)) and view_spin. Called before phase A.
void curves_init(CurvesRun& run);

// Spins the control points and the eye, draws the ten curves with their glows into
// screen_frame, counts the frame and, when (frames & 0x39) == 0, re-seeds and
// rebuilds point_spin. Once per curves frame.
void curves_frame(CurvesRun& run);

// Traces the curve into curve_point_list (trace_curve, segments steps) and draws
// the line between each listed point and the next, as draw_segment does. No
// segment when segments is 0.
void draw_curve(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3,
                uint8_t value, uint32_t segments);

// Projects both ends; draws the line when either end lies strictly inside the
// frame (0 < x < 320, 0 < y < 200), else nothing.
void draw_segment(const Vec3& a, const Vec3& b, uint8_t value);

// Additive line from (x0, y0), exclusive, to (x1, y1), inclusive, stepped with a
// midpoint error term; pixels with 1 < x < 319 and 1 < y < 199 become
// min(p + value, 190). A zero-length line draws nothing.
void draw_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value);

// add_glow_quarter at each of the curve_point_count + 1 listed points, radius
// |z / 7| + 3 (division truncating toward zero); coordinates passed as unsigned
// 16-bit, so negative ones fail the stamp's box test.
void draw_curve_points();

// One frame of curves phase 0, 1 or 2 (A, B, C): background, curves, the phase's
// sprites, present screen_frame (no pump). Called by curves_phases.
void curves_phase_frame(CurvesRun& run, int phase);

// curves_init, clear and present, curves palette, then the three phases (each
// increments cue_index and runs while its cue does).
void curves_phases(CurvesRun& run);
