// What scene 6 shows: the blend bar that follows the fresh word line, and the
// ghost it leaves once the line is only smudged, wear the background's colour;
// the lines smudged onto the background stay apart from it.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "archive/resources.h"
#include "scene_fixture.h"
#include "scenes/scene06_glow_cloud.h"
#include "scenes/timeline.h"

namespace {

using WordStackLook = SceneTest;

constexpr int ROWS[WORD_LINES] = {73, 94, 115, 136, 157};

// Rec. 601 luma (0..1) of a shown colour.
double luma(uint32_t c) {
    return (0.299 * double(c >> 16 & 255) + 0.587 * double(c >> 8 & 255) + 0.114 * double(c & 255)) / 255.0;
}

// Share of the pixels of line j's rectangle in columns [x0, x1) that show the colour c.
double share_showing(const HeadlessScreen& s, int j, int x0, int x1, uint32_t c) {
    int n = 0, same = 0;
    for (int y = ROWS[j]; y < ROWS[j] + WORD_LINE_H; ++y)
        for (int x = x0; x < x1; ++x, ++n) same += s.rgb[s.frame[y * FRAME_W + x]] == c;
    return double(same) / n;
}

TEST_F(WordStackLook, NoBarAcrossTheFrameAndEveryOlderLineShowsOverTheBackground) {
    // The frame before each phase ends, once every line of the phase is settled.
    std::vector<double> worst_bar(WORD_LINES, 1.0), line_ink(WORD_LINES, 0.0);
    int checked = 0;
    run_scene(6, [&](const HeadlessScreen& s) {
        const double show_ms = double(cue_table[11]) + headless_time_ms();
        const int phase = cue_index - 12;
        if (phase < 0 || phase >= WORD_LINES || show_ms + 2 * SHOW_FRAME_MS < double(cue_table[12 + phase])) return;
        if (show_ms > double(cue_table[12 + phase])) return;
        ++checked;
        const uint32_t background = s.rgb[CLOUD_BACKGROUND];
        for (int j = 0; j <= phase; ++j) {
            // Beside the words (every line is narrower than 200 pixels, centred).
            const double bar = (share_showing(s, j, 0, 50, background) + share_showing(s, j, 270, 320, background)) / 2;
            worst_bar[j] = std::min(worst_bar[j], bar);
        }
        // Under the words in the last phase, what is not the background: the ink.
        if (phase == WORD_LINES - 1)
            for (int j = 1; j < WORD_LINES; ++j) line_ink[j] = std::max(line_ink[j], 1.0 - share_showing(s, j, 110, 210, background));
    });
    EXPECT_GE(checked, WORD_LINES);
    for (int j = 0; j < WORD_LINES; ++j) EXPECT_GE(worst_bar[j], 0.85) << "line " << j;
    // Smudged onto the flat background, the lines 5, 10 and 15 steps up still differ
    // from it; the oldest at 17 steps is the background itself (floor(8 * 151 / 9) +
    // 17 = 151) and shows only where the cloud lies under it.
    for (int j = 1; j < WORD_LINES; ++j) EXPECT_GE(line_ink[j], 0.15) << "line " << j;
}

// The last frame of the scene, letter by letter: the fresh line shows a light
// face inside a black ring whatever lies under it (the teal, the cloud's rim or
// its core), and the lines smudged 5, 10 and 15 steps up keep most of their
// letters' pixels apart from the background, whether the background or the
// cloud lies under them.
TEST_F(WordStackLook, EveryLineButTheOldestKeepsItsLettersInTheLastFrame) {
    const ResourceId lines[WORD_LINES] = {RES_BLASM, RES_PURPLE, RES_FUDGE, RES_PRONE, RES_HYPE};
    HeadlessScreen last{};
    run_scene(6, [&](const HeadlessScreen& s) { last = s; });
    const uint32_t background = last.rgb[CLOUD_BACKGROUND];
    for (int j = 1; j < WORD_LINES; ++j) {
        const uint8_t* sprite = resource_slot[lines[j]];
        int letters = 0, apart = 0, face = 0, light_face = 0, ring = 0, dark_ring = 0;
        for (int y = 0; y < WORD_LINE_H; ++y)
            for (int x = 0; x < WORD_LINE_W; ++x) {
                const uint8_t byte = sprite[y * WORD_LINE_W + x];
                if (byte == 0) continue;
                const uint32_t c = last.rgb[last.frame[(ROWS[j] + y) * FRAME_W + x]];
                ++letters;
                apart += c != background;
                // The face's bytes are small (they average with the frame to the
                // face's entries), the ring's large (to black).
                if (byte < 128) {
                    ++face;
                    light_face += luma(c) >= 0.75;
                } else {
                    ++ring;
                    dark_ring += luma(c) <= 0.1;
                }
            }
        ASSERT_GT(letters, 0) << "line " << j;
        if (j == WORD_LINES - 1) {
            ASSERT_GT(face, 0);
            ASSERT_GT(ring, 0);
            RecordProperty("fresh_face_light_share", std::to_string(double(light_face) / face));
            EXPECT_GE(double(light_face) / face, 0.9) << "fresh line's face";
            EXPECT_GE(double(dark_ring) / ring, 0.9) << "fresh line's ring";
        } else {
            EXPECT_GE(double(apart) / letters, 0.75) << "line " << j;
        }
    }
}

}  // namespace
