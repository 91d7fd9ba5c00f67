// Frames and palettes: the three shared 320x200 frames of palette indices, the
// whole-frame clear and copy, palette upload, the presenter hook, and display
// start-up and shutdown.
#pragma once

#include <cstdint>

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

// Byte offset of row y in a frame: y * 320. Filled by the driver at start-up.
extern int32_t row_offset[FRAME_H];

// True when the full-screen presenter is in use. Set by display_start.
extern bool fullscreen_mode;

// Index -> 0x00RRGGBB for the windowed presenter; all black until set_palette.
extern uint32_t rgb_lookup[256];

// Shows one frame with the current palette. Installed by display_start; called by
// the scenes once per drawn frame.
extern void (*present_frame)(const uint8_t* frame);

// Sets all 64000 bytes of the frame to 0.
void clear_frame(uint8_t* frame);

// Copies the 64000 bytes of source onto destination (destination first).
void copy_frame(uint8_t* destination, const uint8_t* source);

// Makes the palette current and shows the last presented frame under it at once,
// in full screen and in a window alike. Called by the scenes and their fades.
void set_palette(const Palette& palette);

// Windowed conversion of one palette: entry i = 4r << 16 | 4g << 8 | 4b, with the
// 6-bit values shifted as stored (values above 63 run into the next channel).
void palette_to_rgb(const Palette& palette, uint32_t* lookup);

// Full-screen conversion: 256 entries of (4r, 4g, 4b, 0), each product kept in 8 bits.
void palette_to_entries(const Palette& palette, uint8_t* entries);

// Creates the window, sets up the presenter chosen by fullscreen, allocates the
// three frames and installs present_frame. Called once by the driver.
void display_start(bool fullscreen);

// Releases the presenter, the frames and the window. Called only from the quit path
// of pump_messages.
void display_stop();
