// The XOR stripe height field and the slope-displacement warp.
#include "render/xor_warp.h"

#include <bit>
#include <cstring>

#include "display/display.h"
#include "render/carried.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

static_assert(std::endian::native == std::endian::little,
              "the warp reads pixel pairs as 16-bit lanes, first pixel lowest");

void draw_xor_stripes(uint16_t t) {
    // Row y is a 320-byte window of the cyclic ramp (i mod 256) XOR t, starting at
    // y for (x + y) and at (-y) mod 256 for (x - y). Both starts stay below 256.
    uint8_t ramp[256 + FRAME_W];
    const uint8_t key = uint8_t(t);
    for (int i = 0; i < 256 + FRAME_W; ++i) ramp[i] = uint8_t(i) ^ key;

    const bool down_right = carried.stripe_flip != 0;
    for (int y = 0; y < FRAME_H; ++y) {
        const int start = down_right ? (256 - y) & 255 : y;
        memcpy(work_frame + row_offset[y], ramp + start, FRAME_W);
    }
    carried.stripe_flip ^= 1;
}

// Eight 16-bit lanes, read as signed: the compiler's portable vector type (SSE2 on
// x86, where the comparisons below become single min/max instructions).
typedef int16_t Lanes __attribute__((vector_size(16)));
typedef uint16_t Offsets __attribute__((vector_size(16)));

static inline Lanes load_lanes(const uint8_t* p) {
    Lanes v;
    memcpy(&v, p, sizeof v);  // lane i = p[2i] | p[2i + 1] << 8 (little-endian)
    return v;
}

// Clamps every lane to 0..hi. Lanes carry values in -255..573.
static inline Lanes clamp_lanes(Lanes v, int16_t hi) {
    const Lanes zero = {}, top = zero + hi;
    v = v > zero ? v : zero;
    return v < top ? v : top;
}

// Source offsets of eight pixels from their four height bytes (each 0..255) and their
// undisplaced row and column: at most 199 * 320 + 319 = 63999, so unsigned lanes.
static inline Offsets source_offsets(Lanes rows, Lanes up, Lanes down, Lanes cols,
                                     Lanes right, Lanes left) {
    Offsets stride = Offsets{} + uint16_t(FRAME_W);
#if defined(__x86_64__) || defined(__i386__)
    // Hidden from the optimiser, so it multiplies (one instruction) instead of
    // building 320 from shifts and adds (four).
    __asm__("" : "+x"(stride));
#endif
    const Lanes sy = clamp_lanes(rows + up - down, FRAME_H - 1);
    const Lanes sx = clamp_lanes(cols + right - left, FRAME_W - 1);
    return (Offsets)sy * stride + (Offsets)sx;
}

// Source offsets of columns 0..319 of row y (1..198) into src, in column order.
// Columns 0 and 319 are computed but not used (their neighbours are the rows'
// wrap-around bytes, still inside the frame on rows 1..198). Sixteen height bytes
// loaded as eight lanes split into their even and odd pixels by a mask and a shift;
// the two halves are put back in order on the way out.
static void row_offsets_portable(int y, uint16_t* src) {
    const uint8_t* mid = work_frame + row_offset[y];
    const uint8_t* up = mid - FRAME_W;
    const uint8_t* down = mid + FRAME_W;
    const Lanes rows = Lanes{} + int16_t(y - 1);
    const Lanes low = Lanes{} + int16_t(0xFF);
    Lanes cols = Lanes{0, 2, 4, 6, 8, 10, 12, 14} - int16_t(1);  // undisplaced: x - 1
    for (int x = 0; x < FRAME_W; x += 16, cols += int16_t(16)) {
        const Lanes u = load_lanes(up + x), d = load_lanes(down + x);
        const Lanes r = load_lanes(mid + x + 1), l = load_lanes(mid + x - 1);
        // A logical shift for the high bytes: they are unsigned.
        auto high = [](Lanes v) { return Lanes((Offsets)v >> 8); };
        const Offsets e = source_offsets(rows, u & low, d & low, cols, r & low, l & low);
        const Offsets o = source_offsets(rows, high(u), high(d), cols + 1, high(r), high(l));
        for (int i = 0; i < 8; ++i) {
            src[x + 2 * i] = e[i];
            src[x + 2 * i + 1] = o[i];
        }
    }
}

#if defined(__x86_64__)
// The same with AVX2, which widens sixteen bytes to sixteen 16-bit lanes in order in
// one instruction and works on all of them at once: a third of the instructions.
__attribute__((target("avx2"))) static inline __m256i widen_bytes(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

__attribute__((target("avx2"))) static void row_offsets_avx2(int y, uint16_t* src) {
    const uint8_t* mid = work_frame + row_offset[y];
    const uint8_t* up = mid - FRAME_W;
    const uint8_t* down = mid + FRAME_W;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i max_y = _mm256_set1_epi16(FRAME_H - 1), max_x = _mm256_set1_epi16(FRAME_W - 1);
    const __m256i stride = _mm256_set1_epi16(FRAME_W), step = _mm256_set1_epi16(16);
    const __m256i rows = _mm256_set1_epi16(int16_t(y - 1));
    __m256i cols = _mm256_setr_epi16(-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14);
    for (int x = 0; x < FRAME_W; x += 16, cols = _mm256_add_epi16(cols, step)) {
        __m256i sy = _mm256_sub_epi16(_mm256_add_epi16(rows, widen_bytes(up + x)),
                                      widen_bytes(down + x));
        sy = _mm256_min_epi16(_mm256_max_epi16(sy, zero), max_y);
        __m256i sx = _mm256_sub_epi16(_mm256_add_epi16(cols, widen_bytes(mid + x + 1)),
                                      widen_bytes(mid + x - 1));
        sx = _mm256_min_epi16(_mm256_max_epi16(sx, zero), max_x);
        const __m256i off = _mm256_add_epi16(_mm256_mullo_epi16(sy, stride), sx);  // < 64000
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(src + x), off);
    }
}
#endif

bool warp_wide_offsets = true;

// One row of the warp: its offsets, then the byte gather, which is the pass's real
// cost: two loads and a store per pixel, at about one pixel a cycle. (Hardware
// gathers, AVX2 or AVX-512, measured no faster than this loop on a recent core.)
template <void (*ROW_OFFSETS)(int, uint16_t*)>
static void warp_rows() {
    const uint8_t* const back = back_frame;
    uint16_t src[FRAME_W];
    for (int y = 1; y < FRAME_H - 1; ++y) {
        ROW_OFFSETS(y, src);
        uint8_t* out = screen_frame + row_offset[y];
#pragma GCC unroll 8
        for (int x = 1; x < FRAME_W - 1; ++x) out[x] = back[src[x]];
    }
}

void warp_frame() {
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && warp_wide_offsets) return warp_rows<row_offsets_avx2>();
#endif
    warp_rows<row_offsets_portable>();
}
