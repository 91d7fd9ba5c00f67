// The master volume stage shared by the audio device and the offline renderer:
// a linear gain on 0..256 that moves to a new value across one audio block.
#pragma once

#include <cstddef>
#include <cstdint>

// Gain 256 leaves samples exactly as rendered; 0 silences them.
constexpr int32_t full_volume = 256;

// The gain in force after the last block. Owned by whoever renders the blocks.
struct VolumeRamp {
    int32_t current = full_volume;
};

// Scales interleaved stereo frames in place. The gain moves linearly from
// ramp->current to target (clamped to 0..256) across the block, reaching target on
// the last frame, so a change never clicks; afterwards ramp->current = target.
// Gains are 16.16 fixed point inside the ramp; each product truncates toward zero.
// Called by the device callback and the offline renderer once per block.
void apply_volume(VolumeRamp* ramp, int16_t* stereo, size_t frames, int32_t target);

// Frames per audio block at this output rate: the largest power of two not above
// rate / 43 (about 23 ms), at least 64. The device asks for blocks of this size and
// the offline renderer ramps over the same length.
size_t audio_block_frames(int32_t rate);
