// Eight pixels in a 64-bit word: byte-wise masks and adds with no carry between
// pixels, for the keyed copies. Internal to the render kit.
#pragma once

#include <cstdint>
#include <cstring>

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
