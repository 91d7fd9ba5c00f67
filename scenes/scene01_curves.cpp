// Scene 1, curves phases: ten spinning cubic Bezier curves stepped by forward
// differences, drawn as additive lines with quarter-strength glows at their points.
#include "scenes/scene01_curves.h"

#include <cmath>
#include <cstdlib>

#include "app/random.h"
#include "app/timeline.h"
#include "archive/resources.h"
#include "display/display.h"
#include "platform/platform.h"
#include "render/blit.h"
#include "render/blobs.h"
#include "scenes/palettes.h"

namespace {

constexpr double CURVE_SCALE[CURVE_COUNT] = {35, 40, 45, 50, 55, 60, 70, 80, 90, 100};

constexpr CurveRecord initial_curve(double s) {
    return {{{-s, -s, -s}, {s, -s, -s}, {s, s, -s}, {s, s, s}}};
}

// Three draws per matrix in the order a, b, c. fmod of a draw by 0.02 is just under
// 0.02 for every draw but 0 (0.02 is not exact in binary), so the spin is all but
// fixed; the draws still move the generator.
void build_point_spin() {
    for (Matrix3& m : point_spin) {
        const double a = std::fmod(double(show_rand()), 0.02);
        const double b = std::fmod(double(show_rand()), 0.02);
        const double c = std::fmod(double(show_rand()), 0.02);
        matrix_rotate_xyz(m, a, b, c);
    }
}

}  // namespace

CurveRecord curve_records[CURVE_COUNT] = {
    initial_curve(CURVE_SCALE[0]), initial_curve(CURVE_SCALE[1]), initial_curve(CURVE_SCALE[2]),
    initial_curve(CURVE_SCALE[3]), initial_curve(CURVE_SCALE[4]), initial_curve(CURVE_SCALE[5]),
    initial_curve(CURVE_SCALE[6]), initial_curve(CURVE_SCALE[7]), initial_curve(CURVE_SCALE[8]),
    initial_curve(CURVE_SCALE[9]),
};
Matrix3 point_spin[4];
Matrix3 view_spin;
uint32_t curve_frames = 0;
CurvePoint curve_point_list[CURVE_POINT_SLOTS];
int32_t curve_point_count = 0;

void curves_reset_state() {
    for (int j = 0; j < CURVE_COUNT; ++j) curve_records[j] = initial_curve(CURVE_SCALE[j]);
    for (Matrix3& m : point_spin) matrix_identity(m);
    matrix_identity(view_spin);
    curve_frames = 0;
    curve_point_count = 0;
}

void curves_init() {
    show_srand(platform.sys->ticks());
    build_point_spin();
    matrix_rotate_z(view_spin, 0.01);
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

void draw_segment(const Vec3& a, const Vec3& b, uint8_t value) {
    int32_t xa, ya, xb, yb;
    project_point(a, xa, ya);
    project_point(b, xb, yb);
    const bool a_inside = xa > 0 && xa < FRAME_W && ya > 0 && ya < FRAME_H;
    const bool b_inside = xb > 0 && xb < FRAME_W && yb > 0 && yb < FRAME_H;
    if (a_inside || b_inside) draw_line(xa, ya, xb, yb, value);
}

static void list_point(int32_t slot, const Vec3& p) {
    CurvePoint& out = curve_point_list[slot];
    project_point(p, out.x, out.y);
    out.z = int32_t(p.z);  // truncates toward zero
}

void draw_curve(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3,
                uint8_t value, uint32_t segments) {
    curve_point_count = 0;
    if (segments == 0) return;
    const double h = 1.0 / double(segments);
    const double h2 = h * h, h3 = h * h * h;
    // Polynomial coefficients per coordinate, then the three forward differences.
    auto a3 = [&](double c0, double c1, double c2, double c3) { return -c0 + 3 * c1 - 3 * c2 + c3; };
    auto a2 = [&](double c0, double c1, double c2) { return 3 * c0 - 6 * c1 + 3 * c2; };
    auto a1 = [&](double c0, double c1) { return 3 * c1 - 3 * c0; };
    const Vec3 k3{a3(p0.x, p1.x, p2.x, p3.x), a3(p0.y, p1.y, p2.y, p3.y), a3(p0.z, p1.z, p2.z, p3.z)};
    const Vec3 k2{a2(p0.x, p1.x, p2.x), a2(p0.y, p1.y, p2.y), a2(p0.z, p1.z, p2.z)};
    const Vec3 k1{a1(p0.x, p1.x), a1(p0.y, p1.y), a1(p0.z, p1.z)};
    Vec3 d1{k3.x * h3 + k2.x * h2 + k1.x * h, k3.y * h3 + k2.y * h2 + k1.y * h,
            k3.z * h3 + k2.z * h2 + k1.z * h};
    Vec3 d2{6 * k3.x * h3 + 2 * k2.x * h2, 6 * k3.y * h3 + 2 * k2.y * h2,
            6 * k3.z * h3 + 2 * k2.z * h2};
    const Vec3 d3{6 * k3.x * h3, 6 * k3.y * h3, 6 * k3.z * h3};
    Vec3 cur = p0;
    for (uint32_t i = 0; i < segments; ++i) {
        const Vec3 next{cur.x + d1.x, cur.y + d1.y, cur.z + d1.z};
        d1 = {d1.x + d2.x, d1.y + d2.y, d1.z + d2.z};
        d2 = {d2.x + d3.x, d2.y + d3.y, d2.z + d3.z};
        // The list keeps room for the last end point; a longer curve stops drawing.
        if (curve_point_count < CURVE_POINT_SLOTS - 1) {
            list_point(curve_point_count, cur);
            list_point(curve_point_count + 1, next);
            ++curve_point_count;
            draw_segment(cur, next, value);
        }
        cur = next;
    }
}

void draw_curve_points() {
    for (int32_t i = 0; i <= curve_point_count; ++i) {
        const CurvePoint& p = curve_point_list[i];
        const int32_t d = std::abs(p.z / 7) + 3;  // truncating division
        add_glow_quarter(uint16_t(p.x), uint16_t(p.y), uint8_t(d));
    }
}

void curves_frame() {
    for (int k = 0; k < 4; ++k)
        for (CurveRecord& c : curve_records) transform_vec(c.p[k], point_spin[k]);
    transform_vec(eye_point, view_spin);
    for (int j = 0; j < CURVE_COUNT; ++j) {
        const CurveRecord& c = curve_records[j];
        draw_curve(c.p[0], c.p[1], c.p[2], c.p[3], uint8_t(5 + 2 * j), CURVE_SEGMENTS);
        draw_curve_points();
    }
    // Bits 0, 3, 4 and 5 all clear: frames 2, 4, 6, 64, 66, 68, 70, 128, ...
    ++curve_frames;
    if ((curve_frames & 0x39) == 0) {
        show_srand(platform.sys->ticks());
        build_point_spin();
    }
}

void curves_phase_frame(int phase) {
    copy_frame(screen_frame, resource_slot[RES_FRM01]);
    curves_frame();
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

void curves_phases() {
    curves_init();
    clear_frame(screen_frame);
    present_frame(screen_frame);
    set_palette(curves_palette);
    for (int phase = 0; phase < 3; ++phase) {
        ++cue_index;
        while (cue_running()) {
            curves_phase_frame(phase);
            pump_messages();
        }
    }
}
