// The knot tube mesh: 50 rings of 10 points around the closed curve
// C(t) = (25 sin t + 50 cos 2t, 25 cos t + 50 sin 2t, 50 cos 3t), tube radius 25.
#include "render/knot_mesh.h"

#include <cmath>

KnotVertex knot_vertex[KNOT_VERTICES];
int32_t knot_quad[KNOT_QUADS][4];
int32_t knot_vertex_count = 0;

static void build_rings() {
    const double ring_step = 2.0 * M_PI / KNOT_RINGS;
    const double point_step = 2.0 * M_PI / KNOT_RING_POINTS;
    // Both angles advance by adding their step, as the mesh was always built; the
    // accumulated rounding is part of the vertices.
    double t = 0.0;
    KnotVertex* out = knot_vertex;
    for (int k = 0; k < KNOT_RINGS; ++k, t += ring_step) {
        const double cx = 25.0 * sin(t) + 50.0 * cos(2.0 * t);
        const double cy = 25.0 * cos(t) + 50.0 * sin(2.0 * t);
        const double cz = 50.0 * cos(3.0 * t);
        const double tx = 25.0 * cos(t) - 100.0 * sin(2.0 * t);
        const double ty = 100.0 * cos(2.0 * t) - 25.0 * sin(t);
        const double tz = -150.0 * sin(3.0 * t);
        const double len = sqrt(tx * tx + ty * ty + tz * tz);
        const double len_xz = sqrt(tx * tx + tz * tz);
        // Two unit vectors across the tube, perpendicular to the tangent and to
        // each other.
        const double ax = -tz / len_xz, ay = 0.0, az = tx / len_xz;
        const double bx = tx * ty / (len * len_xz), by = -len_xz / len,
                     bz = ty * tz / (len * len_xz);
        double u = 0.0;
        for (int j = 0; j < KNOT_RING_POINTS; ++j, u += point_step, ++out) {
            const double cu = cos(u), su = sin(u);
            out->x = int32_t(cx + 25.0 * (cu * ax + su * bx));  // truncates toward zero
            out->y = int32_t(cy + 25.0 * (cu * ay + su * by));
            out->z = int32_t(cz + 25.0 * (cu * az + su * bz));
        }
    }
    knot_vertex_count = KNOT_VERTICES;
}

static int64_t squared_distance(const KnotVertex& a, const KnotVertex& b) {
    const int64_t dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

static void build_quads() {
    for (int32_t* q : knot_quad) q[0] = q[1] = q[2] = q[3] = 0;
    for (int k = 0; k < KNOT_RINGS; ++k) {
        const int b = KNOT_RING_POINTS * k;
        // Index of point x (mod 10) on the next ring; ring 0 follows ring 49.
        auto next = [b](int x) { return (b + KNOT_RING_POINTS + x % KNOT_RING_POINTS) % KNOT_VERTICES; };

        // Continue each strip from the next ring's point nearest to this ring's first
        // point; on a tie the smaller j wins.
        int w = 0;
        int64_t best = squared_distance(knot_vertex[b], knot_vertex[next(0)]);
        for (int j = 1; j < KNOT_RING_POINTS; ++j) {
            const int64_t d = squared_distance(knot_vertex[b], knot_vertex[next(j)]);
            if (d < best) {
                best = d;
                w = j;
            }
        }
        for (int m = 0; m < KNOT_RING_POINTS / 2; ++m) {
            int32_t* q = knot_quad[b + 2 * m];
            q[0] = b + 2 * m;
            q[1] = b + 2 * m + 1;
            q[2] = next(w + 2 * m + 1);
            q[3] = next(w + 2 * m);
        }
    }
}

void build_knot_mesh() {
    build_rings();
    build_quads();
}
