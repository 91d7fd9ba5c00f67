// Rotation of integer points in 16.16 fixed point: the sine and cosine tables of
// 256 steps per turn and the three-axis rotation built on them. Exact integer
// arithmetic, so a rotated point is the same on every machine.
#pragma once

#include <array>
#include <cstdint>

// Entry i = 65536 * sin(2 * pi * i / 256) (respectively cos), truncated toward zero:
// 16.16 fixed point, 256 steps per full turn. fixed_sin[64] = 65536,
// fixed_cos[128] = -65536, fixed_sin[1] = 1608, fixed_cos[1] = 65516.
extern const std::array<int32_t, 256> fixed_sin;
extern const std::array<int32_t, 256> fixed_cos;

// The 16.16 product: the 64-bit product p * q shifted right by 16 (arithmetic, so
// rounding toward minus infinity), kept to 32 bits (wraps).
inline int32_t fixed_mul(int32_t p, int32_t q) { return int32_t((int64_t(p) * q) >> 16); }

struct IntPoint3 {
    int32_t x, y, z;
};

// Rotates p about the x axis by a, then about the y axis by b, then about the z axis
// by c (angles in 1/256 turns); a step whose angle is 0 is skipped. The point is
// taken to 16.16 (x * 65536, wrapping in 32 bits), rotated with fixed_mul, and the
// result shifted back right by 16 (arithmetic: rounds toward minus infinity).
// Scene 6 rotates its cloud with it, once per point per frame.
IntPoint3 rotate_fixed(IntPoint3 p, uint8_t a, uint8_t b, uint8_t c);
