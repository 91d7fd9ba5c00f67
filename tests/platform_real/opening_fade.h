// The show's own opening fade on whatever presenter display_start set up, timed by
// the wall clock: how long a viewer watches the picture come up out of black.
#pragma once

// Runs the opening picture phase with its cue already over, so that only the 63
// counted fade passes run, and returns the seconds from the first pass's pump to
// the end of the last pass's palette change. Loads the resources and tables
// the first time (from the build folder, the tests' current folder). Needs the real
// platform installed and display_start done.
double opening_fade_seconds();
