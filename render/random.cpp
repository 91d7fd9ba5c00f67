// The process-wide random generator; see random.h.
#include "render/random.h"

static uint32_t rand_state = 1;

void show_srand(uint32_t seed) { rand_state = seed; }

int show_rand() {
    rand_state = rand_state * 214013u + 2531011u;
    return int((rand_state >> 16) & 0x7FFF);
}
