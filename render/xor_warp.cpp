// The XOR stripe height field and the slope-displacement warp.
#include "render/xor_warp.h"

#include <cstring>

#include "display/display.h"

uint8_t stripe_flip = 0;

void draw_xor_stripes(uint16_t t) {
    // Row y is a 320-byte window of the cyclic ramp (i mod 256) XOR t, starting at
    // y for (x + y) and at (-y) mod 256 for (x - y). Both starts stay below 256.
    uint8_t ramp[256 + FRAME_W];
    const uint8_t key = uint8_t(t);
    for (int i = 0; i < 256 + FRAME_W; ++i) ramp[i] = uint8_t(i) ^ key;

    const bool down_right = stripe_flip != 0;
    for (int y = 0; y < FRAME_H; ++y) {
        const int start = down_right ? (256 - y) & 255 : y;
        memcpy(work_frame + row_offset[y], ramp + start, FRAME_W);
    }
    stripe_flip ^= 1;
}

void warp_frame() {
    const uint8_t* const w = work_frame;
    const uint8_t* const back = back_frame;
    // One row's source offsets first (plain arithmetic the compiler can run wide),
    // then the gather. Offsets fit 16 bits: at most 199 * 320 + 319 = 63999.
    uint16_t src[FRAME_W];
    for (int y = 1; y < FRAME_H - 1; ++y) {
        const uint8_t* mid = w + row_offset[y];
        const uint8_t* up = mid - FRAME_W;
        const uint8_t* down = mid + FRAME_W;
        for (int x = 1; x < FRAME_W - 1; ++x) {
            int sy = (y - 1) + up[x] - down[x];
            int sx = (x - 1) + mid[x + 1] - mid[x - 1];
            sy = sy < 0 ? 0 : (sy > FRAME_H - 1 ? FRAME_H - 1 : sy);
            sx = sx < 0 ? 0 : (sx > FRAME_W - 1 ? FRAME_W - 1 : sx);
            src[x] = uint16_t(sy * FRAME_W + sx);
        }
        uint8_t* out = screen_frame + row_offset[y];
        for (int x = 1; x < FRAME_W - 1; ++x) out[x] = back[src[x]];
    }
}
