// CRC-32 table and the byte folding: carry-less multiply folding 64 bytes at a time
// where the processor has it, an eight-bytes-at-a-time table path otherwise and for
// the tails (all the same function as folding byte by byte; tests check them
// against each other).
#include "archive/crc32.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CRC_HAVE_CLMUL_BUILD 1
#endif

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

#if defined(CRC_HAVE_CLMUL_BUILD)
// Folding constants for the reflected polynomial, each a power of x modulo the
// polynomial, bit-reflected and shifted left by one: K1/K2 carry a 128-bit lane
// 512 bits on (four lanes in flight), K3/K4 128 bits on, K5 64 -> 32 bits; the last
// pair is the reflected polynomial and its Barrett quotient.
constexpr long long K1 = 0x154442bd4, K2 = 0x1c6e41596;
constexpr long long K3 = 0x1751997d0, K4 = 0x0ccaa009e;
constexpr long long K5 = 0x163cd6124;
constexpr long long POLY = 0x1db710641, MU = 0x1f7011641;

// a.low * k.low xor a.high * k.high: lane a moved on by the distance k stands for.
__attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i a, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11));
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// count >= 64 and a multiple of 16.
__attribute__((target("pclmul,sse4.1"))) uint32_t crc_clmul(uint32_t crc, const uint8_t* p, size_t count) {
    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(int(crc)));
    __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
    p += 64;
    count -= 64;
    const __m128i k12 = _mm_set_epi64x(K2, K1);
    while (count >= 64) {
        x1 = _mm_xor_si128(fold(x1, k12), load(p));
        x2 = _mm_xor_si128(fold(x2, k12), load(p + 16));
        x3 = _mm_xor_si128(fold(x3, k12), load(p + 32));
        x4 = _mm_xor_si128(fold(x4, k12), load(p + 48));
        p += 64;
        count -= 64;
    }
    const __m128i k34 = _mm_set_epi64x(K4, K3);
    x1 = _mm_xor_si128(fold(x1, k34), x2);
    x1 = _mm_xor_si128(fold(x1, k34), x3);
    x1 = _mm_xor_si128(fold(x1, k34), x4);
    while (count >= 16) {
        x1 = _mm_xor_si128(fold(x1, k34), load(p));
        p += 16;
        count -= 16;
    }
    // 128 -> 64 bits (appending 32 zero bits), 64 -> 32 bits, then Barrett.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(k34, x1, 0x01));
    const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
    const __m128i k5 = _mm_set_epi64x(0, K5);
    __m128i t = _mm_and_si128(x1, mask32);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), _mm_clmulepi64_si128(t, k5, 0x00));
    const __m128i pm = _mm_set_epi64x(MU, POLY);
    t = _mm_and_si128(x1, mask32);
    t = _mm_clmulepi64_si128(t, pm, 0x10);
    t = _mm_and_si128(t, mask32);
    t = _mm_clmulepi64_si128(t, pm, 0x00);
    x1 = _mm_xor_si128(x1, t);
    return uint32_t(_mm_extract_epi32(x1, 1));
}

const bool use_clmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
#endif

uint32_t crc_tables(uint32_t crc, const uint8_t* bytes, size_t count) {
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
#if defined(CRC_HAVE_CLMUL_BUILD)
    if (count >= 64 && use_clmul) {
        size_t whole = count & ~size_t(15);
        crc = crc_clmul(crc, bytes, whole);
        bytes += whole;
        count -= whole;
    }
#endif
    return crc_tables(crc, bytes, count);
}

uint32_t crc32_add_tables(uint32_t crc, const uint8_t* bytes, size_t count) {
    return crc_tables(crc, bytes, count);
}
