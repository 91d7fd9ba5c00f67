// Filled discs drawn row by row from a 16.16 half-width table: the dot cloud of
// scene 3 stamps one per point into its mask.
#pragma once

#include <array>
#include <cstdint>

constexpr int DISC_TABLE_SIZE = 1024;
constexpr uint8_t DISC_INDEX = 64;  // the byte every disc writes

// Entry m = floor(65536 * sqrt(1 - (m / 1024)^2)), 16.16 fixed point: 65536 at
// m = 0, 2895 at m = 1023. Exact (an integer square root), fixed at compile time.
extern const std::array<uint32_t, DISC_TABLE_SIZE> disc_half_width;

// Fills the disc of radius a - 1 around (x, y) in screen_frame with DISC_INDEX,
// the shape an octant walk gives: half-width a - 1 at the centre row, then per row
// j away from it (a * T[(j * trunc(65536 / a)) >> 6]) >> 16, mirrored across the
// diagonals. Draws nothing when a < 1 or when the box of half-size a around the
// centre touches a frame edge (x - a < 0, y - a < 0, x + a > 319, y + a > 199).
// Called by scene 3 once per cloud point per frame.
void fill_disc(int32_t x, int32_t y, int32_t a);
