// Scene 6's cloud: the 16.16 tables and rotation, the seeding order, and the
// projection with its kept positions and depth-sized blobs.
#include <cmath>
#include <vector>

#include "render/blit.h"
#include "render/blobs.h"
#include "render/fixed_rotation.h"
#include "render/random.h"
#include "scene_fixture.h"
#include "scenes/scene06_glow_cloud.h"

namespace {

using Cloud = SceneTest;

TEST(FixedRotation, TablesAreTheTruncatedSineAndCosine) {
    const long double pi = 3.14159265358979323846264338327950288L;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(fixed_sin[i], int32_t(std::trunc(65536 * std::sin(2 * pi * i / 256)))) << i;
        EXPECT_EQ(fixed_cos[i], int32_t(std::trunc(65536 * std::cos(2 * pi * i / 256)))) << i;
    }
}

TEST(FixedRotation, TurnsGoXThenYThenZAndRoundDown) {
    // Quarter turns are exact: about x (x, y, z) -> (x, -z, y), about y -> (z, y, -x),
    // about z -> (-y, x, z); in that order (1, 2, 3) ends at (3, 2, -1).
    auto is = [](IntPoint3 p, int x, int y, int z) { return p.x == x && p.y == y && p.z == z; };
    EXPECT_TRUE(is(rotate_fixed({1, 2, 3}, 64, 0, 0), 1, -3, 2));
    EXPECT_TRUE(is(rotate_fixed({1, 2, 3}, 0, 0, 64), -2, 1, 3));
    EXPECT_TRUE(is(rotate_fixed({1, 2, 3}, 64, 64, 64), 3, 2, -1));
    EXPECT_TRUE(is(rotate_fixed({-150, 149, 7}, 0, 0, 0), -150, 149, 7));
    // One step about z leaves (1, 0, 0) short of a unit on both axes: the shift
    // rounds (1, 0, 0) to (0, 0, 0) and (-1, 0, 0) to (-1, -1, 0), not toward zero.
    EXPECT_TRUE(is(rotate_fixed({1, 0, 0}, 0, 0, 1), 0, 0, 0));
    EXPECT_TRUE(is(rotate_fixed({-1, 0, 0}, 0, 0, 1), -1, -1, 0));
}

TEST_F(Cloud, SeedingDrawsXYZPerPointFromTheSharedSequence) {
    show_srand(77);
    std::vector<int> draws(601);
    for (int& d : draws) d = show_rand() % 300 - 150;
    show_srand(77);
    seed_cloud(scene06_run);
    for (int i = 0; i < CLOUD_POINTS; ++i)
        ASSERT_TRUE(scene06_run.points[i].x == draws[3 * i] && scene06_run.points[i].y == draws[3 * i + 1] &&
                    scene06_run.points[i].z == draws[3 * i + 2]) << i;
    EXPECT_EQ(show_rand() % 300 - 150, draws[600]);  // exactly 600 draws
}

TEST_F(Cloud, ProjectionTruncatesTowardZeroAndKeepsPositionsOnAZeroDivisor) {
    CloudPoint p{-7, 0, -7, 0, 0};
    project_cloud_point(p);
    EXPECT_EQ(p.sx, 159);  // -448 / 256 = -1.75 -> -1
    EXPECT_EQ(p.sy, 149);  // -448 / 249 -> -1
    for (CloudPoint q : {CloudPoint{5, -256, 9, 41, 42}, CloudPoint{5, 9, -256, 41, 42}}) {
        project_cloud_point(q);
        EXPECT_EQ(q.sx, 41);
        EXPECT_EQ(q.sy, 42);
    }
}

TEST_F(Cloud, EachPointIsOneGlowSizedByItsDepth) {
    auto frame_after = [](auto draw) {
        fill_frame(screen_frame, CLOUD_BACKGROUND);
        draw();
        return std::vector<uint8_t>(screen_frame, screen_frame + FRAME_BYTES);
    };
    // Points on a zero divisor that were never projected sit at (0, 0), which
    // add_glow rejects: they draw nothing.
    for (CloudPoint& p : scene06_run.rotated) p = {3, -256, 0, 0, 0};
    EXPECT_EQ(frame_after([] { draw_cloud(scene06_run); }), std::vector<uint8_t>(FRAME_BYTES, CLOUD_BACKGROUND));
    // Radius 10 - ((z + 214) >> 6): 10 near the top of the picture, 3 far down.
    const struct {
        CloudPoint p;
        uint16_t x, y;
        uint8_t d;
    } cases[] = {{{-60, 44, -170, 0, 0}, 148, 24, 10},   // -3840 / 300, -10880 / 86
                 {{-60, 44, -100, 0, 0}, 148, 109, 9},   // -6400 / 156
                 {{90, -100, 250, 0, 0}, 196, 181, 3}};  // 5760 / 156, 16000 / 506
    for (const auto& c : cases) {
        scene06_run.rotated[7] = c.p;
        EXPECT_EQ(frame_after([] { draw_cloud(scene06_run); }), frame_after([&] { add_glow(c.x, c.y, c.d); })) << int(c.d);
    }
    // On a zero divisor the last point is stamped where it was last seen.
    scene06_run.rotated[7].y = -256;
    EXPECT_EQ(frame_after([] { draw_cloud(scene06_run); }), frame_after([] { add_glow(196, 181, 3); }));
}

}  // namespace
