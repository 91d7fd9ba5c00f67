// The XOR stripe height field and the slope-displacement warp.
#include "render/xor_warp.h"

#include <bit>
#include <cstring>

#include "display/display.h"

static_assert(std::endian::native == std::endian::little,
              "the warp reads pixel pairs as 16-bit lanes, first pixel lowest");

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

// Eight 16-bit lanes: the compiler's portable vector type (SSE2 on x86). Sixteen
// height bytes loaded as eight lanes split into their even and odd pixels by a mask
// and a shift, so no byte shuffles are needed.
typedef uint16_t Lanes __attribute__((vector_size(16)));

static inline Lanes load_lanes(const uint8_t* p) {
    Lanes v;
    memcpy(&v, p, sizeof v);  // lane i = p[2i] | p[2i + 1] << 8 (little-endian)
    return v;
}

// Clamps each lane, read as a signed 16-bit value, to 0..hi without branches:
// comparisons give all-ones masks. Lanes carry values in -255..573.
static inline Lanes clamp_lanes(Lanes v, uint16_t hi) {
    typedef int16_t Signed __attribute__((vector_size(16)));
    const Signed s = (Signed)v, zero = {}, top = zero + int16_t(hi);
    const Signed low = s < zero, high = s > top;
    return (Lanes)((s & ~(low | high)) | (top & high));
}

// Source offsets of eight pixels (every other one) from their four height bytes.
static inline Lanes source_offsets(Lanes rows, Lanes up, Lanes down, Lanes cols, Lanes right,
                                   Lanes left) {
    // Unsigned lanes wrap modulo 2^16, so a - b here is the signed difference.
    const Lanes sy = clamp_lanes(rows + up - down, FRAME_H - 1);
    const Lanes sx = clamp_lanes(cols + right - left, FRAME_W - 1);
    return sy * uint16_t(FRAME_W) + sx;  // at most 63999: no wrap
}

void warp_frame() {
    const uint8_t* const back = back_frame;
    // Sixteen pixels at a time: their source offsets in lanes, then the byte
    // gather. The offset pass covers columns 0 and 319 too (their neighbours are
    // the rows' wrap-around bytes, still inside the frame on rows 1..198); only
    // columns 1..318 are gathered.
    uint16_t src[FRAME_W];
    const Lanes even_cols = {0, 2, 4, 6, 8, 10, 12, 14};
    const Lanes low = Lanes{} + uint16_t(0xFF);
    for (int y = 1; y < FRAME_H - 1; ++y) {
        const uint8_t* mid = work_frame + row_offset[y];
        const uint8_t* up = mid - FRAME_W;
        const uint8_t* down = mid + FRAME_W;
        const Lanes rows = Lanes{} + uint16_t(y - 1);
        for (int x = 0; x < FRAME_W; x += 16) {
            const Lanes u = load_lanes(up + x), d = load_lanes(down + x);
            const Lanes r = load_lanes(mid + x + 1), l = load_lanes(mid + x - 1);
            const Lanes cols = even_cols + uint16_t(x - 1);  // undisplaced: x - 1
            const Lanes even = source_offsets(rows, u & low, d & low, cols, r & low, l & low);
            const Lanes odd = source_offsets(rows, u >> 8, d >> 8, cols + 1, r >> 8, l >> 8);
            for (int i = 0; i < 8; ++i) {
                src[x + 2 * i] = even[i];
                src[x + 2 * i + 1] = odd[i];
            }
        }
        uint8_t* out = screen_frame + row_offset[y];
        for (int x = 1; x < FRAME_W - 1; x += 2) {  // 318 columns, two per turn
            out[x] = back[src[x]];
            out[x + 1] = back[src[x + 1]];
        }
    }
}
