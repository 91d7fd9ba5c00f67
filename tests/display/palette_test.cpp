// Palette conversions, and a palette change reaching the screen at once in both modes.
#include <gtest/gtest.h>

#include <vector>

#include "display/display.h"
#include "platform/headless.h"

namespace {

Palette ramp() {
    Palette p{};
    for (int i = 0; i < 768; ++i) p.rgb[i] = uint8_t(i % 64);
    return p;
}

TEST(PaletteConversion, SixBitValuesBecomeFourTimesAsMuch) {
    Palette p{};
    p.rgb[0] = 63; p.rgb[1] = 0; p.rgb[2] = 1;       // entry 0
    p.rgb[765] = 0; p.rgb[766] = 63; p.rgb[767] = 32;  // entry 255
    uint32_t lookup[256];
    uint32_t wrapped[256];
    palette_to_rgb(p, lookup);
    palette_to_rgb_wrapped(p, wrapped);
    EXPECT_EQ(lookup[0], 0x00FC0004u);
    EXPECT_EQ(lookup[255], 0x0000FC80u);
    EXPECT_EQ(wrapped[0], 0x00FC0004u);
    EXPECT_EQ(wrapped[255], 0x0000FC80u);
}

TEST(PaletteConversion, BothPresentersAgreeOnEveryInRangeValue) {
    const Palette p = ramp();
    uint32_t lookup[256];
    uint32_t wrapped[256];
    palette_to_rgb(p, lookup);
    palette_to_rgb_wrapped(p, wrapped);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(lookup[i], wrapped[i]) << i;
}

struct PaletteOnScreen : ::testing::Test {
    std::vector<uint8_t> frame = std::vector<uint8_t>(FRAME_BYTES, 7);
    void start(bool fullscreen) {
        headless_install(HeadlessConfig{});
        display_start(RunSettings{fullscreen, false, 44100, 2});
    }
    void TearDown() override { display_stop(); }
};

TEST_F(PaletteOnScreen, WindowShowsBlackUntilTheFirstPaletteThenEachChangeAtOnce) {
    start(false);
    present_frame(frame.data());
    EXPECT_EQ(headless_screen().rgb[7], 0u);
    // A fade that only pumps: every step shows on the frame last presented.
    frame.assign(FRAME_BYTES, 9);
    Palette p = ramp();
    set_palette(p);
    EXPECT_EQ(headless_screen().rgb[7], 0x0054585Cu);  // entry 7 is (21, 22, 23)
    EXPECT_EQ(headless_screen().frame[0], 7);
    p.rgb[21] = 63;
    set_palette(p);
    EXPECT_EQ(headless_screen().rgb[7], 0x00FC585Cu);
    EXPECT_EQ(headless_screen().presents, 1u);
    uint32_t seen[FRAME_BYTES];
    headless_snapshot(seen);
    EXPECT_EQ(seen[FRAME_BYTES - 1], 0x00FC585Cu);
}

TEST_F(PaletteOnScreen, FullScreenStartsOnTheGreyRampAndChangesAtOnce) {
    start(true);
    present_frame(frame.data());
    EXPECT_EQ(headless_screen().rgb[7], 0x00070707u);
    Palette p{};
    p.rgb[21] = 63;
    set_palette(p);
    EXPECT_EQ(headless_screen().rgb[7], 0x00FC0000u);
}

}  // namespace
