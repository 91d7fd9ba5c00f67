// How the textured flight reads on screen: the spread of brightness over the tube
// (the rows above the banner) from 65.0 s to 71.5 s, every 500 ms. A texture or
// palette whose bands the smoothing pass averages into one murky tone fails here.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "archive/resources.h"
#include "scene_fixture.h"
#include "scenes/scene05_textured_tube.h"
#include "scenes/timeline.h"

namespace {

using FlightLook = SceneTest;

// Standard deviation of Rec. 601 luma (0..1) over rows 0..last of what is shown.
double luma_spread(const HeadlessScreen& s, int last) {
    double sum = 0, squares = 0;
    const int n = (last + 1) * FRAME_W;
    for (int i = 0; i < n; ++i) {
        const uint32_t c = s.rgb[s.frame[i]];
        const double l = (0.299 * double(c >> 16 & 255) + 0.587 * double(c >> 8 & 255) + 0.114 * double(c & 255)) / 255.0;
        sum += l;
        squares += l * l;
    }
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

TEST_F(FlightLook, TheTubeHasLightAndDarkThroughTheFlight) {
    std::vector<double> spread;
    double next_ms = 65000;
    run_scene(5, [&](const HeadlessScreen& s) {
        const double show_ms = double(cue_table[10]) + headless_time_ms();  // the scene's clock began there
        if (show_ms < next_ms || next_ms > 71500) return;
        spread.push_back(luma_spread(s, 149));
        next_ms += 500;
    });
    ASSERT_EQ(spread.size(), 14u);
    std::sort(spread.begin(), spread.end());
    const double median = (spread[6] + spread[7]) / 2;
    RecordProperty("median_luma_spread", std::to_string(median));
    EXPECT_GE(median, 0.14);
    EXPECT_GE(spread.front(), 0.07);  // no stretch of the flight goes flat
}

// Over the same frames: the tube keeps off the fixed entries that would draw
// olive or green contours through its ramp (64, 124..131, 158..167, 199..203), and
// the banner's letters, averaged with whatever the tube shows, land on its creams.
TEST_F(FlightLook, TheTubeKeepsOffTheOliveEntriesAndTheBannerStaysCream) {
    const uint8_t* banner = resource_slot[RES_APSAVE];
    auto olive = [](uint8_t i) { return i == 64 || (i >= 124 && i <= 131) || (i >= 158 && i <= 167) || (i >= 199 && i <= 203); };
    long tube = 0, tube_olive = 0, letters = 0, letters_cream = 0;
    double next_ms = 65000;
    run_scene(5, [&](const HeadlessScreen& s) {
        const double show_ms = double(cue_table[10]) + headless_time_ms();
        if (show_ms < next_ms || next_ms > 71500) return;
        next_ms += 500;
        // Below the sprite and away from the frame's edge, where the border sinks it.
        for (int y = 75; y < APSAVE_Y; ++y)
            for (int x = 8; x < FRAME_W - 8; ++x, ++tube) tube_olive += olive(s.frame[y * FRAME_W + x]);
        for (int y = 0; y < APSAVE_H; ++y)
            for (int x = 0; x < APSAVE_W; ++x) {
                if (banner[y * APSAVE_W + x] < 128) continue;  // the glass
                const uint8_t shown = s.frame[(APSAVE_Y + y) * FRAME_W + x];
                ++letters;
                letters_cream += shown >= 132 && shown <= 157;
            }
    });
    ASSERT_GT(letters, 0);
    RecordProperty("olive_share", std::to_string(double(tube_olive) / double(tube)));
    RecordProperty("cream_share", std::to_string(double(letters_cream) / double(letters)));
    EXPECT_LE(double(tube_olive) / double(tube), 0.02);
    EXPECT_GE(double(letters_cream) / double(letters), 0.99);
}

// The craft slides along the frame's top row and comes to rest against its right
// edge: a craft drawn to the sprite's top rows or last columns shows cut off there.
TEST_F(FlightLook, TheCraftStandsClearOfTheFramesEdges) {
    const uint8_t* k1 = resource_slot[RES_K1];
    int top = K1_H, right = 0;
    for (int y = 0; y < K1_H; ++y)
        for (int x = 0; x < K1_W; ++x)
            if (k1[y * K1_W + x] != 0) {
                top = std::min(top, y);
                right = std::max(right, x);
            }
    EXPECT_GE(top, 4);
    EXPECT_LE(SLIDE_STOP + right, FRAME_W - 2);  // short of the smoothing's border column
}

}  // namespace
