// One captured frame as the RGB bytes the writers take, enlarged by whole pixels.
#pragma once

#include <cstdint>
#include <vector>

// Width and height of a frame enlarged by zoom.
constexpr int zoomed_width(int zoom) { return 320 * zoom; }
constexpr int zoomed_height(int zoom) { return 200 * zoom; }

// Turns 320 x 200 pixels 0x00RRGGBB (row 0 on top) into (320 zoom) x (200 zoom) x 3
// bytes r, g, b, each source pixel a zoom x zoom block. *rgb is resized to fit.
// Called once per captured frame.
void zoom_pixels(const uint32_t* pixels, int zoom, std::vector<uint8_t>* rgb);
