// 16.16 sine and cosine tables and the three-axis integer rotation.
#include "render/fixed_rotation.h"

#include <array>

namespace {

// A quarter turn of the sine, 65536 * sin(2 * pi * i / 256) for i = 0..64, truncated
// toward zero. The rest of both tables follows by symmetry; truncation toward zero
// is symmetric under negation, so the mirrored entries are exactly the truncated
// values too.
constexpr int32_t quarter_sine[65] = {
    0,     1608,  3215,  4821,  6423,  8022,  9616,  11204, 12785, 14359, 15923, 17479, 19024,
    20557, 22078, 23586, 25079, 26557, 28020, 29465, 30893, 32302, 33692, 35061, 36409, 37736,
    39039, 40319, 41575, 42806, 44011, 45189, 46340, 47464, 48558, 49624, 50660, 51665, 52639,
    53581, 54491, 55368, 56212, 57022, 57797, 58538, 59243, 59913, 60547, 61144, 61705, 62228,
    62714, 63162, 63571, 63943, 64276, 64571, 64826, 65043, 65220, 65358, 65457, 65516, 65536,
};

constexpr int32_t sine_at(int i) {
    i &= 255;
    if (i >= 128) return -sine_at(i - 128);
    return i <= 64 ? quarter_sine[i] : quarter_sine[128 - i];
}

template <int SHIFT>
constexpr std::array<int32_t, 256> wave() {
    std::array<int32_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = sine_at(i + SHIFT);
    return t;
}

// Sum and difference in 32 bits with wrap-around, as the 32-bit registers do.
inline int32_t add32(int32_t p, int32_t q) { return int32_t(uint32_t(p) + uint32_t(q)); }
inline int32_t sub32(int32_t p, int32_t q) { return int32_t(uint32_t(p) - uint32_t(q)); }

}  // namespace

constinit const std::array<int32_t, 256> fixed_sin = wave<0>();
constinit const std::array<int32_t, 256> fixed_cos = wave<64>();  // a quarter turn ahead

IntPoint3 rotate_fixed(IntPoint3 p, uint8_t a, uint8_t b, uint8_t c) {
    int32_t x = int32_t(uint32_t(p.x) << 16), y = int32_t(uint32_t(p.y) << 16),
            z = int32_t(uint32_t(p.z) << 16);
    // Each step reads only the values from before it. A zero angle skips its step,
    // which changes nothing: cos 0 is exactly 1.0 here and sin 0 is 0.
    if (a) {
        const int32_t s = fixed_sin[a], k = fixed_cos[a];
        const int32_t y1 = sub32(fixed_mul(y, k), fixed_mul(z, s));
        z = add32(fixed_mul(z, k), fixed_mul(y, s));
        y = y1;
    }
    if (b) {
        const int32_t s = fixed_sin[b], k = fixed_cos[b];
        const int32_t z1 = sub32(fixed_mul(z, k), fixed_mul(x, s));
        x = add32(fixed_mul(x, k), fixed_mul(z, s));
        z = z1;
    }
    if (c) {
        const int32_t s = fixed_sin[c], k = fixed_cos[c];
        const int32_t x1 = sub32(fixed_mul(x, k), fixed_mul(y, s));
        y = add32(fixed_mul(y, k), fixed_mul(x, s));
        x = x1;
    }
    return {x >> 16, y >> 16, z >> 16};  // arithmetic shifts
}
