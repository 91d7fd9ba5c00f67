// Scene 1's tunnel: the band lookup and its two wraps, the smoothing pass against
// a plain reading, the lift of dark bytes, and the 16.16 scaled picture with its
// breathing size.
#include <cstring>
#include <vector>

#include "render/tables.h"
#include "scene_fixture.h"
#include "scenes/scene01_opening.h"

namespace {

using Tunnel = SceneTest;

// The tunnel phase's state, fresh for every test (SceneTest resets it).
TunnelRun& tunnel = scene01_run.tunnel;

TEST_F(Tunnel, BandsOfTheMapCorners) {
    tunnel.flow_u = tunnel.flow_v = 0;
    EXPECT_EQ(tunnel_band(tunnel, 255, 254), 7);  // (255 + 254) >> 6
    EXPECT_EQ(tunnel_band(tunnel, 0, 0), 0);
    EXPECT_EQ(tunnel_band(tunnel, 255, 255), 3);  // 255 wraps to 0 in the second coordinate
    tunnel.flow_u = 1;
    EXPECT_EQ(tunnel_band(tunnel, 255, 0), 0);    // 256 wraps to 0 in the first
    tunnel.flow_u = 0;
    tunnel.flow_v = 255;
    EXPECT_EQ(tunnel_band(tunnel, 255, 255), 7);  // 510 - 255 = 255, plus 255 = 510 >> 6
}

TEST_F(Tunnel, TunnelLoopMatchesTheBandOfEveryPixel) {
    std::vector<uint8_t> tx = noise_block(FRAME_BYTES), ty = noise_block(FRAME_BYTES);
    std::vector<uint8_t> bands = {11, 22, 33, 44, 55, 66, 77, 88};
    use_resource(RES_TUBE_X, tx);
    use_resource(RES_TUBE_Y, ty);
    use_resource(RES_TUNNEL, bands);
    for (auto [u, v] : {std::pair{0, 0}, std::pair{4, 2}, std::pair{252, 255}, std::pair{129, 254}}) {
        tunnel.flow_u = uint8_t(u);
        tunnel.flow_v = uint8_t(v);
        memset(back_frame, 5, FRAME_BYTES);
        draw_tunnel(tunnel);
        for (int r = 0; r < FRAME_H; ++r)
            for (int c = 0; c < FRAME_W; ++c) {
                const int k = r * FRAME_W + c;
                const int expect = r < TUNNEL_ROWS && c >= TUNNEL_X0 ? bands[tunnel_band(tunnel, tx[k], ty[k])] : 5;
                ASSERT_EQ(back_frame[k], expect) << c << "," << r << " flows " << u << "," << v;
            }
    }
}

// The smoothing pass read directly: fresh values above and to the left.
void smear_reference(std::vector<uint8_t>& f) {
    for (int x = 0; x < FRAME_W; ++x) f[x] = 0;
    for (int r = 1; r <= 144; ++r) {
        f[r * FRAME_W + 130] = 0;
        for (int x = 131; x <= 318; ++x) {
            const int k = r * FRAME_W + x;
            f[k] = uint8_t((f[k - FRAME_W] + f[k - 1] + f[k + 1] + f[k + FRAME_W]) >> 2);
        }
        f[r * FRAME_W + 319] = 0;
    }
    for (int k = 145 * FRAME_W; k < 147 * FRAME_W; ++k) f[k] = 0;
}

TEST_F(Tunnel, SmearMatchesThePlainReading) {
    for (int round = 0; round < 3; ++round) {
        std::vector<uint8_t> f = noise_block(FRAME_BYTES);
        memcpy(back_frame, f.data(), FRAME_BYTES);
        smear_back();
        smear_reference(f);
        ASSERT_EQ(memcmp(back_frame, f.data(), FRAME_BYTES), 0) << round;
    }
}

TEST_F(Tunnel, LiftLeavesNoByteBelow30) {
    std::vector<uint8_t> f = noise_block(FRAME_BYTES);
    f[0] = 0;
    f[1] = 29;
    f[2] = 30;
    memcpy(back_frame, f.data(), FRAME_BYTES);
    lift_dark_back();
    for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(back_frame[k], f[k] < 30 ? 177 : f[k]) << k;
}

// The scaled add read directly: source column floor(i * xstep / 65536), row
// floor(j * ystep / 65536).
void scaled_add_reference(std::vector<uint8_t>& f, const uint8_t* src, int sw, int sh, int dw, int dh,
                          int x0, int y0) {
    const uint32_t n = dw + 1, m = dh + 1;
    const uint32_t xstep = uint32_t(sw) * 65536 / n, ystep = uint32_t(sh) * 65536 / m;
    for (uint32_t j = 0; j < m; ++j)
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t s = src[((j * ystep) >> 16) * sw + ((i * xstep) >> 16)];
            if (s) f[(y0 + j) * FRAME_W + x0 + i] = uint8_t(f[(y0 + j) * FRAME_W + x0 + i] + s);
        }
}

TEST_F(Tunnel, ScaledAddMatchesThePlainReading) {
    std::vector<uint8_t> pic = noise_block(SCL_W * SCL_H);
    for (size_t i = 0; i < pic.size(); i += 3) pic[i] = 0;  // transparent bytes
    struct Case {
        int dw, dh, x0, y0;
    };
    for (Case c : {Case{174, 43, 73, 156}, Case{74, 23, 123, 176}, Case{274, 33, 23, 166}, Case{173, 32, 0, 0},
                   Case{1, 1, 318, 198}}) {
        std::vector<uint8_t> f = noise_block(FRAME_BYTES);
        memcpy(back_frame, f.data(), FRAME_BYTES);
        draw_scaled_add(pic.data(), SCL_W, SCL_H, uint16_t(c.dw), uint16_t(c.dh), FRAME_W, uint16_t(c.x0),
                        uint16_t(c.y0));
        scaled_add_reference(f, pic.data(), SCL_W, SCL_H, c.dw, c.dh, c.x0, c.y0);
        ASSERT_EQ(memcmp(back_frame, f.data(), FRAME_BYTES), 0) << c.dw << "x" << c.dh;
    }
}

TEST_F(Tunnel, ScaledAddOfNothingOrOutsideTheFrameDrawsNothing) {
    std::vector<uint8_t> pic(SCL_W * SCL_H, 9);
    clear_frame(back_frame);
    draw_scaled_add(pic.data(), SCL_W, SCL_H, 0, 30, FRAME_W, 10, 10);
    draw_scaled_add(pic.data(), SCL_W, SCL_H, 30, 0, FRAME_W, 10, 10);
    draw_scaled_add(pic.data(), SCL_W, SCL_H, 100, 30, FRAME_W, 220, 10);  // past the right edge
    draw_scaled_add(pic.data(), SCL_W, SCL_H, 100, 30, FRAME_W, 10, 170);  // past the bottom
    for (int k = 0; k < FRAME_BYTES; ++k) ASSERT_EQ(back_frame[k], 0) << k;
}

TEST_F(Tunnel, BreathingPictureAtPulseZeroIs175By44At73_156) {
    std::vector<uint8_t> pic(SCL_W * SCL_H, 1);
    use_resource(RES_SCLPIC, pic);
    clear_frame(back_frame);
    tunnel.pulse = 0;
    draw_breathing_picture(tunnel);
    for (int y = 0; y < FRAME_H; ++y)
        for (int x = 0; x < FRAME_W; ++x)
            ASSERT_EQ(px(back_frame, x, y), x >= 73 && x < 73 + 175 && y >= 156 ? 1 : 0) << x << "," << y;
    EXPECT_EQ(tunnel.pulse, 3);
}

TEST_F(Tunnel, PulseRunsInStepsOfThreeAndWrapsAfter255) {
    std::vector<uint8_t> pic(SCL_W * SCL_H, 1);
    use_resource(RES_SCLPIC, pic);
    tunnel.pulse = 0;
    for (int i = 0; i < 85; ++i) {
        EXPECT_EQ(tunnel.pulse, 3 * i);
        draw_breathing_picture(tunnel);
    }
    EXPECT_EQ(tunnel.pulse, 255);
    draw_breathing_picture(tunnel);
    EXPECT_EQ(tunnel.pulse, 0);
}

TEST_F(Tunnel, EveryPulseKeepsThePictureInsideTheFrame) {
    // The widest and lowest sizes stay within columns 23..297 and rows ..199; the
    // scaled add refuses anything else, so the picture must be drawn at every tunnel.pulse.
    std::vector<uint8_t> pic(SCL_W * SCL_H, 1);
    use_resource(RES_SCLPIC, pic);
    for (int p = 0; p < 256; p += 3) {
        clear_frame(back_frame);
        tunnel.pulse = uint16_t(p);
        draw_breathing_picture(tunnel);
        int drawn = 0;
        for (int k = 0; k < FRAME_BYTES; ++k) drawn += back_frame[k];
        const double a = sin_table[p] * 100 + 174, b = cos_table[p] * 10 + 33;
        EXPECT_EQ(drawn, (int(a) + 1) * (int(b) + 1)) << p;
    }
}

}  // namespace
