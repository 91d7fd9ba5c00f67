// The opening fade, timed; see opening_fade.h.
#include "opening_fade.h"

#include <chrono>

#include "app/timeline.h"
#include "archive/resources.h"
#include "platform/platform.h"
#include "render/tables.h"
#include "scenes/scene01_opening.h"

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

double opening_fade_seconds() {
    static bool loaded = false;
    if (!loaded) {
        load_catalogue();
        build_lookup_tables();
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
    const Clock::time_point after_fade = Clock::now();

    p.sys = real_sys;
    platform_install(p);
    return std::chrono::duration<double>(after_fade - first_pass).count();
}
