// The circling lens window with tiled feedback that scenes 2 and 4 share: a square
// window showing the picture displaced by a circling offset, folded with the
// previous frame (shrunk and tiled 2x2) by a packed add-and-double.
#pragma once

#include <cstdint>

// Top-left corner and size of the window on screen.
constexpr int LENS_WINDOW_X = 75;
constexpr int LENS_WINDOW_Y = 23;
constexpr int LENS_WINDOW_ROWS = 147;  // rows 23..169: the buffer's last row never shows

// One run of the effect, kept by the portrait phase from frame to frame.
struct LensRun {
    // The 320x200 picture; index 1 in it marks pixels the window never covers.
    const uint8_t* picture = nullptr;
    // Step 0..63 into the scene's offset tables; each lens_feedback_draw uses it and
    // advances it (63 wraps to 0).
    uint16_t index = 0;
};

// Copies the 148x148 block of picture at (x, y) into lens_buffer and writes it back
// into screen_frame at columns 75..222, rows 23..169, skipping every pixel whose
// picture index at the destination is 1. An origin past (172, 52) would read beyond
// the picture and is pulled back to it.
void lens_window(const uint8_t* picture, uint16_t x, uint16_t y);

// dst = ((dst + src) * 2) AND 0x3FBFBFBE on each little-endian 32-bit word (four
// pixels, first in the low byte), wrapping modulo 2^32: carries cross pixels.
void feedback_mix(uint8_t* dst, const uint8_t* src);

// half_buffer = every other pixel of every other row of screen_frame; back_frame =
// that half-size frame tiled 2x2.
void tile_quarters();

// One frame of the effect: the run's picture, window at (lens_x[index],
// lens_y[index]), mix with back_frame, tiling, copy to work_frame, the 108x188 figure
// at (108, 5) on that copy only, present_frame(work_frame); the step advances. The
// portrait scenes' frame loop calls it and then pumps.
void lens_feedback_draw(LensRun& run, const uint16_t* lens_x, const uint16_t* lens_y, const uint8_t* figure);
