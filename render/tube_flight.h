// The flight through the tube that the textured and the shaded tube scenes share:
// random camera targets, the two ways the camera follows them (jumping to them,
// drifting one unit a frame toward them), and the period rule that shifts the
// sampling grid's rows and draws new targets every few frames.
#pragma once

#include <cstdint>

#include "render/tube.h"

// Where the camera goes next: two magnitudes 0..127 and a flag that picks their
// signs, x = +x_mag and y = -y_mag when flip is set, x = -x_mag and y = +y_mag when
// it is not. All zero and false at program start.
struct FlightTargets {
    uint8_t x_mag = 0;
    uint8_t y_mag = 0;
    bool flip = false;
};

// The x and the y the targets stand for.
inline int flight_target_x(const FlightTargets& t) { return t.flip ? t.x_mag : -t.x_mag; }
inline int flight_target_y(const FlightTargets& t) { return t.flip ? -t.y_mag : t.y_mag; }

// Three draws from the show's generator, in this order: x_mag = rand() mod 128,
// y_mag = rand() mod 128, flip = (rand() mod 10) < 6. Called at each period's end.
void draw_flight_targets(FlightTargets& t);

// One flight's counters, kept from frame to frame by its scene.
struct TubeFlight {
    TubeGrid grid;          // step, row phase 0..3, column phase 0..step - 1
    int period_frame = 0;   // frames sampled so far in the current period
    FlightTargets targets;
};

// carried.tube_camera = (target x, target y, 4 * depth): the camera jumps, no drift. depth
// is the scene's camera driver (a float, falling by 5 a frame). Once per frame of
// the flight phases, before sampling.
void jump_tube_camera(const FlightTargets& t, float depth);

// The point a drifting camera heads for, whole numbers in -127..127.
struct DriftPoint {
    int x = 0, y = 0;
};

// Moves carried.tube_camera.x one unit toward to.x (none if equal); if it then equals
// to.x, to.x becomes flight_target_x(t). Then the same for y with
// flight_target_y(t). A point equal to the camera is thus reached at once. Then
// carried.tube_camera.z = 4 * depth. The camera stays on whole numbers, so the comparisons
// are exact. Once per frame of scene 5's zoom-out.
void drift_tube_camera(DriftPoint& to, const FlightTargets& t, float depth);

// After a sampled frame: depth -= 5 (float), then the period rule: period_frame + 1,
// and once it exceeds grid.step - 1 (a period lasts `step` frames), period_frame =
// 0, row phase + 1 (0 after 3) and draw_flight_targets. Returns whether the period
// ended, so that a scene can change its step at that moment.
bool end_flight_frame(TubeFlight& f, float& depth);
