// The audio predictor of the compressed format's audio mode: each decoded symbol
// is a prediction error that a per-channel linear predictor over recent byte
// differences turns into an output byte. Five weights per channel adapt every 32
// bytes of that channel.
#pragma once

#include <cstdint>

struct AudioPredictor {
    int32_t weight[5];      // W1..W5, each within -17..16
    int32_t delta[4];       // D1..D4, past deltas
    int32_t last_delta;     // last byte-to-byte difference of this channel, -128..127
    uint32_t error_sum[11]; // E0..E10, running sums of the trial corrections' errors
    uint32_t count;         // bytes produced on this channel
    int32_t last_byte;      // previous output value before reduction to a byte
};

// Everything audio mode carries from byte to byte: zeroed when a non-solid entry
// starts, kept across entries of a solid archive and across table switches.
struct AudioState {
    AudioPredictor channel[4];
    int32_t cross_delta;   // last difference of whichever channel produced the previous byte
    uint32_t channels;     // 1..4 while in audio mode
    uint32_t current;      // channel of the next byte, 0..channels-1
};

// Turns symbol s (0..255) into the next output byte of the current channel and
// updates that channel's predictor and cross_delta. The caller stores the byte and
// moves to the next channel. Signed 32-bit arithmetic, arithmetic right shifts.
uint8_t predict_audio_byte(AudioState& state, uint32_t s);
