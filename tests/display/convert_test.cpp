// Indexed-to-RGB conversion: orientation and pitch, checked against a direct
// per-pixel reading.
#include <gtest/gtest.h>

#include <vector>

#include "display/convert.h"
#include "display/display.h"

namespace {

TEST(Convert, EveryPixelThroughTheLookupRowZeroOnTop) {
    std::vector<uint8_t> frame(FRAME_BYTES);
    for (int i = 0; i < FRAME_BYTES; ++i) frame[i] = uint8_t(i * 7 + i / 320);
    uint32_t lookup[256];
    for (int i = 0; i < 256; ++i) lookup[i] = uint32_t(i) * 0x010203u;

    const int pitch = FRAME_W + 3;  // a padded pitch, as a texture may have
    std::vector<uint32_t> out(size_t(pitch) * FRAME_H, 0xDEADBEEFu);
    convert_frame_rgb(frame.data(), lookup, out.data(), pitch);
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x)
            ASSERT_EQ(out[size_t(y) * pitch + x], lookup[frame[y * FRAME_W + x]]) << "at " << x << "," << y;
    // The padding past each row is left alone.
    EXPECT_EQ(out[size_t(pitch) - 1], 0xDEADBEEFu);
}

}  // namespace
