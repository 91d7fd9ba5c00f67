// Cue table, the show clock, cue_running and pump_messages.
#include "scenes/timeline.h"

#include "display/display.h"
#include "display/screenshot.h"
#include "music/music.h"
#include "platform/platform.h"

const uint32_t cue_table[CUE_COUNT] = {
    3220,  3500,  11020, 15000, 20500, 26350,  34200,  41620,
    53000, 62450, 62650, 71990, 73800, 75800,  77750,  79700,
    81530, 97500, 111000, 115000, 144000, 148300, 150000,
};

int32_t cue_index = 0;
uint32_t start_ticks = 0;

// The virtual clock's frame: the pace of a display without its own refresh.
constexpr double AHEAD_FRAME_MS = 1000.0 / 70.0;

namespace {
// show_ticks = platform ticks + shift (wraps modulo 2^32) while the show runs live.
uint32_t shift = 0;
bool paused = false;
uint32_t paused_at = 0;  // show_ticks when the pause began
bool ahead = false;      // running ahead to a later start
double ahead_ms = 0.0;   // virtual milliseconds since start_ticks while ahead
uint32_t ahead_until = 0;
uint32_t deferred = 0;   // requests made while running ahead, acted on at the start
}  // namespace

uint32_t show_ticks() {
    if (ahead) return start_ticks + uint32_t(uint64_t(ahead_ms));  // truncated
    if (paused) return paused_at;
    return platform.sys->ticks() + shift;
}

void timeline_start(uint32_t start_ms) {
    shift = 0;
    paused = false;
    ahead = start_ms > 0;
    ahead_ms = 0.0;
    ahead_until = start_ms;
    deferred = 0;
    cue_index = 0;
    start_ticks = platform.sys->ticks();
    display_hold(ahead);
}

bool timeline_running_ahead() { return ahead; }

bool timeline_frame_unseen() {
    // The same sum as the pump's, so the verdict is the pump's own.
    return ahead && uint64_t(ahead_ms + AHEAD_FRAME_MS) < ahead_until;
}

bool timeline_unseen_through_cue(int cue) {
    if (!ahead || cue < 0 || cue >= CUE_COUNT) return false;
    // While the cue runs the clock reads below its end; the pump that passes the end
    // adds under 15 ms, so it reads at most end + 14 (truncated).
    return uint64_t(cue_table[cue]) + 15 <= ahead_until;
}

bool timeline_paused() { return paused; }

bool cue_running() {
    // A scene that advanced past the last cue has nothing left to run.
    if (cue_index < 0 || cue_index >= CUE_COUNT) return false;
    const uint32_t elapsed = show_ticks() - start_ticks;  // wraps modulo 2^32
    return elapsed < cue_table[cue_index];
}

namespace {

[[noreturn]] void quit() {
    music_close();
    display_stop();
    platform.sys->exit_process(1);
    for (;;) {
    }  // exit_process never returns
}

// The show clock goes on from where it stands, now on the platform's clock.
void resume_clock_at(uint32_t show_now) { shift = show_now - platform.sys->ticks(); }  // wraps

// Acts on the viewer's requests other than a quit.
void act_on(uint32_t requests) {
    if (requests & REQUEST_FULLSCREEN) display_toggle_fullscreen();
    if (requests & REQUEST_SCREENSHOT) screenshot_write(show_ticks() - start_ticks);
    if (requests & REQUEST_PAUSE) {
        if (!paused) {
            paused_at = show_ticks();
            paused = true;
        } else {
            paused = false;
            resume_clock_at(paused_at);
        }
        music_pause(paused);
    }
}

// Drains the events; acts on a quit and on the viewer's requests. Nothing is shown
// while running ahead: what the viewer asks then waits for the start.
void handle_events() {
    if (platform.sys->poll_quit()) quit();
    const uint32_t requests = platform.sys->take_requests ? platform.sys->take_requests() : 0;
    if (ahead)
        deferred |= requests;
    else if (requests != 0)
        act_on(requests);
}

}  // namespace

void pump_messages() {
    display_end_frame();
    if (ahead) ahead_ms += AHEAD_FRAME_MS;
    handle_events();
    if (ahead && uint64_t(ahead_ms) >= ahead_until) {
        // The start is reached: the frame on screen now is shown, and the music and
        // the platform's clock take over from this show time.
        const uint32_t now = show_ticks();
        ahead = false;
        resume_clock_at(now);
        display_hold(false);
        music_play_at(now - start_ticks);
        act_on(deferred);
    }
    while (paused) {
        display_show_again();
        handle_events();
    }
}
