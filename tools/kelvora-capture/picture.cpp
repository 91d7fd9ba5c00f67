// Whole-pixel enlargement; see picture.h.
#include "picture.h"

#include <cstring>

void zoom_pixels(const uint32_t* pixels, int zoom, std::vector<uint8_t>* rgb) {
    const size_t stride = size_t(zoomed_width(zoom)) * 3;
    rgb->resize(stride * size_t(zoomed_height(zoom)));
    uint8_t* row = rgb->data();
    for (int y = 0; y < 200; ++y) {
        const uint32_t* src = pixels + y * 320;
        uint8_t* dst = row;
        for (int x = 0; x < 320; ++x) {
            const uint8_t r = uint8_t(src[x] >> 16), g = uint8_t(src[x] >> 8), b = uint8_t(src[x]);
            for (int i = 0; i < zoom; ++i, dst += 3) {
                dst[0] = r;
                dst[1] = g;
                dst[2] = b;
            }
        }
        // The other rows of the block repeat the first.
        for (int i = 1; i < zoom; ++i) memcpy(row + size_t(i) * stride, row, stride);
        row += stride * size_t(zoom);
    }
}
