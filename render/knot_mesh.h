// The tube mesh wound along a closed knot curve that scene 8 spins: 500 integer
// vertices (50 rings of 10), 500 quad slots (every odd slot empty) and a draw order.
#pragma once

#include <array>
#include <cstdint>

constexpr int KNOT_RINGS = 50;
constexpr int KNOT_RING_POINTS = 10;
constexpr int KNOT_VERTICES = KNOT_RINGS * KNOT_RING_POINTS;  // 500
constexpr int KNOT_QUADS = KNOT_VERTICES;                     // one slot per vertex

struct KnotVertex {
    int32_t x, y, z;
};

// Vertex 10k + j: point j of ring k, truncated toward zero. Ranges x -99..76,
// y -91..91, z -75..75. Vertex 0 is (50, 25, 75).
extern KnotVertex knot_vertex[KNOT_VERTICES];

// Slot 10k + 2m = (b+2m, b+2m+1, N(w+2m+1), N(w+2m)) with b = 10k and w the
// alignment of ring k+1 to ring k; odd slots stay (0, 0, 0, 0).
extern int32_t knot_quad[KNOT_QUADS][4];

// 500 after the build, 0 before.
extern int32_t knot_vertex_count;

// The order the quad slots are first painted in: 0..499. Scene 8 starts its own
// copy from it and re-sorts that every frame.
inline constexpr std::array<int32_t, KNOT_QUADS> knot_draw_order = [] {
    std::array<int32_t, KNOT_QUADS> order{};
    for (int i = 0; i < KNOT_QUADS; ++i) order[i] = i;
    return order;
}();

// Fills knot_vertex, knot_quad and knot_vertex_count. Called by
// build_lookup_tables; allocates nothing.
void build_knot_mesh();
