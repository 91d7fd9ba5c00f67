// The XOR stripe displacement warp of scenes 1 and 4: diagonal XOR stripes drawn
// into work_frame as a height field, then back_frame re-sampled into screen_frame
// with each pixel displaced by the local slope of that field.
#pragma once

#include <cstdint>

// Every pixel of work_frame = ((x +/- y) XOR t) mod 256 by carried.stripe_flip
// (render/carried.h: 0 = x + y, 1 = x - y), then the flip turns over. Only the low
// 8 bits of t matter.
void draw_xor_stripes(uint16_t t);

// For rows 1..198, columns 1..318: screen[k] = back[sy][sx] with sy = clamp(y - 1 +
// W[k-320] - W[k+320], 0, 199) and sx = clamp(x - 1 + W[k+1] - W[k-1], 0, 319), W =
// work_frame read unsigned. The frame border of screen_frame is left alone.
void warp_frame();

// Whether warp_frame may compute its source offsets with AVX2 where the processor has
// it (the default); false keeps it to the portable loop. Both give the same frame.
extern bool warp_wide_offsets;
