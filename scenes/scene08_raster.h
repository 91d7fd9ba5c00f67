// Scene 8's own rasterisers: a Bresenham line, a wire triangle and a Gouraud-shaded
// triangle, each writing into the frame it is given (screen_frame while the knot
// spins over the picture, back_frame while it fades). They take any 32-bit
// coordinates and write only inside the frame; inside it they draw the same pixels
// as the plain, unclipped algorithms.
#pragma once

#include <cstdint>

// A projected point in pixels; any 32-bit value is accepted by the rasterisers.
struct ScreenPoint {
    int32_t x, y;
};

// The colour of the back-facing wire triangles.
constexpr uint8_t OUTLINE_COLOUR = 15;

// Bresenham line from (x0, y0) to (x1, y1), both ends drawn, the error starting at
// half the major distance (rounded down). A horizontal or vertical line is not
// drawn at all, not even one pixel. Called by outline_triangle.
void plot_line(uint8_t* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);

// plot_line from point 0 to 1, 1 to 2 and 2 to 0 in OUTLINE_COLOUR. Called by
// draw_knot_triangle for triangles facing away.
void outline_triangle(uint8_t* target, const ScreenPoint points[3]);

// Scan-line fill from the top point down to the bottom point's row. Two edges leave
// the top, N toward point (top + 1) mod 3 and P toward (top + 2) mod 3; each row is
// filled from N's x up to one left of P's x, only when N lies left of P, with the
// shade stepped by an error term from N's shade toward P's. Shades wrap modulo
// 256; the top row is always empty. Called by draw_knot_triangle for triangles
// facing the viewer.
void gouraud_triangle(uint8_t* target, const ScreenPoint points[3], const uint8_t shades[3]);
