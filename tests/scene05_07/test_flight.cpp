// The flight both tube scenes share: the targets' three draws, the jump and the
// one-unit drift of the camera, and the period rule.
#include "render/carried.h"
#include "render/random.h"
#include "render/tube_flight.h"
#include "replay.h"
#include "scene_fixture.h"

namespace {

using Flight = SceneTest;

void expect_targets(const FlightTargets& got, const FlightTargets& want) {
    EXPECT_EQ(got.x_mag, want.x_mag);
    EXPECT_EQ(got.y_mag, want.y_mag);
    EXPECT_EQ(got.flip, want.flip);
}

TEST_F(Flight, JumpPutsTheCameraOnTheSignedTargets) {
    jump_tube_camera({100, 27, true}, -105.0f);
    EXPECT_EQ(carried.tube_camera.x, 100.0f);
    EXPECT_EQ(carried.tube_camera.y, -27.0f);
    EXPECT_EQ(carried.tube_camera.z, -420.0f);
    jump_tube_camera({100, 27, false}, -110.0f);
    EXPECT_EQ(carried.tube_camera.x, -100.0f);
    EXPECT_EQ(carried.tube_camera.y, 27.0f);
    EXPECT_EQ(carried.tube_camera.z, -440.0f);
}

TEST_F(Flight, DriftMovesOneUnitAndRetargetsOnArrival) {
    carried.tube_camera = {0.0f, 0.0f, 0.0f};
    const FlightTargets t = {5, 7, true};
    DriftPoint to;
    to.x = 2;
    to.y = -1;
    drift_tube_camera(to, t, -100.0f);
    EXPECT_EQ(carried.tube_camera.x, 1.0f);
    EXPECT_EQ(carried.tube_camera.y, -1.0f);
    EXPECT_EQ(carried.tube_camera.z, -400.0f);
    EXPECT_EQ(to.x, 2);   // still on the way
    EXPECT_EQ(to.y, -7);  // arrived: the flip flag puts y below the axis
    drift_tube_camera(to, t, -105.0f);
    EXPECT_EQ(carried.tube_camera.x, 2.0f);
    EXPECT_EQ(carried.tube_camera.y, -2.0f);
    EXPECT_EQ(to.x, 5);
}

TEST_F(Flight, APointUnderTheCameraIsReachedAtOnce) {
    carried.tube_camera = {-3.0f, 4.0f, 0.0f};
    DriftPoint to;
    to.x = -3;
    to.y = 4;
    drift_tube_camera(to, {9, 11, false}, 0.0f);
    EXPECT_EQ(carried.tube_camera.x, -3.0f);  // no step
    EXPECT_EQ(carried.tube_camera.y, 4.0f);
    EXPECT_EQ(to.x, -9);  // the new point, chosen in the same frame
    EXPECT_EQ(to.y, 11);
}

TEST_F(Flight, APeriodLastsStepFramesAndDrawsThreeNumbers) {
    for (int step : {3, 4, 8}) {
        show_srand(777u * step);
        Replay replay{777u * uint32_t(step)};
        TubeFlight f = {{step, 3, 0}, 0, {}};
        float depth = -100.0f;
        for (int frame = 1; frame < step; ++frame) EXPECT_FALSE(end_flight_frame(f, depth)) << step;
        EXPECT_TRUE(end_flight_frame(f, depth)) << step;
        EXPECT_EQ(depth, -100.0f - 5.0f * float(step));
        EXPECT_EQ(f.period_frame, 0);
        EXPECT_EQ(f.grid.row_phase, 0);  // 3 wraps to 0
        expect_targets(f.targets, replay.targets());
        EXPECT_EQ(show_rand(), replay.next()) << "exactly three draws";
        EXPECT_FALSE(end_flight_frame(f, depth));
        EXPECT_EQ(f.grid.row_phase, 0);
    }
}

}  // namespace
