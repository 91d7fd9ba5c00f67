// Frames and palettes: the three shared 320x200 frames of palette indices, the
// whole-frame clear and copy, palette upload, the presenter hook, and display
// start-up and shutdown.
#pragma once

#include <array>
#include <cstdint>

#include "platform/settings.h"

constexpr int FRAME_W = 320;
constexpr int FRAME_H = 200;
constexpr int FRAME_BYTES = FRAME_W * FRAME_H;  // 64000, row-major, row 0 on top

// 256 entries of (red, green, blue), each a 6-bit value 0..63 shown as 4 * v.
struct Palette {
    uint8_t rgb[768];
};

// The three shared frames, allocated by display_start; contents undefined until a
// scene clears or fills them.
extern uint8_t* screen_frame;  // the main draw target
extern uint8_t* back_frame;    // backgrounds and effect sources
extern uint8_t* work_frame;    // composition copies and height fields

// Byte offset of row y in a frame: y * 320. Built at compile time.
inline constexpr std::array<int32_t, FRAME_H> row_offset = [] {
    std::array<int32_t, FRAME_H> rows{};
    for (int y = 0; y < FRAME_H; ++y) rows[y] = y * FRAME_W;
    return rows;
}();

// Shows one frame through the palette in force (the installed Presenter's present).
// Called by the scenes once per drawn frame.
void present_frame(const uint8_t* frame);

// Sets all 64000 bytes of the frame to 0.
void clear_frame(uint8_t* frame);

// Copies the 64000 bytes of source onto destination (destination first).
void copy_frame(uint8_t* destination, const uint8_t* source);

// Makes the palette current and shows the last presented frame under it (by the
// frame's end), in full screen and in a window alike. Called by the scenes and
// their fades.
void set_palette(const Palette& palette);

// Windowed conversion of one palette: entry i = 4r << 16 | 4g << 8 | 4b, with the
// 6-bit values shifted as stored (values above 63 run into the next channel).
void palette_to_rgb(const Palette& palette, uint32_t* lookup);

// Full-screen conversion, as a 256-colour display's palette registers take it:
// entry i = (4r mod 256) << 16 | (4g mod 256) << 8 | (4b mod 256). Equal to
// palette_to_rgb for every value 0..63.
void palette_to_rgb_wrapped(const Palette& palette, uint32_t* lookup);

// Opens the presenter as settings say (full screen or a window, the zoom) with the
// starting palette in force (black in a window, the grey ramp index i -> grey i in
// full screen), then allocates the three frames. Called once by the driver.
void display_start(const RunSettings& settings);

// Releases the presenter, the frames and the window. Called only from the quit path
// of pump_messages.
void display_stop();

// Ends a frame on the presenter (a palette change no present has shown yet shows
// now). Called by pump_messages once per frame; nothing while held.
void display_end_frame();

// Shows the last presented frame again through the palette in force, paced like a
// present. Called by pump_messages at every frame of a pause.
void display_show_again();

// Switches the presenter between full screen and the window, keeping the picture and
// the palette in force (its conversion stays the one the show started with). False
// when the presenter cannot switch. Called by pump_messages on the viewer's request.
bool display_toggle_fullscreen();

// While held, presents and palette changes reach the frame and palette kept here but
// not the screen; releasing shows the last frame through the palette in force. Used
// while the show runs ahead to a later start.
void display_hold(bool held);

// What a viewer sees now: the last presented frame (zeros before the first) under
// the palette in force, as 64000 pixels 0x00RRGGBB, row 0 on top.
void display_snapshot(uint32_t* pixels);

// The zoom the display was started with: 1, 2 or 4.
int32_t display_zoom();
