// Length-limited canonical Huffman codes as the decompressor rebuilds them: codes
// assigned in order of length, then symbol value, starting from all zeros.
#pragma once

#include <cstdint>

namespace rarw {

constexpr unsigned kMaxCodeBits = 15;

// Fills lengths[0..count) with code lengths (0 = unused, else 1..max_bits) for the
// frequencies given; a single used symbol gets length 1. Deterministic: ties are
// broken by symbol value. Called for every table the stream encoder sends.
void build_code_lengths(const uint32_t* freq, unsigned count, unsigned max_bits, uint8_t* lengths);

// Fills codes[0..count) with the canonical code of each symbol of non-zero length,
// right-aligned in lengths[i] bits; the decoder's `build_decoder` gives the same codes.
void assign_codes(const uint8_t* lengths, unsigned count, uint16_t* codes);

// Bits the symbols cost under these lengths: the sum of freq[i] x lengths[i].
uint64_t coded_bits(const uint32_t* freq, const uint8_t* lengths, unsigned count);

}  // namespace rarw
