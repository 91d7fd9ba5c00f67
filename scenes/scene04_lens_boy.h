// Scene 4 (cues 9 and 10, to 62650 ms): the boy's portrait under the lens circling
// the other way, then the last mixed picture melting under the XOR stripe warp.
#pragma once

#include <cstdint>

#include "render/lens.h"
#include "scenes/lens_portrait.h"

// Scene 4: cues 9 and 10, ends at 62650 ms. Runs its phases and returns when its last
// cue (or last counted step) has ended. Called by play_scenes, in show order.
void scene_lens_portrait_b();

// The lens origin per step: from (67, 15) at step 0, circling opposite to scene 2.
inline constexpr LensTable boy_lens_x = lens_table(LENS_WINDOW_X, 40);
inline constexpr LensTable boy_lens_y = lens_table(LENS_WINDOW_Y, 24);

// self_b.dat and boy.dat must hold what the scene reads; fatal otherwise. Called by
// scene_lens_portrait_b before its first phase.
void scene04_check_resources();

// Cue 9: the boy's portrait under the lens, the figure in front.
void boy_lens_phase();

// Cue 10: the last mixed picture (screen_frame, which never holds the figure) frozen
// into back_frame and warped, one frame per pass with a byte counter from 0. The
// stripes continue from wherever scene 1 left stripe_flip. At a low frame rate the
// 200 ms cue may end before its first frame.
void melt_warp_phase();

// One melting frame: stripes with counter n, warp, present screen_frame (no pump).
// Called by melt_warp_phase.
void melt_warp_frame(uint8_t n);
