// The picture's place on a full screen; see picture_rect.h.
#include "display/picture_rect.h"

#include <cstdint>

PictureRect picture_rect(int out_w, int out_h, int mode_w, int mode_h) {
    if (out_w == mode_w && out_h == mode_h) return {0, 0, out_w, out_h};
    // 64-bit products: no output size can overflow the comparison.
    if (int64_t(out_w) * 3 >= int64_t(out_h) * 4) {
        const int w = int(int64_t(out_h) * 4 / 3);  // wider than 4:3: borders left and right
        return {(out_w - w) / 2, 0, w, out_h};
    }
    const int h = int(int64_t(out_w) * 3 / 4);  // taller than 4:3: borders top and bottom
    return {0, (out_h - h) / 2, out_w, h};
}
