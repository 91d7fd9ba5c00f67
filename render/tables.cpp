// The radial tables, the sine and cosine tables and the lens scratch buffers,
// computed once at start-up.
#include "render/tables.h"

#include <cmath>
#include <cstdlib>

#include "platform/fatal.h"
#include "render/knot_mesh.h"

uint8_t* cone_table = nullptr;
uint8_t* dot_table = nullptr;
uint8_t* lens_buffer = nullptr;
uint8_t* half_buffer = nullptr;
double sin_table[256];
double cos_table[256];
void* (*table_allocator)(size_t bytes) = malloc;

// Truncated distance of entry (r, c) from the centre (256, 256): the root of the
// exact integer sum of squares, truncated.
static int radial_distance(int r, int c) {
    const int dr = r - 256, dc = c - 256;
    return int(sqrt(double(dc * dc + dr * dr)));
}

void build_lookup_tables() {
    // In this order, stopping at the first that fails.
    bool ok = (cone_table = static_cast<uint8_t*>(table_allocator(RADIAL_BYTES))) &&
              (dot_table = static_cast<uint8_t*>(table_allocator(RADIAL_BYTES))) &&
              (lens_buffer = static_cast<uint8_t*>(table_allocator(LENS_BYTES))) &&
              (half_buffer = static_cast<uint8_t*>(table_allocator(HALF_BYTES)));
    if (!ok) fatal_error("[RunC02] Unable to allocate the memory for internal LUTS.\n");

    uint8_t* p = cone_table;
    for (int r = 0; r < RADIAL_SIZE; ++r)
        for (int c = 0; c < RADIAL_SIZE; ++c) {
            const int v = 255 - radial_distance(r, c);
            *p++ = uint8_t(v > 0 ? v : 0);
        }

    p = dot_table;
    for (int r = 0; r < RADIAL_SIZE; ++r)
        for (int c = 0; c < RADIAL_SIZE; ++c) {
            const int dr = r - 256, dc = c - 256;
            // 0.25 * root, truncated: the quarter is exact in double.
            const int v = 63 - int(0.25 * sqrt(double(dc * dc + dr * dr)));
            *p++ = uint8_t(v > 0 ? v : 0);
        }

    for (int i = 0; i < 256; ++i) {
        const double a = i * M_PI / 127.0;
        sin_table[i] = sin(a);
        cos_table[i] = cos(a);
    }

    build_knot_mesh();
}
