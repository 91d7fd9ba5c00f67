// Scene 8's line, wire triangle and Gouraud triangle. Every truncating ratio
// (edge x and shade per row, line minor axis, span shade) is stepped as a quotient
// and a remainder: two additions per step, a division only where it starts, and
// no product that can overflow whatever the 32-bit coordinates. Rows, spans and line points outside
// the frame are skipped in closed form, so a far-off triangle costs no more than a
// near one and lands the same pixels inside the frame as the unclipped walk.
#include "scenes/scene08_raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "display/display.h"

namespace {

// Wide enough for any product of two differences of 32-bit coordinates.
using wide = __int128;

// trunc(k * delta / den) for a step count k that grows by one per step, held as
// quotient q and remainder r. Truncation toward zero gives r the sign of delta.
struct Ratio {
    int64_t q = 0, r = 0;
    int64_t delta = 0, den = 1, step_q = 0, step_r = 0;

    // k is 0 or 1: an edge starts at its origin or one step along.
    void start(int64_t d, int64_t n, int64_t k) {
        delta = d;
        den = n;
        step_q = d / n;
        step_r = d % n;
        q = k ? step_q : 0;
        r = k ? step_r : 0;
    }
    // Jumps to step k; k times delta may need more than 64 bits.
    void seek(int64_t k) {
        const wide v = wide(k) * delta;
        q = int64_t(v / den);
        r = int64_t(v % den);
    }
    void step() {
        q += step_q;
        r += step_r;
        if (r >= den) {
            ++q;
            r -= den;
        } else if (r <= -den) {
            --q;
            r += den;
        }
    }
};

// One edge of the scan: at k steps from its origin, x = origin x + trunc(k dx / dy)
// and shade = (origin shade + trunc(k dshade / dy)) mod 256, dy 0 counting as 1.
struct Edge {
    int end = 0;  // index of the point the edge runs to
    int64_t k = 0;
    int64_t x0 = 0, s0 = 0;
    Ratio x, s;

    void start(const ScreenPoint* p, const uint8_t* shade, int from, int to, int64_t first_step) {
        end = to;
        k = first_step;
        x0 = p[from].x;
        s0 = shade[from];
        int64_t dy = int64_t(p[to].y) - p[from].y;
        if (dy == 0) dy = 1;  // never negative: every end lies at or below the row it starts on
        x.start(int64_t(p[to].x) - p[from].x, dy, k);
        s.start(int64_t(shade[to]) - shade[from], dy, k);
    }
    int64_t x_now() const { return x0 + x.q; }
    uint8_t shade_now() const { return uint8_t(s0 + s.q); }  // wraps modulo 256
    void step() {
        ++k;
        x.step();
        s.step();
    }
    void skip(int64_t rows) {
        k += rows;
        x.seek(k);
        s.seek(k);
    }
};

// Row y from xn up to xp - 1 (xn < xp), columns outside the frame left out. Pixel
// k of the span has shade sn + s * m(k) (mod 256), where the error walk gives
// m(0) = 0 and m(k) = floor((e0 + len + (k - 1) D) / len) for k >= 1, with
// e0 = D - (len >> 1): the count of shade steps the error term has taken by then.
void fill_span(uint8_t* target, int64_t y, int64_t xn, int64_t xp, uint8_t sn, uint8_t sp) {
    const int64_t len = xp - xn;
    const int64_t first = std::max<int64_t>(0, -xn);
    const int64_t last = std::min<int64_t>(len - 1, FRAME_W - 1 - xn);
    if (first > last) return;
    const int s = sp > sn ? 1 : -1;
    const int64_t d = std::abs(int(sp) - int(sn));
    const int64_t e0 = d - (len >> 1);

    uint8_t* out = target + row_offset[y] + (xn + first);
    int64_t count = last - first + 1;
    if (d == 0) {  // one shade across
        memset(out, sn, size_t(count));
        return;
    }
    int64_t k = first;
    if (k == 0) {
        *out++ = sn;
        ++k;
        --count;
    }
    if (count == 0) return;
    // Shade and remainder at pixel k, and the whole and partial steps per pixel. An
    // unclipped span whose shade changes by less than its length (the usual case)
    // needs no division: its numerator len + D - (len >> 1) lies below 2 len.
    int64_t num = e0 + len + (k - 1) * d;
    int64_t whole_steps = 0, part = d;
    uint8_t shade;
    if (k == 1 && d < len) {
        const bool up = num >= len;
        shade = uint8_t(sn + (up ? s : 0));
        num -= up ? len : 0;
    } else {
        shade = uint8_t(sn + s * (num / len));
        num %= len;
        whole_steps = d / len;
        part = d % len;
    }
    int64_t rem = num;
    const uint8_t whole = uint8_t(s * whole_steps);
    const uint8_t carry = uint8_t(s);
    for (uint8_t* end = out + count; out != end; ++out) {
        *out = shade;
        rem += part;
        const bool over = rem >= len;
        rem -= over ? len : 0;
        shade = uint8_t(shade + whole + (over ? carry : 0));
    }
}

// The Bresenham walk along its major axis u (length dmaj) with the minor axis v
// stepping by sv: point i (0..dmaj) sits at u0 + su i, v0 + sv floor((h + i dmin)
// / dmaj) with h = dmaj >> 1. Only the points whose u falls inside the frame are
// walked (at most a row's or a column's worth), starting from the closed form.
template <bool XMajor>
void walk_line(uint8_t* target, int64_t u0, int64_t v0, int su, int sv, int64_t dmaj, int64_t dmin, uint8_t colour) {
    constexpr int64_t u_size = XMajor ? FRAME_W : FRAME_H;
    constexpr int64_t v_size = XMajor ? FRAME_H : FRAME_W;
    int64_t lo = su > 0 ? -u0 : u0 - (u_size - 1);
    int64_t hi = su > 0 ? u_size - 1 - u0 : u0;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min(hi, dmaj);
    if (lo > hi) return;
    int64_t v = v0, err = dmaj >> 1;
    if (lo > 0) {
        const wide acc = wide(err) + wide(lo) * dmin;
        v += sv * int64_t(acc / dmaj);
        err = int64_t(acc % dmaj);
    }
    int64_t u = u0 + su * lo;
    for (int64_t i = lo;; ++i) {
        if (v >= 0 && v < v_size) {
            if constexpr (XMajor) target[row_offset[v] + u] = colour;
            else target[row_offset[u] + v] = colour;
        }
        if (i == hi) break;
        err += dmin;
        if (err >= dmaj) {
            err -= dmaj;
            v += sv;
        }
        u += su;
    }
}

}  // namespace

void plot_line(uint8_t* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour) {
    if (x0 == x1 || y0 == y1) return;
    const int64_t adx = std::abs(int64_t(x1) - x0), ady = std::abs(int64_t(y1) - y0);
    const int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
    if (adx >= ady) walk_line<true>(target, x0, y0, sx, sy, adx, ady, colour);
    else walk_line<false>(target, y0, x0, sy, sx, ady, adx, colour);
}

void outline_triangle(uint8_t* target, const ScreenPoint points[3]) {
    plot_line(target, points[0].x, points[0].y, points[1].x, points[1].y, OUTLINE_COLOUR);
    plot_line(target, points[1].x, points[1].y, points[2].x, points[2].y, OUTLINE_COLOUR);
    plot_line(target, points[2].x, points[2].y, points[0].x, points[0].y, OUTLINE_COLOUR);
}

void gouraud_triangle(uint8_t* target, const ScreenPoint points[3], const uint8_t shades[3]) {
    const ScreenPoint* p = points;
    int top = p[1].y < p[0].y ? 1 : 0;
    if (p[2].y < p[top].y) top = 2;
    int bottom = p[1].y > p[0].y ? 1 : 0;
    if (p[2].y > p[bottom].y) bottom = 2;
    // One row is the top row alone, and the top row is always empty (both edges
    // start at the top point), so flat triangles and empty quad slots end here.
    if (p[bottom].y == p[top].y || p[bottom].y < 0 || p[top].y >= FRAME_H) return;

    Edge n, e;  // edges N and P
    n.start(p, shades, top, (top + 1) % 3, 0);
    e.start(p, shades, top, (top + 2) % 3, 0);
    const int64_t y_last = std::min<int64_t>(p[bottom].y, FRAME_H - 1);
    for (int64_t y = p[top].y; y <= y_last; ++y) {
        if (y < 0) {
            // Nothing is drawn above the frame: go straight on to row 0, or to the
            // next row where an edge ends and continues, whichever comes first.
            int64_t to = 0;
            if (p[e.end].y >= y) to = std::min<int64_t>(to, p[e.end].y);
            if (p[n.end].y >= y) to = std::min<int64_t>(to, p[n.end].y);
            if (to > y) {
                n.skip(to - y);
                e.skip(to - y);
                y = to;
            }
        }
        const int64_t xn = n.x_now(), xp = e.x_now();
        const uint8_t sn = n.shade_now(), sp = e.shade_now();
        n.step();
        e.step();
        if (y >= 0 && xn < xp) fill_span(target, y, xn, xp, sn, sp);
        // A continuing edge starts one step along, not at its new origin.
        if (y == p[e.end].y) e.start(p, shades, e.end, n.end, 1);
        if (y == p[n.end].y) n.start(p, shades, n.end, e.end, 1);
    }
}
