// Compressed stream of one entry in the RAR 2.0 method: LZ blocks and audio blocks,
// each with its own code lengths, chosen and split by their cost in bits. The state
// mirrors what the decoder keeps between entries, so solid archives continue it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio_encoder.h"
#include "lz_encoder.h"
#include "table_coder.h"

namespace rarw {

// Everything the decoder carries from one symbol, block or solid entry to the next.
struct StreamState {
    bool started = false;          // a stream has been sent since the reset
    uint8_t old_lengths[kLengthTableSize] = {};
    unsigned old_known = kLengthTableSize;  // leading old_lengths that every decoder agrees on
    bool audio = false;            // decoders in use are the audio ones
    unsigned channels = 1;
    unsigned cur_channel = 0;
    MatchHistory history;
    AudioState audio_state;
    std::vector<uint8_t> window;   // the bytes the decoder's window holds, oldest first
};

// Returns the state of a freshly reset decoder (window all zero).
StreamState fresh_stream_state();

struct StreamOptions {
    bool allow_audio = true;
    bool more_entries_follow = false;  // solid: keep the switch symbol coded at the end
    bool pad_to_cipher_block = false;  // enciphered: pad to 16 bytes, safely for the decoder
    LzOptions lz;
};

struct StreamStats {
    unsigned lz_blocks = 0;
    unsigned audio_blocks = 0;
};

// Encodes `count` bytes continuing `state` (a fresh state, or the one the previous
// solid entry left) and advances it. count must be at least 1. Called by the archive
// writer for every compressed entry.
std::vector<uint8_t> encode_stream(StreamState& state, const uint8_t* data, size_t count,
                                   const StreamOptions& options, StreamStats* stats = nullptr);

}  // namespace rarw
