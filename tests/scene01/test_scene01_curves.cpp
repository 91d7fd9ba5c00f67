// Scene 1's curves: the additive line and its window, the segment's inside test,
// the forward-differenced curve against the direct polynomial, the point glows and
// the frames on which the spin matrices are rebuilt.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/blobs.h"
#include "render/carried.h"
#include "scene_fixture.h"
#include "scenes/scene01_opening.h"

namespace {

using Curves = SceneTest;

// The curves phases' state, fresh for every test (SceneTest resets it).
CurvesRun& curves = scene01_run.curves;

int changed_pixels(const std::vector<uint8_t>& before) {
    int n = 0;
    for (int k = 0; k < FRAME_BYTES; ++k) n += screen_frame[k] != before[k];
    return n;
}

TEST_F(Curves, LineAddsUpToTheCapOf190) {
    memset(screen_frame, 100, FRAME_BYTES);
    px(screen_frame, 50, 60) = 185;
    px(screen_frame, 51, 60) = 200;  // already above the cap: written down to 190
    draw_line(40, 60, 60, 60, 23);
    EXPECT_EQ(px(screen_frame, 45, 60), 123);
    EXPECT_EQ(px(screen_frame, 50, 60), 190);
    EXPECT_EQ(px(screen_frame, 51, 60), 190);
    EXPECT_EQ(px(screen_frame, 40, 60), 100);  // the start is not plotted
    EXPECT_EQ(px(screen_frame, 60, 60), 123);  // the end is
    EXPECT_EQ(px(screen_frame, 61, 60), 100);
}

TEST_F(Curves, ZeroLengthLineDrawsNothing) {
    clear_frame(screen_frame);
    draw_line(100, 100, 100, 100, 20);
    for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(screen_frame[k], 0);
}

TEST_F(Curves, LinePlotsOnePixelPerStepOfTheLongerAxis) {
    for (auto [x0, y0, x1, y1] : {std::array{10, 10, 30, 17}, std::array{30, 17, 10, 10},
                                  std::array{50, 20, 57, 90}, std::array{90, 90, 60, 60}}) {
        clear_frame(screen_frame);
        draw_line(x0, y0, x1, y1, 7);
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        EXPECT_EQ(changed_pixels(std::vector<uint8_t>(FRAME_BYTES, 0)), steps);
        EXPECT_EQ(px(screen_frame, x1, y1), 7);
        EXPECT_EQ(px(screen_frame, x0, y0), 0);
    }
    // Midpoint stepping: 20 across, 7 down, error starting at 10, so the first
    // y step comes with the second x step.
    clear_frame(screen_frame);
    draw_line(10, 10, 30, 17, 1);
    EXPECT_EQ(px(screen_frame, 11, 10), 1);
    EXPECT_EQ(px(screen_frame, 12, 10), 0);
    EXPECT_EQ(px(screen_frame, 12, 11), 1);
}

TEST_F(Curves, LineWindowLeavesTwoPixelBordersAlone) {
    clear_frame(screen_frame);
    draw_line(-50, 100, 400, 100, 9);  // across the whole width
    draw_line(160, -50, 160, 300, 9);  // and height
    for (int x = 0; x < FRAME_W; ++x)
        EXPECT_EQ(px(screen_frame, x, 100), x == 160 ? 18 : x > 1 && x < 319 ? 9 : 0) << x;  // 160: both
    for (int y = 0; y < FRAME_H; ++y)
        if (y != 100) {
            EXPECT_EQ(px(screen_frame, 160, y), y > 1 && y < 199 ? 9 : 0) << y;
        }
}

TEST_F(Curves, SegmentWithBothEndsOutsideIsNotDrawnEvenAcrossThePicture) {
    // Under the starting eye a point on z = 0 lands at (x + 160, y + 100).
    clear_frame(screen_frame);
    draw_segment({-300, 0, 0}, {300, 0, 0}, 10);  // (-139, 100) to (460, 100)
    draw_segment({0, -100, 0}, {0, 120, 0}, 10);  // (160, 0) to (160, 220): y = 0 is outside
    for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(screen_frame[k], 0) << k;
    draw_segment({-300, 0, 0}, {0, 0, 0}, 10);  // one end inside
    EXPECT_EQ(px(screen_frame, 100, 100), 10);
    EXPECT_EQ(px(screen_frame, 160, 100), 10);
}

// B(t) evaluated directly, for checking the forward differences.
Vec3 bezier(const Vec3 (&p)[4], double t) {
    const double u = 1 - t;
    const double w[4] = {u * u * u, 3 * t * u * u, 3 * t * t * u, t * t * t};
    Vec3 r{0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        r.x += w[k] * p[k].x;
        r.y += w[k] * p[k].y;
        r.z += w[k] * p[k].z;
    }
    return r;
}

TEST_F(Curves, ForwardDifferencesListTheCurvesPoints) {
    const Vec3 p[4] = {{-43.3, 12.7, -20.1}, {61.9, -80.2, 33.3}, {17.1, 95.6, -71.7}, {88.8, 40.4, 52.9}};
    clear_frame(screen_frame);
    draw_curve(p[0], p[1], p[2], p[3], 11, 10);
    ASSERT_EQ(curve_point_count, 10);
    for (int i = 0; i <= 10; ++i) {
        const Vec3 q = bezier(p, i / 10.0);
        int32_t x, y;
        project_point(q, x, y);
        EXPECT_EQ(curve_point_list[i].x, x) << i;
        EXPECT_EQ(curve_point_list[i].y, y) << i;
        EXPECT_EQ(curve_point_list[i].z, int32_t(q.z)) << i;
    }
    // The segments were drawn between consecutive points.
    std::vector<uint8_t> lines(screen_frame, screen_frame + FRAME_BYTES);
    clear_frame(screen_frame);
    for (int i = 0; i < 10; ++i) draw_segment(bezier(p, i / 10.0), bezier(p, (i + 1) / 10.0), 11);
    EXPECT_EQ(memcmp(lines.data(), screen_frame, FRAME_BYTES), 0);
}

TEST_F(Curves, NoSegmentsDrawNothing) {
    clear_frame(screen_frame);
    curve_point_count = 7;
    draw_curve({0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, 11, 0);
    EXPECT_EQ(curve_point_count, 0);
    for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(screen_frame[k], 0);
}

TEST_F(Curves, PointGlowsGrowWithDepthAndSkipNegativeCoordinates) {
    curve_point_count = 1;
    curve_point_list[0] = {100, 100, -20};  // |-20 / 7| + 3 = 5
    curve_point_list[1] = {-5, 80, 0};      // 65531 as unsigned: rejected by the box
    memset(screen_frame, 50, FRAME_BYTES);
    draw_curve_points();
    std::vector<uint8_t> drawn(screen_frame, screen_frame + FRAME_BYTES);
    memset(screen_frame, 50, FRAME_BYTES);
    add_glow_quarter(100, 100, 5);
    EXPECT_EQ(memcmp(drawn.data(), screen_frame, FRAME_BYTES), 0);
}

bool is_identity(const Matrix3& m) {
    Matrix3 id;
    matrix_identity(id);
    return memcmp(&m, &id, sizeof m) == 0;
}

TEST_F(Curves, SpinMatricesAreRebuiltOnFrames2_4_6_64AndSoOn) {
    curves_init(curves);
    EXPECT_FALSE(is_identity(curves.point_spin[0]));
    std::vector<uint32_t> rebuilt;
    for (int f = 1; f <= 200; ++f) {
        for (Matrix3& m : curves.point_spin) matrix_identity(m);
        memcpy(screen_frame, resource_slot[RES_FRM01], FRAME_BYTES);
        curves_frame(curves);
        if (!is_identity(curves.point_spin[0])) {
            for (const Matrix3& m : curves.point_spin) EXPECT_FALSE(is_identity(m));
            rebuilt.push_back(curves.frames);
        }
    }
    EXPECT_EQ(rebuilt, (std::vector<uint32_t>{2, 4, 6, 64, 66, 68, 70, 128, 130, 132, 134, 192, 194, 196, 198}));
}

TEST_F(Curves, SpinIsAlmostExactlyTwoHundredthsAboutEachAxis) {
    curves_init(curves);
    Matrix3 fixed;
    matrix_rotate_xyz(fixed, 0.02, 0.02, 0.02);
    for (const Matrix3& m : curves.point_spin)
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(m.m[i], fixed.m[i], 1e-9);
}

TEST_F(Curves, EyeOrbitsAboutZ) {
    curves_init(curves);
    memcpy(screen_frame, resource_slot[RES_FRM01], FRAME_BYTES);
    for (int f = 0; f < 100; ++f) curves_frame(curves);
    EXPECT_EQ(carried.eye_point.z, -200.0);
    EXPECT_NEAR(std::hypot(carried.eye_point.x, carried.eye_point.y), std::hypot(200.0, 200.0), 1e-9);
    EXPECT_NEAR(std::atan2(carried.eye_point.y, carried.eye_point.x), M_PI / 4 + 1.0, 1e-9);
}

}  // namespace
