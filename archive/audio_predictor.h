// The audio predictor of the compressed format's audio mode: each decoded symbol
// is a prediction error that a per-channel linear predictor over recent byte
// differences turns into an output byte. Five weights per channel adapt every 32
// bytes of that channel. predict_audio_byte is the byte-at-a-time form;
// decode_audio_run is the decoder's fast form for runs of audio bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/huff_decoder.h"

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

// Every 32 bytes of a channel: moves one weight a step towards the trial
// correction with the smallest error sum (lowest index on a tie), clears the sums.
void adapt_audio_weights(AudioPredictor& v);

// Turns symbol s (0..255) into the next output byte of the current channel and
// updates that channel's predictor and cross_delta. The caller stores the byte and
// moves to the next channel. Signed 32-bit arithmetic, arithmetic right shifts;
// the result is the low 8 bits of the unreduced value. Called by decode_audio_run
// for bytes outside its fast loop.
uint8_t predict_audio_byte(AudioState& state, uint32_t s);

// No bound on the input for decode_audio_run: the caller has bounded n instead.
constexpr uint32_t AUDIO_NO_INPUT_LIMIT = 0xFFFFFFFFu;

// Decodes audio-mode bytes into dst, at most n of them: for each one a symbol with
// the current channel's decoder (decoders[channel]) from in at bit position *bit
// (most significant bit first), turned into a byte as predict_audio_byte does,
// then the next channel. Stops early at the table switch symbol 256, which it
// consumes and reports in *table_switch, and (possibly some way) before a symbol
// would start past bit last_start. Advances *bit and state; returns the bytes
// written. in must be readable 24 bytes past the byte where the last symbol
// starts. Called by the decompressor for stretches it knows need no window flush
// or wrap.
size_t decode_audio_run(AudioState& state, const HuffDecoder* decoders, const uint8_t* in, uint32_t* bit,
                        uint8_t* dst, size_t n, uint32_t last_start, bool* table_switch);

// Makes decode_audio_run take its baseline build (true) even on processors where
// it would take the AVX2 one, or go back to choosing by processor (false). Both
// give the same results.
void audio_run_use_baseline(bool baseline);
