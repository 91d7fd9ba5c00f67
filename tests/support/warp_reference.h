// The slope warp read plainly: each interior pixel of screen takes the pixel of back
// one row and one column up and to the left, moved by the height field's slopes
// across it and clamped to the frame. Shared by the render kit's warp tests and the
// melting warp of scene 4.
#pragma once

#include <algorithm>
#include <cstdint>

inline void reference_warp(uint8_t* screen, const uint8_t* back, const uint8_t* w) {
    for (int y = 1; y <= 198; ++y)
        for (int x = 1; x <= 318; ++x) {
            const int k = y * 320 + x;
            const int sy = std::clamp((y - 1) + w[k - 320] - w[k + 320], 0, 199);
            const int sx = std::clamp((x - 1) + w[k + 1] - w[k - 1], 0, 319);
            screen[k] = back[sy * 320 + sx];
        }
}
