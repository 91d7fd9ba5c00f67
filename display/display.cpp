// The shared frames, palette conversions, and display start-up and shutdown.
#include "display/display.h"

#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"
#include "platform/settings.h"
#include "platform/platform.h"

uint8_t* screen_frame = nullptr;
uint8_t* back_frame = nullptr;
uint8_t* work_frame = nullptr;
int32_t row_offset[FRAME_H];
bool fullscreen_mode = false;
uint32_t rgb_lookup[256];
void (*present_frame)(const uint8_t* frame) = nullptr;

void clear_frame(uint8_t* frame) { memset(frame, 0, FRAME_BYTES); }

void copy_frame(uint8_t* destination, const uint8_t* source) {
    memcpy(destination, source, FRAME_BYTES);
}

void palette_to_rgb(const Palette& palette, uint32_t* lookup) {
    const uint8_t* p = palette.rgb;
    for (int i = 0; i < 256; ++i, p += 3)
        lookup[i] = uint32_t(p[0]) << 18 | uint32_t(p[1]) << 10 | uint32_t(p[2]) << 2;
}

void palette_to_entries(const Palette& palette, uint8_t* entries) {
    const uint8_t* p = palette.rgb;
    for (int i = 0; i < 256; ++i, p += 3, entries += 4) {
        entries[0] = uint8_t(p[0] * 4);  // kept in 8 bits: wraps modulo 256
        entries[1] = uint8_t(p[1] * 4);
        entries[2] = uint8_t(p[2] * 4);
        entries[3] = 0;
    }
}

void set_palette(const Palette& palette) {
    if (fullscreen_mode) {
        uint8_t entries[1024];
        palette_to_entries(palette, entries);
        platform.video->set_hw_palette(entries);
    } else {
        // The window shows the new colours at once, as a hardware palette does, so
        // that fades and flashes that present nothing are seen.
        palette_to_rgb(palette, rgb_lookup);
        platform.video->repaint_rgb(rgb_lookup);
    }
}

static void present_windowed(const uint8_t* frame) { platform.video->present_rgb(frame, rgb_lookup); }
static void present_fullscreen(const uint8_t* frame) { platform.video->present_indexed(frame); }

void display_start(bool fullscreen) {
    fullscreen_mode = fullscreen;
    const int zoom = run_settings.zoom;
    if (!platform.video->open_window(zoom, fullscreen_mode))
        fatal_error("Error creating application window");
    if (fullscreen_mode) {
        platform.video->start_fullscreen(zoom);
        present_frame = present_fullscreen;
    } else {
        present_frame = present_windowed;
        if (!platform.video->start_windowed(zoom)) fatal_error("Out of memory (tmp)");
    }

    // All three attempts first, then one verdict.
    screen_frame = static_cast<uint8_t*>(malloc(FRAME_BYTES));
    back_frame = static_cast<uint8_t*>(malloc(FRAME_BYTES));
    work_frame = static_cast<uint8_t*>(malloc(FRAME_BYTES));
    if (!screen_frame || !back_frame || !work_frame) fatal_error("Out of memory");
}

void display_stop() {
    platform.video->stop();
    free(screen_frame);
    free(back_frame);
    free(work_frame);
    screen_frame = back_frame = work_frame = nullptr;
}
