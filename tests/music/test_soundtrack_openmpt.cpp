// The composed soundtrack as libopenmpt plays it: length, no silent stretch, section
// changes on the show's cue times, the same bytes every time; and the offline
// renderer's volume changes.
#include <libopenmpt/libopenmpt.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "music/offline.h"
#include "music/volume.h"
#include "music_test_util.h"
#include "scenes/timeline.h"

namespace {

struct Song {
    openmpt_module* mod;
    Song() {
        const auto& bytes = composed_module();
        mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    ~Song() { openmpt_module_destroy(mod); }
};

TEST(Soundtrack, LoadsAndEndsWithTheShow) {
    // The last chord rings through the closing fade and stops before the show does.
    Song song;
    ASSERT_NE(song.mod, nullptr);
    const double duration = openmpt_module_get_duration_seconds(song.mod);
    EXPECT_GE(duration, 149.0);
    EXPECT_LE(duration, 150.0);
    EXPECT_EQ(openmpt_module_get_num_channels(song.mod), tune::channel_count);
    EXPECT_EQ(openmpt_module_get_num_instruments(song.mod), 14);
}

TEST(Soundtrack, SectionsChangeOnTheCueTimes) {
    // The cues at which the show's scenes and big phases change, and the fade's.
    const int cues[12] = {0, 2, 6, 7, 8, 9, 11, 16, 17, 18, 20, 21};
    std::vector<tune::SectionTiming> sections;
    composed_module(&sections);
    ASSERT_EQ(sections.size(), 13u);
    Song song;
    for (int i = 0; i < 12; ++i) {
        const double cue = cue_table[cues[i]] / 1000.0;
        const double start = openmpt_module_set_position_order_row(song.mod, sections[size_t(i) + 1].first_order, 0);
        EXPECT_NEAR(start, cue, 0.010) << sections[size_t(i) + 1].name;
        EXPECT_NEAR(sections[size_t(i)].end_s, cue, 0.001) << "planned end of " << sections[size_t(i)].name;
    }
}

TEST(Soundtrack, NoSilentTwoSecondsBefore148) {
    // RMS over 2 s windows, every quarter second. The floor, 100 of 32767 (-50 dBFS),
    // is some 23 dB under the quietest passage (about 1400) and
    // far above a stretch where nothing plays (0, or a decaying tail).
    const int rate = 22050;
    std::vector<int16_t> pcm;
    std::string error;
    ASSERT_TRUE(render_module_offline((module_dir() + "/kelvora.xm").c_str(), rate, nullptr, 0, &pcm, &error)) << error;
    const size_t frames = pcm.size() / 2, window = 2 * rate, step = rate / 4;
    ASSERT_GE(frames, size_t(149 * rate));  // the module stops just before the show does
    std::vector<double> prefix(frames + 1, 0.0);  // running sum of squares per frame
    for (size_t i = 0; i < frames; ++i) {
        const double l = pcm[2 * i], r = pcm[2 * i + 1];
        prefix[i + 1] = prefix[i] + (l * l + r * r) / 2;
    }
    double quietest = 1e9;
    for (size_t start = 0; start + window <= size_t(148 * rate); start += step) {
        const double rms = std::sqrt((prefix[start + window] - prefix[start]) / window);
        quietest = std::min(quietest, rms);
        ASSERT_GT(rms, 100.0) << "window at " << double(start) / rate << " s";
    }
    RecordProperty("quietest_rms", int(quietest));
}

TEST(Soundtrack, ComposingTwiceGivesTheSameBytes) {
    std::vector<uint8_t> again;
    std::vector<tune::SectionTiming> timing;
    std::string error;
    ASSERT_TRUE(tune::compose_file(KELVORA_SCORE, &again, &timing, &error)) << error;
    EXPECT_TRUE(again == composed_module());
    // The build's own copy, beside the program, when it has been made.
    if (FILE* f = fopen("kelvora.xm", "rb")) {
        std::vector<uint8_t> built(again.size() + 1);
        built.resize(fread(built.data(), 1, built.size(), f));
        fclose(f);
        EXPECT_TRUE(built == again) << "kelvora.xm in the build folder is stale";
    }
}

TEST(OfflineRender, VolumeLevelsScaleTheSamples) {
    const int rate = 11025;
    const std::string path = module_dir() + "/kelvora.xm";
    std::vector<int16_t> plain, full, half, silent, late;
    std::string error;
    ASSERT_TRUE(render_module_offline(path.c_str(), rate, nullptr, 0, &plain, &error)) << error;
    const VolumeEvent e64{0, 64}, e32{0, 32}, e0{0, 0}, e_late{1000, 32};
    ASSERT_TRUE(render_module_offline(path.c_str(), rate, &e64, 1, &full, &error));
    ASSERT_TRUE(render_module_offline(path.c_str(), rate, &e32, 1, &half, &error));
    ASSERT_TRUE(render_module_offline(path.c_str(), rate, &e0, 1, &silent, &error));
    ASSERT_TRUE(render_module_offline(path.c_str(), rate, &e_late, 1, &late, &error));
    ASSERT_EQ(full.size(), plain.size());
    ASSERT_EQ(half.size(), plain.size());
    ASSERT_EQ(silent.size(), plain.size());
    EXPECT_TRUE(full == plain);

    // After the one block over which a change ramps, level 32 is exactly half
    // (truncated toward zero) and level 0 is silence.
    const size_t ramp = audio_block_frames(rate) * 2;
    size_t halved = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (i < ramp) {
            ASSERT_LE(std::abs(half[i]), std::abs(plain[i]));
            continue;
        }
        ASSERT_EQ(half[i], plain[i] / 2) << i;
        ASSERT_EQ(silent[i], 0) << i;
        halved += plain[i] != 0;
    }
    EXPECT_GT(halved, plain.size() / 2);  // the comparison saw music, not silence

    // A change one second in leaves everything before the next block alone.
    const size_t block = audio_block_frames(rate);
    const size_t at = (size_t(rate) + block - 1) / block * block * 2;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (i < at) {
            ASSERT_EQ(late[i], plain[i]) << i;
        } else if (i >= at + ramp) {
            ASSERT_EQ(late[i], plain[i] / 2) << i;
        }
    }
}

TEST(OfflineRender, MissingFileReportsItsText) {
    std::vector<int16_t> pcm;
    std::string error;
    EXPECT_FALSE(render_module_offline("/nonexistent/kelvora.xm", 22050, nullptr, 0, &pcm, &error));
    EXPECT_EQ(error, "File not found");
    EXPECT_TRUE(pcm.empty());
}

}  // namespace
