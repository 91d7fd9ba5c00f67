// The soundtrack against the show's clock at every mixing rate it offers: each
// section and hit on its cue, the cadence home before the fade, nothing after the
// show. Row times come from the module's own tempos, which is exact; one render at
// the lowest rate checks that the player agrees and measures its tail.
#include <libopenmpt/libopenmpt.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "arrange.h"
#include "music_test_util.h"
#include "playtime.h"
#include "scenes/timeline.h"
#include "score.h"

namespace {

struct Composed {
    xm::Module module;
    std::vector<tune::SectionTiming> sections;
    tune::Score score;
};

const Composed& composed() {
    static Composed c;
    static bool done = false;
    if (!done) {
        std::string error;
        std::ifstream in(KELVORA_SCORE);
        std::ostringstream text;
        text << in.rdbuf();
        if (!tune::compose_module(KELVORA_SCORE, &c.module, &c.sections, &error) ||
            !tune::parse_score(text.str(), &c.score, &error)) {
            fprintf(stderr, "compose failed: %s\n", error.c_str());
            abort();
        }
        done = true;
    }
    return c;
}

// How far a section's first row may fall from its cue: a frame at the two high
// rates must stay within a screen refresh or so; the low rates are allowed more.
struct RateBound {
    int rate;
    double seconds;
};
const RateBound bounds[4] = {{44100, 0.010}, {48000, 0.010}, {22050, 0.025}, {11025, 0.025}};

bool is_cue(double seconds) {
    for (uint32_t c : cue_table)
        if (std::fabs(c / 1000.0 - seconds) < 1e-9) return true;
    return false;
}

TEST(SoundtrackTiming, EverySectionAndHitFallsOnItsCueAtEveryRate) {
    const Composed& c = composed();
    int hits = 0;
    for (const RateBound& b : bounds) {
        const std::vector<tune::RowStart> starts = tune::row_starts(c.module, b.rate);
        for (const tune::SectionTiming& s : c.sections) {
            EXPECT_TRUE(s.start_s == 0 || is_cue(s.start_s)) << s.name << " starts on no cue";
            const int64_t frame = tune::frame_of(starts, s.first_order, 0);
            ASSERT_GE(frame, 0) << s.name;
            EXPECT_NEAR(double(frame) / b.rate, s.start_s, b.seconds) << s.name << " at " << b.rate << " Hz";
            for (const tune::Hit& h : s.hits) {
                EXPECT_TRUE(is_cue(h.at_s)) << s.name << " hit at " << h.at_s;
                const int64_t at = tune::frame_of(starts, h.order, h.row);
                ASSERT_GE(at, 0);
                EXPECT_NEAR(double(at) / b.rate, h.at_s, b.seconds) << s.name << " hit at " << b.rate << " Hz";
            }
            if (b.rate == 44100) hits += int(s.hits.size());
        }
    }
    // The picture changes inside scene 1 and scene 9, and scene 6's four word lines.
    EXPECT_EQ(hits, 8);
}

// The module at the lowest rate, read in blocks of eight frames: where each row
// began, to a block, and how long the player plays.
struct LowRender {
    std::vector<std::pair<std::pair<int, int>, int64_t>> first_seen;  // (order, row) -> frame
    int64_t frames = 0;
    double last_second_rms = 0;  // over the second before the end, full scale 1
};

const LowRender& low_render() {
    static LowRender r;
    static bool done = false;
    if (done) return r;
    done = true;
    const std::vector<uint8_t>& bytes = composed_module();
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!mod) abort();
    openmpt_module_set_repeat_count(mod, 0);
    std::vector<float> pcm;
    float block[16];
    int order = -1, row = -1;
    for (;;) {
        const size_t got = openmpt_module_read_interleaved_float_stereo(mod, 11025, 8, block);
        if (got == 0) break;
        const int o = openmpt_module_get_current_order(mod), w = openmpt_module_get_current_row(mod);
        // Only forward steps: past the end the player points back at the start.
        if (o > order || (o == order && w > row)) {
            r.first_seen.push_back({{o, w}, r.frames});
            order = o, row = w;
        }
        pcm.insert(pcm.end(), block, block + 2 * got);
        r.frames += int64_t(got);
        if (got < 8) break;
    }
    openmpt_module_destroy(mod);
    const size_t from = pcm.size() > 2 * 11025 ? pcm.size() - 2 * 11025 : 0;
    double sum = 0;
    for (size_t i = from; i < pcm.size(); ++i) sum += double(pcm[i]) * pcm[i];
    r.last_second_rms = std::sqrt(sum / double(std::max<size_t>(1, pcm.size() - from)));
    return r;
}

TEST(SoundtrackTiming, ThePlayerAgreesWithTheComputedRowsAndStopsBeforeTheShowEnds) {
    const Composed& c = composed();
    const LowRender& r = low_render();
    const std::vector<tune::RowStart> starts = tune::row_starts(c.module, 11025);
    for (const auto& [at, seen] : r.first_seen) {
        const int64_t frame = tune::frame_of(starts, at.first, at.second);
        if (frame < 0) continue;  // the player's last look past the end
        ASSERT_LE(std::llabs(static_cast<long long>(frame - seen)), 8) << "order " << at.first << " row " << at.second;
    }
    // The player plays a short tail after the last row; at every rate the tail must
    // end before the show's last cue, when the music is closed.
    const double tail = double(r.frames - starts.back().frame) / 11025;
    EXPECT_GE(tail, 0.0);
    EXPECT_LT(tail, 0.2);
    for (const RateBound& b : bounds) {
        const double end = double(tune::row_starts(c.module, b.rate).back().frame) / b.rate + tail;
        EXPECT_LE(end, cue_table[22] / 1000.0 - 0.005) << b.rate << " Hz";
    }
    // The last chord still sounds in the closing second.
    EXPECT_GT(r.last_second_rms, 0.003);
}

TEST(SoundtrackTiming, TheCadenceReachesTheTonicBeforeTheFade) {
    const Composed& c = composed();
    const tune::Section& last = c.score.sections.back();
    ASSERT_FALSE(last.chords.empty());
    const int tonic = (last.chords[0].root + last.transpose) % 12;
    const double fade = cue_table[21] / 1000.0;
    for (const RateBound& b : bounds) {
        const std::vector<tune::RowStart> starts = tune::row_starts(c.module, b.rate);
        // The last note struck on each channel that holds the harmony, in play order.
        int last_lead = -1, last_bass = -1;
        double lead_at = 0, latest_strike = 0;
        for (size_t i = 0; i + 1 < starts.size(); ++i) {
            const xm::Pattern& p = c.module.patterns[c.module.orders[size_t(starts[i].order)]];
            const double t = double(starts[i].frame) / b.rate;
            for (int ch = 0; ch < c.module.channels; ++ch) {
                const uint8_t note = p.cells[size_t(starts[i].row) * size_t(c.module.channels) + size_t(ch)].note;
                if (note == 0 || note == xm::key_off) continue;
                latest_strike = std::max(latest_strike, t);
                if (ch == tune::ch_lead) last_lead = (note - 1) % 12, lead_at = t;
                if (ch == tune::ch_bass) last_bass = (note - 1) % 12;
            }
        }
        EXPECT_EQ(last_lead, tonic) << b.rate << " Hz";
        EXPECT_EQ(last_bass, tonic) << b.rate << " Hz";
        EXPECT_LE(lead_at, fade) << b.rate << " Hz";
        // Under the fade nothing new is struck: the chord rings.
        EXPECT_LE(latest_strike, fade) << b.rate << " Hz";
    }
}

}  // namespace
