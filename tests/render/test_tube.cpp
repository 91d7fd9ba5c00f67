// The tube caster, the sampling grid and the smoothing pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/blit.h"
#include "render/carried.h"
#include "render/tube.h"
#include "tests/render/render_fixture.h"

namespace {

class Tube : public RenderTest {
protected:
    void TearDown() override {
        carried.tube_camera = {0, 0, 0};
        RenderTest::TearDown();
    }
};

// The cast as described, step by step, also giving t.
struct RefHit {
    int u, v, shade;
    double t;
};
RefHit reference_cast(float cx, float cy, float cz, int sx, int sy) {
    float dx = float((sx - 160) * 0.008333333333333333);
    float dy = float((sy - 100) * 0.008333333333333333);
    float dz = 1.0f;
    const double n = double(dx) * dx + double(dy) * dy + double(dz) * dz;
    const double k = 1.0 / (n * n);
    dx = float(dx * k);
    dy = float(dy * k);
    dz = float(dz * k);
    const double A = double(dx) * dx + double(dy) * dy;
    const double B = 2 * (double(dx) * cx + double(dy) * cy);
    const double C = double(cx) * cx + double(cy) * cy - 65536;
    const double s = std::sqrt(B * B - 4 * A * C);
    const double t = (s - B) / (2 * A + 0.000001);
    const double X = cx + t * dx, Y = cy + t * dy, Z = cz + t * dz;
    RefHit h;
    h.u = int(std::floor(0.1 * std::fabs(Z))) & 255;
    h.v = int(std::floor(std::fabs(std::atan2(Y, X)) * 256 * 0.3183098861837907)) & 255;
    h.shade = t == 0 ? 63 : int(std::floor(std::min(20000 / t, 63.0)));
    h.t = t;
    return h;
}

RefHit kit_cast(int sx, int sy) {
    aim_ray(sx, sy);
    uint8_t u, v, shade;
    cast_tube_ray(u, v, shade);
    return {u, v, shade, 0};
}

TEST_F(Tube, DampingDividesBySquaredLengthSquared) {
    Vec3f v = {1.0f, 2.0f, 2.0f};  // length 3, squared 9: divided by 81
    damp_direction(v);
    EXPECT_FLOAT_EQ(v.x, 1.0f / 81);
    EXPECT_FLOAT_EQ(v.y, 2.0f / 81);
    EXPECT_FLOAT_EQ(v.z, 2.0f / 81);
}

TEST_F(Tube, AimUsesOneHundredTwentiethPerPixel) {
    aim_ray(200, 40);
    EXPECT_EQ(ray_dir.x, float(40 * 0.008333333333333333));
    EXPECT_EQ(ray_dir.y, float(-60 * 0.008333333333333333));
    EXPECT_EQ(ray_dir.z, 1.0f);
}

TEST_F(Tube, AxialRayHasNoDistance) {
    carried.tube_camera = {0, 0, -400};
    RefHit h = kit_cast(160, 100);
    EXPECT_EQ(h.u, 40);
    EXPECT_EQ(h.v, 0);
    EXPECT_EQ(h.shade, 63);
    carried.tube_camera = {30, 40, -2565};  // the angle of the camera itself, 0.9273 rad
    h = kit_cast(160, 100);
    EXPECT_EQ(h.u, 0);  // 256.5 keeps its low 8 bits
    EXPECT_EQ(h.v, 75);
    EXPECT_EQ(h.shade, 63);
}

TEST_F(Tube, ShadeFallsWithDistance) {
    carried.tube_camera = {0, 0, -400};
    const struct {
        int sx, sy, shade;
        double t;
    } cases[] = {{200, 100, 21, 948}, {0, 0, 10, 1963}, {161, 100, 0, 30500}};
    for (const auto& c : cases) {
        const RefHit ref = reference_cast(0, 0, -400, c.sx, c.sy);
        EXPECT_NEAR(ref.t, c.t, c.t * 0.002) << c.sx << "," << c.sy;
        const RefHit h = kit_cast(c.sx, c.sy);
        EXPECT_EQ(h.shade, c.shade) << c.sx << "," << c.sy;
        EXPECT_EQ(h.u, ref.u);
        EXPECT_EQ(h.v, ref.v);
    }
}

TEST_F(Tube, AngleFoldsBothHalvesOfTheTube) {
    carried.tube_camera = {0, 0, 0};
    // Straight right: angle 0. Straight down and up on screen: the same |angle|.
    EXPECT_EQ(kit_cast(319, 100).v, 0);
    EXPECT_EQ(kit_cast(160, 199).v, 128);  // +pi/2
    EXPECT_EQ(kit_cast(160, 0).v, 128);    // -pi/2 folded
    EXPECT_EQ(kit_cast(100, 40).v, kit_cast(100, 160).v);
    EXPECT_EQ(kit_cast(0, 100).v, 0);      // exactly pi: 256 wraps to 0
}

TEST_F(Tube, RowCasterMatchesSingleCasts) {
    const float cams[4][3] = {{0, 0, -400}, {127, -127, -12345}, {-50, 90, 777}, {3, 0, 0}};
    for (const auto& cam : cams) {
        carried.tube_camera = {cam[0], cam[1], cam[2]};
        for (int y = 0; y < 200; y += 7) {
            TubeHit hits[320];
            const int n = cast_tube_row(y, y % 3, 3, hits);
            ASSERT_EQ(n, (320 - y % 3 + 2) / 3);
            for (int i = 0; i < n; ++i) {
                const int x = y % 3 + 3 * i;
                const RefHit ref = reference_cast(cam[0], cam[1], cam[2], x, y);
                const RefHit h = kit_cast(x, y);
                ASSERT_EQ(hits[i].u, h.u);
                ASSERT_EQ(hits[i].v, h.v);
                ASSERT_EQ(hits[i].shade, h.shade);
                ASSERT_EQ(h.u, ref.u) << x << "," << y;
                ASSERT_EQ(h.v, ref.v) << x << "," << y;
                ASSERT_EQ(h.shade, ref.shade) << x << "," << y;
            }
        }
    }
}

TEST_F(Tube, GridStoresTheScenesValueAtEachSample) {
    carried.tube_camera = {10, -20, -400};
    fill_frame(back_frame, 32);
    TubeGrid grid = {4, 1, 2};
    sample_tube_grid(grid, [](const TubeHit& h) { return uint8_t(4 * h.shade); });
    int phase = 2;
    for (int y = 0; y < 200; ++y) {
        const bool sampled_row = y % 4 == 1;
        for (int x = 0; x < 320; ++x) {
            const bool sampled = sampled_row && x >= phase && (x - phase) % 4 == 0;
            const uint8_t want = sampled ? uint8_t(4 * reference_cast(10, -20, -400, x, y).shade) : 32;
            ASSERT_EQ(px(back_frame, x, y), want) << x << "," << y;
        }
        if (sampled_row) phase = phase + 1 > 3 ? 0 : phase + 1;
    }
    EXPECT_EQ(grid.column_phase, phase);
}

TEST_F(Tube, ColumnPhaseCarriesFromFrameToFrame) {
    // Step 8: 25 rows a frame, so each frame starts one column further on.
    TubeGrid grid = {8, 0, 0};
    auto count = [](const TubeHit&) { return uint8_t(0); };
    for (int frame = 1; frame <= 9; ++frame) {
        sample_tube_grid(grid, count);
        EXPECT_EQ(grid.column_phase, (25 * frame) % 8) << frame;
    }
    // Step 3 from row phase 1: rows 1, 4, ..., 199 are 67 rows.
    grid = {3, 1, 0};
    sample_tube_grid(grid, count);
    EXPECT_EQ(grid.column_phase, 67 % 3);
    grid = {3, 2, 0};  // rows 2 .. 197: 66 rows
    sample_tube_grid(grid, count);
    EXPECT_EQ(grid.column_phase, 0);
}

TEST_F(Tube, ShrunkStepStartsAtTheOldPhaseOnce) {
    // The phase is only compared with the step after a row: step 3 with phase 3
    // samples its first row from column 3, then wraps to 0.
    fill_frame(back_frame, 0);
    TubeGrid grid = {3, 0, 3};
    sample_tube_grid(grid, [](const TubeHit&) { return uint8_t(9); });
    for (int x = 0; x < 6; ++x) EXPECT_EQ(px(back_frame, x, 0), x == 3 ? 9 : 0) << x;
    for (int x = 0; x < 6; ++x) EXPECT_EQ(px(back_frame, x, 3), x % 3 == 0 ? 9 : 0) << x;
    for (int x = 0; x < 6; ++x) EXPECT_EQ(px(back_frame, x, 6), x % 3 == 1 ? 9 : 0) << x;
}

// The smoothing pass exactly as described, on plain indices.
void reference_smooth(uint8_t* f) {
    auto P = [f](int x, int y) -> uint8_t& { return f[y * 320 + x]; };
    for (int x = 0; x < 320; ++x) P(x, 0) = 5;
    for (int y = 0; y <= 198; ++y) {
        P(0, y) = 5;
        if (y <= 197)
            for (int x = 1; x <= 318; ++x) {
                const int s = P(x - 1, y) + P(x, y) + P(x + 1, y) + P(x - 1, y + 1) + P(x + 1, y + 1) +
                              P(x - 1, y + 2) + P(x, y + 2) + P(x + 1, y + 2);
                P(x, y + 1) = uint8_t(s / 8 == 0 ? 1 : s / 8);
            }
        P(319, y) = 5;
    }
    for (int x = 0; x < 320; ++x) P(x, 199) = 5;
}

TEST_F(Tube, SmoothingOfAnEmptyFrame) {
    clear_frame(back_frame);
    smooth_samples();
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const bool border = x == 0 || x == 319 || y == 0 || y == 199;
            if (border)
                ASSERT_EQ(px(back_frame, x, y), 5) << x << "," << y;
            else
                ASSERT_GE(px(back_frame, x, y), 1) << x << "," << y;
        }
    EXPECT_EQ(frame_copy(screen_frame), frame_copy(back_frame));
}

TEST_F(Tube, SmoothingMatchesTheReference) {
    // Dark fields make sums below 8 (the pass then rounds 0 up to 1) next to bright
    // ones, in patches of every size, so both kinds of stretch meet at all columns.
    for (int round = 0; round < 7; ++round) {
        noise(back_frame, FRAME_BYTES);
        if (round == 2)  // sparse bright samples on a dark field, as the scenes have it
            for (int i = 0; i < FRAME_BYTES; ++i) back_frame[i] = i % 9 ? back_frame[i] & 3 : back_frame[i];
        if (round == 3)  // nearly black: 0s and 1s
            for (int i = 0; i < FRAME_BYTES; ++i) back_frame[i] &= 1;
        if (round == 4)  // dark and bright blocks of random sizes
            for (int i = 0; i < FRAME_BYTES;) {
                const int n = 1 + int(rng_() % 40);
                const bool dark = rng_() % 2;
                for (int j = i; j < i + n && j < FRAME_BYTES; ++j) back_frame[j] = dark ? 0 : back_frame[j];
                i += n;
            }
        if (round == 5) clear_frame(back_frame);
        if (round == 6) fill_frame(back_frame, 255);  // the largest sums
        auto expect = frame_copy(back_frame);
        for (int pass = 0; pass < 2; ++pass) {  // the second pass starts from the first's border
            reference_smooth(expect.data());
            smooth_samples();
            ASSERT_EQ(frame_copy(back_frame), expect) << round << " " << pass;
            ASSERT_EQ(frame_copy(screen_frame), expect) << round << " " << pass;
        }
    }
}

TEST_F(Tube, ASampleReachesThePictureOnlyThroughItsNeighbours) {
    fill_frame(back_frame, 32);
    auto without = frame_copy(back_frame);
    reference_smooth(without.data());
    px(back_frame, 100, 100) = 250;
    smooth_samples();
    EXPECT_NE(px(back_frame, 100, 100), 250);  // replaced by its neighbours' average
    // The three pixels above and the one to the left read it before it was replaced.
    for (auto [x, y] : {std::pair{99, 99}, {100, 99}, {101, 99}, {99, 100}})
        EXPECT_GT(px(back_frame, x, y), without[y * 320 + x]) << x << "," << y;
    // Rows above it never see it.
    for (int y = 0; y < 99; ++y)
        for (int x = 0; x < 320; ++x) ASSERT_EQ(px(back_frame, x, y), without[y * 320 + x]);
}

}  // namespace
