// Canonical Huffman decoding of the compressed format: codes are read most
// significant bit first and assigned in order of length, then of symbol value.
// A 10-bit first-level table answers most codes at once; longer codes go through
// the per-length limits.
#pragma once

#include <cstdint>

constexpr int HUFF_FAST_BITS = 10;
constexpr uint32_t HUFF_MAX_SYMBOLS = 298;
// A decoding entry is (symbol << HUFF_SYMBOL_SHIFT) | length. The length fills the
// low 6 bits, so a 64-bit shift by the whole entry (which x86 takes modulo 64)
// skips the code.
constexpr uint32_t HUFF_SYMBOL_SHIFT = 6;
constexpr uint32_t HUFF_LENGTH_MASK = 63;

struct HuffDecoder {
    uint32_t symbol_count;
    // limit[L]: exclusive upper bound of the left-aligned 16-bit codes of length L
    // or shorter, capped at 0xFFFF; limit[0] = 0.
    uint32_t limit[16];
    // first_index[L]: position in symbols of the first symbol of length L.
    uint32_t first_index[16];
    // Symbols by code length, then value; entries no length reaches stay 0.
    uint32_t symbols[HUFF_MAX_SYMBOLS];
    // fast[p] for the top 10 bits p of a code: its decoding entry when the code is
    // at most 10 bits long, 0 when the limits must decide.
    uint16_t fast[1 << HUFF_FAST_BITS];
};

// Builds the decoder for count symbols (count <= HUFF_MAX_SYMBOLS) from their code
// lengths; only the low 4 bits of a length count, 0 means absent. Called whenever
// a new set of code lengths has been read.
void build_decoder(const uint8_t* lengths, HuffDecoder& decoder, uint32_t count);

// The code length and symbol for the 16 bits b at the read position, the direct
// way: lowest bit cleared, first length with b below its limit (15 when none), the
// index past symbol_count taken as 0. Returns (symbol << 4) | length.
uint32_t decode_slow(const HuffDecoder& decoder, uint32_t b);

// The decoding entry for a code longer than the table covers (fast[] gave 0).
// Called by decode_entry only.
uint32_t decode_entry_long(const HuffDecoder& decoder, uint32_t b);

// The decoding entry ((symbol << HUFF_SYMBOL_SHIFT) | length) for the 16 bits b at
// the read position. The decoders' inner loops call this once per symbol.
inline uint32_t decode_entry(const HuffDecoder& decoder, uint32_t b) {
    uint32_t e = decoder.fast[b >> (16 - HUFF_FAST_BITS)];
    return __builtin_expect(e != 0, 1) ? e : decode_entry_long(decoder, b);
}

// Same result as decode_slow, through the first-level table.
inline uint32_t decode_fast(const HuffDecoder& decoder, uint32_t b) {
    uint32_t e = decode_entry(decoder, b);
    return ((e >> HUFF_SYMBOL_SHIFT) << 4) | (e & HUFF_LENGTH_MASK);
}
