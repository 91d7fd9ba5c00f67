// The RAR 2.0 method's fixed code tables (facts of the format) and the encoder's
// mapping from a length or distance to its slot and extra bits.
#pragma once

#include <cstdint>

#include "archive/rar20_tables.h"

namespace rarw {

constexpr unsigned kLiteralSymbols = 298;  // 0..255 bytes, 256..297 match kinds and the switch
constexpr unsigned kDistSymbols = 48;
constexpr unsigned kRepLenSymbols = 28;
constexpr unsigned kAudioSymbols = 257;    // 0..255 errors, 256 the table switch

constexpr unsigned kSymRepeatLast = 256;   // previous match again
constexpr unsigned kSymRecent = 257;       // 257..260: one of the four recent distances
constexpr unsigned kSymShort = 261;        // 261..268: length-2 match, distance up to 256
constexpr unsigned kSymSwitch = 269;       // new code lengths follow
constexpr unsigned kSymNewMatch = 270;     // 270..297: length slot of a new match
constexpr unsigned kAudioSwitch = 256;

constexpr uint32_t kWindowSize = 0x100000;
constexpr uint32_t kMaxDistance = 0xFFFFF;

// The slot tables are the reader's own: one definition for both directions.
inline constexpr const auto& kLengthBase = length_base;
inline constexpr const auto& kLengthExtra = length_extra;
inline constexpr const auto& kDistBase = dist_base;
inline constexpr const auto& kDistExtra = dist_extra;
inline constexpr const auto& kShortBase = short_base;
inline constexpr const auto& kShortExtra = short_extra;

// Slot of a length value 0..255 (the value the length tables add extra bits to).
inline unsigned length_slot(uint32_t v) {
    if (v < 8) return v;
    unsigned b = 31u - static_cast<unsigned>(__builtin_clz(v));  // 3..7
    return 4 * (b - 1) + ((v - (1u << b)) >> (b - 2));
}

// Slot of a distance minus one, d0 = 0..0xFFFFF.
inline unsigned dist_slot(uint32_t d0) {
    if (d0 < 4) return d0;
    if (d0 >= 131072) return 34 + ((d0 - 131072) >> 16);
    unsigned b = 31u - static_cast<unsigned>(__builtin_clz(d0));  // 2..16
    return 2 * b + ((d0 >> (b - 1)) & 1u);
}

// Slot of a short-match distance minus one, d0 = 0..255.
inline unsigned short_slot(uint32_t d0) {
    if (d0 < 8) return d0 >> 2;
    if (d0 < 128) return 31u - static_cast<unsigned>(__builtin_clz(d0)) - 1;  // 8..15 -> 2 ... 64..127 -> 5
    return d0 < 192 ? 6 : 7;
}

// Lengths the decoder adds by itself to a new match at this distance.
inline uint32_t new_match_bonus(uint32_t dist) { return (dist >= 0x2000) + (dist >= 0x40000); }

// Lengths the decoder adds by itself to a recent-distance match at this distance.
inline uint32_t recent_match_bonus(uint32_t dist) {
    return (dist >= 0x40000) + (dist >= 0x2000) + (dist >= 0x101);
}

}  // namespace rarw
