// Scene 10's dot trails: the dot indices, the outline placement and the dot stamps.
#include "scenes/scene10_trails.h"

#include "render/blobs.h"

namespace {

constexpr int CENTRE_X = 159, CENTRE_Y = 99;

void spread(uint16_t* dots, double step, int points) {
    double e = 0.0;
    for (int k = 0; k < TRAIL_DOTS; ++k) {
        dots[k] = uint16_t(e);  // truncates; e stays in 0..points-1
        e += step;
        // Fifty steps never come round the loop; were one to, it would wrap
        // rather than index past the outline.
        if (e >= points) e -= points;
    }
}

template <int N>
void place(const int16_t (&ox)[N], const int16_t (&oy)[N], double s, uint16_t* px, uint16_t* py) {
    for (int i = 0; i < N; ++i) {
        // double -> int truncates toward zero; the sum wraps into 16 bits.
        px[i] = uint16_t(CENTRE_X + int(s * ox[i]));
        py[i] = uint16_t(CENTRE_Y + int(s * oy[i]));
    }
}

}  // namespace

void fill_dot_indices(ClosingTrails& t) {
    spread(t.dots_a, 8.88, OUTLINE_A_POINTS);
    spread(t.dots_b, 9.38, OUTLINE_B_POINTS);
}

void advance_dots(ClosingTrails& t) {
    for (uint16_t& d : t.dots_a) d = d >= OUTLINE_A_POINTS - 1 ? 0 : uint16_t(d + 1);
    for (uint16_t& d : t.dots_b) d = d == 0 ? uint16_t(OUTLINE_B_POINTS - 1) : uint16_t(d - 1);
}

void place_outlines(ClosingTrails& t, double s) {
    place(outline_a_x, outline_a_y, s, t.path_a_x, t.path_a_y);
    place(outline_b_x, outline_b_y, s, t.path_b_x, t.path_b_y);
}

void draw_dots(const ClosingTrails& t, double s) {
    const uint8_t r = uint8_t(int(5.0 * s));
    for (uint16_t d : t.dots_a) add_dot(t.path_a_x[d], t.path_a_y[d], r);
    for (uint16_t d : t.dots_b) add_dot(t.path_b_x[d], t.path_b_y[d], r);
}
