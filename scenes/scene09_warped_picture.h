// Scene 9 (cues 19 and 20, 111000 to 144000 ms): scene 8's picture darkened through
// the sphere warp, which swings and widens into a fish-eye, then through the tube
// warp flying forward, and at last five glowing curves over the tube while the eye
// turns about z. Runs under scene 8's palette; sets none.
#pragma once

#include <cstdint>

#include "render/bezier_trace.h"
#include "render/math3d.h"
#include "render/texture_warp.h"

// Scene 9: cues 19 and 20, ends at 144000 ms. Runs its phases and returns when its last
// cue (or last counted step) has ended. Called by play_scenes, in show order.
void scene_warped_picture();

constexpr int WARP_CURVES = 5;
constexpr int WARP_CURVE_STEPS = 40;
constexpr uint8_t CURVE_DOT_CAP = 127;
constexpr uint32_t SPHERE_FRAME_LIMIT = 151;  // phase 1 stops after this many frames
constexpr int TUBE_RUN_FRAMES = 100;           // phase 4

// All of scene 9's own state: what it counts as it runs, where the warps look from,
// and the curves of the last phase.
struct WarpedRun {
    // The turn angle phi and its step, and the frames presented so far (f).
    double phi = 3.55;
    double dphi = 0.01;
    uint32_t frames = 0;
    // Focus 0.6 and travel 0 at the start: phase 2 shrinks the focus, the tube
    // phases grow it back and add 10 to the travel per frame.
    WarpCamera camera;
    // Curve k's four control points, starting at S * (-1,-1,-1), (1,-1,-1),
    // (1,1,-1), (1,1,1) with S = 60 + 10k; turned in place every frame of the last
    // phase.
    CurveRecord control_points[WARP_CURVES] = {
        cube_edge_curve(60), cube_edge_curve(70), cube_edge_curve(80), cube_edge_curve(90), cube_edge_curve(100),
    };
    // control_spin[k][j] turns control point j of curve k each frame of the last
    // phase; built from random angles at the start, curve 0's renewed now and then.
    Matrix3 control_spin[WARP_CURVES][4] = {};
    // Turns eye_point about z by 0.01 rad per frame of the last phase.
    Matrix3 eye_turn = MATRIX_IDENTITY;
};

// The run in progress, or the last one: scene_warped_picture starts it afresh.
extern WarpedRun scene09_run;

// Stops the show with "error loading resource '<name>'" when "plant.dat" or
// "fdtex.dat" is shorter than the scene reads. Called before the first phase.
void scene09_check_resources();

// The blob stamp with the dot table, each non-zero sample t added as
// min(p + t, 127). Stamps the curve points.
void add_dot_capped(uint16_t x, uint16_t y, uint8_t d);

// add_dot_capped at every point of the curve traced last, radius |z / 7| + 3.
void draw_curve_glow();

// The set-up before phase 1: eye_point to (-200, -200, -200), control_spin from 60
// random angles (points j = 0..3, within that curves k = 0..4; three angles each,
// fmod(rand(), 0.09)), eye_turn = 0.01 rad about z.
void warped_picture_start(WarpedRun& run);

// The frames of the phases, drawn into screen_frame and not presented (the phases
// present). Each starts from "plant.dat". A frame never shown while running ahead
// (timeline_frame_unseen) is not drawn, nor presented; its state moves on all the same.
// Phases 1 and 2: the sphere warp at phi.
void draw_sphere_frame(const WarpedRun& run, double phi);
// Phases 3 and 4: travel += 10, the tube warp unturned and undimmed.
void draw_tube_frame(WarpedRun& run);
// Phase 5: travel += 10, the tube warp at phi dimmed by
// (floor(25 + 25 sin phi) mod 256) >> 1, control points and eye turned, then the
// five curves of 40 steps traced and stamped.
void draw_curves_tube_frame(WarpedRun& run, double phi);

// Reseeds the generator from the tick counter and gives the four matrices of
// curve 0 new random angles. Called when (f & 0x39) == 0 in the last phase.
void renew_curve0_spin(WarpedRun& run);

// The five phases, each moving run along. Phase 1 runs only while cue 19 does and
// for at most 151 frames; phases 2 to 4 are counted (119, 100 and 100 frames) and
// run whatever the time; phase 5 increments cue_index to 20 and runs while it lasts.
void sphere_phase(WarpedRun& run);
void widening_phase(WarpedRun& run);
void tube_focus_phase(WarpedRun& run);
void tube_run_phase(WarpedRun& run);
void curves_tube_phase(WarpedRun& run);
