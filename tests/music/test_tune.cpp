// The composer's pieces on small hand-made inputs: the score's notation and its
// mistakes, row timing through tempo, speed and pattern delay, the expression
// count the report prints, channel solos that keep the song's time, and the tempo
// fitting that lands a hit on an awkward time at every rate.
#include <gtest/gtest.h>

#include <cmath>

#include "arrange.h"
#include "playtime.h"
#include "score.h"

namespace {

std::string parse_error(const std::string& text) {
    tune::Score score;
    std::string error;
    return tune::parse_score(text, &score, &error) ? "" : error;
}

TEST(TuneScore, ReadsSlidesSwingHitsRingAndPartOptions) {
    const std::string text =
        "groove g\n  swing 2\n  snare ....x...x...rrrr\n"
        "melody m\n  E5:4 /G5:4 ~:8 |\n"
        "section s beats 8 ends 4.5 ring yes\n"
        "  chords Am:4 E7:4\n  hit bell 1.25 3.5\n  drums g until 4 vol 40\n  lead m double -1\n";
    tune::Score score;
    std::string error;
    ASSERT_TRUE(tune::parse_score(text, &score, &error)) << error;
    EXPECT_EQ(score.grooves["g"].swing, 2);
    const auto& m = score.melodies["m"];
    ASSERT_EQ(m.size(), 3u);
    EXPECT_FALSE(m[0].slide);
    EXPECT_TRUE(m[1].slide);
    EXPECT_EQ(m[1].pitch, 5 * 12 + 7);
    const tune::Section& s = score.sections[0];
    EXPECT_TRUE(s.ring);
    ASSERT_EQ(s.hits.size(), 2u);
    EXPECT_EQ(s.hits[1].instrument, "bell");
    EXPECT_DOUBLE_EQ(s.hits[1].at, 3.5);
    EXPECT_EQ(s.parts.at("drums").until_beat, 4);
    EXPECT_EQ(s.parts.at("drums").volume, 40);
    EXPECT_EQ(s.parts.at("lead").doubled, -1);
}

TEST(TuneScore, MistakesNameTheirLine) {
    EXPECT_EQ(parse_error("groove g\n  swing 4\n"), "line 2: swing is 0 to 3 ticks");
    EXPECT_EQ(parse_error("groove g\n  kick X..q............\n"), "line 2: bad step");
    EXPECT_EQ(parse_error("section s beats 4 ends 2\n  hit crash\n"), "line 2: hit wants an instrument and times");
    EXPECT_EQ(parse_error("section s beats 4 ends 2\n  hit crash soon\n"), "line 2: bad hit time soon");
    EXPECT_EQ(parse_error("section s beats 4 ends 2 ring maybe\n"), "line 1: ring is yes or no");
    EXPECT_EQ(parse_error("section s beats 4 ends 2\n  lead m double 3\n"), "line 2: bad lead line");
    EXPECT_EQ(parse_error("melody m\n  /r:4\n"), "line 2: bad note /r:4");
}

TEST(TuneArrange, AHitOutsideItsSectionOrTwoOnOneRowAreRefused) {
    auto arrange_error = [](const std::string& text) {
        tune::Score score;
        std::string error;
        EXPECT_TRUE(tune::parse_score(text, &score, &error)) << error;
        xm::Module module;
        std::vector<tune::SectionTiming> timing;
        return tune::arrange(score, &module, &timing, &error) ? "" : error;
    };
    EXPECT_EQ(arrange_error("section s beats 8 ends 4\n  hit crash 4.5\n"), "section s: a hit outside the section");
    EXPECT_EQ(arrange_error("section s beats 8 ends 4\n  hit crash 2.0 2.01\n"), "section s: two hits on one row");
    EXPECT_EQ(arrange_error("section s beats 8 ends 4\n  hit gong 2.0\n"), "section s: unknown hit gong");
}

TEST(TuneArrange, AHitOnAnAwkwardTimeLandsAtEveryRate) {
    tune::Score score;
    std::string error;
    ASSERT_TRUE(tune::parse_score("section a beats 16 ends 7.77\n  hit crash 1.234 5.001\n"
                                  "section b beats 9 ends 12.345\n",
                                  &score, &error));
    xm::Module module;
    std::vector<tune::SectionTiming> timing;
    ASSERT_TRUE(tune::arrange(score, &module, &timing, &error)) << error;
    const double limits[4] = {0.010, 0.010, 0.025, 0.025};
    for (int k = 0; k < 4; ++k) {
        const int rate = tune::mix_rates[k];
        const auto starts = tune::row_starts(module, rate);
        for (const tune::Hit& h : timing[0].hits)
            EXPECT_NEAR(double(tune::frame_of(starts, h.order, h.row)) / rate, h.at_s, limits[k]) << rate;
        EXPECT_NEAR(double(tune::frame_of(starts, timing[1].first_order, 0)) / rate, 7.77, limits[k]) << rate;
        EXPECT_NEAR(double(starts.back().frame) / rate, 12.345, limits[k]) << rate;
    }
}

// A one-pattern, one-channel module of these cells.
xm::Module module_of(const std::vector<xm::Cell>& cells) {
    xm::Module m;
    m.channels = 1;
    m.speed = 6;
    m.bpm = 125;
    xm::Pattern p;
    p.rows = int(cells.size());
    p.cells = cells;
    m.patterns = {p};
    m.orders = {0, 0};
    return m;
}

TEST(TunePlaytime, RowsFollowTempoSpeedAndPatternDelay) {
    // A tick at 125 BPM is 882 frames at 44.1 kHz, 960 at 48 kHz, 220 (truncated
    // from 220.5) at 11.025 kHz.
    EXPECT_EQ(tune::tick_frames(44100, 125), 882);
    EXPECT_EQ(tune::tick_frames(48000, 125), 960);
    EXPECT_EQ(tune::tick_frames(11025, 125), 220);
    EXPECT_EQ(tune::tick_frames(22050, 111), 496);  // 496.6, truncated
    const xm::Module m = module_of({{0, 0, 0, 0xF, 3},      // speed 3
                                    {0, 0, 0, 0xF, 250},    // 250 BPM: 441 frames a tick
                                    {0, 0, 0, 0xE, 0xE2},   // the row played three times
                                    {}});
    const auto starts = tune::row_starts(m, 44100);
    ASSERT_EQ(starts.size(), 9u);
    EXPECT_EQ(starts[1].frame, 3 * 882);
    EXPECT_EQ(starts[2].frame, 3 * 882 + 3 * 441);
    EXPECT_EQ(starts[3].frame, 3 * 882 + 3 * 441 + 9 * 441);
    EXPECT_EQ(starts[4].order, 1);  // the order list plays the pattern again
    EXPECT_EQ(tune::frame_of(starts, 1, 0), starts[3].frame + 3 * 441);
    EXPECT_EQ(tune::frame_of(starts, 2, 0), starts.back().frame);  // the end
    EXPECT_EQ(tune::frame_of(starts, 3, 0), -1);
}

TEST(TunePlaytime, ExpressionCountsTrackerGesturesOnly) {
    const xm::Module m = module_of({
        {49, 1, 0x30, 0x0, 0x37},  // arpeggio; a set volume is no gesture
        {0, 0, 0, 0x0, 0x00},      // an empty effect
        {0, 0, 0x61, 0x4, 0x44},   // volume slide down and vibrato: two
        {0, 0, 0, 0xF, 0x7D},      // tempo
        {0, 0, 0, 0x8, 0x80},      // panning
        {0, 0, 0, 0x1B, 0x93},     // retrigger
        {0, 0, 0, 0xE, 0xD2},      // note delay
        {0, 0, 0xC8, 0xE, 0x60},   // volume-column panning, pattern loop: none
    });
    const tune::ExpressionCount n = tune::count_expression(m);
    EXPECT_EQ(n.rows, 16);
    EXPECT_EQ(n.commands, 2 * 5);
}

TEST(TunePlaytime, ASoloKeepsTheSongsTime) {
    xm::Module m = module_of({{49, 1, 0x30, 0xF, 140}, {50, 2, 0x20, 0x4, 0x44}});
    m.channels = 2;
    m.patterns[0].rows = 1;  // two channels of one row
    const xm::Module solo = tune::keep_channels(m, {1});
    EXPECT_EQ(solo.patterns[0].cells[0].note, 0);
    EXPECT_EQ(solo.patterns[0].cells[0].effect, 0xF);
    EXPECT_EQ(solo.patterns[0].cells[0].param, 140);
    EXPECT_EQ(solo.patterns[0].cells[1].note, 50);
    EXPECT_EQ(tune::row_starts(solo, 48000).back().frame, tune::row_starts(m, 48000).back().frame);
}

}  // namespace
