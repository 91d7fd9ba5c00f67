// Scene 5, cue 11: a feedback zoom into the picture scene 4 left, a cut to black,
// a zoom out of a textured tube, then the timed flight through it with a blended
// banner and, from the 65th frame, a sprite sliding in along the top trailing a fan
// of grey silhouettes.
#pragma once

#include <cstdint>

#include "render/tube_flight.h"

// Scene 5: cue 11, ends at 71990 ms. Runs its phases and returns when its last cue (or
// last counted step) has ended. Called by play_scenes, in show order.
void scene_textured_tube();

constexpr int TEXTURE_DAT_SIZE = 256;         // texture.dat: 256 x 256, row v at v * 256
constexpr int APSAVE_W = 320, APSAVE_H = 45;  // apsave.dat, blended at (0, 154)
constexpr int APSAVE_Y = 154;
constexpr int K1_W = 105, K1_H = 71;          // k1.dat (sprite) and k2.dat (its mask)
constexpr int SLIDE_STOP = 213;               // the sprite's last x
constexpr int TRAIL_COUNT = 12;               // silhouettes, in colours 239..250
constexpr uint8_t TRAIL_FIRST_COLOUR = 239;
constexpr int SPRITE_FIRST_FRAME = 65;        // of the flight phase

// All of scene 5's own state; the camera it drifts is carried.tube_camera
// (render/carried.h).
struct TexturedTubeRun {
    // Camera driver: camera z = 4 * tube_z; -5.0 after every sampled frame.
    float tube_z = -100.0f;
    // Grid (step, row phase, column phase), period counter and targets; they carry
    // from the zoom-out into the flight.
    TubeFlight flight = {{8, 0, 0}, 0, {}};
    // The sliding sprite: its x, the silhouettes' spacing, and whether the
    // silhouettes are done.
    int slide_x = 0;
    int trail_gap = 20;
    bool trail_finished = false;
};

// The run in progress, or the last one: scene_textured_tube starts it afresh.
extern TexturedTubeRun scene05_run;

// Stops the show with "error loading resource '<name>'" when texture.dat,
// apsave.dat, k1.dat or k2.dat is shorter than the scene reads. Called by
// scene_textured_tube before its first phase.
void scene05_check_resources();

// The zoom mapping, a >= 1: target pixel (x, y) reads back_frame at
// S = floor(320 * (floor(y * s) + a) + (x + a) * s), s = 1/a, all in single
// precision, both floors truncating toward zero. Since a is not whole, the 320 * a
// term also shifts the picture sideways by 320 * frac(a); kept as it is. At a = 1
// the last pixel of row 198 and all of row 199 land on 64000..64320, past the
// frame: such pixels read the frame's last byte (the index is clamped).

// screen := (screen + back_frame[S]) >> 1 for every pixel. Once per frame of phase A.
void zoom_blend(float a);

// screen := back_frame[S] for every pixel. Once per frame of phase C.
void zoom_copy(float a);

// Phase A: zoom_blend from a = 1.0 (double), a += a * 0.1f, present and pump,
// until a >= 30: 36 frames. Returns a (30.91...). Running ahead past the scene's
// end, phases A, C and D neither draw nor present; their state moves on as shown.
double zoom_in_phase();

// Phase B: clear and present screen_frame, scene palette, then the first drift
// point: x = rand() mod 128, then y = -(rand() mod 128).
DriftPoint cut_phase();

// One frame of phase C: drift, sample back_frame at step 8 with texture + shade,
// smooth, tube_z and period, zoom_copy(a), present (no pump).
void zoom_out_frame(TexturedTubeRun& run, DriftPoint& to, float a);

// Phase C: step 8, then zoom_out_frame and pump while a > 1.0, a -= a * 0.1f
// (double): 33 frames from the a that phase A left, drifting toward `to` first.
void zoom_out_phase(TexturedTubeRun& run, double a, DriftPoint to);

// One frame of phase D with its frame number n (1..65, 65 from the sprite on):
// jump, sample at step 4, smooth, banner, present or draw_sliding_sprite, tube_z
// and period (no pump).
void flight_frame(TexturedTubeRun& run, int n);

// Phase D: back_frame to 32, column phase 0, cue_index + 1, then flight_frame and
// pump while the cue runs.
void flight_phase(TexturedTubeRun& run);

// The silhouettes from k2.dat in colours 239..250 at slide_x - gap, - 2 gap, ...
// (clamped at 0) while the trail lasts, k1.dat keyed at (slide_x, 0), the slide
// and close-up step, then present screen_frame. Once per frame from the 65th.
void draw_sliding_sprite(TexturedTubeRun& run);

// The slide and close-up step alone, while the trail lasts. Called by
// draw_sliding_sprite, and by a flight frame that runs ahead unseen.
void slide_sprite(TexturedTubeRun& run);
