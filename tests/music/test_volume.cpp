// The master volume stage against a plain per-frame reference.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "music/volume.h"

namespace {

std::vector<int16_t> test_signal(size_t frames) {
    std::vector<int16_t> s(frames * 2);
    for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(std::lround(32767 * std::sin(double(i) * 0.37)));
    s[0] = 32767;
    s[1] = -32768;
    return s;
}

// Frame i of a block gets gain from + (to - from) * (i + 1) / n, the product
// truncated toward zero.
int16_t reference(int16_t s, int32_t from, int32_t to, size_t i, size_t n) {
    const double gain = from + (to - from) * double(i + 1) / double(n);
    return int16_t(std::trunc(s * gain / 256.0));
}

TEST(Volume, FullLeavesSamplesUnchanged) {
    auto s = test_signal(300);
    const auto original = s;
    VolumeRamp ramp;
    apply_volume(&ramp, s.data(), 300, 256);
    EXPECT_EQ(s, original);
}

TEST(Volume, HalfAndSilenceAfterTheRamp) {
    const auto original = test_signal(512);
    for (int32_t level : {128, 0, 4}) {
        auto s = original;
        VolumeRamp ramp;
        ramp.current = level;  // already there: no ramp
        apply_volume(&ramp, s.data(), 512, level);
        for (size_t i = 0; i < s.size(); ++i) ASSERT_EQ(s[i], int16_t(original[i] * level / 256)) << level;
    }
}

TEST(Volume, ChangeRampsAcrossOneBlockThenHolds) {
    const size_t n = 1024;
    const auto original = test_signal(n);
    auto s = original;
    VolumeRamp ramp;
    apply_volume(&ramp, s.data(), n, 100);
    for (size_t i = 0; i < n; ++i) {
        // The gain is truncated to 16.16 before the product, hence one step of slack.
        ASSERT_NEAR(s[2 * i], reference(original[2 * i], 256, 100, i, n), 1) << i;
        ASSERT_NEAR(s[2 * i + 1], reference(original[2 * i + 1], 256, 100, i, n), 1) << i;
    }
    EXPECT_EQ(ramp.current, 100);
    // Out-of-range targets are clamped; a zero-length block still lands the target.
    apply_volume(&ramp, s.data(), 0, 999);
    EXPECT_EQ(ramp.current, 256);
    apply_volume(&ramp, s.data(), 0, -5);
    EXPECT_EQ(ramp.current, 0);
}

TEST(Volume, BlockSizeFollowsTheRate) {
    EXPECT_EQ(audio_block_frames(11025), 256u);
    EXPECT_EQ(audio_block_frames(22050), 512u);
    EXPECT_EQ(audio_block_frames(44100), 1024u);
    EXPECT_EQ(audio_block_frames(48000), 1024u);
    EXPECT_EQ(audio_block_frames(1000), 64u);
}

}  // namespace
