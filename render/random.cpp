// The process-wide random generator; see random.h.
#include "render/random.h"

#include "render/carried.h"

void show_srand(uint32_t seed) { carried.random_state = seed; }

int show_rand() {
    uint32_t& state = carried.random_state;
    state = state * 214013u + 2531011u;  // wraps modulo 2^32
    return int((state >> 16) & 0x7FFF);
}
