// What the scenes' phases share beyond the render kit: the black frame shown before
// a phase brings its own palette.
#pragma once

#include "display/display.h"

// Presents a cleared screen_frame, then sets palette: the old picture is never
// shown in the new colours. Called by each scene phase that brings its own palette,
// before its first frame.
void blank_screen(const Palette& palette);
