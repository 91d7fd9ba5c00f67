// The master volume ramp; see volume.h.
#include "music/volume.h"

void apply_volume(VolumeRamp* ramp, int16_t* stereo, size_t frames, int32_t target) {
    if (target < 0) target = 0;
    if (target > full_volume) target = full_volume;
    const int32_t from = ramp->current;
    ramp->current = target;
    if (frames == 0) return;

    if (from == target) {
        if (target == full_volume) return;  // the common case costs nothing
        for (size_t i = 0; i < frames * 2; ++i) stereo[i] = int16_t(int32_t(stereo[i]) * target / full_volume);
        return;
    }

    // Gain of frame i is from + (target - from) * (i + 1) / frames in 16.16 fixed
    // point. Only the one block after a change takes this path.
    const int64_t start = int64_t(from) << 16;
    const int64_t delta = (int64_t(target) - from) << 16;
    const int64_t den = int64_t(full_volume) << 16;
    for (size_t i = 0; i < frames; ++i, stereo += 2) {
        const int64_t gain = start + delta * int64_t(i + 1) / int64_t(frames);
        stereo[0] = int16_t(int64_t(stereo[0]) * gain / den);
        stereo[1] = int16_t(int64_t(stereo[1]) * gain / den);
    }
}

size_t audio_block_frames(int32_t rate) {
    size_t block = 64;
    const int64_t limit = rate / 43;
    while (int64_t(block * 2) <= limit) block *= 2;
    return block;
}
