// How the textured flight reads on screen: the spread of brightness over the tube
// (the rows above the banner) from 65.0 s to 71.5 s, every 500 ms. A texture or
// palette whose bands the smoothing pass averages into one murky tone fails here.
#include <algorithm>
#include <cmath>
#include <vector>

#include "scene_fixture.h"
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

}  // namespace
