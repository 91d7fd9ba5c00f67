// Scene 1, curves phases: ten spinning cubic Bezier curves stepped by forward
// differences, drawn as additive lines with quarter-strength glows at their points.
#include "scenes/scene01_curves.h"

#include <cmath>

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/blobs.h"
#include "render/carried.h"
#include "render/random.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

namespace {

// Three draws per matrix in the order a, b, c. fmod of a draw by 0.02 is just under
// 0.02 for every draw but 0 (0.02 is not exact in binary), so the spin is all but
// fixed; the draws still move the generator.
void build_point_spin(CurvesRun& run) {
    for (Matrix3& m : run.point_spin) {
        const double a = std::fmod(double(show_rand()), 0.02);
        const double b = std::fmod(double(show_rand()), 0.02);
        const double c = std::fmod(double(show_rand()), 0.02);
        matrix_rotate_xyz(m, a, b, c);
    }
}

}  // namespace

void curves_init(CurvesRun& run) {
    show_srand(show_ticks());
    build_point_spin(run);
    matrix_rotate_z(run.view_spin, 0.01);
}

void draw_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value) {
    // 64-bit so that the error term cannot overflow for any pair of 32-bit ends.
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    int64_t x = x0, y = y0;
    auto plot = [value](int64_t px, int64_t py) {
        if (px > 1 && px < FRAME_W - 1 && py > 1 && py < FRAME_H - 1) {
            uint8_t& p = screen_frame[row_offset[py] + px];
            const unsigned v = unsigned(p) + value;
            p = uint8_t(v < LINE_CAP ? v : LINE_CAP);
        }
    };
    // The start point is never plotted; the end point is.
    if (ax >= ay) {
        int64_t e = ax >> 1;
        for (int64_t i = 0; i < ax; ++i) {
            e += ay;
            if (e >= ax) {
                e -= ax;
                y += sy;
            }
            x += sx;
            plot(x, y);
        }
    } else {
        int64_t e = ay >> 1;
        for (int64_t i = 0; i < ay; ++i) {
            e += ax;
            if (e >= ay) {
                e -= ay;
                x += sx;
            }
            y += sy;
            plot(x, y);
        }
    }
}

// Lines between two projected points when either lies strictly inside the frame.
static void draw_projected_segment(int32_t xa, int32_t ya, int32_t xb, int32_t yb, uint8_t value) {
    const bool a_inside = xa > 0 && xa < FRAME_W && ya > 0 && ya < FRAME_H;
    const bool b_inside = xb > 0 && xb < FRAME_W && yb > 0 && yb < FRAME_H;
    if (a_inside || b_inside) draw_line(xa, ya, xb, yb, value);
}

void draw_segment(const Vec3& a, const Vec3& b, uint8_t value) {
    int32_t xa, ya, xb, yb;
    project_point(a, xa, ya);
    project_point(b, xb, yb);
    draw_projected_segment(xa, ya, xb, yb, value);
}

void draw_curve(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3,
                uint8_t value, uint32_t segments) {
    trace_curve(p0, p1, p2, p3, segments);
    // The list holds each point already projected, as draw_segment would project it.
    for (int32_t i = 0; i < curve_point_count; ++i) {
        const CurvePoint& a = curve_point_list[i];
        const CurvePoint& b = curve_point_list[i + 1];
        draw_projected_segment(a.x, a.y, b.x, b.y, value);
    }
}

void draw_curve_points() { stamp_curve_points(add_glow_quarter); }

void curves_frame(CurvesRun& run) {
    for (int k = 0; k < 4; ++k)
        for (CurveRecord& c : run.records) transform_vec(c.p[k], run.point_spin[k]);
    transform_vec(carried.eye_point, run.view_spin);
    for (int j = 0; j < CURVE_COUNT; ++j) {
        const CurveRecord& c = run.records[j];
        draw_curve(c.p[0], c.p[1], c.p[2], c.p[3], uint8_t(5 + 2 * j), CURVE_SEGMENTS);
        draw_curve_points();
    }
    // Bits 0, 3, 4 and 5 all clear: frames 2, 4, 6, 64, 66, 68, 70, 128, ...
    ++run.frames;
    if ((run.frames & 0x39) == 0) {
        show_srand(show_ticks());
        build_point_spin(run);
    }
}

void curves_phase_frame(CurvesRun& run, int phase) {
    copy_frame(screen_frame, resource_slot[RES_FRM01]);
    curves_frame(run);
    switch (phase) {
    case 0:
        blit_keyed(resource_slot[RES_GAIA], 38, 23, 5, 120, 30);
        blit_keyed(resource_slot[RES_JAR], 38, 148, 25, 133, 26);
        blit_opaque(resource_slot[RES_GPOR], 246, 110, 74, 90);
        break;
    case 1:
        blit_keyed(resource_slot[RES_BIZK], 38, 25, 3, 180, 33);
        break;
    default:
        blit_keyed(resource_slot[RES_NUDGE], 38, 25, 6, 206, 29);
        blit_keyed(resource_slot[RES_EPHOY], 38, 148, 27, 146, 23);
        blit_opaque(resource_slot[RES_NPOR], 249, 111, 71, 89);
        break;
    }
    present_frame(screen_frame);
}

void curves_phases(CurvesRun& run) {
    curves_init(run);
    blank_screen(curves_palette);
    for (int phase = 0; phase < 3; ++phase) {
        ++cue_index;
        while (cue_running()) {
            curves_phase_frame(run, phase);
            pump_messages();
        }
    }
}
