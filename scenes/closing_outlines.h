// The two outlines of the closing scene that the dot trains run around, in
// coordinates relative to the screen centre (x right, y down).
#pragma once

#include <cstdint>

constexpr int OUTLINE_A_POINTS = 444;
constexpr int OUTLINE_B_POINTS = 469;

// Outline A, a heart on the left half: x -104..-10, y -55..56, a closed 8-connected
// loop from (-60, -11) (out of the cleft, up the right lobe) to (-61, -10).
extern const int16_t (&outline_a_x)[OUTLINE_A_POINTS];
extern const int16_t (&outline_a_y)[OUTLINE_A_POINTS];

// Outline B, a balloon on the right half: x 13..114, y -55..94, a closed 8-connected
// loop from (13, -9) up its left side to (13, -8).
extern const int16_t (&outline_b_x)[OUTLINE_B_POINTS];
extern const int16_t (&outline_b_y)[OUTLINE_B_POINTS];
