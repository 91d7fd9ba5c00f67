// Turning an indexed frame into 32-bit colour for the screen's texture: one lookup
// per pixel. The GPU does the enlargement.
#pragma once

#include <cstdint>

// Writes the frame as 320 x 200 pixels 0x00RRGGBB into dst, row 0 on top; dst rows
// are pitch_px pixels apart. Called by the SDL presenter at every present and
// palette change.
void convert_frame_rgb(const uint8_t* frame, const uint32_t* lookup, uint32_t* dst, int pitch_px);
