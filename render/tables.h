// Lookup tables computed once at start-up and shared by several scenes: the two
// 512x512 radial intensity tables, the sine and cosine tables, the two scratch
// buffers of the lens effect, and (through knot_mesh.h) the knot tube mesh.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int RADIAL_SIZE = 512;                      // side of the radial tables
constexpr int RADIAL_BYTES = RADIAL_SIZE * RADIAL_SIZE;  // 262144, row r at r * 512
constexpr int LENS_SIDE = 148;                        // lens window is 148x148
constexpr int LENS_BYTES = LENS_SIDE * LENS_SIDE;     // 21904
constexpr int HALF_W = 160;                           // half-size frame for the tiling
constexpr int HALF_H = 100;
constexpr int HALF_BYTES = HALF_W * HALF_H;           // 16000

// Entry (r, c) = max(0, 255 - floor(sqrt((c-256)^2 + (r-256)^2))): 255 at the centre,
// one less per pixel of distance, 0 from distance 255 on. Read by the glow stamps.
extern uint8_t* cone_table;

// Entry (r, c) = max(0, 63 - floor(0.25 * sqrt(...))): 63 at the centre, one less per
// 4 pixels, 0 from distance 252 on. Read by the dot stamps and scene 9.
extern uint8_t* dot_table;

// 148x148 scratch for one lens window (lens.h). Not filled at start-up.
extern uint8_t* lens_buffer;

// 160x100 scratch for the half-size frame of tile_quarters (lens.h).
extern uint8_t* half_buffer;

// Entry i = sin(i * pi / 127) and cos(i * pi / 127): the step is pi/127, so entry 127
// is half a turn and 254 a full turn. Read by the tunnel phase of scene 1.
extern double sin_table[256];
extern double cos_table[256];

// Where the four table blocks come from: malloc unless swapped.
extern void* (*table_allocator)(size_t bytes);

// Allocates the cone table, dot table, lens_buffer and half_buffer (in that order,
// stopping at the first failure, which is fatal with "[RunC02] Unable to allocate
// the memory for internal LUTS.\n"), fills both radial tables row by row, the sine
// and cosine tables, then builds the knot mesh. Called once by the driver, after
// the resources and before the display.
void build_lookup_tables();
