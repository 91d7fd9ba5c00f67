// Scene 8's rasterisers against their plain, unclipped reading drawn on a canvas
// larger than the frame: the same pixels inside the frame and none outside it, for
// shapes inside, across and far beyond the frame's edges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "display/display.h"
#include "scenes/scene08_raster.h"

namespace {

// The frame sits at (OX, OY) inside the canvas; the plain reading draws anywhere on it.
constexpr int OX = 400, OY = 300, CW = FRAME_W + 2 * OX, CH = FRAME_H + 2 * OY;

struct Canvas {
    std::vector<uint8_t> px = std::vector<uint8_t>(size_t(CW) * CH, 7);
    void plot(int64_t x, int64_t y, uint8_t c) { px.at(size_t(y + OY) * CW + size_t(x + OX)) = c; }
    uint8_t at(int x, int y) const { return px[size_t(y + OY) * CW + size_t(x + OX)]; }
};

// The line read directly: no horizontal or vertical lines, Bresenham, both ends.
void ref_line(Canvas& cv, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    if (x0 == x1 || y0 == y1) return;
    const bool xmaj = std::abs(x1 - x0) >= std::abs(y1 - y0);
    int64_t u = xmaj ? x0 : y0, v = xmaj ? y0 : x0;
    const int64_t du = std::abs(xmaj ? x1 - x0 : y1 - y0), dv = std::abs(xmaj ? y1 - y0 : x1 - x0);
    const int su = (xmaj ? x1 > x0 : y1 > y0) ? 1 : -1, sv = (xmaj ? y1 > y0 : x1 > x0) ? 1 : -1;
    int64_t err = du >> 1;
    for (int64_t i = 0;; ++i, u += su) {
        cv.plot(xmaj ? u : v, xmaj ? v : u, 15);
        if (i == du) break;
        err += dv;
        if (err >= du) err -= du, v += sv;
    }
}

// The Gouraud triangle read directly: accumulators divided every row, edges
// continued one step along, the span's shade walked by its error term.
void ref_gouraud(Canvas& cv, const ScreenPoint p[3], const uint8_t sh[3]) {
    int top = p[1].y < p[0].y ? 1 : 0, bottom = p[1].y > p[0].y ? 1 : 0;
    if (p[2].y < p[top].y) top = 2;
    if (p[2].y > p[bottom].y) bottom = 2;
    struct Edge {
        int end;
        int64_t ox, os, dx, dy, ds, ax, as;
    };
    auto make = [&](int from, int to, int64_t k) {
        const int64_t dy = std::max<int64_t>(int64_t(p[to].y) - p[from].y, 1);
        const int64_t dx = int64_t(p[to].x) - p[from].x, ds = int64_t(sh[to]) - sh[from];
        return Edge{to, p[from].x, sh[from], dx, dy, ds, k * dx, k * ds};
    };
    Edge n = make(top, (top + 1) % 3, 0), e = make(top, (top + 2) % 3, 0);
    for (int64_t y = p[top].y; y <= p[bottom].y; ++y) {
        const int64_t xn = n.ox + n.ax / n.dy, xp = e.ox + e.ax / e.dy;
        uint8_t shade = uint8_t(n.os + n.as / n.dy);
        const uint8_t sp = uint8_t(e.os + e.as / e.dy);
        n.ax += n.dx, n.as += n.ds, e.ax += e.dx, e.as += e.ds;
        const int s = sp > shade ? 1 : -1;
        const int64_t len = xp - xn, d = std::abs(int(sp) - int(shade));
        int64_t err = d - (len >> 1);
        for (int64_t x = xn; x < xp; ++x, err += d) {
            cv.plot(x, y, shade);
            for (; err >= 0; err -= len) shade = uint8_t(shade + s);
        }
        if (y == p[e.end].y) e = make(e.end, n.end, 1);
        if (y == p[n.end].y) n = make(n.end, e.end, 1);
    }
}

class Raster : public ::testing::Test {
protected:
    // The frame under test lies between guard bands that nothing may touch.
    static constexpr size_t GUARD = 4096;
    std::vector<uint8_t> block_ = std::vector<uint8_t>(GUARD + FRAME_BYTES + GUARD, 7);
    uint8_t* frame_ = block_.data() + GUARD;
    std::mt19937 rng_{808};

    bool guards_intact() const {
        return std::all_of(block_.begin(), block_.begin() + GUARD, [](uint8_t b) { return b == 7; }) &&
               std::all_of(block_.end() - GUARD, block_.end(), [](uint8_t b) { return b == 7; });
    }
    ::testing::AssertionResult matches(const Canvas& cv) const {
        if (!guards_intact()) return ::testing::AssertionFailure() << "wrote outside the frame";
        for (int y = 0; y < FRAME_H; ++y)
            for (int x = 0; x < FRAME_W; ++x)
                if (frame_[y * FRAME_W + x] != cv.at(x, y))
                    return ::testing::AssertionFailure() << "pixel " << x << "," << y;
        return ::testing::AssertionSuccess();
    }
    int count_not(uint8_t v) const { return int(FRAME_BYTES - std::count(frame_, frame_ + FRAME_BYTES, v)); }
};

TEST_F(Raster, MatchThePlainReadingInsideAndAcrossTheFrame) {
    // Inside the frame, then reaching well past every edge; large and narrow
    // triangles, flat tops and bottoms, every shade wrap; long and short lines.
    for (int spread : {0, 1}) {
        std::uniform_int_distribution<int> xs(spread ? -390 : 0, spread ? FRAME_W + 390 : FRAME_W - 1),
            ys(spread ? -290 : 0, spread ? FRAME_H + 290 : FRAME_H - 1), small(-12, 12), shade(0, 255);
        for (int round = 0; round < 1200; ++round) {
            Canvas cv;
            memset(frame_, 7, FRAME_BYTES);
            ScreenPoint p[3];
            uint8_t s[3];
            for (int i = 0; i < 3; ++i) p[i] = {xs(rng_), ys(rng_)}, s[i] = uint8_t(shade(rng_));
            if (round % 3 == 1)
                for (int i : {1, 2}) p[i] = {p[0].x + small(rng_), p[0].y + small(rng_)};
            if (round % 7 == 2) p[1].y = p[0].y;
            if (round % 7 == 3) p[2].y = p[1].y;
            ref_gouraud(cv, p, s);
            gouraud_triangle(frame_, p, s);
            ref_line(cv, p[0].x, p[0].y, p[1].x, p[1].y);
            plot_line(frame_, p[0].x, p[0].y, p[1].x, p[1].y, 15);
            ASSERT_TRUE(matches(cv)) << "round " << round << " (" << p[0].x << "," << p[0].y << ") ("
                                     << p[1].x << "," << p[1].y << ") (" << p[2].x << "," << p[2].y << ")";
        }
    }
}

TEST_F(Raster, HostileCoordinatesWriteOnlyInsideTheFrame) {
    const int32_t lo = INT32_MIN, hi = INT32_MAX;
    const int32_t values[] = {lo, lo + 1, -1000000000, -70000, -1, 0, 199, 200, 319, 320, 1000000000, hi};
    std::uniform_int_distribution<int> pick(0, int(std::size(values)) - 1);
    for (int round = 0; round < 3000; ++round) {
        ScreenPoint p[3];
        for (ScreenPoint& q : p) q = {values[pick(rng_)], values[pick(rng_)]};
        const uint8_t s[3] = {uint8_t(round), uint8_t(round * 7), uint8_t(round * 13)};
        gouraud_triangle(frame_, p, s);
        outline_triangle(frame_, p);
        ASSERT_TRUE(guards_intact()) << "round " << round;
    }
    // Billions of pixels across, a triangle covers the frame in its one shade and
    // a diagonal of the whole 32-bit plane crosses it as x = y.
    const ScreenPoint big[3] = {{160, lo}, {lo + 1, hi}, {hi, hi}};
    const uint8_t same[3] = {90, 90, 90};
    gouraud_triangle(frame_, big, same);
    EXPECT_EQ(count_not(90), 0);
    plot_line(frame_, lo, lo, hi, hi, 15);
    for (int y = 0; y < FRAME_H; ++y) ASSERT_EQ(frame_[y * FRAME_W + y], 15) << y;
    EXPECT_EQ(count_not(90), FRAME_H);
}

TEST_F(Raster, WhatStaysEmpty) {
    memset(frame_, 0, FRAME_BYTES);
    const uint8_t s[3] = {40, 40, 40};
    const ScreenPoint empty_slot[3] = {{50, 60}, {50, 60}, {50, 60}};
    gouraud_triangle(frame_, empty_slot, s);
    // Wound so that edge N runs right of edge P: every row stays empty.
    const ScreenPoint n_right[3] = {{100, 20}, {150, 80}, {60, 90}};
    gouraud_triangle(frame_, n_right, s);
    // Horizontal and vertical lines draw not even their ends, so a wire right
    // triangle shows only its slanted edge.
    const ScreenPoint right_angle[3] = {{10, 10}, {90, 10}, {10, 90}};
    outline_triangle(frame_, right_angle);
    EXPECT_EQ(count_not(0), 81);
    EXPECT_EQ(frame_[10 * FRAME_W + 90], 15);
    EXPECT_EQ(frame_[90 * FRAME_W + 10], 15);
}

}  // namespace
