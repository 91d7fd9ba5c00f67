// Scene 7, cue 17: the flight through the tube again, coloured by distance alone
// through a cyan-to-white palette, with a face keyed at the top and a banner added
// with a brightness cap near the bottom; the grid alternates between steps 4 and 3.
// All its state belongs to one run of the scene.
#pragma once

#include <cstdint>

#include "render/tube_flight.h"

constexpr int FACE_DAT_W = 115, FACE_DAT_H = 73;  // face.dat, keyed (key 0) at (103, 0)
constexpr int FACE_DAT_X = 103;
constexpr int PAY_ATT_W = 238, PAY_ATT_H = 27;    // pay_att.dat: amounts, key 0
constexpr int PAY_ATT_X = 40, PAY_ATT_Y = 152;
constexpr uint8_t PAY_ATT_CAP = 191;              // the top of the cyan-to-white ramp

// One run's state, fresh for each run.
struct ShadedTube {
    float driver = -100.0f;  // camera z = 4 * driver; -5.0 after every frame
    TubeFlight flight = {{4, 0, 0}, 0, {}};  // step 4, phases and counter 0
    int step_change = -1;    // added to the step at each period's end
};

// Stops the show with "error loading resource '<name>'" when face.dat or
// pay_att.dat is shorter than the scene reads. Called by scene_shaded_tube first.
void scene07_check_resources();

// For each pixel of the w x h rectangle at (x, y) of screen_frame, row by row, the
// next sprite byte b (the sprite is read w bytes a row, key or not): unless b is
// the key, pixel = min(pixel + b, cap), summed without wrapping, so a pixel already
// above cap comes down to it. The caller keeps the rectangle inside the frame; one
// outside it is cut at the right and bottom edges.
void blit_add_capped(const uint8_t* sprite, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                     uint16_t h, uint8_t cap);

// The set-up: clear and present screen_frame, scene palette, back_frame to 32,
// screen_frame to 1, cue_index + 1.
void shaded_tube_start();

// One frame (no pump): jump the camera, sample 4 * shade on the grid, smooth, face
// and banner, present, then the driver, the period rule, and at each period's end
// the step change (reversed whenever the new step is outside 5..7, so the step
// runs 4, 3, 4, 3, ...).
void shaded_tube_frame(ShadedTube& run);
