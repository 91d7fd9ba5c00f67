// Sphere and tube texture warps: rays at a coarse grid, the texture coordinates
// interpolated across 8 x 8 blocks, the picture darkened by the texels.
#include "render/texture_warp.h"

#include <cmath>

#include "display/display.h"

WarpCoord warp_grid[WARP_GRID_ENTRIES];

namespace {

constexpr double RAY_SCALE = 0.008333333333333333;  // 1/120: screen pixels to ray units
constexpr double INV_PI = 0.3183098861837907;
constexpr double SPHERE_TILT = 0.4;  // the screen centre looks a little upward
constexpr double TUBE_RADIUS_SQ = 65025.0;  // 255^2
constexpr double TUBE_U_SCALE = 0.6;

// Truncates toward zero and keeps the low 16 bits in two's complement. Values past
// 32 bits (only from rays grazing the axis) keep their low 16 bits as well, and a
// value that is not a number gives 0, rather than an undefined conversion.
uint16_t low16(double v) {
    if (v > -2147483648.0 && v < 2147483648.0) return uint16_t(int32_t(v));
    if (!std::isfinite(v)) return 0;
    return uint16_t(int32_t(std::fmod(std::trunc(v), 65536.0)));
}

template <class Lookup>
void grid_pass(const WarpCamera& camera, double phi, Lookup lookup) {
    const WarpView view = warp_view(camera, phi);
    WarpCoord* out = warp_grid;
    for (int j = 0; j < WARP_GRID_H; ++j)
        for (int i = 0; i < WARP_GRID_W; ++i) lookup(4 + WARP_BLOCK * i, 4 + WARP_BLOCK * j, view, *out++);
}

// The block pass. Along each block row the 41 grid columns are the block edges:
// their u and v as 16.16 fixed point, stepped down one pixel row at a time by an
// eighth of the edge's change (all wrapping 32-bit arithmetic, grid values read
// unsigned); each pixel row of a block then steps from its left edge towards its
// right by an eighth of the difference (arithmetic shift). Only bits 16..23 of u and
// v pick the texel, so the texture wraps both ways.
template <class Rule>
void darken_blocks(uint8_t* frame, const uint8_t* texture, Rule rule) {
    uint32_t edge_u[WARP_GRID_W], edge_v[WARP_GRID_W], step_u[WARP_GRID_W], step_v[WARP_GRID_W];
    for (int j = 0; j + 1 < WARP_GRID_H; ++j) {
        const WarpCoord* top = warp_grid + j * WARP_GRID_W;
        const WarpCoord* bottom = top + WARP_GRID_W;
        for (int k = 0; k < WARP_GRID_W; ++k) {
            edge_u[k] = uint32_t(top[k].u) << 16;
            edge_v[k] = uint32_t(top[k].v) << 16;
            step_u[k] = (uint32_t(bottom[k].u) - top[k].u) << 13;
            step_v[k] = (uint32_t(bottom[k].v) - top[k].v) << 13;
        }
        for (int r = 0; r < WARP_BLOCK; ++r) {
            uint8_t* p = frame + row_offset[WARP_BLOCK * j + r];
            for (int i = 0; i + 1 < WARP_GRID_W; ++i, p += WARP_BLOCK) {
                const uint32_t du = uint32_t(int32_t(edge_u[i + 1] - edge_u[i]) >> 3);
                const uint32_t dv = uint32_t(int32_t(edge_v[i + 1] - edge_v[i]) >> 3);
                uint32_t u = edge_u[i], v = edge_v[i];
                for (int n = 0; n < WARP_BLOCK; ++n, u += du, v += dv)
                    p[n] = rule(p[n], texture[((v >> 8) & 0xFF00) | ((u >> 16) & 0xFF)]);
            }
            for (int k = 0; k < WARP_GRID_W; ++k) {
                edge_u[k] += step_u[k];
                edge_v[k] += step_v[k];
            }
        }
    }
}

}  // namespace

WarpView warp_view(const WarpCamera& camera, double phi) {
    return {std::cos(phi), std::sin(phi), camera.focus, camera.travel};
}

void sphere_lookup(int32_t x, int32_t y, const WarpView& view, WarpCoord& out) {
    const double a = (x - 160) * RAY_SCALE;
    const double b = (y - 100) * RAY_SCALE;
    const double g = view.focus;
    const double c = view.c, s = view.s;
    // (a, b - 0.4, g) turned about y; the wall is at radius 255, so only the
    // direction's angles matter.
    const double dx = a * c - g * s, dy = b - SPHERE_TILT, dz = a * s + g * c;
    const double q = dy / std::sqrt(dx * dx + dy * dy + dz * dz);
    const double u = 128 + 128 * std::atan2(q, std::sqrt((1 + q) * (1 - q)));  // asin(q)
    const double v = std::atan2(dz, dx) * 256 * INV_PI;
    out.u = low16(u);
    out.v = low16(v);
}

void tube_lookup(int32_t x, int32_t y, const WarpView& view, WarpCoord& out) {
    const double a = (x - 160) * RAY_SCALE;
    const double b = (y - 100) * RAY_SCALE;
    const double g = view.focus;
    const double c = view.c, s = view.s;
    // (a, b, g) turned about y by phi, then about x by phi.
    const double w = a * s + g * c;
    const double dx = a * c - g * s, dy = b * c - w * s, dz = w * c + b * s;
    // Positive root of the ray meeting the cylinder x^2 + y^2 = 255^2 from its axis;
    // the small term keeps a ray along the axis at t = 0.
    const double across = dx * dx + dy * dy;
    const double t = std::sqrt(4 * across * TUBE_RADIUS_SQ) / (2 * across + 0.000001);
    const double hx = t * dx, hy = t * dy, hz = view.travel + t * dz;
    out.u = low16(std::fabs(hz) * TUBE_U_SCALE);
    out.v = low16(std::fabs(std::atan2(hy, hx) * 255 * INV_PI));
}

void sphere_grid_pass(const WarpCamera& camera, double phi) { grid_pass(camera, phi, sphere_lookup); }

void tube_grid_pass(const WarpCamera& camera, double phi) { grid_pass(camera, phi, tube_lookup); }

void darken_wrapping(uint8_t* frame, const uint8_t* texture) {
    darken_blocks(frame, texture, [](uint8_t p, uint8_t t) { return uint8_t(p - t); });
}

void darken_clamped(uint8_t* frame, const uint8_t* texture, uint8_t dim) {
    darken_blocks(frame, texture, [dim](uint8_t p, uint8_t t) {
        const int d = int(p) - dim - t;
        return uint8_t(d > 0 ? d : 0);
    });
}

void sphere_warp(uint8_t* frame, const uint8_t* texture, const WarpCamera& camera, double phi) {
    sphere_grid_pass(camera, phi);
    darken_wrapping(frame, texture);
}

void tube_warp(uint8_t* frame, const uint8_t* texture, const WarpCamera& camera, double phi, uint8_t dim) {
    tube_grid_pass(camera, phi);
    darken_clamped(frame, texture, dim);
}
