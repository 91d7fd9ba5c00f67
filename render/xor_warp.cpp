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

// Eight 16-bit lanes, read as signed: the compiler's portable vector type (SSE2 on
// x86, where the comparisons below become single min/max instructions).
typedef int16_t Lanes __attribute__((vector_size(16)));
typedef uint16_t Offsets __attribute__((vector_size(16)));

static inline Lanes load_lanes(const uint8_t* p) {
    Lanes v;
    memcpy(&v, p, sizeof v);  // lane i = p[2i] | p[2i + 1] << 8 (little-endian)
    return v;
}

// Clamps every lane to 0..hi. Lanes carry values in -255..573.
static inline Lanes clamp_lanes(Lanes v, int16_t hi) {
    const Lanes zero = {}, top = zero + hi;
    v = v > zero ? v : zero;
    return v < top ? v : top;
}

// Source offsets of eight pixels from their four height bytes (each 0..255) and their
// undisplaced row and column: at most 199 * 320 + 319 = 63999, so unsigned lanes.
static inline Offsets source_offsets(Lanes rows, Lanes up, Lanes down, Lanes cols,
                                     Lanes right, Lanes left) {
    Offsets stride = Offsets{} + uint16_t(FRAME_W);
#if defined(__x86_64__) || defined(__i386__)
    // Hidden from the optimiser, so it multiplies (one instruction) instead of
    // building 320 from shifts and adds (four).
    __asm__("" : "+x"(stride));
#endif
    const Lanes sy = clamp_lanes(rows + up - down, FRAME_H - 1);
    const Lanes sx = clamp_lanes(cols + right - left, FRAME_W - 1);
    return (Offsets)sy * stride + (Offsets)sx;
}

void warp_frame() {
    const uint8_t* const back = back_frame;
    // Per row, the source offsets of columns 0..319 go into two arrays, even and odd
    // columns apart: sixteen height bytes loaded as eight lanes split into their even
    // and odd pixels by a mask and a shift, with no shuffle to put them back in order.
    // Columns 0 and 319 are computed but not used (their neighbours are the rows'
    // wrap-around bytes, still inside the frame on rows 1..198). Then the byte gather,
    // which is the pass's real cost: two loads and a store per pixel.
    uint16_t even[FRAME_W / 2], odd[FRAME_W / 2];
    const Lanes even_cols = {0, 2, 4, 6, 8, 10, 12, 14};
    const Lanes low = Lanes{} + int16_t(0xFF);
    for (int y = 1; y < FRAME_H - 1; ++y) {
        const uint8_t* mid = work_frame + row_offset[y];
        const uint8_t* up = mid - FRAME_W;
        const uint8_t* down = mid + FRAME_W;
        const Lanes rows = Lanes{} + int16_t(y - 1);
        Lanes cols = even_cols - int16_t(1);  // undisplaced: x - 1
        for (int x = 0; x < FRAME_W; x += 16, cols += int16_t(16)) {
            const Lanes u = load_lanes(up + x), d = load_lanes(down + x);
            const Lanes r = load_lanes(mid + x + 1), l = load_lanes(mid + x - 1);
            // A logical shift for the high bytes: they are unsigned.
            auto high = [](Lanes v) { return Lanes((Offsets)v >> 8); };
            const Offsets e = source_offsets(rows, u & low, d & low, cols, r & low, l & low);
            const Offsets o = source_offsets(rows, high(u), high(d), cols + 1, high(r), high(l));
            memcpy(even + x / 2, &e, sizeof e);
            memcpy(odd + x / 2, &o, sizeof o);
        }
        // Columns 1..318 as (odd, even) pairs: pixel 2i + 1 and pixel 2i + 2.
        uint8_t* out = screen_frame + row_offset[y] + 1;
#pragma GCC unroll 8
        for (int i = 0; i < FRAME_W / 2 - 1; ++i) {
            out[2 * i] = back[odd[i]];
            out[2 * i + 1] = back[even[i + 1]];
        }
    }
}
