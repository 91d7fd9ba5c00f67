// CRC-32 table and the byte folding, with an eight-bytes-at-a-time path for long
// runs (the same function as folding byte by byte; tests check one against the other).
#include "archive/crc32.h"

namespace {

constexpr uint32_t table_entry(uint32_t n) {
    for (int k = 0; k < 8; ++k) n = (n & 1) ? (n >> 1) ^ 0xEDB88320u : n >> 1;
    return n;
}

struct SliceTables {
    // slice[0] is the plain table; slice[k][n] is the CRC of byte n followed by k zero bytes.
    uint32_t slice[8][256];
    constexpr SliceTables() : slice{} {
        for (uint32_t n = 0; n < 256; ++n) slice[0][n] = table_entry(n);
        for (int k = 1; k < 8; ++k)
            for (uint32_t n = 0; n < 256; ++n)
                slice[k][n] = (slice[k - 1][n] >> 8) ^ slice[0][slice[k - 1][n] & 0xFF];
    }
};

constexpr SliceTables slices;

constexpr uint32_t load_le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

uint32_t crc_table[256] = {
#define E(n) table_entry(n), table_entry(n + 1), table_entry(n + 2), table_entry(n + 3)
#define R(n) E(n), E(n + 4), E(n + 8), E(n + 12)
    R(0),   R(16),  R(32),  R(48),  R(64),  R(80),  R(96),  R(112),
    R(128), R(144), R(160), R(176), R(192), R(208), R(224), R(240),
#undef R
#undef E
};

void build_crc_table() {
    for (uint32_t n = 0; n < 256; ++n) crc_table[n] = table_entry(n);
}

uint32_t crc32_add(uint32_t crc, const uint8_t* bytes, size_t count) {
    const auto& s = slices.slice;
    while (count >= 8) {
        uint32_t lo = crc ^ load_le32(bytes);
        uint32_t hi = load_le32(bytes + 4);
        crc = s[7][lo & 0xFF] ^ s[6][(lo >> 8) & 0xFF] ^ s[5][(lo >> 16) & 0xFF] ^ s[4][lo >> 24] ^
              s[3][hi & 0xFF] ^ s[2][(hi >> 8) & 0xFF] ^ s[1][(hi >> 16) & 0xFF] ^ s[0][hi >> 24];
        bytes += 8;
        count -= 8;
    }
    while (count--) crc = (crc >> 8) ^ s[0][(crc ^ *bytes++) & 0xFF];
    return crc;
}
