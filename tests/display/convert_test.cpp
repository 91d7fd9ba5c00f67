// Indexed-to-RGB conversion: orientation and whole-pixel replication, checked
// against a direct per-pixel reading.
#include <gtest/gtest.h>

#include <vector>

#include "display/convert.h"
#include "display/display.h"

namespace {

TEST(Convert, EveryZoomReplicatesWholePixelsRowZeroOnTop) {
    std::vector<uint8_t> frame(FRAME_BYTES);
    for (int i = 0; i < FRAME_BYTES; ++i) frame[i] = uint8_t(i * 7 + i / 320);
    uint32_t lookup[256];
    for (int i = 0; i < 256; ++i) lookup[i] = uint32_t(i) * 0x010203u;

    for (int zoom : {1, 2, 4}) {
        const int w = FRAME_W * zoom, h = FRAME_H * zoom, pitch = w + 3;  // a padded pitch
        std::vector<uint32_t> out(size_t(pitch) * h, 0xDEADBEEFu);
        convert_frame_rgb(frame.data(), lookup, out.data(), pitch, zoom);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(out[size_t(y) * pitch + x], lookup[frame[(y / zoom) * FRAME_W + x / zoom]])
                    << "zoom " << zoom << " at " << x << "," << y;
        // The padding past each row is left alone.
        EXPECT_EQ(out[size_t(pitch) - 1], 0xDEADBEEFu);
    }
}

}  // namespace
