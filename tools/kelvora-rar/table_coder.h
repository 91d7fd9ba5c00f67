// Sends a set of code lengths the way the decompressor's `read_code_lengths` takes
// them: a 2-bit (audio: 4-bit) header, 19 four-bit lengths of the bit-length code,
// then one bit-length symbol per length or run.
#pragma once

#include <cstdint>

#include "bit_writer.h"

namespace rarw {

constexpr unsigned kLengthTableSize = 1028;  // 4 audio channels x 257
constexpr unsigned kLzTableSize = 374;       // 298 literal/length + 48 distance + 28 repeat-length

struct TableHeader {
    bool audio = false;
    unsigned channels = 1;  // 1..4, audio only
};

// Writes the table `lengths[0..size)` (size = 374, or 257 x channels in audio mode).
// `old_lengths` are the lengths the decoder holds; `old_known` of them, from position
// 0, are certain (the rest may differ between decoders), so differences to the old
// set are sent only when size <= old_known. Returns the bits written. Called at every
// table switch by the stream encoder.
uint64_t write_code_lengths(BitWriter& out, const TableHeader& header, const uint8_t* lengths,
                            unsigned size, const uint8_t* old_lengths, unsigned old_known);

// Bits write_code_lengths would write, without writing them. Called by block splitting.
uint64_t code_lengths_cost(const TableHeader& header, const uint8_t* lengths, unsigned size,
                           const uint8_t* old_lengths, unsigned old_known);

}  // namespace rarw
