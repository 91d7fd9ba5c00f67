// The lens window, the packed feedback mix, the 2x2 tiling and the frame sequence
// that ties them together.
#include "render/lens.h"

#include <bit>
#include <cstring>

#include "display/display.h"
#include "render/blit.h"
#include "render/swar.h"
#include "render/tables.h"

static_assert(std::endian::native == std::endian::little,
              "the packed pixel passes take the first pixel from the low byte");

void lens_window(const uint8_t* picture, uint16_t x, uint16_t y) {
    // The block must come from inside the picture: an origin past the last one that
    // fits is pulled back (the scenes' tables stay well inside).
    constexpr int MAX_X = FRAME_W - LENS_SIDE, MAX_Y = FRAME_H - LENS_SIDE;
    const int sx = x < MAX_X ? x : MAX_X, sy = y < MAX_Y ? y : MAX_Y;

    const uint8_t* from = picture + row_offset[sy] + sx;
    uint8_t* buf = lens_buffer;
    for (int r = 0; r < LENS_SIDE; ++r, from += FRAME_W, buf += LENS_SIDE)
        memcpy(buf, from, LENS_SIDE);

    // Back into the fixed window, protected where the picture at the destination
    // holds index 1: a mask per eight pixels, then four single ones (148 = 18 x 8 + 4).
    buf = lens_buffer;
    for (int r = 0; r < LENS_WINDOW_ROWS; ++r, buf += LENS_SIDE) {
        const int k = row_offset[LENS_WINDOW_Y + r] + LENS_WINDOW_X;
        const uint8_t* pic = picture + k;
        uint8_t* p = screen_frame + k;
        int i = 0;
        for (; i + 8 <= LENS_SIDE; i += 8) {
            const uint64_t open = swar_nonzero(swar_load(pic + i) ^ SWAR_ONES);
            swar_store(p + i, swar_select(open, swar_load(buf + i), swar_load(p + i)));
        }
        for (; i < LENS_SIDE; ++i) p[i] = pic[i] == 1 ? p[i] : buf[i];
    }
}

void feedback_mix(uint8_t* dst, const uint8_t* src) {
    // Four pixels per 32-bit word, first pixel in the low byte (the frames are
    // little-endian in memory on every target we build for). The add and the doubling
    // carry across pixel boundaries on purpose; the mask then clears bit 6 of each
    // pixel, bit 7 of the top one and bit 0 of the bottom one.
    for (int i = 0; i < FRAME_BYTES; i += 4) {
        uint32_t a, b;
        memcpy(&a, dst + i, 4);
        memcpy(&b, src + i, 4);
        const uint32_t v = ((a + b) * 2u) & 0x3FBFBFBEu;  // wraps modulo 2^32
        memcpy(dst + i, &v, 4);
    }
}

// Even bytes of 8 consecutive pixels, packed into 4: the low byte of each 16-bit
// lane kept, then the lanes folded together.
static inline uint32_t even_bytes(uint64_t v) {
    v &= 0x00FF00FF00FF00FFull;
    v = (v | (v >> 8)) & 0x0000FFFF0000FFFFull;
    v = (v | (v >> 16)) & 0x00000000FFFFFFFFull;
    return uint32_t(v);
}

void tile_quarters() {
    for (int r = 0; r < HALF_H; ++r) {
        const uint8_t* from = screen_frame + row_offset[2 * r];
        uint8_t* half = half_buffer + r * HALF_W;
        for (int c = 0; c < HALF_W; c += 4, from += 8) {
            uint64_t v;
            memcpy(&v, from, 8);
            const uint32_t packed = even_bytes(v);
            memcpy(half + c, &packed, 4);
        }
        // Row r of the half frame lands on rows r and r + 100, twice side by side.
        uint8_t* top = back_frame + row_offset[r];
        uint8_t* bottom = back_frame + row_offset[r + HALF_H];
        memcpy(top, half, HALF_W);
        memcpy(top + HALF_W, half, HALF_W);
        memcpy(bottom, top, FRAME_W);
    }
}

void lens_feedback_draw(LensRun& run, const uint16_t* lens_x, const uint16_t* lens_y, const uint8_t* figure) {
    copy_frame(screen_frame, run.picture);
    // The tables hold 64 steps; the mask keeps a stray index inside them.
    lens_window(run.picture, lens_x[run.index & 63], lens_y[run.index & 63]);
    run.index = uint16_t(run.index >= 63 ? 0 : run.index + 1);
    feedback_mix(screen_frame, back_frame);
    tile_quarters();
    copy_frame(work_frame, screen_frame);
    // The figure goes on the presented copy only, never into the feedback.
    blit_aligned(work_frame, figure, 108, 5, 108, 188);
    present_frame(work_frame);
}
