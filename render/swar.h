// Eight pixels in a 64-bit word: byte-wise masks and adds with no carry between
// pixels, for the keyed copies; and sixteen pixels' neighbour sums in vector lanes,
// for the in-place filters. Internal to the render kit.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "pixel words and lanes hold their first pixel in the lowest byte");

constexpr uint64_t SWAR_ONES = 0x0101010101010101ull;
constexpr uint64_t SWAR_LOW7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t SWAR_HIGH = 0x8080808080808080ull;

inline uint64_t swar_load(const uint8_t* p) {
    uint64_t v;
    memcpy(&v, p, 8);
    return v;
}
inline void swar_store(uint8_t* p, uint64_t v) { memcpy(p, &v, 8); }

// 0xFF in every byte of v that is not zero, 0x00 in every zero byte. Exact: the
// low seven bits are added without reaching the next byte.
inline uint64_t swar_nonzero(uint64_t v) {
    const uint64_t high = (((v & SWAR_LOW7) + SWAR_LOW7) | v) & SWAR_HIGH;
    return (high >> 7) * 0xFF;
}

// Byte-wise (a + b) mod 256.
inline uint64_t swar_add(uint64_t a, uint64_t b) {
    return ((a & SWAR_LOW7) + (b & SWAR_LOW7)) ^ ((a ^ b) & SWAR_HIGH);
}

// Takes the bytes of a where mask is 0xFF, of b where it is 0.
inline uint64_t swar_select(uint64_t mask, uint64_t a, uint64_t b) {
    return (a & mask) | (b & ~mask);
}

// Eight 16-bit lanes: the compiler's portable vector type (SSE2 on x86). Sixteen
// bytes loaded as eight lanes split into their even and odd pixels by a mask and a
// shift, with no byte shuffles.
typedef int16_t Lanes __attribute__((vector_size(16)));

inline Lanes load_lanes(const uint8_t* p) {
    Lanes v;
    memcpy(&v, p, sizeof v);  // lane i = p[2i] | p[2i + 1] << 8
    return v;
}
inline Lanes low_bytes(Lanes v) { return v & int16_t(0xFF); }
inline Lanes high_bytes(Lanes v) {
    typedef uint16_t Unsigned __attribute__((vector_size(16)));
    return Lanes((Unsigned)v >> 8);
}

// Sums of the three pixels above, the three below and the one to the right (at most
// 7 * 255) for the sixteen pixels of a 320-byte-wide frame from `at`: lane i of
// `even` for pixel 2i, of `odd` for pixel 2i + 1. Reads from at - 321 to at + 336.
struct NeighbourSums {
    Lanes even, odd;
};
inline NeighbourSums neighbour_sums16(const uint8_t* at) {
    constexpr int W = 320;
    // Lane i of a load from x - 1 holds columns x - 1 + 2i (low) and x + 2i (high);
    // from x + 1, columns x + 1 + 2i and x + 2 + 2i. Pixel x + 2i sums columns
    // x - 1 + 2i .. x + 1 + 2i above and below, pixel x + 2i + 1 the next three; the
    // middle two are shared.
    const Lanes pa = load_lanes(at - W - 1), pb = load_lanes(at + W - 1);
    const Lanes qa = load_lanes(at - W + 1), qb = load_lanes(at + W + 1);
    const Lanes right = load_lanes(at + 1);
    const Lanes shared = high_bytes(pa) + high_bytes(pb) + low_bytes(qa) + low_bytes(qb);
    return {low_bytes(pa) + low_bytes(pb) + shared + low_bytes(right),
            shared + high_bytes(qa) + high_bytes(qb) + high_bytes(right)};
}
