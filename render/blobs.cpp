// Blob stamps: a radial table shrunk by skipping entries, added with a ceiling.
#include "render/blobs.h"

#include "display/display.h"
#include "render/tables.h"

void stamp_blob(const uint8_t* table, int shift, uint8_t ceiling, uint16_t x, uint16_t y,
                uint8_t d) {
    if (d == 0) return;
    // The box of half-size d must fit; a blob that leaves it is skipped, not clipped.
    if (x < d || x + d > FRAME_W - 1 || y < d || y + d > FRAME_H - 1) return;

    const int e = 255 / d;                            // table step, 1..255
    const int samples = (RADIAL_SIZE + e - 1) / e;    // ceil(512 / e) on a side
    const int left = x - d, top = y - d;
    // The shrunk table can run a few pixels past 2d + 1; what would leave the frame
    // on the right or at the bottom is dropped.
    const int cols = samples < FRAME_W - left ? samples : FRAME_W - left;
    const int rows = samples < FRAME_H - top ? samples : FRAME_H - top;

    const unsigned cap = ceiling;
    const uint8_t* trow = table;
    for (int r = 0; r < rows; ++r, trow += e * RADIAL_SIZE) {
        uint8_t* p = screen_frame + row_offset[top + r] + left;
        const uint8_t* t = trow;
        for (int c = 0; c < cols; ++c, t += e) {
            const unsigned v = p[c] + (unsigned(*t) >> shift);
            // A zero sample keeps the pixel; any other caps it, even one that adds 0.
            const uint8_t capped = uint8_t(v < cap ? v : cap);
            p[c] = *t ? capped : p[c];
        }
    }
}

void add_glow(uint16_t x, uint16_t y, uint8_t d) { stamp_blob(cone_table, 0, 190, x, y, d); }

void add_glow_quarter(uint16_t x, uint16_t y, uint8_t d) {
    stamp_blob(cone_table, 2, 190, x, y, d);
}

void add_dot(uint16_t x, uint16_t y, uint8_t d) { stamp_blob(dot_table, 0, 255, x, y, d); }
