// Blob stamps: a 512x512 radial table shrunk by skipping entries (step e = 255 / d)
// and added onto screen_frame with a ceiling. The box of half-size d around (x, y)
// must lie inside the frame or nothing is drawn; samples of the shrunk table that
// reach past the right or bottom frame edge are dropped.
#pragma once

#include <cstdint>

// The shared stamp: for every non-zero table sample t, p = min(p + (t >> shift),
// ceiling). A zero sample leaves p alone; a non-zero one that shifts to 0 still caps
// p. d = 0 draws nothing. Scene 9's capped dots call it with the dot table and 127.
void stamp_blob(const uint8_t* table, int shift, uint8_t ceiling, uint16_t x, uint16_t y,
                uint8_t d);

// Cone table, full value, ceiling 190. Scenes 1 and 6.
void add_glow(uint16_t x, uint16_t y, uint8_t d);

// Cone table, value >> 2, ceiling 190. Scene 1's curve points.
void add_glow_quarter(uint16_t x, uint16_t y, uint8_t d);

// Dot table, full value, ceiling 255. Scene 10's dot trails.
void add_dot(uint16_t x, uint16_t y, uint8_t d);
