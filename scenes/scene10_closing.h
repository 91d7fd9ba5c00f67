// Scene 10, the show's last six seconds: the closing picture with three sprites
// sliding in from the sides and two dot trails shrinking onto their outlines while
// the palette's upper half dims, then the trails alone while music and palette fade
// out. The trails are in scene10_trails.h, the palette work in scene10_fades.h.
#pragma once

#include <cstdint>

#include "scenes/scene10_fades.h"
#include "scenes/scene10_trails.h"

// Scene 10, the last: cues 21 and 22, ends at 150000 ms. Runs its phases and returns
// when its last cue (or last counted step) has ended. Called by play_scenes, in show
// order.
void scene_closing();

constexpr uint8_t SPRITE_KEY = 149;
constexpr int UPPERA_W = 52, UPPERA_H = 31, UPPERA_Y = 66;  // from the left
constexpr int LOWERA_W = 37, LOWERA_H = 35, LOWERA_Y = 100; // from the left
constexpr int DOTP_W = 47, DOTP_H = 65, DOTP_Y = 66;        // from the right

// Where the slides start and stop (left edges).
constexpr int16_t UPPERA_FROM = -52, UPPERA_TO = 66;
constexpr int16_t LOWERA_FROM = -148, LOWERA_TO = 79;
constexpr int16_t DOTP_FROM = 342, DOTP_TO = 208;

constexpr double SHRINK_FROM = 2.0;    // outline scale at the scene's start
constexpr double SHRINK_STEP = -0.01;  // added per shrinking frame
constexpr double SHRINK_UNTIL = 0.95;  // the shrink runs while the scale is above
constexpr int DIM_EVERY = 6;           // frames per dim step

// The sliding sprites' left edges, signed 16-bit.
struct ClosingSprites {
    int16_t ua, la, dp;
};

// All of scene 10's own state, carried from frame to frame through its phases.
struct ClosingRun {
    ClosingSprites sprites{UPPERA_FROM, LOWERA_FROM, DOTP_FROM};
    uint8_t c6 = 0;             // frames since the last dim step, 0..5
    double scale = SHRINK_FROM; // outline scale
    ClosingTrails trails;
    ClosingFades fades;
};

// The run in progress, or the last one: scene_closing starts it afresh.
extern ClosingRun scene10_run;

// Stops the show with "error loading resource '<name>'" when apfrm.dat, uppera.dat,
// lowera.dat or dotp.dat is shorter than the scene reads. Called by scene_closing
// before its set-up, so no phase reads past a loaded block.
void scene10_check_resources();

// Set-up of a fresh run: dot indices, a cleared screen presented once, the scene
// palette.
void closing_setup(ClosingRun& run);

// The three sprites at their current places, keyed by 149 and clipped.
void draw_sprites(const ClosingSprites& s);

// One step towards the end places: uppera to 66, lowera to 79, dotp to 208.
void slide_sprites(ClosingSprites& s);

// One frame of the shrink: picture, sprites, dots placed at the current scale and
// drawn at the scale less 0.01, a dim step every sixth frame, present, slide. No
// pump. Called by shrink_phase.
void shrink_frame(ClosingRun& run);

// The same frame at a fixed scale. Called by hold_phase.
void hold_frame(ClosingRun& run);

// One frame of the fade: picture, dots at scale 1.0, present, fade step. No pump.
// Called by fade_phase.
void fade_frame(ClosingRun& run);

// Counted, not timed: shrink frames until the scale is no longer above 0.95 (105
// frames from 2.0), whatever the clock. Opens no cue.
void shrink_phase(ClosingRun& run);

// Cue 21: hold frames while the cue runs; the sprites finish their slides.
void hold_phase(ClosingRun& run);

// Cue 22: fade frames while the cue runs.
void fade_phase(ClosingRun& run);
