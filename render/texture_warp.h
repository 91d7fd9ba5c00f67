// Texture warps that darken a full-screen picture with a 256 x 256 texture seen from
// inside a sphere or from inside a tube flying forward. Rays are cast only at a
// coarse grid of 41 x 26 screen positions 8 pixels apart; the texture coordinates
// are interpolated across each 8 x 8 block in 16.16 fixed point. Scene 9.
#pragma once

#include <cstdint>

constexpr int WARP_GRID_W = 41;  // columns 0..40 at x = 4 + 8i; column 40 lies off screen
constexpr int WARP_GRID_H = 26;  // rows 0..25 at y = 4 + 8j; row 25 lies off screen
constexpr int WARP_GRID_ENTRIES = WARP_GRID_W * WARP_GRID_H;  // 1066
constexpr int WARP_BLOCK = 8;
constexpr int WARP_TEXTURE_SIDE = 256;
constexpr int WARP_TEXTURE_BYTES = WARP_TEXTURE_SIDE * WARP_TEXTURE_SIDE;  // texel (r, c) at r * 256 + c

// Texture column u and row v of one grid point: the ray's hit, truncated toward
// zero and kept as 16 bits in two's complement. Read unsigned by the blocks.
struct WarpCoord {
    uint16_t u, v;
};

// Row-major, entry j * 41 + i for screen position (4 + 8i, 4 + 8j). Scratch: every
// warp call rewrites all of it before reading it.
extern WarpCoord warp_grid[WARP_GRID_ENTRIES];

// Where the warps look from, kept by the scene from frame to frame.
struct WarpCamera {
    // Forward (z) component of every view ray before it is turned. Scene 9 shrinks
    // it to widen the sphere and grows it again in the tube.
    double focus = 0.6;
    // The camera's position along the tube's axis. Scene 9 adds 10.0 per tube frame.
    double travel = 0.0;
};

// The view rays of one warp call: the camera, and cos and sin of the caller's angle
// phi, taken once.
struct WarpView {
    double c, s;
    double focus, travel;
};
WarpView warp_view(const WarpCamera& camera, double phi);

// The sphere of radius 255 around the camera, for screen position (x, y): the ray
// (a, b - 0.4, focus) with a = (x - 160) / 120, b = (y - 100) / 120, turned about y;
// u = 128 + 128 asin(elevation) (via atan2), v = azimuth * 256 / pi. Double
// precision throughout. Called by the grid pass.
void sphere_lookup(int32_t x, int32_t y, const WarpView& view, WarpCoord& out);

// The tube of radius 255 around the z axis, camera on the axis at travel: the ray
// (a, b, focus) turned about y and then about x; u = |hit z| * 0.6, v = |angle round
// the axis| * 255 / pi (0..255). A ray along the axis hits at t = 0.
void tube_lookup(int32_t x, int32_t y, const WarpView& view, WarpCoord& out);

// Grid pass with sphere_lookup at angle phi, then every pixel of frame (320 x 200)
// becomes (pixel - texel) mod 256: a texel above the pixel wraps to a high index.
// texture is 65536 bytes. Once per sphere frame of scene 9.
void sphere_warp(uint8_t* frame, const uint8_t* texture, const WarpCamera& camera, double phi);

// Grid pass with tube_lookup at angle phi, then every pixel becomes
// max(0, pixel - dim - texel): clamped, never wrapped. Once per tube frame.
void tube_warp(uint8_t* frame, const uint8_t* texture, const WarpCamera& camera, double phi, uint8_t dim);

// The warps' two steps on their own: the grid pass (entry j * 41 + i from the lookup
// at (4 + 8i, 4 + 8j), rows then columns in order), and the block pass reading
// warp_grid.
void sphere_grid_pass(const WarpCamera& camera, double phi);
void tube_grid_pass(const WarpCamera& camera, double phi);
void darken_wrapping(uint8_t* frame, const uint8_t* texture);
void darken_clamped(uint8_t* frame, const uint8_t* texture, uint8_t dim);
