// Scene 1, tunnel phase: the banded tunnel looked up from two maps, smeared, lifted,
// framed, with a breathing picture added at the bottom; all in back_frame.
#include "scenes/scene01_tunnel.h"

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/tables.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

namespace {

constexpr int SMEAR_ROWS = 144;     // rows 1..144 are filtered
constexpr int SMEAR_LEFT = 130;     // column zeroed before the run 131..318

}  // namespace

int tunnel_band(const TunnelRun& run, uint8_t tx, uint8_t ty) {
    int a = tx + run.flow_u;
    if (a > 255) a -= 256;
    int b = ty + run.flow_v;
    if (b > 254) b -= 255;  // 255, not 256: the second coordinate wraps one early
    return (a + b) >> 6;
}

void draw_tunnel(const TunnelRun& run) {
    const uint8_t* bands = resource_slot[RES_TUNNEL];
    const uint8_t* tube_x = resource_slot[RES_TUBE_X];
    const uint8_t* tube_y = resource_slot[RES_TUBE_Y];
    // Both offsets are fixed for the frame, so each wrap becomes a 256-entry table
    // and a pixel costs two reads, one add, one shift and the band read.
    uint16_t wrap_u[256], wrap_v[256];
    for (int t = 0; t < 256; ++t) {
        const int a = t + run.flow_u, b = t + run.flow_v;
        wrap_u[t] = uint16_t(a > 255 ? a - 256 : a);
        wrap_v[t] = uint16_t(b > 254 ? b - 255 : b);
    }
    for (int r = 0; r < TUNNEL_ROWS; ++r) {
        const int k0 = row_offset[r] + TUNNEL_X0;
        const uint8_t* tx = tube_x + k0;
        const uint8_t* ty = tube_y + k0;
        uint8_t* out = back_frame + k0;
        for (int c = 0; c < FRAME_W - TUNNEL_X0; ++c) out[c] = bands[(wrap_u[tx[c]] + wrap_v[ty[c]]) >> 6];
    }
}

void smear_back() {
    uint8_t* f = back_frame;
    for (int x = 0; x < FRAME_W; ++x) f[x] = 0;
    for (int r = 1; r <= SMEAR_ROWS; ++r) {
        uint8_t* p = f + row_offset[r];
        const uint8_t* above = p - FRAME_W;  // already this pass's results
        const uint8_t* below = p + FRAME_W;  // not yet
        p[SMEAR_LEFT] = 0;
        // Carry the left neighbour in a register: each pixel reads the one just written.
        unsigned left = 0;
        for (int x = SMEAR_LEFT + 1; x < FRAME_W - 1; ++x) {
            left = (above[x] + left + p[x + 1] + below[x]) >> 2;
            p[x] = uint8_t(left);
        }
        p[FRAME_W - 1] = 0;
    }
    for (int x = 0; x < 2 * FRAME_W; ++x) f[row_offset[SMEAR_ROWS + 1] + x] = 0;
}

void lift_dark_back() {
    uint8_t* f = back_frame;
    for (int k = 0; k < FRAME_BYTES; ++k) f[k] = f[k] < SMEAR_FLOOR ? SMEAR_LIFT : f[k];
}

void draw_scaled_add(const uint8_t* src, uint16_t sw, uint16_t sh, uint16_t dw, uint16_t dh,
                     uint16_t stride, uint16_t x0, uint16_t y0) {
    if (dw == 0 || dh == 0) return;
    const uint32_t n = uint32_t(dw) + 1, m = uint32_t(dh) + 1;
    // The caller keeps the picture inside the frame; a rectangle that would not fit
    // is refused rather than written past the frame's end.
    if (x0 + n > stride || (uint32_t(y0) + m - 1) * stride + x0 + n > uint32_t(FRAME_BYTES)) return;
    const uint32_t xstep = uint32_t(sw) * 65536u / n;  // 16.16 fixed point, floored
    const uint32_t ystep = uint32_t(sh) * 65536u / m;
    uint8_t* d = back_frame + uint32_t(y0) * stride + x0;
    const uint8_t* row = src;
    uint32_t fy = 0;  // fraction of a source row, low 16 bits only
    for (uint32_t j = 0; j < m; ++j, d += stride) {
        uint32_t fx = 0;
        for (uint32_t i = 0; i < n; ++i, fx += xstep) {
            const uint8_t s = row[fx >> 16];
            if (s) d[i] = uint8_t(d[i] + s);  // wraps modulo 256
        }
        fy += ystep;
        row += (fy >> 16) * sw;
        fy &= 0xFFFF;
    }
}

void draw_breathing_picture(TunnelRun& run) {
    const double a = sin_table[run.pulse] * 100 + 174;
    const double b = cos_table[run.pulse] * 10 + 33;
    // Truncation toward zero; the position as unsigned 16-bit values.
    draw_scaled_add(resource_slot[RES_SCLPIC], SCL_W, SCL_H, uint16_t(int32_t(a)), uint16_t(int32_t(b)),
                    FRAME_W, uint16_t(int32_t(160 - a / 2)), uint16_t(int32_t(199 - b)));
    run.pulse = run.pulse < 253 ? uint16_t(run.pulse + 3) : 0;
}

void tunnel_frame(TunnelRun& run) {
    draw_tunnel(run);
    smear_back();
    lift_dark_back();
    smear_back();
    blit_aligned(back_frame, resource_slot[RES_FRM1], 0, 0, 132, 144);
    blit_aligned(back_frame, resource_slot[RES_FRM2], 0, 144, 320, 56);
    blit_keyed_to_back(resource_slot[RES_FRM3], 132, 0, 52, 144);
    draw_breathing_picture(run);
    present_frame(back_frame);
    run.flow_u = uint8_t(run.flow_u + 4);
    run.flow_v = uint8_t(run.flow_v + 2);
}

void tunnel_phase(TunnelRun& run) {
    blank_screen(tunnel_palette);
    ++cue_index;
    run.flow_u = run.flow_v = 0;
    while (cue_running()) {
        tunnel_frame(run);
        pump_messages();
    }
}
