// The shared frames, palette conversions, and display start-up and shutdown.
#include "display/display.h"

#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"
#include "platform/platform.h"

uint8_t* screen_frame = nullptr;
uint8_t* back_frame = nullptr;
uint8_t* work_frame = nullptr;

// Index -> 0x00RRGGBB: the palette in force, in the conversion of the presenter in
// use. Put in force by display_start, changed by set_palette.
static uint32_t lookup_in_force[256];
// True when the full-screen presenter is in use: set_palette converts as its
// palette registers would.
static bool fullscreen_mode = false;
// Whether the presenter shows full screen now; the viewer may switch it.
static bool presenter_fullscreen = false;
static int32_t zoom_in_use = 2;
// The frame last presented, as indices: shown again while paused, after running
// ahead, and in screenshots.
static uint8_t shown_frame[FRAME_BYTES];
static bool held = false;

void present_frame(const uint8_t* frame) {
    memcpy(shown_frame, frame, FRAME_BYTES);
    if (!held) platform.presenter->present(frame, lookup_in_force);
}

void clear_frame(uint8_t* frame) { memset(frame, 0, FRAME_BYTES); }

void copy_frame(uint8_t* destination, const uint8_t* source) {
    memcpy(destination, source, FRAME_BYTES);
}

void palette_to_rgb(const Palette& palette, uint32_t* lookup) {
    const uint8_t* p = palette.rgb;
    for (int i = 0; i < 256; ++i, p += 3)
        lookup[i] = uint32_t(p[0]) << 18 | uint32_t(p[1]) << 10 | uint32_t(p[2]) << 2;
}

void palette_to_rgb_wrapped(const Palette& palette, uint32_t* lookup) {
    const uint8_t* p = palette.rgb;
    for (int i = 0; i < 256; ++i, p += 3)  // each product kept in 8 bits: wraps modulo 256
        lookup[i] = uint32_t(uint8_t(p[0] * 4)) << 16 | uint32_t(uint8_t(p[1] * 4)) << 8 | uint8_t(p[2] * 4);
}

void set_palette(const Palette& palette) {
    // The presenter shows the new colours on the picture already on screen, as a
    // hardware palette does, so that fades and flashes that present nothing are seen.
    if (fullscreen_mode)
        palette_to_rgb_wrapped(palette, lookup_in_force);
    else
        palette_to_rgb(palette, lookup_in_force);
    if (!held) platform.presenter->set_palette(lookup_in_force);
}

void display_start(const RunSettings& settings) {
    fullscreen_mode = presenter_fullscreen = settings.fullscreen;
    zoom_in_use = settings.zoom;
    held = false;
    memset(shown_frame, 0, sizeof shown_frame);
    // A 256-colour display starts on the grey ramp; a window's lookup on black.
    for (uint32_t i = 0; i < 256; ++i) lookup_in_force[i] = fullscreen_mode ? i << 16 | i << 8 | i : 0;
    if (!platform.presenter->open(settings, lookup_in_force)) fatal_error("Error creating application window");

    // All three attempts first, then one verdict.
    screen_frame = static_cast<uint8_t*>(malloc(FRAME_BYTES));
    back_frame = static_cast<uint8_t*>(malloc(FRAME_BYTES));
    work_frame = static_cast<uint8_t*>(malloc(FRAME_BYTES));
    if (!screen_frame || !back_frame || !work_frame) fatal_error("Out of memory");
}

void display_stop() {
    platform.presenter->close();
    free(screen_frame);
    free(back_frame);
    free(work_frame);
    screen_frame = back_frame = work_frame = nullptr;
}

void display_end_frame() {
    if (!held) platform.presenter->end_frame();
}

void display_show_again() {
    if (!held) platform.presenter->present(shown_frame, lookup_in_force);
}

bool display_toggle_fullscreen() {
    const Presenter* p = platform.presenter;
    if (held || !p->set_fullscreen || !p->set_fullscreen(!presenter_fullscreen, lookup_in_force)) return false;
    presenter_fullscreen = !presenter_fullscreen;
    return true;
}

void display_hold(bool hold) {
    const bool release = held && !hold;
    held = hold;
    if (release) platform.presenter->present(shown_frame, lookup_in_force);
}

void display_snapshot(uint32_t* pixels) {
    for (int i = 0; i < FRAME_BYTES; ++i) pixels[i] = lookup_in_force[shown_frame[i]];
}

int32_t display_zoom() { return zoom_in_use; }
