// The process-wide random generator every scene draws from: a 32-bit linear
// congruential state, the classic C library's constants.
#pragma once

#include <cstdint>

// Sets the state. Scene 1 (logo and curves phases) and scene 9 seed it with the
// millisecond tick count; nothing else seeds.
void show_srand(uint32_t seed);

// state = state * 214013 + 2531011 (wraps modulo 2^32); returns (state >> 16) & 0x7FFF,
// 0..32767. The state is carried.random_state (render/carried.h), 1 when the program
// starts.
int show_rand();
