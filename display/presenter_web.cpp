// The presenter in a browser: the page's canvas of 320x200 pixels, which the page
// enlarges by whole pixels. A present keeps the frame; the end of the frame converts
// the frame last presented through the lookup in force and puts it on the canvas,
// once, however many presents and palette changes the frame made, so a palette
// change shows at once, as on a 256-colour display. The message pump then waits for
// the display's refresh (display/system_web.cpp), which paces presents as vsync does.
#include <cstring>

#include "display/convert.h"
#include "display/display.h"
#include "platform/page_web.h"
#include "platform/web.h"

static uint8_t shown_frame[FRAME_BYTES];  // the last presented frame; zeros before the first
static uint32_t lookup_in_force[256];     // index -> 0x00RRGGBB
static uint32_t canvas_lookup[256];       // the same as canvas pixels: bytes R, G, B, 255
static uint32_t canvas_pixels[FRAME_BYTES];
static bool screen_changed = false;

// Canvas pixels are bytes in the order red, green, blue, alpha; read as one
// little-endian word that is 0xFF << 24 | blue << 16 | green << 8 | red. Bits of
// the lookup above its 24 colour bits are dropped.
static uint32_t canvas_pixel(uint32_t rgb) {
    return 0xFF000000u | (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
}

static void take_lookup(const uint32_t* lookup) {
    memcpy(lookup_in_force, lookup, sizeof lookup_in_force);
    for (int i = 0; i < 256; ++i) canvas_lookup[i] = canvas_pixel(lookup[i]);
    screen_changed = true;
}

static void draw() {
    convert_frame_rgb(shown_frame, canvas_lookup, canvas_pixels, FRAME_W);
    page_canvas_draw(canvas_pixels);
    screen_changed = false;
}

static bool web_open(const RunSettings&, const uint32_t* lookup) {
    // The page's canvas is the show's window; the page scales it to fit.
    if (!page_canvas_open()) return false;
    memset(shown_frame, 0, sizeof shown_frame);
    take_lookup(lookup);
    page_screen(shown_frame, lookup_in_force);
    draw();
    return true;
}

static void web_present(const uint8_t* frame, const uint32_t* lookup) {
    memcpy(shown_frame, frame, sizeof shown_frame);
    take_lookup(lookup);
}

static void web_set_palette(const uint32_t* lookup) { take_lookup(lookup); }

static void web_end_frame() {
    if (screen_changed) draw();
}

static void web_close() { page_canvas_close(); }

const Presenter web_presenter = {web_open, web_present, web_set_palette, web_end_frame, web_close};
