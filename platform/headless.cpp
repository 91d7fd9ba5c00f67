// The headless back end; see headless.h.
#include "platform/headless.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/silent_music.h"

static HeadlessConfig config;
static HeadlessScreen screen;
static double virtual_ms;
static uint32_t pending_requests;

static uint32_t h_ticks() { return config.first_tick + uint32_t(uint64_t(virtual_ms)); }

static bool h_poll_quit() {
    const uint64_t pump = screen.pumps++;
    virtual_ms += config.frame_ms;
    for (int i = 0; i < config.request_count; ++i)
        if (config.requests[i].pump == pump) pending_requests |= config.requests[i].requests;
    if (config.on_pump) config.on_pump(config.user);
    return config.quit_at_pump >= 0 && pump >= uint64_t(config.quit_at_pump);
}

static uint32_t h_take_requests() {
    const uint32_t r = pending_requests;
    pending_requests = 0;
    return r;
}

static void h_error_box(const char*, const char*) {
    // fatal_error already wrote the line to stderr; there is no one to click OK.
}

[[noreturn]] static void h_exit(int code) {
    fflush(stdout);
    fflush(stderr);
    std::exit(code);
}

static bool h_open(const RunSettings& settings, const uint32_t* lookup) {
    if (config.window_fails) return false;
    screen.window_open = true;
    screen.fullscreen = settings.fullscreen;
    screen.zoom = settings.zoom;
    screen.settings = settings;
    memcpy(screen.rgb, lookup, sizeof screen.rgb);
    return true;
}

static void h_present(const uint8_t* frame, const uint32_t* lookup) {
    memcpy(screen.frame, frame, sizeof screen.frame);
    memcpy(screen.rgb, lookup, sizeof screen.rgb);
    ++screen.presents;
}

// The new colours apply to the picture in memory at once: what a viewer sees at the
// next pump is the same either way.
static void h_set_palette(const uint32_t* lookup) {
    memcpy(screen.rgb, lookup, sizeof screen.rgb);
    ++screen.palette_uploads;
}

static void h_end_frame() {}

static void h_close() { screen.window_open = false; }

static bool h_set_fullscreen(bool fullscreen, const uint32_t* lookup) {
    screen.fullscreen = fullscreen;
    ++screen.fullscreen_switches;
    memcpy(screen.rgb, lookup, sizeof screen.rgb);
    return true;
}

static const SystemDriver headless_system = {h_ticks, h_poll_quit, h_error_box, h_exit, h_take_requests};
static const Presenter headless_presenter = {h_open,        h_present, h_set_palette,   h_end_frame,
                                             h_close,       h_set_fullscreen};

static int h_setup_dialog(RunSettings* settings) {
    if (config.dialog_result == 1) *settings = config.settings;
    return config.dialog_result;
}

void headless_install(const HeadlessConfig& c) {
    config = c;
    screen = HeadlessScreen{};
    virtual_ms = 0.0;
    pending_requests = 0;
    platform_install({&headless_system, &headless_presenter, c.music ? c.music : &silent_music_driver,
                      h_setup_dialog});
}

const HeadlessScreen& headless_screen() { return screen; }

double headless_time_ms() { return virtual_ms; }

void headless_snapshot(uint32_t* pixels) {
    for (int i = 0; i < 64000; ++i) pixels[i] = screen.rgb[screen.frame[i]];
}
