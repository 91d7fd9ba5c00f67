// Scene 10's dot trails: two trains of 50 soft dots running around the closing
// outlines, which are scaled about the screen centre and placed every frame.
#pragma once

#include <cstdint>

#include "scenes/closing_outlines.h"

constexpr int TRAIL_DOTS = 50;

// The two trains and the outlines as last placed, kept from frame to frame.
struct ClosingTrails {
    // Screen positions of every outline point at the last placement: 159 +
    // trunc(s * x) and 99 + trunc(s * y), kept to 16 bits, so a point left of or
    // above the frame holds a large value that add_dot skips.
    uint16_t path_a_x[OUTLINE_A_POINTS] = {};
    uint16_t path_a_y[OUTLINE_A_POINTS] = {};
    uint16_t path_b_x[OUTLINE_B_POINTS] = {};
    uint16_t path_b_y[OUTLINE_B_POINTS] = {};
    // The outline point each dot stands on: 0..443 on outline A, 0..468 on B.
    uint16_t dots_a[TRAIL_DOTS] = {};
    uint16_t dots_b[TRAIL_DOTS] = {};
};

// Spreads the dots along the outlines: entry k = trunc(e_k), e_0 = 0, e_(k+1) = e_k +
// 8.88 on A (9.38 on B) summed in double. Called by the scene's set-up.
void fill_dot_indices(ClosingTrails& t);

// Moves every A dot one point on (443 wraps to 0) and every B dot one point back
// (0 wraps to 468). Once per frame.
void advance_dots(ClosingTrails& t);

// Places both outlines at scale s into the path tables (truncation toward zero).
// Once per frame, before draw_dots.
void place_outlines(ClosingTrails& t, double s);

// add_dot at every A dot's, then every B dot's placed position, radius trunc(5 * s)
// taken as one byte. Dots whose box leaves the frame are skipped, not clipped.
void draw_dots(const ClosingTrails& t, double s);
