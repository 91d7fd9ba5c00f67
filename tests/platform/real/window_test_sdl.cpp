// The windowed presenter in this process on a private X server, read back from the
// screen: the client area of each zoom, centred and upright, black before the first
// palette; palette changes that show at once without a present; and presents and
// palette changes paced at no more than 70 a second where Xvfb has no refresh, so
// that the show's opening fade lasts about a second.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "platform/real.h"
#include "platform/settings.h"
#include "platform/silent_music.h"
#include "presenter_checks.h"
#include "scenes/timeline.h"
#include "xsession_x11.h"

namespace {

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        if (!have_program("Xvfb")) GTEST_SKIP() << "Xvfb is needed; install xvfb";
        ASSERT_TRUE(x.start(1280, 1024)) << x.why();
        setenv("DISPLAY", x.display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        unsetenv("WAYLAND_DISPLAY");
        platform_install({&sdl_system, &sdl_presenter, &silent_music_driver, nullptr});
    }

    // Opens the window at this zoom; its client area's place on the screen.
    std::tuple<int, int, int, int> start(int zoom) {
        display_start(RunSettings{false, false, 44100, zoom});
        started = true;
        const unsigned long w = x.wait_window("kelvora", 5000);
        EXPECT_NE(w, 0ul);
        return x.window_rect(w);
    }

    void stop() {
        if (started) display_stop();
        started = false;
    }

    void TearDown() override { stop(); }

    XSession x;
    bool started = false;
};

double seconds_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

TEST_F(Window, EachZoomGivesItsClientAreaCentredUprightAndBlackUntilThePalette) {
    for (int zoom : {1, 2, 4}) {
        SCOPED_TRACE(zoom);
        const auto [wx, wy, ww, wh] = start(zoom);
        EXPECT_EQ(ww, 320 * zoom);
        EXPECT_EQ(wh, 200 * zoom);
        EXPECT_EQ(wx, (1280 - ww) / 2);
        EXPECT_EQ(wy, (1024 - wh) / 2);

        std::vector<uint8_t> frame(FRAME_BYTES, 3);
        frame[0] = 1;                // top-left
        frame[FRAME_BYTES - 1] = 2;  // bottom-right
        present_frame(frame.data());
        Palette p{};
        p.rgb[3 * 1] = 63;       // index 1: red
        p.rgb[3 * 2 + 2] = 63;   // index 2: blue
        p.rgb[3 * 3 + 1] = 21;   // index 3: dark green
        // Every index is black before the first palette, whatever was presented.
        EXPECT_FALSE(soon([&] { return x.pixels(wx, wy, ww, wh) != std::vector<uint32_t>(size_t(ww) * wh, 0); }, 300));
        set_palette(p);
        present_frame(frame.data());
        // Each frame pixel is a zoom x zoom block; row 0 is at the top.
        EXPECT_TRUE(soon([&] { return x.pixels(wx, wy, 1, 1)[0] == 0xFC0000u; }));
        EXPECT_EQ(x.pixels(wx + zoom - 1, wy + zoom - 1, 1, 1)[0], 0xFC0000u);
        EXPECT_EQ(x.pixels(wx + zoom, wy, 1, 1)[0], 0x005400u);
        EXPECT_EQ(x.pixels(wx, wy + zoom, 1, 1)[0], 0x005400u);
        EXPECT_EQ(x.pixels(wx + ww - 1, wy + wh - 1, 1, 1)[0], 0x0000FCu);
        EXPECT_EQ(x.pixels(wx + ww - zoom, wy + wh - zoom, 1, 1)[0], 0x0000FCu);
        EXPECT_EQ(x.pixels(wx + ww - zoom - 1, wy + wh - 1, 1, 1)[0], 0x005400u);
        stop();
    }
}

TEST_F(Window, APaletteChangeWithoutAPresentShowsTheLastPresentedFrameAtOnce) {
    const auto [wx, wy, ww, wh] = start(2);
    expect_palette_steps_shown_at_once(x, wx + 100, wx + 500, wy + 200);
}

// Times 1 + N presents and then 1 + 63 palette changes (the opening's fade) from
// before the first of each, so that each run spans at least N periods.
void time_presents_and_fade(const char* label) {
    std::vector<uint8_t> frame(FRAME_BYTES, 5);
    constexpr int N = 35, FADE = 63;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i <= N; ++i) present_frame(frame.data());
    const double presents = seconds_since(t0);
    EXPECT_GE(presents, N / 70.0);

    Palette p{};
    t0 = std::chrono::steady_clock::now();
    // As the opening does: a pump, then the frame's palette change.
    for (int i = 0; i <= FADE; ++i) {
        pump_messages();
        p.rgb[3 * 5] = uint8_t(i);
        set_palette(p);
    }
    pump_messages();
    const double fade = seconds_since(t0);
    EXPECT_GE(fade, FADE / 70.0);
    printf("%s: %d presents %.3f s, %d palette changes %.3f s\n", label, N, presents, FADE, fade);
}

// Xvfb offers no refresh of its own; the presenter stands in for one. Only lower
// bounds: a loaded machine may be slower, never faster.
TEST_F(Window, PresentsAndPaletteChangesComeNoFasterThanSeventyASecond) {
    start(1);
    time_presents_and_fade("renderer's own pace");
    stop();
    // A renderer told not to wait for any refresh leaves the pacing to the presenter.
    setenv("SDL_RENDER_VSYNC", "0", 1);
    start(1);
    time_presents_and_fade("without vsync");
    unsetenv("SDL_RENDER_VSYNC");
}

TEST_F(Window, TheOpeningFadesInOverAboutASecond) {
    start(2);
    const double fade = opening_fade_seconds();
    EXPECT_GE(fade, 63 / 70.0);
    printf("opening fade in a window: %.3f s\n", fade);
}

}  // namespace
