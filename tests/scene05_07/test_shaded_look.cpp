// How the shaded tube reads on screen: its palette turns the distance into rings,
// so every jump of the camera moves them and the picture changes from one frame
// to the next; a palette that shades the distance in one dim ramp leaves a nearly
// still doughnut, and fails here.
#include <algorithm>
#include <cmath>
#include <vector>

#include "scenes/timeline.h"
#include "scene_fixture.h"

namespace {

using ShadedLook = SceneTest;

// Rec. 601 luma (0..1) of every pixel shown.
std::vector<double> lumas(const HeadlessScreen& s) {
    std::vector<double> l(FRAME_BYTES);
    for (int i = 0; i < FRAME_BYTES; ++i) {
        const uint32_t c = s.rgb[s.frame[i]];
        l[i] = (0.299 * double(c >> 16 & 255) + 0.587 * double(c >> 8 & 255) + 0.114 * double(c & 255)) / 255.0;
    }
    return l;
}

TEST_F(ShadedLook, TheRingsMoveFromFrameToFrame) {
    // Once a second from 83 s to 96 s, the mean change of luma to the next frame.
    std::vector<double> change;
    std::vector<double> previous;
    double next_ms = 83000;
    run_scene(7, [&](const HeadlessScreen& s) {
        const double show_ms = double(cue_table[16]) + headless_time_ms();
        if (!previous.empty()) {
            const std::vector<double> now = lumas(s);
            double sum = 0;
            for (int i = 0; i < FRAME_BYTES; ++i) sum += std::fabs(now[i] - previous[i]);
            change.push_back(sum / FRAME_BYTES);
            previous.clear();
        }
        if (show_ms >= next_ms && next_ms <= 96000) {
            previous = lumas(s);
            next_ms += 1000;
        }
    });
    ASSERT_EQ(change.size(), 14u);
    std::sort(change.begin(), change.end());
    RecordProperty("median_frame_change", std::to_string(change[7]));
    EXPECT_GE(change[7], 0.04);
}

}  // namespace
