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

// Full screen shows the hardware palette in force now; a window shows the lookup
// of its last present or palette change.
static uint32_t hw_palette[256];

static uint32_t h_ticks() { return config.first_tick + uint32_t(uint64_t(virtual_ms)); }

static bool h_poll_quit() {
    const uint64_t pump = screen.pumps++;
    virtual_ms += config.frame_ms;
    if (config.on_pump) config.on_pump(config.user);
    return config.quit_at_pump >= 0 && pump >= uint64_t(config.quit_at_pump);
}

static void h_error_box(const char*, const char*) {
    // fatal_error already wrote the line to stderr; there is no one to click OK.
}

[[noreturn]] static void h_exit(int code) {
    fflush(stdout);
    fflush(stderr);
    std::exit(code);
}

static bool h_open_window(int zoom, bool fullscreen) {
    if (config.window_fails) return false;
    screen.window_open = true;
    screen.fullscreen = fullscreen;
    screen.zoom = zoom;
    return true;
}

static bool h_start_windowed(int) { return true; }

static void h_start_fullscreen(int) {
    // The grey ramp a 256-colour display starts with.
    for (uint32_t i = 0; i < 256; ++i) hw_palette[i] = i << 16 | i << 8 | i;
    memcpy(screen.rgb, hw_palette, sizeof hw_palette);
}

static void h_present_rgb(const uint8_t* frame, const uint32_t* lookup) {
    memcpy(screen.frame, frame, sizeof screen.frame);
    memcpy(screen.rgb, lookup, sizeof screen.rgb);
    ++screen.presents;
}

static void h_repaint_rgb(const uint32_t* lookup) {
    memcpy(screen.rgb, lookup, sizeof screen.rgb);
    ++screen.palette_uploads;
}

static void h_present_indexed(const uint8_t* frame) {
    memcpy(screen.frame, frame, sizeof screen.frame);
    ++screen.presents;
}

static void h_set_hw_palette(const uint8_t* entries) {
    for (int i = 0; i < 256; ++i, entries += 4)
        hw_palette[i] = uint32_t(entries[0]) << 16 | uint32_t(entries[1]) << 8 | entries[2];
    memcpy(screen.rgb, hw_palette, sizeof hw_palette);
    ++screen.palette_uploads;
}

static void h_stop() { screen.window_open = false; }

static const SystemDriver headless_system = {h_ticks, h_poll_quit, h_error_box, h_exit};
static const VideoDriver headless_video = {h_open_window, h_start_windowed, h_start_fullscreen,
                                           h_present_rgb, h_repaint_rgb,     h_present_indexed,
                                           h_set_hw_palette, h_stop};

static int h_setup_dialog(RunSettings* settings) {
    if (config.dialog_result == 1) *settings = config.settings;
    return config.dialog_result;
}

void headless_install(const HeadlessConfig& c) {
    config = c;
    memset(&screen, 0, sizeof screen);
    memset(hw_palette, 0, sizeof hw_palette);
    virtual_ms = 0.0;
    platform_install({&headless_system, &headless_video, c.music ? c.music : &silent_music_driver,
                      h_setup_dialog});
}

const HeadlessScreen& headless_screen() { return screen; }

double headless_time_ms() { return virtual_ms; }

void headless_snapshot(uint32_t* pixels) {
    for (int i = 0; i < 64000; ++i) pixels[i] = screen.rgb[screen.frame[i]];
}
