// The picture's place and shape on a screen; see picture_rect.h.
#include "display/picture_rect.h"

#include <cstdint>

PictureRect fit_rect(int out_w, int out_h, int shape_w, int shape_h) {
    // 64-bit products: no output size can overflow the comparison.
    if (int64_t(out_w) * shape_h >= int64_t(out_h) * shape_w) {
        const int w = int(int64_t(out_h) * shape_w / shape_h);  // wider: borders left and right
        return {(out_w - w) / 2, 0, w, out_h};
    }
    const int h = int(int64_t(out_w) * shape_h / shape_w);  // taller: borders top and bottom
    return {0, (out_h - h) / 2, out_w, h};
}

PictureRect picture_rect(int out_w, int out_h, int mode_w, int mode_h) {
    if (out_w == mode_w && out_h == mode_h) return {0, 0, out_w, out_h};
    return fit_rect(out_w, out_h, 4, 3);
}

void picture_shape(Aspect aspect, bool fullscreen, int* w, int* h) {
    const bool square = aspect == Aspect::square || (aspect == Aspect::standard && !fullscreen);
    *w = square ? 8 : 4;
    *h = square ? 5 : 3;
}

void window_size(Aspect aspect, int zoom, int* w, int* h) {
    *w = 320 * zoom;
    *h = (aspect == Aspect::four_three ? 240 : 200) * zoom;
}
