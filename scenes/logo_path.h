// The loop around the logo band of scene 1 that the glow blobs run along.
#pragma once

#include <cstdint>

constexpr int LOGO_PATH_POINTS = 585;   // entries 0..584 trace the loop
constexpr int LOGO_PATH_ENTRIES = 592;  // 585 is (0, 0); 586..591 are padding, never read

// Screen coordinates of the loop: 585 points in 8-connected one-pixel steps, x 50..271,
// y 95..116, from (136, 95) clockwise (first to the right) back to (135, 95). Read by
// the logo phase of scene 1, indexed by a blob's position.
extern const uint16_t (&path_x)[LOGO_PATH_ENTRIES];
extern const uint16_t (&path_y)[LOGO_PATH_ENTRIES];
