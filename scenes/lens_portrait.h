// The portrait phase that scenes 2 and 4 share: a full-screen portrait under the
// circling lens window with tiled feedback (render/lens.h), a standing figure in
// front of it, and the circle that both scenes cut their offset tables from.
#pragma once

#include <array>
#include <cstdint>

#include "archive/resources.h"
#include "display/display.h"

constexpr int LENS_STEPS = 64;                  // one turn of the lens, one step per frame
constexpr int FIGURE_W = 108, FIGURE_H = 188;   // girl.dat, boy.dat

// round(11 * cos(2 pi j / 64)) for j = 0..63, with round(v) = floor(v + 0.5): the
// lens origin's offset from the window's corner along one turn. Written out so the
// tables cannot depend on the maths library (no entry lies within 0.003 of a
// rounding edge).
inline constexpr int8_t lens_circle[LENS_STEPS] = {
    11,  11,  11,  11,  10,  10,  9,   9,   8,   7,   6,   5,   4,   3,   2,   1,
    0,   -1,  -2,  -3,  -4,  -5,  -6,  -7,  -8,  -9,  -9,  -10, -10, -11, -11, -11,
    -11, -11, -11, -11, -10, -10, -9,  -9,  -8,  -7,  -6,  -5,  -4,  -3,  -2,  -1,
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   9,   10,  10,  11,  11,  11,
};

using LensTable = std::array<uint16_t, LENS_STEPS>;

// Entry i = centre + round(11 * cos(2 pi (i + phase) / 64)): the circle started
// `phase` steps on. Evaluated at compile time for the scenes' four tables.
constexpr LensTable lens_table(int centre, int phase) {
    LensTable t{};
    for (int i = 0; i < LENS_STEPS; ++i) t[i] = uint16_t(centre + lens_circle[(i + phase) & 63]);
    return t;
}

// Stops the show with "error loading resource '<name>'" unless the picture holds a
// whole frame and the figure 108 x 188 bytes. Called by each portrait scene before
// its first phase.
void lens_portrait_check_resources(ResourceId picture, ResourceId figure);

// One cue of the effect: two cleared frames presented, the scene's palette, a fresh
// LensRun on the picture (step 0), cue_index += 1, the picture as the first feedback
// frame; then one lens_feedback_draw and one pump per frame while the cue runs. Leaves the last mixed
// picture (without the figure) in screen_frame. Running ahead past the end of cue
// read_until, the last that may read the phase's pictures, the frames only pump.
// Called by scenes 2 and 4.
void lens_portrait_phase(const Palette& palette, ResourceId picture, ResourceId figure,
                         const LensTable& lens_x, const LensTable& lens_y, int read_until);
