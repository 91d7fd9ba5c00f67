// Checks that the windowed and the full-screen presenter share, on whatever
// presenter display_start set up: palette steps shown at once without a present,
// and the show's own opening fade timed by the wall clock.
#pragma once

class XSession;

// Presents a frame of index 10 left of column 160 and index 200 right of it, clears
// the frame, then steps a palette through a fade and a flash; each step must reach
// the screen without a present, at the screen points (left_x, y) and (right_x, y).
void expect_palette_steps_shown_at_once(XSession& x, int left_x, int right_x, int y);

// Runs the opening picture phase with its cue already over, so that only the 63
// counted fade passes run, and returns the seconds from the first pass's pump to
// the end of the last pass's palette change. Loads the resources and tables
// the first time (from the build folder, the tests' current folder). Needs the real
// platform installed and display_start done.
double opening_fade_seconds();
