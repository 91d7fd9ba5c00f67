// Scene 7, cue 17: the flight through the tube again, coloured by distance alone
// through a cyan-to-white palette, with a face keyed at the top and a banner added
// with a brightness cap near the bottom; the grid alternates between steps 4 and 3.
#pragma once

#include <cstdint>

#include "render/tube_flight.h"

// Scene 7: cue 17, ends at 97500 ms. Runs its phases and returns when its last cue (or
// last counted step) has ended. Called by play_scenes, in show order.
void scene_shaded_tube();

constexpr int FACE_DAT_W = 115, FACE_DAT_H = 73;  // face.dat, keyed (key 0) at (103, 0)
constexpr int FACE_DAT_X = 103;
constexpr int PAY_ATT_W = 238, PAY_ATT_H = 27;    // pay_att.dat: amounts, key 0
constexpr int PAY_ATT_X = 40, PAY_ATT_Y = 152;
constexpr uint8_t PAY_ATT_CAP = 191;              // the top of the cyan-to-white ramp

// All of scene 7's own state; the camera it sets is carried.tube_camera
// (render/carried.h).
struct ShadedTubeRun {
    float driver = -100.0f;  // camera z = 4 * driver; -5.0 after every frame
    TubeFlight flight = {{4, 0, 0}, 0, {}};  // step 4, phases and counter 0
    int step_change = -1;    // added to the step at each period's end
};

// The run in progress, or the last one: scene_shaded_tube starts it afresh.
extern ShadedTubeRun scene07_run;

// Stops the show with "error loading resource '<name>'" when face.dat or
// pay_att.dat is shorter than the scene reads. Called by scene_shaded_tube first.
void scene07_check_resources();

// The set-up: clear and present screen_frame, scene palette, back_frame to 32,
// cue_index + 1. Called by scene_shaded_tube before its first frame.
void shaded_tube_start();

// One frame (no pump): jump the camera, sample 4 * shade on the grid, smooth, face
// and banner, present, then the driver, the period rule, and at each period's end
// the step change (reversed whenever the new step is outside 5..7, so the step
// runs 4, 3, 4, 3, ...). Running ahead past the cue's end, nothing is drawn or
// presented: the grid's phase, the camera, the driver and the period rule go on.
void shaded_tube_frame(ShadedTubeRun& run);
