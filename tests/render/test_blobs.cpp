// The blob stamps: the small-radius sample grid, the box test, the ceilings and the
// samples that reach past the frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/blobs.h"
#include "render/tables.h"
#include "render/blit.h"
#include "tests/render/render_fixture.h"

namespace {

class Blobs : public RenderTest {};

// The stamp as described, with the samples that would leave the frame on the right
// or at the bottom dropped.
void reference_stamp(uint8_t* f, const uint8_t* table, int shift, int cap, int x, int y, int d) {
    if (d == 0 || x - d < 0 || x + d > 319 || y - d < 0 || y + d > 199) return;
    const int e = 255 / d;
    for (int tr = 0, r = y - d; tr < 512; tr += e, ++r)
        for (int tc = 0, c = x - d; tc < 512; tc += e, ++c) {
            if (c > 319 || r > 199) continue;
            const int t = table[tr * 512 + tc];
            if (t != 0) f[r * 320 + c] = uint8_t(std::min(f[r * 320 + c] + (t >> shift), cap));
        }
}

TEST_F(Blobs, RadiusOneTouchesThreePixels) {
    fill_frame(screen_frame, 10);
    add_glow(100, 50, 1);
    EXPECT_EQ(px(screen_frame, 100, 50), 190);  // 10 + 254, capped
    EXPECT_EQ(px(screen_frame, 101, 50), 11);
    EXPECT_EQ(px(screen_frame, 100, 51), 11);
    int changed = 0;
    for (int i = 0; i < FRAME_BYTES; ++i) changed += screen_frame[i] != 10;
    EXPECT_EQ(changed, 3);
}

TEST_F(Blobs, BoxOutsideTheFrameIsSkipped) {
    fill_frame(screen_frame, 10);
    add_glow(4, 100, 5);        // x - d < 0
    add_glow(315, 100, 5);      // x + d > 319
    add_glow(100, 4, 5);        // y - d < 0
    add_dot(100, 195, 5);       // y + d > 199
    add_glow_quarter(65535, 100, 5);  // a negative position passed as unsigned
    add_glow(100, 100, 0);      // radius 0
    add_dot(100, 100, 0);
    for (int i = 0; i < FRAME_BYTES; ++i) ASSERT_EQ(screen_frame[i], 10);
    add_glow(5, 5, 5);  // touching the edges is allowed
    EXPECT_NE(px(screen_frame, 5, 5), 10);
}

TEST_F(Blobs, CeilingsAndQuarterValues) {
    fill_frame(screen_frame, 250);
    add_glow(100, 100, 20);  // every non-zero sample caps the pixel at 190
    EXPECT_EQ(px(screen_frame, 100, 100), 190);
    EXPECT_EQ(px(screen_frame, 0, 0), 250);
    fill_frame(screen_frame, 200);
    add_glow_quarter(100, 100, 40);  // even samples that shift to 0 cap at 190
    int at_cap = 0;
    for (int i = 0; i < FRAME_BYTES; ++i) at_cap += screen_frame[i] == 190;
    EXPECT_GT(at_cap, 0);
    fill_frame(screen_frame, 250);
    add_dot(100, 100, 20);
    EXPECT_EQ(px(screen_frame, 100, 100), 255);  // dots cap at 255
    fill_frame(screen_frame, 0);
    add_glow_quarter(100, 100, 1);
    EXPECT_EQ(px(screen_frame, 100, 100), 254 >> 2);
}

TEST_F(Blobs, AllRadiiMatchTheReference) {
    const int spots[3][2] = {{100, 99}, {160, 100}, {319, 199}};
    for (int d = 1; d <= 100; ++d)
        for (const auto& spot : spots)
        for (int kind = 0; kind < 3; ++kind) {
            const int x = spot[0] - (spot[0] == 319 ? d : 0), y = spot[1] - (spot[1] == 199 ? d : 0);
            noise(screen_frame, FRAME_BYTES);
            auto expect = frame_copy(screen_frame);
            if (kind == 0) {
                add_glow(uint16_t(x), uint16_t(y), uint8_t(d));
                reference_stamp(expect.data(), cone_table, 0, 190, x, y, d);
            } else if (kind == 1) {
                add_glow_quarter(uint16_t(x), uint16_t(y), uint8_t(d));
                reference_stamp(expect.data(), cone_table, 2, 190, x, y, d);
            } else {
                add_dot(uint16_t(x), uint16_t(y), uint8_t(d));
                reference_stamp(expect.data(), dot_table, 0, 255, x, y, d);
            }
            ASSERT_EQ(frame_copy(screen_frame), expect) << "d " << d << " kind " << kind << " at " << x << "," << y;
        }
}

TEST_F(Blobs, SamplesPastTheRightAndBottomEdgeAreDropped) {
    // d = 16: e = 15, so the stamp is 35 samples wide, two more than the box; the
    // last two columns (table columns 495 and 510) are non-zero on the centre row.
    fill_frame(screen_frame, 0);
    add_glow(319 - 16, 199 - 16, 16);
    // Nothing wrapped into the next row's start: column 0 of the centre row and of
    // the row below the centre row stay clear.
    const int centre_row = 199 - 32 + 256 / 15;
    EXPECT_EQ(px(screen_frame, 0, centre_row), 0);
    EXPECT_EQ(px(screen_frame, 0, centre_row + 1), 0);
    EXPECT_GT(px(screen_frame, 319, centre_row), 0);
    // The same stamp away from the edges does reach two columns past the box.
    fill_frame(screen_frame, 0);
    add_glow(100, 100, 16);
    EXPECT_GT(px(screen_frame, 100 + 16 + 2, 100 - 16 + 256 / 15), 0);
    // In the bottom-right corner with the largest box that fits: the sanitizer sees
    // any write past the 64000 bytes.
    for (int d = 1; d <= 99; ++d) {
        add_glow(uint16_t(319 - d), uint16_t(199 - d), uint8_t(d));
        add_dot(uint16_t(319 - d), uint16_t(199 - d), uint8_t(d));
    }
}

}  // namespace
