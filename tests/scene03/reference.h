// Direct readings of the dot-cloud scene's drawing steps, pixel by pixel, as the
// reference the scene's row-wise fills and word-wise passes are checked against.
#pragma once

#include <cstdint>

#include "display/display.h"
#include "render/disc.h"

// The octant walk: eight points per step for k = i down to j, i recomputed from the
// half-width table after each step. Entry 1024 (reached only by a = 1 and 2) reads
// as 0, the table's own limit.
inline void reference_fill_disc(uint8_t* frame, int32_t x, int32_t y, int32_t a) {
    if (a - 1 < 0) return;
    if (int64_t(x) - a < 0 || int64_t(y) - a < 0 || int64_t(x) + a > 319 || int64_t(y) + a > 199) return;
    const int32_t step = 65536 / a;
    int32_t i = a - 1, j = 0, acc = 0;
    auto put = [&](int32_t px, int32_t py) { frame[py * FRAME_W + px] = DISC_INDEX; };
    do {
        for (int32_t k = i; k >= j; --k) {
            put(x + k, y + j), put(x - k, y + j), put(x + k, y - j), put(x - k, y - j);
            put(x + j, y + k), put(x - j, y + k), put(x + j, y - k), put(x - j, y - k);
        }
        ++j;
        acc += step;
        const uint32_t t = (acc >> 6) < DISC_TABLE_SIZE ? disc_half_width[acc >> 6] : 0;
        i = int32_t((int64_t(a) * t) >> 16);
    } while (j <= i);
}

inline void reference_reveal(uint8_t* back, const uint8_t* mask, const uint8_t* picture) {
    for (int i = 0; i < FRAME_BYTES; ++i) back[i] = mask[i] == 32 ? 32 : picture[i];
}

inline void reference_soften(uint8_t* f) {
    auto at = [f](int x, int y) -> uint8_t& { return f[y * FRAME_W + x]; };
    at(0, 0) = at(319, 0) = 0;
    for (int r = 1; r <= 198; ++r) {
        at(0, r) = 0;
        for (int x = 1; x <= 318; ++x)
            if (at(x, r) != 32) {
                const int v = (at(x - 1, r) + at(x + 1, r) + at(x, r - 1) + at(x, r + 1)) >> 2;
                at(x, r) = uint8_t(v > 32 ? v : 32);
            }
        at(319, r) = 0;
    }
    at(0, 199) = at(319, 199) = 0;
}
