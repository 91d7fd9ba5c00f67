// The full-screen presenter in this process on a private X server, read back from
// the screen itself: the mode of each zoom and the desktop's mode afterwards, the
// grey ramp, the stretch over the whole screen, 4:3 between black borders on a 5:4
// screen, palette changes without a present, the hidden cursor, a lost render
// target dropping one frame, and the length of the show's opening fade.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "platform/real.h"
#include "platform/settings.h"
#include "platform/silent_music.h"
#include "presenter_checks.h"
#include "scenes/timeline.h"
#include "xsession_x11.h"

namespace {

uint32_t grey(int level) { return uint32_t(level) * 0x010101u; }

class Fullscreen : public ::testing::Test {
protected:
    // A 1280x1024 screen that also offers the three modes of the zooms, unless
    // only_desktop_mode: then w x h is the only mode there is.
    bool open_screen(int w = 1280, int h = 1024, bool only_desktop_mode = false) {
        if (!have_program("Xvfb")) return false;
        if (!x.start(w, h)) return false;
        if (!only_desktop_mode && !x.add_modes()) return false;
        setenv("DISPLAY", x.display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        unsetenv("WAYLAND_DISPLAY");
        platform_install({&sdl_system, &sdl_presenter, &silent_music_driver, nullptr});
        return true;
    }

    void start(int zoom) {
        display_start(RunSettings{true, false, 44100, zoom});
        started = true;
    }

    void stop() {
        if (started) display_stop();
        started = false;
    }

    void TearDown() override { stop(); }

    // True when the screen shows the frame under the grey ramp, stretched over the
    // sw x sh rectangle at (sx0, sy0): checked at the centre of every frame pixel's block.
    bool shows_grey_frame(const uint8_t* frame, int sw, int sh, int sx0 = 0, int sy0 = 0) {
        const std::vector<uint32_t> screen = x.pixels(sx0, sy0, sw, sh);
        if (screen.size() != size_t(sw) * size_t(sh)) return false;
        for (int y = 0; y < FRAME_H; ++y) {
            const int sy = int((y + 0.5) * sh / FRAME_H);
            for (int x0 = 0; x0 < FRAME_W; ++x0) {
                const int sx = int((x0 + 0.5) * sw / FRAME_W);
                if (screen[size_t(sy) * sw + sx] != grey(frame[y * FRAME_W + x0])) return false;
            }
        }
        return true;
    }

    XSession x;
    bool started = false;
};

#define OPEN_SCREEN(...)                                                              \
    do {                                                                              \
        if (!have_program("Xvfb")) GTEST_SKIP() << "Xvfb is needed; install xvfb";    \
        ASSERT_TRUE(open_screen(__VA_ARGS__)) << x.why();                             \
    } while (0)

void fill_pattern(uint8_t* frame) {
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x) frame[y * FRAME_W + x] = uint8_t(x * 7 + y * 13);
}

TEST_F(Fullscreen, EachZoomSetsItsModeAndTheDesktopModeComesBack) {
    OPEN_SCREEN();
    ASSERT_EQ(x.current_mode(), std::make_pair(1280, 1024));
    const int modes[3][3] = {{1, 320, 200}, {2, 640, 480}, {4, 1280, 960}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m[0]);
        start(m[0]);
        EXPECT_TRUE(x.wait_mode(m[1], m[2], 5000)) << x.current_mode().first << "x" << x.current_mode().second;
        stop();
        EXPECT_TRUE(x.wait_mode(1280, 1024, 5000));
    }
}

TEST_F(Fullscreen, GreyRampUntilTheFirstPaletteOneToOneAtZoomOne) {
    OPEN_SCREEN();
    start(1);
    ASSERT_TRUE(x.wait_mode(320, 200, 5000));
    // Before any present the screen holds index 0: black under the ramp.
    EXPECT_TRUE(soon([&] { return x.pixels(0, 0, 320, 200) == std::vector<uint32_t>(64000, 0); }));
    fill_pattern(screen_frame);
    present_frame(screen_frame);
    std::vector<uint32_t> expected(64000);
    for (int i = 0; i < 64000; ++i) expected[i] = grey(screen_frame[i]);
    EXPECT_TRUE(soon([&] { return x.pixels(0, 0, 320, 200) == expected; }));
}

TEST_F(Fullscreen, FrameFillsTheWholeScreenAtZoomTwoAndFour) {
    OPEN_SCREEN();
    for (int zoom : {2, 4}) {
        SCOPED_TRACE(zoom);
        const int w = 320 * zoom, h = 240 * zoom;
        start(zoom);
        ASSERT_TRUE(x.wait_mode(w, h, 5000));
        fill_pattern(screen_frame);
        present_frame(screen_frame);
        EXPECT_TRUE(soon([&] { return shows_grey_frame(screen_frame, w, h); }));
        // The last row and column reach the screen's edges.
        const uint32_t corner = grey(screen_frame[FRAME_BYTES - 1]);
        EXPECT_EQ(x.pixels(w - 1, h - 1, 1, 1), std::vector<uint32_t>{corner});
        stop();
    }
}

TEST_F(Fullscreen, WithoutALargeEnoughModeTheDesktopModeIsKeptAndFilled) {
    OPEN_SCREEN(1024, 768, true);
    start(4);  // 1280x960 does not fit a 1024x768 screen
    fill_pattern(screen_frame);
    present_frame(screen_frame);
    EXPECT_TRUE(soon([&] { return shows_grey_frame(screen_frame, 1024, 768); }));
    EXPECT_EQ(x.current_mode(), std::make_pair(1024, 768));
    stop();
    EXPECT_EQ(x.current_mode(), std::make_pair(1024, 768));
}

TEST_F(Fullscreen, OnAScreenOfAnotherShapeThePictureKeepsFourToThreeWithBlackBorders) {
    // A 5:4 panel whose only mode is its own: zoom 2 gets that mode as the nearest
    // larger one, zoom 4 finds none large enough and keeps the desktop's.
    OPEN_SCREEN(1280, 1024, true);
    for (int zoom : {2, 4}) {
        SCOPED_TRACE(zoom);
        start(zoom);
        for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(1 + i % 255);  // never black
        present_frame(screen_frame);
        // The largest centred 4:3 rectangle: 1280 x 960 from row 32.
        EXPECT_TRUE(soon([&] { return shows_grey_frame(screen_frame, 1280, 960, 0, 32); }));
        EXPECT_EQ(x.pixels(0, 32, 1, 1)[0], grey(screen_frame[0]));
        EXPECT_EQ(x.pixels(1279, 991, 1, 1)[0], grey(screen_frame[FRAME_BYTES - 1]));
        const std::vector<uint32_t> black(1280 * 32, 0);
        EXPECT_EQ(x.pixels(0, 0, 1280, 32), black);
        EXPECT_EQ(x.pixels(0, 992, 1280, 32), black);
        // The borders stay black when a palette change shows the picture again,
        // even one that makes index 0 bright.
        Palette p{};
        for (int i = 0; i < 768; ++i) p.rgb[i] = 63;
        pump_messages();  // the present's frame ends
        set_palette(p);
        pump_messages();
        EXPECT_TRUE(soon([&] { return x.pixels(640, 500, 1, 1)[0] == 0xFCFCFCu; }));
        EXPECT_EQ(x.pixels(0, 0, 1280, 32), black);
        EXPECT_EQ(x.pixels(0, 992, 1280, 32), black);
        stop();
    }
}

TEST_F(Fullscreen, PaletteChangesShowAtOnceWithoutAPresent) {
    OPEN_SCREEN();
    start(2);
    ASSERT_TRUE(x.wait_mode(640, 480, 5000));
    expect_palette_steps_shown_at_once(x, 100, 500, 240);
}

TEST_F(Fullscreen, CursorIsHiddenForTheShowAndBackAfterIt) {
    OPEN_SCREEN();
    x.move_pointer(100, 100);
    ASSERT_FALSE(x.cursor_hidden());
    start(2);
    ASSERT_TRUE(x.wait_mode(640, 480, 5000));
    present_frame(screen_frame);
    x.move_pointer(120, 110);
    EXPECT_TRUE(x.wait_cursor(true, 2000));
    stop();
    x.move_pointer(100, 100);
    EXPECT_TRUE(x.wait_cursor(false, 2000));
}

TEST_F(Fullscreen, ALostRenderTargetDropsOneFrameAndTheNextShows) {
    OPEN_SCREEN();
    start(1);
    ASSERT_TRUE(x.wait_mode(320, 200, 5000));
    for (Uint32 type : {Uint32(SDL_RENDER_TARGETS_RESET), Uint32(SDL_RENDER_DEVICE_RESET)}) {
        SCOPED_TRACE(type);
        memset(screen_frame, 50, FRAME_BYTES);
        present_frame(screen_frame);
        ASSERT_TRUE(soon([&] { return x.pixels(160, 100, 1, 1)[0] == grey(50); }));

        SDL_Event e{};
        e.type = type;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
        memset(screen_frame, 150, FRAME_BYTES);
        present_frame(screen_frame);  // dropped
        EXPECT_FALSE(soon([&] { return x.pixels(160, 100, 1, 1)[0] != grey(50); }, 300));
        present_frame(screen_frame);  // shown
        EXPECT_TRUE(soon([&] { return x.pixels(160, 100, 1, 1)[0] == grey(150); }));
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
}

TEST_F(Fullscreen, TheOpeningFadesInOverAboutASecond) {
    OPEN_SCREEN();
    start(2);
    const double fade = opening_fade_seconds();
    EXPECT_GE(fade, 63 / 70.0);
    printf("opening fade in full screen: %.3f s\n", fade);
}

}  // namespace
