// Building canonical decoders and the slow decoding path.
#include "archive/huff_decoder.h"

#include <cstring>

namespace {

// Length and symbol for b from the limits, searching only lengths from first_len;
// returns a decoding entry.
inline uint32_t decode_from(const HuffDecoder& d, uint32_t b, uint32_t first_len) {
    b &= 0xFFFE;
    uint32_t len = first_len;
    while (len < 15 && b >= d.limit[len]) ++len;
    uint32_t n = ((b - d.limit[len - 1]) >> (16 - len)) + d.first_index[len];
    if (n >= d.symbol_count) n = 0;
    return (d.symbols[n] << HUFF_SYMBOL_SHIFT) | len;
}

}  // namespace

uint32_t decode_slow(const HuffDecoder& decoder, uint32_t b) {
    uint32_t e = decode_from(decoder, b & 0xFFFF, 1);
    return ((e >> HUFF_SYMBOL_SHIFT) << 4) | (e & HUFF_LENGTH_MASK);
}

uint32_t decode_entry_long(const HuffDecoder& decoder, uint32_t b) {
    // The table said the code is longer than 10 bits, so the search starts there.
    return decode_from(decoder, b & 0xFFFF, HUFF_FAST_BITS + 1);
}

void build_decoder(const uint8_t* lengths, HuffDecoder& d, uint32_t count) {
    if (count > HUFF_MAX_SYMBOLS) count = HUFF_MAX_SYMBOLS;
    uint32_t len_count[16] = {};
    for (uint32_t i = 0; i < count; ++i) len_count[lengths[i] & 15]++;
    len_count[0] = 0;

    d.limit[0] = 0;
    d.first_index[0] = 0;
    uint32_t code = 0;
    for (int len = 1; len < 16; ++len) {
        code = 2 * (code + len_count[len]);
        uint32_t lim = code << (15 - len);
        d.limit[len] = lim > 0xFFFF ? 0xFFFF : lim;
        d.first_index[len] = d.first_index[len - 1] + len_count[len - 1];
    }

    std::memset(d.symbols, 0, sizeof d.symbols);
    uint32_t next[16];
    std::memcpy(next, d.first_index, sizeof next);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t len = lengths[i] & 15;
        if (len != 0) d.symbols[next[len]++] = i;
    }
    d.symbol_count = count;

    // Limits of lengths up to 10 fall on multiples of 64 (a capped 0xFFFF acts as
    // 0x10000 because the lowest bit is cleared), so every 16-bit value sharing
    // the top 10 bits decodes alike when the length found is at most 10.
    // The length found only grows with p, so one walk over the limits serves all.
    uint32_t len = 1;
    for (uint32_t p = 0; p < (1u << HUFF_FAST_BITS); ++p) {
        uint32_t b = p << (16 - HUFF_FAST_BITS);
        while (len < 15 && b >= d.limit[len]) ++len;
        if (len > HUFF_FAST_BITS) {
            std::memset(d.fast + p, 0, ((1u << HUFF_FAST_BITS) - p) * sizeof d.fast[0]);
            break;
        }
        uint32_t n = ((b - d.limit[len - 1]) >> (16 - len)) + d.first_index[len];
        if (n >= d.symbol_count) n = 0;
        d.fast[p] = uint16_t((d.symbols[n] << HUFF_SYMBOL_SHIFT) | len);
    }
}
