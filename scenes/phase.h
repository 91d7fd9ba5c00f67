// What the scenes' phases share beyond the render kit: the black frame shown before
// a phase brings its own palette.
#pragma once

#include "display/display.h"
#include "render/tube.h"

// Presents a cleared screen_frame, then sets palette: the old picture is never
// shown in the new colours. Called by each scene phase that brings its own palette,
// before its first frame.
void blank_screen(const Palette& palette);

// Moves grid.column_phase on as sample_tube_grid does, without casting a ray. Called
// by the tube scenes for a frame that runs ahead unseen and feeds nothing shown.
void skip_tube_grid(TubeGrid& grid);
