// Encoder side of the audio mode: the same adaptive linear predictor as the
// decoder's, run forwards to turn each byte into the error symbol that the decoder
// turns back into that byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rarw {

// One channel's predictor, field for field as the decoder keeps it.
struct AudioChannel {
    int32_t weight[5] = {};
    int32_t delta[4] = {};
    int32_t last_delta = 0;
    uint32_t error_sum[11] = {};
    uint32_t count = 0;
    int32_t last_byte = 0;  // previous value before reduction to a byte; may leave 0..255
};

// The four channels and the delta shared by whichever channel ran last.
struct AudioState {
    AudioChannel channel[4];
    int32_t cross_delta = 0;
};

// Returns the symbol (0..255) that makes the decoder output `byte` on channel `ch`,
// and advances that channel's predictor exactly as decoding the symbol does.
// Called for every byte of an audio block, in stream order.
uint8_t audio_encode_byte(AudioState& state, unsigned ch, uint8_t byte);

// Symbols for `count` bytes encoded from `state` with `channels` interleaved
// channels, starting at channel `first_channel`; advances the state. Used for cost
// estimates and for the blocks that are sent.
void audio_encode_run(AudioState& state, unsigned channels, unsigned first_channel, const uint8_t* bytes,
                      size_t count, uint8_t* symbols);

}  // namespace rarw
