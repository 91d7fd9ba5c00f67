// Indexed-to-RGB conversion; see convert.h.
#include "display/convert.h"

#include "display/display.h"

void convert_frame_rgb(const uint8_t* frame, const uint32_t* lookup, uint32_t* dst, int pitch_px) {
    for (int y = 0; y < FRAME_H; ++y, frame += FRAME_W, dst += pitch_px) {
        // Four lookups in flight per step: the loads are independent.
        for (int x = 0; x < FRAME_W; x += 4) {
            dst[x] = lookup[frame[x]];
            dst[x + 1] = lookup[frame[x + 1]];
            dst[x + 2] = lookup[frame[x + 2]];
            dst[x + 3] = lookup[frame[x + 3]];
        }
    }
}
