// Closed 8-connected pixel paths traced through a polygon, at compile time. The
// scenes' hand-laid outlines (the logo loop of scene 1, the closing outlines of
// scene 10) are built with it from short vertex lists.
#pragma once

#include <cstdint>

struct PathVertex {
    int16_t x, y;
};

namespace digital_path_detail {
// Not constexpr: reaching it during constant evaluation stops the build, so a
// vertex list that cannot give the wanted point count never compiles.
inline void path_cannot_be_built() {}
}  // namespace digital_path_detail

// Traces the closed polygon v[0], v[1], ..., v[nv-1] as one 8-connected chain
// (each edge a straight digital line of max(|dx|, |dy|) unit steps, the points
// rounded half up) and pads it to exactly `count` points by splitting evenly spaced
// diagonal steps into a horizontal and a vertical step. Point 0 is v[0], the last
// point is v[nv-1], which must be a neighbour of v[0]. Writes count points.
// Called at compile time by the path tables.
template <int MAX>
constexpr void trace_closed_path(const PathVertex* v, int nv, int count, int16_t* out_x,
                                 int16_t* out_y) {
    int16_t px[MAX] = {};
    int16_t py[MAX] = {};
    int n = 0;
    px[0] = v[0].x;
    py[0] = v[0].y;
    n = 1;
    for (int k = 0; k + 1 < nv; ++k) {
        const int dx = v[k + 1].x - v[k].x, dy = v[k + 1].y - v[k].y;
        const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        const int steps = adx > ady ? adx : ady;
        for (int j = 1; j <= steps; ++j) {
            if (n >= MAX) digital_path_detail::path_cannot_be_built();
            // floor((2 j d + steps) / (2 steps)): rounds j d / steps half up.
            const int nx = 2 * j * dx + steps, ny = 2 * j * dy + steps, den = 2 * steps;
            px[n] = static_cast<int16_t>(v[k].x + (nx >= 0 ? nx / den : -((-nx + den - 1) / den)));
            py[n] = static_cast<int16_t>(v[k].y + (ny >= 0 ? ny / den : -((-ny + den - 1) / den)));
            ++n;
        }
    }
    int diagonals = 0;
    for (int i = 0; i + 1 < n; ++i)
        if (px[i] != px[i + 1] && py[i] != py[i + 1]) ++diagonals;
    const int extra = count - n;
    if (extra < 0 || extra > diagonals) digital_path_detail::path_cannot_be_built();

    // Diagonal number d (0-based) is split when it is the first diagonal at or after
    // the j-th evenly spaced mark (2j + 1) * diagonals / (2 * extra).
    int out = 0, d = 0, j = 0;
    for (int i = 0; i < n; ++i) {
        out_x[out] = px[i];
        out_y[out] = py[i];
        ++out;
        if (i + 1 < n && px[i] != px[i + 1] && py[i] != py[i + 1]) {
            if (j < extra && d >= (2 * j + 1) * diagonals / (2 * extra)) {
                out_x[out] = px[i + 1];
                out_y[out] = py[i];
                ++out;
                ++j;
            }
            ++d;
        }
    }
    if (out != count) digital_path_detail::path_cannot_be_built();
}
