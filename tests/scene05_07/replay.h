// The show's random generator replayed from a known state, for checking what and
// how much the tube scenes draw from it.
#pragma once

#include <cstdint>

#include "render/tube_flight.h"

struct Replay {
    uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
    // The three draws of a new set of targets.
    FlightTargets targets() {
        FlightTargets t;
        t.x_mag = uint8_t(next() % 128);
        t.y_mag = uint8_t(next() % 128);
        t.flip = next() % 10 < 6;
        return t;
    }
};
