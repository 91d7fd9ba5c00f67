// Turning an indexed frame into 32-bit colour for a window: one lookup per pixel,
// then whole-pixel replication by the zoom.
#pragma once

#include <cstdint>

// Writes the frame as (320*zoom) x (200*zoom) pixels 0x00RRGGBB into dst, row 0 on
// top; dst rows are pitch_px pixels apart. Each source pixel becomes a zoom x zoom
// block. Called by the windowed presenters at every present.
void convert_frame_rgb(const uint8_t* frame, const uint32_t* lookup, uint32_t* dst, int pitch_px,
                       int zoom);
