// The sphere and tube warps: the two lookups at known rays, the grid pass over its
// off-screen row and column, and the block pass against a plain per-block reading
// of the interpolation, with both pixel rules.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "render/texture_warp.h"
#include "scene_fixture.h"

namespace {

using Warp = SceneTest;

TEST_F(Warp, SphereLookupAtTheScreenCentre) {
    WarpCoord out{};
    const WarpCamera start;  // focus 0.6
    sphere_lookup(160, 100, warp_view(start, 0.0), out);  // ray (0, -0.4, 0.6)
    EXPECT_EQ(out.u, 52);   // 128 + 128 asin(-0.5547) = 52.7
    EXPECT_EQ(out.v, 128);  // atan2(0.6, 0) * 256 / pi
    // Turned half round, the ray looks backward: the azimuth is negative and kept
    // as 16 bits in two's complement.
    sphere_lookup(160, 100, warp_view(start, M_PI), out);
    EXPECT_EQ(out.u, 52);
    EXPECT_EQ(out.v, uint16_t(-128));
}

TEST_F(Warp, TubeLookupAlongTheAxisHitsAtTheCamera) {
    WarpCoord out{};
    for (double travel : {0.0, 123.4, -250.0}) {
        tube_lookup(160, 100, warp_view(WarpCamera{0.6, travel}, 0.0), out);
        EXPECT_EQ(out.u, uint16_t(std::abs(travel) * 0.6)) << travel;
        EXPECT_EQ(out.v, 0) << travel;
    }
    // Off the axis the angle round it stays within 0..255 whatever the turn.
    for (double phi : {0.0, 0.7, 2.5, 4.0})
        for (int y = 4; y < 210; y += 40)
            for (int x = 4; x < 330; x += 40) {
                tube_lookup(x, y, warp_view(WarpCamera{}, phi), out);
                EXPECT_LE(out.v, 255) << x << "," << y << " phi " << phi;
            }
}

TEST_F(Warp, GridPassCoversTheOffScreenRowAndColumn) {
    const WarpCamera camera{0.6, 77.0};
    for (bool sphere : {true, false}) {
        memset(warp_grid, 0xEE, sizeof warp_grid);
        const double phi = 0.3;
        sphere ? sphere_grid_pass(camera, phi) : tube_grid_pass(camera, phi);
        for (int j = 0; j < WARP_GRID_H; ++j)
            for (int i = 0; i < WARP_GRID_W; ++i) {
                WarpCoord want{};
                sphere ? sphere_lookup(int16_t(4 + 8 * i), int16_t(4 + 8 * j), warp_view(camera, phi), want)
                       : tube_lookup(4 + 8 * i, 4 + 8 * j, warp_view(camera, phi), want);
                const WarpCoord got = warp_grid[j * WARP_GRID_W + i];
                ASSERT_TRUE(got.u == want.u && got.v == want.v) << (sphere ? "sphere " : "tube ") << i << "," << j;
            }
    }
}

using Rule = std::function<uint8_t(uint8_t pixel, uint8_t texel)>;

// The block interpolation read directly: per block, its four corners, the edges at
// row r as top + r * (bottom - top) / 8 in wrapping 32-bit 16.16, and the pixels
// stepped from the left edge by an eighth of the row's span.
void reference_blocks(uint8_t* frame, const uint8_t* texture, const Rule& rule) {
    auto edge = [](uint16_t top, uint16_t bottom, int r) {
        return (uint32_t(top) << 16) + uint32_t(r) * ((uint32_t(bottom) - top) << 13);
    };
    for (int j = 0; j < 25; ++j)
        for (int i = 0; i < 40; ++i) {
            const WarpCoord tl = warp_grid[j * 41 + i], tr = warp_grid[j * 41 + i + 1];
            const WarpCoord bl = warp_grid[(j + 1) * 41 + i], br = warp_grid[(j + 1) * 41 + i + 1];
            for (int r = 0; r < 8; ++r) {
                const int32_t ul = int32_t(edge(tl.u, bl.u, r)), ur = int32_t(edge(tr.u, br.u, r));
                const int32_t vl = int32_t(edge(tl.v, bl.v, r)), vr = int32_t(edge(tr.v, br.v, r));
                const int32_t du = int32_t(uint32_t(ur) - uint32_t(ul)) >> 3;
                const int32_t dv = int32_t(uint32_t(vr) - uint32_t(vl)) >> 3;
                int32_t u = ul, v = vl;
                for (int n = 0; n < 8; ++n) {
                    uint8_t& p = frame[(8 * j + r) * 320 + 8 * i + n];
                    p = rule(p, texture[((v >> 16) & 255) * 256 + ((u >> 16) & 255)]);
                    u = int32_t(uint32_t(u) + uint32_t(du));
                    v = int32_t(uint32_t(v) + uint32_t(dv));
                }
            }
        }
}

const Rule wrapping = [](uint8_t p, uint8_t t) { return uint8_t(p - t); };
Rule clamped(int dim) {
    return [dim](uint8_t p, uint8_t t) { return uint8_t(std::max(0, p - dim - t)); };
}

TEST_F(Warp, AGridOfStepEightMapsOneTexelPerPixel) {
    for (int j = 0; j < WARP_GRID_H; ++j)
        for (int i = 0; i < WARP_GRID_W; ++i) warp_grid[j * 41 + i] = {uint16_t(8 * i), uint16_t(8 * j)};
    std::vector<uint8_t> texture(WARP_TEXTURE_BYTES);
    for (int k = 0; k < WARP_TEXTURE_BYTES; ++k) texture[k] = uint8_t((k >> 8) * 7 + k * 13) & 0x3F;
    auto texel = [&](int x, int y) { return texture[(y & 255) * 256 + (x & 255)]; };

    memset(screen_frame, 40, FRAME_BYTES);
    darken_wrapping(screen_frame, texture.data());
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x)
            ASSERT_EQ(px(screen_frame, x, y), uint8_t(40 - texel(x, y))) << x << "," << y;  // wraps past 0

    memset(screen_frame, 40, FRAME_BYTES);
    darken_clamped(screen_frame, texture.data(), 5);
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x)
            ASSERT_EQ(px(screen_frame, x, y), std::max(0, 35 - texel(x, y))) << x << "," << y;  // stops at 0
}

TEST_F(Warp, BlockPassMatchesThePlainReadingOnAnyGrid) {
    std::vector<uint8_t> texture = noise_block(WARP_TEXTURE_BYTES);
    for (int round = 0; round < 6; ++round) {
        // Whole 16-bit range, so differences wrap and the fixed point overflows;
        // and grids near a seam, where neighbours jump by about 256 or 512.
        for (WarpCoord& e : warp_grid) {
            const uint32_t r = rng_();
            e = round < 3 ? WarpCoord{uint16_t(r), uint16_t(r >> 16)}
                          : WarpCoord{uint16_t((r & 1) * 512 - 256 + (r >> 8 & 63)), uint16_t((r & 2) * 128 + (r >> 16 & 31))};
        }
        const std::vector<uint8_t> picture = noise_block(FRAME_BYTES);
        std::vector<uint8_t> want = picture;
        memcpy(screen_frame, picture.data(), FRAME_BYTES);
        darken_wrapping(screen_frame, texture.data());
        reference_blocks(want.data(), texture.data(), wrapping);
        ASSERT_EQ(memcmp(screen_frame, want.data(), FRAME_BYTES), 0) << "sphere, round " << round;

        want = picture;
        memcpy(screen_frame, picture.data(), FRAME_BYTES);
        darken_clamped(screen_frame, texture.data(), uint8_t(round * 5));
        reference_blocks(want.data(), texture.data(), clamped(round * 5));
        ASSERT_EQ(memcmp(screen_frame, want.data(), FRAME_BYTES), 0) << "tube, round " << round;
    }
}

}  // namespace
