// Scene 5's two zoom mappings of back_frame onto screen_frame: the blending zoom
// into the previous scene's picture and the copying zoom out of the tube.
#include "display/display.h"
#include "scenes/scene05_textured_tube.h"

namespace {

constexpr int32_t LAST_BYTE = FRAME_BYTES - 1;

// The mapping's two halves in single precision, as zoom_source sums them: per
// column (x + a) * s, per row 320 * (floor(y * s) + a). A pixel's index is their
// float sum truncated; indices past the frame (only at a = 1, on row 199 and the
// end of row 198) are clamped to its last byte.
struct ZoomMap {
    float s, a;
    float column[FRAME_W];
    explicit ZoomMap(float a_) : s(1.0f / a_), a(a_) {
        for (int x = 0; x < FRAME_W; ++x) column[x] = (float(x) + a) * s;
    }
    // The row's source indices: one vector loop, so the gathers that follow run
    // without the conversions in between.
    void row(int y, int32_t* out) const {
        const float base = 320.0f * (float(int32_t(float(y) * s)) + a);
        for (int x = 0; x < FRAME_W; ++x) {
            const int32_t k = int32_t(base + column[x]);  // never negative: truncates down
            out[x] = k < LAST_BYTE ? k : LAST_BYTE;
        }
    }
};

template <class Mix>
inline void zoom(float a, Mix mix) {
    const ZoomMap map(a);
    int32_t index[FRAME_W];
    for (int y = 0; y < FRAME_H; ++y) {
        map.row(y, index);
        uint8_t* p = screen_frame + row_offset[y];
        for (int x = 0; x < FRAME_W; ++x) p[x] = mix(p[x], back_frame[index[x]]);
    }
}

}  // namespace

void zoom_blend(float a) {
    zoom(a, [](uint8_t p, uint8_t b) { return uint8_t((p + b) >> 1); });
}

void zoom_copy(float a) {
    zoom(a, [](uint8_t, uint8_t b) { return b; });
}
