// The radial tables, the sine and cosine tables, the allocation failure and the
// knot mesh.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <unistd.h>

#include "platform/headless.h"
#include "render/knot_mesh.h"
#include "render/tables.h"
#include "tests/render/render_fixture.h"

namespace {

class Tables : public RenderTest {};

uint8_t cone(int r, int c) { return cone_table[r * RADIAL_SIZE + c]; }
uint8_t dot(int r, int c) { return dot_table[r * RADIAL_SIZE + c]; }

TEST_F(Tables, ConeFallsOnePerPixel) {
    EXPECT_EQ(cone(256, 256), 255);
    EXPECT_EQ(cone(256 + 3, 256 + 4), 250);  // distance 5
    EXPECT_EQ(cone(256 - 4, 256 - 3), 250);
    EXPECT_EQ(cone(256, 256 + 254), 1);
    EXPECT_EQ(cone(256 + 254, 256), 1);
    EXPECT_EQ(cone(256, 256 + 255), 0);
    EXPECT_EQ(cone(256, 256 - 255), 0);
    EXPECT_EQ(cone(256 - 180, 256 - 180), 255 - 254);  // sqrt(64800) = 254.56
    for (int r : {0, 511})
        for (int c : {0, 511}) EXPECT_EQ(cone(r, c), 0);
}

TEST_F(Tables, DotFallsOnePerFourPixels) {
    EXPECT_EQ(dot(256, 256), 63);
    EXPECT_EQ(dot(256 + 2, 256 + 3), 63);  // distance 3.61
    EXPECT_EQ(dot(256 + 3, 256 + 2), 63);
    EXPECT_EQ(dot(256, 256 + 4), 62);
    EXPECT_EQ(dot(256, 256 - 251), 1);  // floor(62.75) = 62
    EXPECT_EQ(dot(256, 256 + 252), 0);
    EXPECT_EQ(dot(256 + 252, 256), 0);
    for (int r : {0, 511})
        for (int c : {0, 511}) EXPECT_EQ(dot(r, c), 0);
}

TEST_F(Tables, WholeTablesMatchTheirFormulas) {
    for (int r = 0; r < RADIAL_SIZE; ++r)
        for (int c = 0; c < RADIAL_SIZE; ++c) {
            const int sq = (c - 256) * (c - 256) + (r - 256) * (r - 256);
            int root = 0;  // exact integer square root, no floating point
            while ((root + 1) * (root + 1) <= sq) ++root;
            ASSERT_EQ(cone(r, c), std::max(0, 255 - root)) << r << "," << c;
            // floor(root / 4) of the real root equals floor of the integer root / 4.
            ASSERT_EQ(dot(r, c), std::max(0, 63 - root / 4)) << r << "," << c;
        }
}

TEST_F(Tables, SineStepIsPiOver127) {
    EXPECT_EQ(sin_table[0], 0.0);
    EXPECT_EQ(cos_table[0], 1.0);
    EXPECT_EQ(cos_table[254], 1.0);
    EXPECT_NEAR(sin_table[127], 0.0, 1e-15);
    EXPECT_NEAR(cos_table[127], -1.0, 1e-15);
    EXPECT_NEAR(sin_table[255], sin(M_PI / 127), 1e-15);  // one step past a full turn
}

// Fails the n-th allocation (1-based) and lets the earlier ones through.
int fail_at = 0, calls = 0;
void* failing_alloc(size_t n) { return ++calls == fail_at ? nullptr : malloc(n); }

TEST_F(Tables, AllocationFailureIsFatal) {
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EXIT(
            {
                headless_install(HeadlessConfig{});
                fail_at = n;
                table_allocator = failing_alloc;
                build_lookup_tables();
            },
            ::testing::ExitedWithCode(1),
            "Core Error: \\[RunC02\\] Unable to allocate the memory for internal LUTS\\.")
            << "allocation " << n;
    }
}

TEST_F(Tables, AllocationStopsAtTheFirstFailure) {
    // In a child: the second block fails, so the third and fourth are never asked.
    EXPECT_EXIT(
        {
            headless_install(HeadlessConfig{});
            fail_at = 2;
            calls = 0;
            table_allocator = [](size_t n) -> void* {
                ++calls;
                if (calls > 2) _exit(3);  // asked again after the failure
                return calls == 2 ? nullptr : malloc(n);
            };
            build_lookup_tables();
        },
        ::testing::ExitedWithCode(1), "RunC02");
}

class Knot : public RenderTest {};

TEST_F(Knot, FirstVertices) {
    EXPECT_EQ(knot_vertex_count, 500);
    EXPECT_EQ(knot_vertex[0].x, 50);
    EXPECT_EQ(knot_vertex[0].y, 25);
    EXPECT_EQ(knot_vertex[0].z, 75);
    EXPECT_EQ(knot_vertex[1].x, 64);
    EXPECT_EQ(knot_vertex[1].y, 21);
    EXPECT_EQ(knot_vertex[1].z, 70);
}

TEST_F(Knot, CoordinateRanges) {
    int lo[3] = {1000, 1000, 1000}, hi[3] = {-1000, -1000, -1000};
    for (const KnotVertex& v : knot_vertex) {
        const int c[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], c[i]);
            hi[i] = std::max(hi[i], c[i]);
        }
    }
    EXPECT_EQ(lo[0], -99);
    EXPECT_EQ(hi[0], 76);
    EXPECT_EQ(lo[1], -91);
    EXPECT_EQ(hi[1], 91);
    EXPECT_EQ(lo[2], -75);
    EXPECT_EQ(hi[2], 75);
}

TEST_F(Knot, RingPointsLieOnTheTube) {
    // Every vertex sits about 25 from its ring's centre on the curve (truncation
    // moves each coordinate by less than 1).
    for (int k = 0; k < KNOT_RINGS; ++k) {
        const double t = k * 2.0 * M_PI / 50;
        const double cx = 25 * sin(t) + 50 * cos(2 * t), cy = 25 * cos(t) + 50 * sin(2 * t),
                     cz = 50 * cos(3 * t);
        for (int j = 0; j < KNOT_RING_POINTS; ++j) {
            const KnotVertex& v = knot_vertex[10 * k + j];
            const double r = std::hypot(v.x - cx, v.y - cy, v.z - cz);
            EXPECT_NEAR(r, 25.0, 1.8) << k << "," << j;
        }
    }
}

TEST_F(Knot, QuadSlotsAndDrawOrder) {
    EXPECT_EQ(knot_quad[0][0], 0);
    EXPECT_EQ(knot_quad[0][1], 1);
    for (int q = 1; q < KNOT_QUADS; q += 2)
        for (int i = 0; i < 4; ++i) ASSERT_EQ(knot_quad[q][i], 0) << q;
    for (int i = 0; i < KNOT_QUADS; ++i) ASSERT_EQ(knot_draw_order[i], i);
}

TEST_F(Knot, StripsContinueFromTheNearestPoint) {
    auto d2 = [](int a, int b) {
        const KnotVertex &p = knot_vertex[a], &q = knot_vertex[b];
        return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z);
    };
    for (int k = 0; k < KNOT_RINGS; ++k) {
        const int b = 10 * k, next = (b + 10) % 500;
        // Alignment: slot b's fourth vertex is N(w), the nearest point to vertex b
        // (the first such on ties).
        const int w = knot_quad[b][3] - next;
        ASSERT_GE(w, 0);
        ASSERT_LT(w, 10);
        for (int j = 0; j < 10; ++j) {
            if (j < w) {
                ASSERT_GT(d2(b, next + j), d2(b, next + w)) << k;
            }
            if (j > w) {
                ASSERT_GE(d2(b, next + j), d2(b, next + w)) << k;
            }
        }
        for (int m = 0; m < 5; ++m) {
            const int32_t* q = knot_quad[b + 2 * m];
            EXPECT_EQ(q[0], b + 2 * m);
            EXPECT_EQ(q[1], b + 2 * m + 1);
            EXPECT_EQ(q[2], next + (w + 2 * m + 1) % 10);
            EXPECT_EQ(q[3], next + (w + 2 * m) % 10);
        }
    }
}

}  // namespace
