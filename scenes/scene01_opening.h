// Scene 1, the show's first 34.2 seconds: the opening picture with its palette fade,
// the warp burst, the glowing logo, then the curves (scene01_curves.h) and the tunnel
// (scene01_tunnel.h). This header holds the opening and logo phases and the scene's
// state.
#pragma once

#include <cstdint>

#include "scenes/scene01_curves.h"
#include "scenes/scene01_tunnel.h"

// Scene 1, the show's first: cues 0..6, ends at 34200 ms. Runs its phases and returns
// when its last cue (or last counted step) has ended. Called by play_scenes, in show
// order.
void scene_opening();

constexpr int GLOW_BLOB_COUNT = 25;
constexpr int STRIP_W = 40;          // overl2.dat is 40 columns wide
constexpr int STRIP_ROWS = 295;      // and at least 295 rows tall
constexpr int STRIP_X0 = 33;         // the strip covers columns 33..72
constexpr int FADE_PASSES = 63;      // one step per pass takes 0 to any 6-bit value

// One glow blob of the logo phase, running along the logo path.
struct GlowBlob {
    int16_t step;    // radius change per frame: -1 or +1 once running
    int16_t speed;   // path points per frame: 0 at start, 4 once running
    int16_t radius;  // current radius, the stamp's d
    int16_t target;  // radius the blob walks towards, 10..39 once running
    int16_t pos;     // index into path_x/path_y, 0..585 (585 is (0, 0), not drawn)
};

// The logo phase's state, kept from frame to frame.
struct LogoRun {
    // The 25 blobs; set up at the start of the phase.
    GlowBlob blobs[GLOW_BLOB_COUNT] = {};
    // First row of overl2.dat shown at the top of the frame (wraps as unsigned
    // 16-bit; swings 0..95), and its direction of travel.
    uint16_t strip_pos = 48;
    int8_t strip_dir = 1;
};

// All of scene 1's own state. What it hands on to later scenes (eye_point,
// stripe_flip, the random sequence) is in render/carried.h.
struct OpeningRun {
    LogoRun logo;
    CurvesRun curves;
    TunnelRun tunnel;
};

// The run in progress, or the last one: scene_opening starts it afresh.
extern OpeningRun scene01_run;

// Stops the show with "error loading resource '<name>'" when a resource the scene
// reads is shorter than the layout the scene reads from it. Called by scene_opening
// before its first phase, so no phase reads past a loaded block.
void scene01_check_resources();

// Cue 0: the opening picture is put up under black, faded in over 63 passes of
// pump_messages + set_palette with nothing presented, then held while the cue runs.
void opening_picture_phase();

// Cue 1: the opening picture under the XOR stripe warp; one pass in seven shows
// the flash palette instead of a new frame.
void warp_burst_phase();

// One drawn pass of the warp burst: stripes with counter n, opening palette,
// warp, present screen_frame. Called by warp_burst_phase.
void warp_burst_pass(uint8_t n);

// Cue 2: background, swinging strip, glow blobs along the logo path, blended logo
// and caption.
void logo_phase(LogoRun& run);

// Seeds the generator from the tick counter and sets every blob to a random path
// position with speed, radius and target 0. Called once by logo_phase.
void init_glow_blobs(LogoRun& run);

// Moves every blob along the path and walks its radius towards its target, picking
// a new target in 10..39 (and speed 4) on arrival. Once per logo frame.
void update_glow_blobs(LogoRun& run);

// add_glow at every blob's path point with its radius. Once per logo frame.
void draw_glow_blobs(const LogoRun& run);

// Advances strip_pos (turning at 0 and above 94), then averages rows
// strip_pos..strip_pos+199 of overl2.dat into columns 33..72 of screen_frame:
// p = (p + s) >> 1, no key, no minimum. Once per logo frame.
void draw_strip(LogoRun& run);

// One logo frame, drawn and presented (no pump). Called by logo_phase.
void logo_frame(LogoRun& run);
