// Scene 3, cue 8: a cloud of 400 points tumbles in 3D; each point stamps a disc
// into a mask in screen_frame beside two caption shapes, and the hidden picture
// shows through the mask into back_frame, softened, on a flat background of 32.
#pragma once

#include <cstdint>

#include "render/math3d.h"

// Scene 3: cue 8, ends at 53000 ms. Runs its phases and returns when its last cue (or
// last counted step) has ended. Called by play_scenes, in show order.
void scene_cloud_reveal();

constexpr int REVEAL_POINTS = 400;
constexpr uint8_t REVEAL_BACKGROUND = 32;  // the flat colour the picture hides behind

// Caption shapes: sprites added onto the background, key 0.
constexpr int APHANDL_W = 288, APHANDL_H = 32, APHANDL_X = 16, APHANDL_Y = 167;
constexpr int ALWORK_W = 269, ALWORK_H = 24, ALWORK_X = 50, ALWORK_Y = 1;

// All of scene 3's own state.
struct RevealRun {
    // The cloud, turned in place every frame; each coordinate drawn in -75..74.
    Vec3 points[REVEAL_POINTS] = {};
    // One degree about each axis: matrix_rotate_xyz(pi/180, pi/180, pi/180).
    Matrix3 spin = {};
};

// The run in progress, or the last one: scene_cloud_reveal starts it afresh.
extern RevealRun scene03_run;

// Stops the show with "error loading resource '<name>'" when alien.dat, aphandl.dat
// or alwork.dat is shorter than the scene reads. Called by scene_cloud_reveal
// before its set-up.
void scene03_check_resources();

// The scene's set-up before its cue opens: the spin, eye_point x and y to 0 (z
// kept), a cleared screen presented, the palette, then the 400 points drawn from the
// shared generator without re-seeding, x, y and z of each in turn.
void cloud_setup(RevealRun& run);

// Turns every point by the spin, projects it and stamps its disc: radius a =
// |9 - ((trunc(214 + z) mod 256) >> 6)| from the low byte of the depth, 6..9 for the
// cloud's depths. Once per frame, after the captions.
void draw_reveal_discs(RevealRun& run);

// back_frame[i] = 32 where screen_frame[i] is 32, else alien.dat[i]. Once per frame.
void reveal_picture();

// In place over back_frame: in rows 1..198 every byte of columns 1..318 that is not
// 32 becomes max(32, (left + right + above + below) >> 2), left to right and top to
// bottom, so left and above already hold this pass's values. Columns 0 and 319 of
// every row become 0; the rest of rows 0 and 199 stays. Once per frame.
void soften_back();

// One frame: background, captions, cloud, reveal, soften, present back_frame (no
// pump); a frame never shown while running ahead only turns the cloud. Called by
// scene_cloud_reveal.
void cloud_frame(RevealRun& run);
