// The SDL window and windowed presenter on SDL's offscreen video driver: client
// sizes per zoom, orientation, black before the first palette.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/settings.h"
#include "display/display.h"
#include "platform/real.h"

namespace {

struct WindowSdl : ::testing::TestWithParam<int> {
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        platform_install({&sdl_system, &sdl_video, nullptr, nullptr});
        for (int y = 0; y < FRAME_H; ++y) row_offset[y] = y * FRAME_W;
        memset(rgb_lookup, 0, sizeof rgb_lookup);  // as at program start
        if (SDL_VideoInit("offscreen") != 0) GTEST_SKIP() << "no offscreen video driver: " << SDL_GetError();
        SDL_VideoQuit();
    }
    void TearDown() override {
        if (app_window) display_stop();
    }
    Palette palette{};
};

uint32_t pixel_at(int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(app_window);
    const auto* row = static_cast<const uint8_t*>(s->pixels) + size_t(y) * s->pitch;
    uint32_t p;
    memcpy(&p, row + size_t(x) * 4, 4);
    return p & 0x00FFFFFFu;
}

TEST_P(WindowSdl, ClientAreaTitleAndOrientation) {
    const int zoom = GetParam();
    run_settings.zoom = zoom;
    display_start(false);
    ASSERT_NE(app_window, nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(app_window, &w, &h);
    EXPECT_EQ(w, 320 * zoom);
    EXPECT_EQ(h, 200 * zoom);
    EXPECT_STREQ(SDL_GetWindowTitle(app_window), "kelvora");
    EXPECT_FALSE(SDL_GetWindowFlags(app_window) & SDL_WINDOW_RESIZABLE);

    std::vector<uint8_t> frame(FRAME_BYTES, 0);
    frame[0] = 1;                  // top-left
    frame[FRAME_BYTES - 1] = 2;    // bottom-right
    present_frame(frame.data());
    EXPECT_EQ(pixel_at(0, 0), 0u) << "every index is black before the first palette";

    palette.rgb[3] = 63;               // index 1: red
    palette.rgb[6 + 2] = 63;           // index 2: blue
    set_palette(palette);
    present_frame(frame.data());
    EXPECT_EQ(pixel_at(0, 0), 0xFC0000u);
    EXPECT_EQ(pixel_at(zoom - 1, zoom - 1), 0xFC0000u);
    EXPECT_EQ(pixel_at(zoom, 0), 0u);
    EXPECT_EQ(pixel_at(320 * zoom - 1, 200 * zoom - 1), 0x0000FCu);
}

INSTANTIATE_TEST_SUITE_P(Zoom, WindowSdl, ::testing::Values(1, 2, 4));

}  // namespace
