// The tube ray caster and sample smoothing of the two tube scenes: rays from
// carried.tube_camera (render/carried.h) against the cylinder x^2 + y^2 = 65536 around the z axis, cast on a
// sparse interlaced grid into back_frame, then spread by an in-place smoothing pass.
#pragma once

#include <cstdint>

#include "display/display.h"
#include "render/vectors.h"

// Direction of the ray being cast; cast_tube_ray damps it in place.
extern Vec3f ray_dir;

// ray_dir = ((sx - 160) * K, (sy - 100) * K, 1) with K = 1/120 in double, each
// product rounded to float. Called by the scenes for every sample.
void aim_ray(int sx, int sy);

// v := v / (x^2 + y^2 + z^2)^2, computed in double, stored as floats. Not a
// normalisation: the length becomes 1/|v|^3. Only the caster calls it.
void damp_direction(Vec3f& v);

// Damps ray_dir, intersects the ray from carried.tube_camera with the tube (double
// precision) and returns u = floor(0.1 |Z|) mod 256, v = floor(|atan2(Y, X)| * 256/pi)
// mod 256 and shade = floor(min(20000 / t, 63)), all truncated toward zero.
void cast_tube_ray(uint8_t& u, uint8_t& v, uint8_t& shade);

// One cast's result.
struct TubeHit {
    uint8_t u, v, shade;
};

// Casts the rays of row y at x = x0, x0 + step, ... < 320 into hits (room for 320)
// and returns how many; each result equals aim_ray + cast_tube_ray at that
// position. ray_dir is left alone. The sampling grid below calls it once per row.
int cast_tube_row(int y, int x0, int step, TubeHit* hits);

// The interlaced sampling grid's state; the scene keeps it from frame to frame.
struct TubeGrid {
    int step;          // distance between samples, both ways (3, 4 or 8)
    int row_phase;     // first sampled row; the scene advances it every few frames
    int column_phase;  // first sampled column of the next row; carries across frames
};

// Samples back_frame on the grid: rows y = row_phase, +step, ... < 200; in each, x =
// column_phase, +step, ... < 320 get back_frame[y][x] = value_of(hit) (a byte), and
// after each row column_phase := column_phase + 1, or 0 if that exceeds step - 1.
// The phase is compared with the step only there, so a step that shrinks under it
// still starts the next row at the old phase. Called once per frame by scenes 5, 7.
template <class ValueOf>
void sample_tube_grid(TubeGrid& grid, ValueOf&& value_of) {
    TubeHit hits[FRAME_W];
    const int step = grid.step;
    for (int y = grid.row_phase; y < FRAME_H; y += step) {
        const int n = cast_tube_row(y, grid.column_phase, step, hits);
        uint8_t* p = back_frame + row_offset[y] + grid.column_phase;
        for (int i = 0; i < n; ++i, p += step) *p = uint8_t(value_of(hits[i]));
        grid.column_phase = grid.column_phase + 1 > step - 1 ? 0 : grid.column_phase + 1;
    }
}

// Smooths back_frame in place (row 0 to 5; then for each row y = 0..198: pixel
// (0, y) to 5, row y + 1's columns 1..318 to max(1, floor(sum of 8 neighbours / 8))
// in their current state, pixel (319, y) to 5; row 199 to 5), then copies it onto
// screen_frame. Called once per frame by scenes 5 and 7 after sampling.
void smooth_samples();
