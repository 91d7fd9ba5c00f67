// Scene 9: the picture under the sphere and tube texture warps, then glowing curves
// over the tube.
#include "scenes/scene09_warped_picture.h"

#include <cmath>

#include "archive/resources.h"
#include "display/display.h"
#include "render/bezier_trace.h"
#include "render/blobs.h"
#include "render/carried.h"
#include "render/random.h"
#include "render/tables.h"
#include "render/texture_warp.h"
#include "scenes/timeline.h"

WarpedRun scene09_run;

namespace {

constexpr double SPHERE_STEP = 0.01;     // phi per frame of phase 1 (and |dphi| in phase 2)
constexpr double SWING = 0.25;           // phase 2 swings phi this far either side
constexpr double FOCUS_SHRINK = 0.005;   // per frame of phase 2
constexpr double FOCUS_GROW = 0.01;      // per frame of phase 3
constexpr double TRAVEL_STEP = 10.0;     // camera travel per tube frame
constexpr uint32_t RENEW_MASK = 0x39;    // f & mask == 0: f = 0, 2, 4, 6 modulo 64

// fmod of a draw by 0.09: an angle in [0, 0.09) radians.
double random_angle() { return std::fmod(double(show_rand()), 0.09); }

// Three draws, used in the order drawn as the angles about x, y and z.
void random_spin(Matrix3& m) {
    const double a = random_angle();
    const double b = random_angle();
    const double c = random_angle();
    matrix_rotate_xyz(m, a, b, c);
}

const uint8_t* picture() { return resource_slot[RES_PLANT]; }
const uint8_t* texture() { return resource_slot[RES_FDTEX]; }

void present_counted(WarpedRun& run) {
    if (!timeline_frame_unseen()) present_frame(screen_frame);
    ++run.frames;
}

}  // namespace

void scene09_check_resources() {
    const ResourceNeed needs[] = {{RES_PLANT, FRAME_BYTES}, {RES_FDTEX, WARP_TEXTURE_BYTES}};
    require_resources(needs);
}

void add_dot_capped(uint16_t x, uint16_t y, uint8_t d) {
    stamp_blob(dot_table, 0, CURVE_DOT_CAP, x, y, d);
}

void draw_curve_glow() { stamp_curve_points(add_dot_capped); }

void warped_picture_start(WarpedRun& run) {
    carried.eye_point = Vec3{-200.0, -200.0, -200.0};
    // Sixty draws continuing the program's sequence: points outer, curves inner.
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < WARP_CURVES; ++k) random_spin(run.control_spin[k][j]);
    matrix_rotate_z(run.eye_turn, 0.01);
}

// Every frame of the scene starts from the picture and scene 10 starts from black,
// so while running ahead a frame never shown keeps only the scene's state: the
// camera's travel, the turns of the curves and of the eye, the curves' trace.
void draw_sphere_frame(const WarpedRun& run, double phi) {
    if (timeline_frame_unseen()) return;
    copy_frame(screen_frame, picture());
    sphere_warp(screen_frame, texture(), run.camera, phi);
}

void draw_tube_frame(WarpedRun& run) {
    run.camera.travel += TRAVEL_STEP;
    if (timeline_frame_unseen()) return;
    copy_frame(screen_frame, picture());
    tube_warp(screen_frame, texture(), run.camera, 0.0, 0);
}

void draw_curves_tube_frame(WarpedRun& run, double phi) {
    const bool unseen = timeline_frame_unseen();
    run.camera.travel += TRAVEL_STEP;
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < WARP_CURVES; ++k) transform_vec(run.control_points[k].p[j], run.control_spin[k][j]);
    transform_vec(carried.eye_point, run.eye_turn);
    if (unseen) {
        for (const CurveRecord& c : run.control_points) trace_curve(c.p[0], c.p[1], c.p[2], c.p[3], WARP_CURVE_STEPS);
        return;
    }
    copy_frame(screen_frame, picture());
    // 25 + 25 sin phi is never negative, so the truncation is the floor: 0..50,
    // halved to 0..25.
    const uint8_t dim = uint8_t(uint8_t(int32_t(25 + 25 * std::sin(phi))) >> 1);
    tube_warp(screen_frame, texture(), run.camera, phi, dim);
    for (const CurveRecord& c : run.control_points) {
        trace_curve(c.p[0], c.p[1], c.p[2], c.p[3], WARP_CURVE_STEPS);
        draw_curve_glow();
    }
}

void renew_curve0_spin(WarpedRun& run) {
    show_srand(show_ticks());
    for (Matrix3& m : run.control_spin[0]) random_spin(m);
}

void sphere_phase(WarpedRun& run) {
    if (!cue_running()) return;
    for (;;) {
        draw_sphere_frame(run, run.phi);
        run.phi += SPHERE_STEP;
        present_counted(run);
        // The 151st frame goes straight on into phase 2, without a pump.
        if (run.frames >= SPHERE_FRAME_LIMIT) return;
        pump_messages();
        if (!cue_running()) return;
    }
}

void widening_phase(WarpedRun& run) {
    const double phi0 = run.phi;
    for (;;) {
        draw_sphere_frame(run, run.phi);
        run.phi += run.dphi;
        run.camera.focus -= FOCUS_SHRINK;
        if (run.phi < phi0 - SWING || run.phi > phi0 + SWING) run.dphi = -run.dphi;
        // From 0.6 the focus reaches (about) zero on the 120th frame, which is drawn
        // but never shown: 119 frames.
        if (run.camera.focus < 0.000001) return;
        present_counted(run);
        pump_messages();
    }
}

void tube_focus_phase(WarpedRun& run) {
    do {
        draw_tube_frame(run);
        present_counted(run);
        run.camera.focus += FOCUS_GROW;
        pump_messages();
    } while (run.camera.focus <= 1.0);
}

void tube_run_phase(WarpedRun& run) {
    for (int n = 1; n <= TUBE_RUN_FRAMES; ++n) {
        draw_tube_frame(run);
        present_counted(run);
        if (n < TUBE_RUN_FRAMES) pump_messages();  // the last frame goes straight on
    }
}

void curves_tube_phase(WarpedRun& run) {
    run.phi = 0.0;
    ++cue_index;
    while (cue_running()) {
        draw_curves_tube_frame(run, run.phi);
        run.phi += SPHERE_STEP;
        present_counted(run);
        if ((run.frames & RENEW_MASK) == 0) renew_curve0_spin(run);
        pump_messages();
    }
}

void scene_warped_picture() {
    scene09_check_resources();
    scene09_run = WarpedRun{};
    WarpedRun& run = scene09_run;
    warped_picture_start(run);
    // The grid the warps write is static storage; it needs no allocation here.
    ++cue_index;
    sphere_phase(run);
    widening_phase(run);
    tube_focus_phase(run);
    tube_run_phase(run);
    curves_tube_phase(run);
}
