// Scene 1, tunnel phase (cue 6): a tunnel of eight colour bands flowing towards the
// viewer, smeared down and to the right, seen through a picture frame, with a
// breathing picture at the bottom. Everything is built in back_frame.
#pragma once

#include <cstdint>

constexpr int TUNNEL_ROWS = 162;      // tunnel rows 0..161
constexpr int TUNNEL_X0 = 90;         // tunnel columns 90..319
constexpr uint8_t SMEAR_FLOOR = 30;   // bytes below this are lifted ...
constexpr uint8_t SMEAR_LIFT = 177;   // ... to this brown
constexpr int SCL_W = 174, SCL_H = 33;  // the breathing picture, sclpic.dat

// The tunnel phase's state, kept from frame to frame.
struct TunnelRun {
    // Tunnel map offsets: +4 and +2 per frame, wrapping modulo 256.
    uint8_t flow_u = 0;
    uint8_t flow_v = 0;
    // Index into sin_table/cos_table for the breathing picture: 0, 3, ..., 252, 255,
    // 0, ...
    uint16_t pulse = 0;
};

// The band (0..7) of a pixel with tunnel map values (tx, ty) under the run's flows:
// a = tx + flow_u minus 256 above 255, b = ty + flow_v minus 255 above 254, band
// (a + b) >> 6. The reference for draw_tunnel's loop.
int tunnel_band(const TunnelRun& run, uint8_t tx, uint8_t ty);

// Rows 0..161, columns 90..319 of back_frame = tunnel.dat[band of tube_x, tube_y].
void draw_tunnel(const TunnelRun& run);

// In place on back_frame: row 0 to 0; rows 1..144: column 130 to 0, columns
// 131..318 left to right = (above + left + right + below) >> 2 with above and left
// already new, column 319 to 0; rows 145 and 146 to 0.
void smear_back();

// Every byte of back_frame below 30 becomes 177.
void lift_dark_back();

// Adds src (sw x sh, rows packed) stretched to (dw + 1) x (dh + 1) into back_frame
// at (x0, y0), row stride `stride`: source steps in 16.16 fixed point (floor(sw *
// 65536 / (dw + 1)) across, floor(sh * 65536 / (dh + 1)) down, the fraction down
// kept to 16 bits); zero source bytes are skipped, others added modulo 256.
// dw or dh of 0 draws nothing; so does a rectangle that would leave the frame.
void draw_scaled_add(const uint8_t* src, uint16_t sw, uint16_t sh, uint16_t dw, uint16_t dh,
                     uint16_t stride, uint16_t x0, uint16_t y0);

// sclpic.dat scaled by sin/cos_table[pulse] (175 x 44 at (73, 156) for pulse 0),
// then pulse steps on. Once per tunnel frame.
void draw_breathing_picture(TunnelRun& run);

// One tunnel frame: tunnel, smear, lift, smear, frame pictures, breathing picture,
// present back_frame, flows step on (no pump). Called by tunnel_phase.
void tunnel_frame(TunnelRun& run);

// Clear and present, tunnel palette, cue_index += 1, flows to 0, frames while the
// cue runs.
void tunnel_phase(TunnelRun& run);
