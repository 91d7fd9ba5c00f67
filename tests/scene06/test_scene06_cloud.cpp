// Scene 6's cloud: the 16.16 tables and rotation, the seeding order, the projection
// with its kept positions, and the blob each point becomes.
#include <cmath>
#include <cstring>
#include <vector>

#include "app/random.h"
#include "render/blit.h"
#include "render/blobs.h"
#include "render/fixed_rotation.h"
#include "scene_fixture.h"
#include "scenes/scene06_glow_cloud.h"

namespace {

using Cloud = SceneTest;

TEST(FixedRotation, TablesAreTheTruncatedSineAndCosine) {
    EXPECT_EQ(fixed_sin[64], 65536);
    EXPECT_EQ(fixed_cos[128], -65536);
    EXPECT_EQ(fixed_sin[1], 1608);
    EXPECT_EQ(fixed_cos[1], 65516);
    const long double pi = 3.14159265358979323846264338327950288L;
    for (int i = 0; i < 256; ++i) {
        const long double a = 2 * pi * i / 256;
        EXPECT_EQ(fixed_sin[i], int32_t(std::trunc(65536 * std::sin(a)))) << i;
        EXPECT_EQ(fixed_cos[i], int32_t(std::trunc(65536 * std::cos(a)))) << i;
    }
}

TEST(FixedRotation, QuarterTurnsGoXThenYThenZ) {
    // A quarter turn is exact: about x (x, y, z) -> (x, -z, y), about y -> (z, y, -x),
    // about z -> (-y, x, z). In that order (1, 2, 3) ends at (3, 2, -1); any other
    // order or sign ends elsewhere.
    auto same = [](IntPoint3 p, IntPoint3 q) { return p.x == q.x && p.y == q.y && p.z == q.z; };
    EXPECT_TRUE(same(rotate_fixed({1, 2, 3}, 64, 0, 0), {1, -3, 2}));
    EXPECT_TRUE(same(rotate_fixed({1, 2, 3}, 0, 64, 0), {3, 2, -1}));
    EXPECT_TRUE(same(rotate_fixed({1, 2, 3}, 0, 0, 64), {-2, 1, 3}));
    EXPECT_TRUE(same(rotate_fixed({1, 2, 3}, 64, 64, 64), {3, 2, -1}));
    EXPECT_TRUE(same(rotate_fixed({-150, 149, 7}, 0, 0, 0), {-150, 149, 7}));
}

TEST(FixedRotation, ResultsRoundTowardMinusInfinity) {
    // One step about z: 65536 * 65516 >> 16 = 65516 and 1608 stay below one unit, so
    // (1, 0, 0) gives (0, 0, 0) but (-1, 0, 0) gives (-1, -1, 0): an arithmetic shift,
    // not a division, which would give 0.
    const IntPoint3 p = rotate_fixed({1, 0, 0}, 0, 0, 1), n = rotate_fixed({-1, 0, 0}, 0, 0, 1);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(n.x, -1);
    EXPECT_EQ(n.y, -1);
    EXPECT_EQ(n.z, 0);
    // The 16.16 product rounds down too.
    EXPECT_EQ(fixed_mul(-1, 1), -1);
    EXPECT_EQ(fixed_mul(1, 1), 0);
}

TEST_F(Cloud, SeedingDrawsXYZPerPointFromTheSharedSequence) {
    show_srand(77);
    std::vector<int> draws(601);
    for (int& d : draws) d = show_rand();
    show_srand(77);
    seed_cloud();
    for (int i = 0; i < CLOUD_POINTS; ++i) {
        ASSERT_EQ(cloud_points[i].x, draws[3 * i] % 300 - 150) << i;
        ASSERT_EQ(cloud_points[i].y, draws[3 * i + 1] % 300 - 150) << i;
        ASSERT_EQ(cloud_points[i].z, draws[3 * i + 2] % 300 - 150) << i;
    }
    EXPECT_EQ(show_rand(), draws[600]);  // exactly 600 draws
}

TEST_F(Cloud, ProjectionTruncatesTowardZeroAndKeepsPositionsOnAZeroDivisor) {
    CloudPoint p{-7, 0, -7, 0, 0};
    project_cloud_point(p);
    EXPECT_EQ(p.sx, 159);  // -448 / 256 = -1.75 -> -1
    EXPECT_EQ(p.sy, 149);  // -448 / 249 -> -1
    p = {100, -56, 50, 0, 0};
    project_cloud_point(p);
    EXPECT_EQ(p.sx, 192);
    EXPECT_EQ(p.sy, 160);  // 3200 / 306 = 10.4
    // A divisor of 0 on either axis keeps both values from the last projection.
    for (CloudPoint q : {CloudPoint{5, -256, 9, 0, 0}, CloudPoint{5, 9, -256, 0, 0}}) {
        q.sx = 41;
        q.sy = 42;
        project_cloud_point(q);
        EXPECT_EQ(q.sx, 41);
        EXPECT_EQ(q.sy, 42);
    }
}

TEST_F(Cloud, EachPointIsOneGlowSizedByItsDepth) {
    // All points but one sit on a zero divisor at (0, 0), which add_glow rejects:
    // the first frame of such a point draws nothing.
    for (CloudPoint& p : cloud_rotated) p = {3, -256, 0, 0, 0};
    fill_frame(screen_frame, CLOUD_BACKGROUND);
    draw_cloud();
    for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], CLOUD_BACKGROUND) << i;

    // Depth sets the radius: 10 - ((z + 214) >> 6), from 10 near the top of the
    // picture down to 3 for the farthest points, low on the screen.
    const struct {
        CloudPoint p;
        uint16_t x, y;
        uint8_t d;
    } cases[] = {{{-60, 44, -170, 0, 0}, 148, 24, 10},   // -3840 / 300, -10880 / 86
                 {{-60, 44, -100, 0, 0}, 148, 109, 9},   // -6400 / 156
                 {{90, -100, 250, 0, 0}, 196, 181, 3}};  // 5760 / 156, 16000 / 506
    for (const auto& c : cases) {
        cloud_rotated[7] = c.p;
        fill_frame(screen_frame, CLOUD_BACKGROUND);
        draw_cloud();
        std::vector<uint8_t> drawn(screen_frame, screen_frame + FRAME_BYTES);
        fill_frame(screen_frame, CLOUD_BACKGROUND);
        add_glow(c.x, c.y, c.d);
        EXPECT_EQ(drawn, std::vector<uint8_t>(screen_frame, screen_frame + FRAME_BYTES)) << int(c.d);
    }
    // The point then falls on a zero divisor: stamped where it was last seen.
    cloud_rotated[7].y = -256;
    const CloudPoint last = cloud_rotated[7];
    fill_frame(screen_frame, CLOUD_BACKGROUND);
    draw_cloud();
    std::vector<uint8_t> drawn(screen_frame, screen_frame + FRAME_BYTES);
    fill_frame(screen_frame, CLOUD_BACKGROUND);
    add_glow(uint16_t(last.sx), uint16_t(last.sy), uint8_t(10 - ((last.z + 214) >> 6)));
    EXPECT_EQ(drawn, std::vector<uint8_t>(screen_frame, screen_frame + FRAME_BYTES));
    EXPECT_NE(drawn, std::vector<uint8_t>(FRAME_BYTES, CLOUD_BACKGROUND));
}

}  // namespace
