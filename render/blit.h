// Whole-frame fills and the rectangular sprite copies. A sprite is a bare w x h
// block of palette indices, rows packed with stride w; size and key are passed per
// call. All copies draw into screen_frame unless their name or first argument says
// otherwise, use row_offset to find rows, allocate nothing and report nothing.
//
// Rectangle contract: x + w <= 320 and y + h <= 200 (blit_blend also keeps rows 0
// and 199 free). Outside it, one test per call cuts the rectangle at the right and
// bottom frame edges (x >= 320 or y >= 200 draws nothing); the source stride stays
// w, so the part inside the frame is drawn as it would have been. Calls inside the
// contract are not affected.
#pragma once

#include <cstdint>

// Sets all 64000 bytes of frame to index (moved as 32-bit units). Scenes use 1 and 32.
void fill_frame(uint8_t* frame, uint8_t index);

// p = s.
void blit_opaque(const uint8_t* src, uint16_t x, uint16_t y, uint16_t w, uint16_t h);

// p = s unless s = key.
void blit_keyed(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                uint16_t h);

// Into back_frame: p = s unless s = 0 (the key is fixed at 0).
void blit_keyed_to_back(const uint8_t* src, uint16_t x, uint16_t y, uint16_t w, uint16_t h);

// p = (p + s) mod 256 unless s = key; wraps, never saturates.
void blit_add(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
              uint16_t h);

// p = min(p + s, cap) unless s = key, summed without wrapping, so a pixel already
// above cap comes down to it. Scene 7 adds its banner with it.
void blit_add_capped(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                     uint16_t h, uint8_t cap);

// s != key: p = max(1, (p + s) >> 1). s = key: p = max(1, floor(sum of the 8
// neighbours / 9)), neighbours at linear offsets k-321..k+321 read in their current
// state (in place, row-major), so a row's left end sees the row above's right end.
// Neighbours that fall outside the 64000 bytes count as 0: those of rows 0 and 199
// (out of contract) and of the corners (0, 1) and (319, 198), which reach one byte
// past the frame's start and end.
void blit_blend(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                uint16_t h);

// s != key: p = floor(sum of the 8 neighbours / 9) + add, kept to 8 bits (wraps
// modulo 256), and 1 where that is 0. s = key: p stays. Neighbours as in
// blit_blend: linear offsets, current state, outside the 64000 bytes counted as 0.
// Scene 6 fades the older lines of its word stack with it.
void blit_smudge(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                 uint16_t h, uint8_t add);

// Opaque copy into dst in 32-bit units: x and w are taken as x/4 and w/4 units
// (rounded down), the source read with a stride of w/4 units. Callers pass
// multiples of 4; the lens effect and scene 1's tunnel use it.
void blit_aligned(uint8_t* dst, const uint8_t* src, uint16_t x, uint16_t y, uint16_t w,
                  uint16_t h);

// Keyed copy that clips against columns 0..318 and rows 0..198 (the last column and
// row are never written); x and y may be negative or past the edges. The source
// keeps its stride w, so a sprite clipped on both sides at once is drawn correctly.
// Scene 10's sliding sprites use it.
void blit_keyed_clipped(const uint8_t* src, uint16_t w, uint16_t h, int16_t x, int16_t y,
                        uint8_t key);
