// Disc stamps: the half-width table, the row shapes of the cloud's radii, the edge
// rule, small and degenerate radii, and the row fill against the octant walk.
#include <cmath>
#include <cstring>
#include <vector>

#include "reference.h"
#include "render/blit.h"
#include "scene_fixture.h"

namespace {

using Disc = SceneTest;

// Half-width of each row away from the centre, -1 for a row with nothing drawn.
// Also checks that every row is one symmetric run, so the count says it all.
std::vector<int> row_half_widths(const uint8_t* f, int x, int y, int rows) {
    std::vector<int> out;
    for (int j = 0; j < rows; ++j) {
        int h = -1;
        while (h + 1 < 160 && f[(y + j) * FRAME_W + x + h + 1] == DISC_INDEX) ++h;
        for (int c = 0; c < FRAME_W; ++c) {
            const bool inside = std::abs(c - x) <= h;
            EXPECT_EQ(f[(y + j) * FRAME_W + c] == DISC_INDEX, inside) << "row " << j << " col " << c;
            EXPECT_EQ(f[(y - j) * FRAME_W + c], f[(y + j) * FRAME_W + c]) << "row " << j << " col " << c;
        }
        out.push_back(h);
    }
    return out;
}

TEST_F(Disc, HalfWidthTableIsTheFloorOfTheExactRoot) {
    EXPECT_EQ(disc_half_width[0], 65536u);
    EXPECT_EQ(disc_half_width[512], 56755u);
    EXPECT_EQ(disc_half_width[1023], 2895u);
    for (int m = 0; m < DISC_TABLE_SIZE; ++m) {
        const long double root = 65536.0L * std::sqrt(1.0L - (m / 1024.0L) * (m / 1024.0L));
        ASSERT_EQ(disc_half_width[m], uint32_t(std::floor(root))) << m;
    }
}

TEST_F(Disc, CloudRadiiHaveTheirRowShapes) {
    const std::vector<std::vector<int>> expect = {
        {5, 5, 5, 5, 4, 3},
        {6, 6, 6, 6, 5, 4, 3},
        {7, 7, 7, 7, 6, 6, 5, 3},
        {8, 8, 8, 8, 8, 7, 6, 5, 4},
    };
    for (int a = 6; a <= 9; ++a) {
        fill_frame(screen_frame, 32);
        fill_disc(100, 100, a);
        EXPECT_EQ(row_half_widths(screen_frame, 100, 100, a + 1),
                  [&] { auto e = expect[a - 6]; e.push_back(-1); return e; }())
            << "a = " << a;
    }
}

TEST_F(Disc, SmallAndDegenerateRadii) {
    // a <= 0 draws nothing (and divides by nothing); 1 and 2 stop at the table's end
    // instead of reading past it: one pixel, then a 3x3 block.
    for (int a : {0, -1, -300}) {
        fill_frame(screen_frame, 32);
        fill_disc(100, 100, a);
        for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], 32) << "a = " << a;
    }
    fill_frame(screen_frame, 32);
    fill_disc(100, 100, 1);
    EXPECT_EQ(row_half_widths(screen_frame, 100, 100, 2), (std::vector<int>{0, -1}));
    fill_frame(screen_frame, 32);
    fill_disc(100, 100, 2);
    EXPECT_EQ(row_half_widths(screen_frame, 100, 100, 3), (std::vector<int>{1, 1, -1}));
}

TEST_F(Disc, ABoxTouchingAnEdgeIsNotDrawnAtAll) {
    struct Case {
        int32_t x, y, a;
        bool drawn;
    };
    const Case cases[] = {
        {9, 100, 9, true},     {8, 100, 9, false},   {310, 100, 9, true},  {311, 100, 9, false},
        {100, 9, 9, true},     {100, 8, 9, false},   {100, 190, 9, true},  {100, 191, 9, false},
        {6, 6, 6, true},       {313, 193, 6, true},  {314, 193, 6, false}, {159, 100, 159, false},
        {INT32_MAX, 100, 9, false}, {INT32_MIN, 100, 9, false}, {100, INT32_MAX, 9, false},
        {100, INT32_MIN, 9, false}, {160, 100, INT32_MAX, false},
    };
    for (const Case& c : cases) {
        fill_frame(screen_frame, 32);
        fill_disc(c.x, c.y, c.a);
        int written = 0;
        for (int i = 0; i < FRAME_BYTES; ++i) written += screen_frame[i] != 32;
        EXPECT_EQ(written > 0, c.drawn) << c.x << ", " << c.y << ", " << c.a;
    }
}

TEST_F(Disc, RowFillMatchesTheOctantWalk) {
    std::vector<uint8_t> expect(FRAME_BYTES);
    for (int32_t a = 1; a <= 99; ++a)
        for (int32_t x : {a, 160, 319 - a})
            for (int32_t y : {a, 100, 199 - a}) {
                fill_frame(screen_frame, 32);
                std::memset(expect.data(), 32, expect.size());
                fill_disc(x, y, a);
                reference_fill_disc(expect.data(), x, y, a);
                ASSERT_EQ(std::memcmp(screen_frame, expect.data(), FRAME_BYTES), 0)
                    << "a = " << a << " at " << x << ", " << y;
            }
}

}  // namespace
