// Checks shared by the presenter tests; see presenter_checks.h.
#include "presenter_checks.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/driver.h"
#include "archive/resources.h"
#include "display/display.h"
#include "platform/platform.h"
#include "scenes/scene01_opening.h"
#include "scenes/timeline.h"
#include "xsession_x11.h"

namespace {

using Clock = std::chrono::steady_clock;

const SystemDriver* real_sys = nullptr;
int pumps = 0;
Clock::time_point first_pass;

// Pump n (from 1) opens fade pass n.
bool timed_poll_quit() {
    if (++pumps == 1) first_pass = Clock::now();
    return real_sys->poll_quit();
}

}  // namespace

void expect_palette_steps_shown_at_once(XSession& x, int left_x, int right_x, int y) {
    for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = (i % FRAME_W) < 160 ? 10 : 200;
    present_frame(screen_frame);
    pump_messages();  // that frame's end
    // The scene draws on into its frame; a palette change shows what was presented.
    clear_frame(screen_frame);
    // A fade and a flash: each step is on screen by its frame's end, before anything
    // is presented again.
    for (int level : {21, 42, 63, 0}) {
        SCOPED_TRACE(level);
        Palette p{};
        p.rgb[10 * 3 + 0] = uint8_t(level);
        p.rgb[200 * 3 + 2] = uint8_t(level);
        set_palette(p);
        pump_messages();
        const uint32_t red = uint32_t(level * 4) << 16, blue = uint32_t(level * 4);
        EXPECT_TRUE(soon([&] { return x.pixels(left_x, y, 1, 1)[0] == red && x.pixels(right_x, y, 1, 1)[0] == blue; }));
    }
    // A change after the frame's present waits for the next frame, so a frame that
    // presents and changes the palette costs one refresh.
    present_frame(screen_frame);  // index 0 everywhere, black
    Palette red{};
    red.rgb[0] = 63;
    set_palette(red);
    pump_messages();
    EXPECT_FALSE(soon([&] { return x.pixels(left_x, y, 1, 1)[0] == 0xFC0000u; }, 200));
    pump_messages();
    EXPECT_TRUE(soon([&] { return x.pixels(left_x, y, 1, 1)[0] == 0xFC0000u; }));
}

double opening_fade_seconds() {
    static bool loaded = false;
    if (!loaded) {
        prepare_show();
        loaded = true;
    }
    real_sys = platform.sys;
    static SystemDriver timed;
    timed = *real_sys;
    timed.poll_quit = timed_poll_quit;
    Platform p = platform;
    p.sys = &timed;
    platform_install(p);

    pumps = 0;
    cue_index = 0;
    start_ticks = platform.sys->ticks() - cue_table[0];  // cue 0 is over: only the fade runs
    opening_picture_phase();  // returns after the last pass's palette change: no wait
    pump_messages();          // the frame's end that shows it
    const Clock::time_point after_fade = Clock::now();

    p.sys = real_sys;
    platform_install(p);
    return std::chrono::duration<double>(after_fade - first_pass).count();
}
