// Scene 2 (cue 7, to 41620 ms): the girl's portrait under the circling lens with its
// flaring feedback, the standing girl in front.
#pragma once

#include "render/lens.h"
#include "scenes/lens_portrait.h"

// Scene 2: cue 7, ends at 41620 ms. Runs its phases and returns when its last cue (or
// last counted step) has ended. Called by play_scenes, in show order.
void scene_lens_portrait_a();

// The lens origin per step: from (83, 31) at step 0 through (86, 23) at step 8 and
// (75, 12) at step 24, so the window circles right, then up.
inline constexpr LensTable girl_lens_x = lens_table(LENS_WINDOW_X, 56);
inline constexpr LensTable girl_lens_y = lens_table(LENS_WINDOW_Y, 8);

// self_g.dat and girl.dat must hold what the scene reads; fatal otherwise. Called
// by scene_lens_portrait_a before its phase.
void scene02_check_resources();
