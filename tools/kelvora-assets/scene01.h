// What the picture files of scene 1 share: the curves background, which the small
// portraits copy their frame from, and where those portraits sit in it.
#pragma once

#include "art.h"

namespace art::scene01 {

// The curves phases' background (frm01), on the curves palette.
Indexed draw_frm01();

// The view frm01 shows through its frame (planet, sky, nebula; no stars) at screen
// point (x, y), as a position on the curves palette's cool ramp (fractional index).
// The portraits show it through their glass behind the heads.
float frm01_view(float x, float y);

// The recess in frm01's lower right corner that holds the portraits: its bevel
// starts at (NICHE_X, NICHE_Y) and its glass, inside the bevel, runs to the
// frame's inner edge. Both portraits (gpor at (246, 110), npor at (249, 111)) reach
// the screen's corner and cover it whole.
constexpr int NICHE_X = 250, NICHE_Y = 112, NICHE_BEVEL = 3;
constexpr int FRAME_EDGE = 6;  // width of frm01's outer frame

// The portraits, gpor (the girl) and npor (the boy).
Indexed draw_gpor();
Indexed draw_npor();

}  // namespace art::scene01
