// The camera drivers and the period rule of the tube flights.
#include "render/tube_flight.h"

#include "render/carried.h"
#include "render/random.h"

void draw_flight_targets(FlightTargets& t) {
    // Separate statements: the three draws must happen in this order.
    t.x_mag = uint8_t(show_rand() % 128);
    t.y_mag = uint8_t(show_rand() % 128);
    t.flip = show_rand() % 10 < 6;
}

void jump_tube_camera(const FlightTargets& t, float depth) {
    carried.tube_camera.x = float(flight_target_x(t));
    carried.tube_camera.y = float(flight_target_y(t));
    carried.tube_camera.z = 4.0f * depth;
}

// One axis of the drift: a unit step toward `to`, and a new `to` on arrival.
static inline void drift_axis(float& at, int& to, int next) {
    const float goal = float(to);
    if (goal > at) at += 1.0f;
    else if (goal < at) at -= 1.0f;
    if (at == goal) to = next;
}

void drift_tube_camera(DriftPoint& to, const FlightTargets& t, float depth) {
    drift_axis(carried.tube_camera.x, to.x, flight_target_x(t));
    drift_axis(carried.tube_camera.y, to.y, flight_target_y(t));
    carried.tube_camera.z = 4.0f * depth;
}

bool end_flight_frame(TubeFlight& f, float& depth) {
    depth -= 5.0f;
    if (++f.period_frame <= f.grid.step - 1) return false;
    f.period_frame = 0;
    f.grid.row_phase = f.grid.row_phase == 3 ? 0 : f.grid.row_phase + 1;
    draw_flight_targets(f.targets);
    return true;
}
