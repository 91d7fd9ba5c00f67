// The hand-laid paths: closed 8-connected loops with their stated bounds, starts,
// ends and waypoints.
#include <gtest/gtest.h>

#include <cstdlib>

#include "scenes/closing_outlines.h"
#include "scenes/logo_path.h"

namespace {

struct Box {
    int x0, x1, y0, y1;
};

template <typename T>
void expect_closed_loop(const T* x, const T* y, int n, Box box, int sx, int sy, int ex, int ey) {
    EXPECT_EQ(x[0], sx);
    EXPECT_EQ(y[0], sy);
    EXPECT_EQ(x[n - 1], ex);
    EXPECT_EQ(y[n - 1], ey);
    int min_x = 1 << 30, max_x = -(1 << 30), min_y = 1 << 30, max_y = -(1 << 30);
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;  // the last point steps back to the first
        const int dx = std::abs(int(x[j]) - int(x[i])), dy = std::abs(int(y[j]) - int(y[i]));
        EXPECT_TRUE(dx <= 1 && dy <= 1 && dx + dy > 0) << "step " << i << " -> " << j;
        min_x = std::min(min_x, int(x[i]));
        max_x = std::max(max_x, int(x[i]));
        min_y = std::min(min_y, int(y[i]));
        max_y = std::max(max_y, int(y[i]));
    }
    EXPECT_EQ(min_x, box.x0);
    EXPECT_EQ(max_x, box.x1);
    EXPECT_EQ(min_y, box.y0);
    EXPECT_EQ(max_y, box.y1);
}

template <typename T>
bool passes(const T* x, const T* y, int n, int px, int py) {
    for (int i = 0; i < n; ++i)
        if (x[i] == px && y[i] == py) return true;
    return false;
}

TEST(LogoPath, LoopAroundTheLogoBand) {
    expect_closed_loop(path_x, path_y, LOGO_PATH_POINTS, {50, 271, 95, 116}, 136, 95, 135, 95);
    EXPECT_TRUE(passes(path_x, path_y, LOGO_PATH_POINTS, 271, 108));
    EXPECT_TRUE(passes(path_x, path_y, LOGO_PATH_POINTS, 50, 106));
    // First step goes right, so the loop runs clockwise from the top edge.
    EXPECT_EQ(path_x[1], 137);
}

TEST(LogoPath, TailIsZero) {
    for (int i = LOGO_PATH_POINTS; i < LOGO_PATH_ENTRIES; ++i) {
        EXPECT_EQ(path_x[i], 0) << i;
        EXPECT_EQ(path_y[i], 0) << i;
    }
}

TEST(ClosingOutlines, OutlineA) {
    expect_closed_loop(outline_a_x, outline_a_y, OUTLINE_A_POINTS, {-104, -10, -55, 56}, -60, -11,
                       -61, -10);
}

TEST(ClosingOutlines, OutlineB) {
    expect_closed_loop(outline_b_x, outline_b_y, OUTLINE_B_POINTS, {13, 114, -55, 94}, 13, -9, 13,
                       -8);
}

}  // namespace
