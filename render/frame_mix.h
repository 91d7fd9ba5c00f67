// Mixing one block of palette indices into another, pixel by pixel.
#pragma once

#include <cstddef>
#include <cstdint>

// dst[i] := (dst[i] + src[i]) >> 1 for i < n: the mean rounded down, no minimum.
// Scene 6 averages each new frame with the one shown before.
void average_into(uint8_t* dst, const uint8_t* src, size_t n);
