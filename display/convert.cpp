// Indexed-to-RGB conversion with whole-pixel replication; see convert.h.
#include "display/convert.h"

#include <cstring>

#include "display/display.h"

// One source row into one destination row, each pixel repeated Z times; the
// template lets the compiler unroll the inner repeat.
template <int Z>
static void convert_row(const uint8_t* src, const uint32_t* lookup, uint32_t* dst) {
    for (int x = 0; x < FRAME_W; x += 4) {
        const uint32_t c0 = lookup[src[x]], c1 = lookup[src[x + 1]];
        const uint32_t c2 = lookup[src[x + 2]], c3 = lookup[src[x + 3]];
        for (int k = 0; k < Z; ++k) dst[k] = c0;
        for (int k = 0; k < Z; ++k) dst[Z + k] = c1;
        for (int k = 0; k < Z; ++k) dst[2 * Z + k] = c2;
        for (int k = 0; k < Z; ++k) dst[3 * Z + k] = c3;
        dst += 4 * Z;
    }
}

template <int Z>
static void convert_all(const uint8_t* frame, const uint32_t* lookup, uint32_t* dst, int pitch_px) {
    for (int y = 0; y < FRAME_H; ++y, frame += FRAME_W) {
        convert_row<Z>(frame, lookup, dst);
        // The other Z - 1 rows of the block repeat the first.
        for (int k = 1; k < Z; ++k) memcpy(dst + k * pitch_px, dst, sizeof(uint32_t) * FRAME_W * Z);
        dst += Z * pitch_px;
    }
}

void convert_frame_rgb(const uint8_t* frame, const uint32_t* lookup, uint32_t* dst, int pitch_px,
                       int zoom) {
    switch (zoom) {
        case 1: convert_all<1>(frame, lookup, dst, pitch_px); break;
        case 2: convert_all<2>(frame, lookup, dst, pitch_px); break;
        default: convert_all<4>(frame, lookup, dst, pitch_px); break;
    }
}
