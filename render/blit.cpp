// Whole-frame fills and the rectangular sprite copies.
#include "render/blit.h"

#include <bit>
#include <cstring>

#include "display/display.h"
#include "render/swar.h"

static_assert(std::endian::native == std::endian::little,
              "blit_blend takes a word's last pixel from its top byte");

void fill_frame(uint8_t* frame, uint8_t index) { memset(frame, index, FRAME_BYTES); }

// The rectangle cut to the frame's right and bottom edges: one test per call, so
// out-of-contract calls stay inside the frame and in-contract calls are unchanged.
struct Span {
    int w, h;  // columns and rows to draw; the source stride stays the caller's w
};

static inline Span clip_rect(uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
    if (x >= FRAME_W || y >= FRAME_H) return {0, 0};
    return {w < FRAME_W - x ? int(w) : FRAME_W - x, h < FRAME_H - y ? int(h) : FRAME_H - y};
}

// The shared rectangular loop: word(p, s) does eight pixels of one row at once,
// byte(p, s) the rest; both give the new destination bytes.
template <class Word, class Byte>
static inline void rect_loop(uint8_t* frame, const uint8_t* src, uint16_t x, uint16_t y,
                             uint16_t w, uint16_t h, Word word, Byte byte) {
    const Span span = clip_rect(x, y, w, h);
    for (int r = 0; r < span.h; ++r, src += w) {
        uint8_t* p = frame + row_offset[y + r] + x;
        int i = 0;
        for (; i + 8 <= span.w; i += 8) swar_store(p + i, word(swar_load(p + i), swar_load(src + i)));
        for (; i < span.w; ++i) p[i] = byte(p[i], src[i]);
    }
}

void blit_opaque(const uint8_t* src, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
    const Span span = clip_rect(x, y, w, h);
    for (int r = 0; r < span.h; ++r, src += w)
        memcpy(screen_frame + row_offset[y + r] + x, src, size_t(span.w));
}

// The keyed rules as masks, not jumps: a key byte selects the old pixel.
void blit_keyed(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                uint16_t h) {
    const uint64_t keys = SWAR_ONES * key;
    rect_loop(
        screen_frame, src, x, y, w, h,
        [keys](uint64_t p, uint64_t s) { return swar_select(swar_nonzero(s ^ keys), s, p); },
        [key](uint8_t p, uint8_t s) { return s == key ? p : s; });
}

void blit_keyed_to_back(const uint8_t* src, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
    rect_loop(
        back_frame, src, x, y, w, h,
        [](uint64_t p, uint64_t s) { return swar_select(swar_nonzero(s), s, p); },
        [](uint8_t p, uint8_t s) { return s == 0 ? p : s; });
}

void blit_add(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
              uint16_t h) {
    const uint64_t keys = SWAR_ONES * key;
    rect_loop(
        screen_frame, src, x, y, w, h,
        [keys](uint64_t p, uint64_t s) { return swar_select(swar_nonzero(s ^ keys), swar_add(p, s), p); },
        [key](uint8_t p, uint8_t s) { return s == key ? p : uint8_t(p + s); });  // wraps
}

void blit_add_capped(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                     uint16_t h, uint8_t cap) {
    const Span span = clip_rect(x, y, w, h);
    for (int r = 0; r < span.h; ++r, src += w) {
        uint8_t* p = screen_frame + row_offset[y + r] + x;
        for (int i = 0; i < span.w; ++i) {
            const unsigned sum = unsigned(p[i]) + src[i];  // at most 510: no wrap
            const uint8_t capped = sum < cap ? uint8_t(sum) : cap;
            p[i] = src[i] == key ? p[i] : capped;
        }
    }
}

// Key pixel of blit_blend whose eight linear neighbours all lie inside the frame
// (rows 1..198 but for column 0 of row 1 and column 319 of row 198). The left one is
// passed in (the value just written there, kept in a register), so only it chains
// one pixel to the next; the seven others are loads that do not wait on it.
// floor(sum / 9) by the compiler's multiply, 0 written as 1.
static inline unsigned blur_at(const uint8_t* p, unsigned left) {
    const unsigned others = p[-321] + p[-320] + p[-319] + p[1] + p[319] + p[320] + p[321];
    const unsigned v = (others + left) / 9;  // at most 2040 / 9: a byte
    return v ? v : 1;
}

// Eight key pixels from p on rows 2..197 (all linear neighbours inside the frame);
// `left` is the value just before them and becomes the last one written. The seven
// neighbours other than the left one are summed for all eight at once (they do not
// depend on this word's results). Where every such sum is 9 or more, no result can be
// 0, and nested floors fold: floor((a + floor(b / 9)) / 9) = floor((9a + b) / 81). So
// the k-th pixel of a group of four follows from the value before the group in one
// add and one division by 9^k, and only the fourth feeds the next group: the chain
// through the left neighbours (an add, a multiply and a shift per pixel) is cut to
// one link per four pixels. Otherwise the pixels go one after the other.
static inline void blur_word(uint8_t* p, unsigned& left) {
    const NeighbourSums n = neighbour_sums16(p);  // pixels 0..7 in lanes 0..3
    uint16_t even[8], odd[8];
    memcpy(even, &n.even, sizeof even);
    memcpy(odd, &n.odd, sizeof odd);
    const Lanes small = (n.even < 9) | (n.odd < 9);
    uint64_t first_four_lanes;
    memcpy(&first_four_lanes, &small, sizeof first_four_lanes);
    unsigned v = left;
    if (first_four_lanes == 0) {
        for (int h = 0; h < 8; h += 4) {
            // At most 820 * 1785 + 255: no wrap.
            const unsigned q1 = even[h / 2], q2 = q1 + 9 * odd[h / 2];
            const unsigned q3 = q2 + 81 * even[h / 2 + 1], q4 = q3 + 729 * odd[h / 2 + 1];
            p[h] = uint8_t((q1 + v) / 9);
            p[h + 1] = uint8_t((q2 + v) / 81);
            p[h + 2] = uint8_t((q3 + v) / 729);
            v = (q4 + v) / 6561;
            p[h + 3] = uint8_t(v);
        }
    } else {
        auto next = [&v](unsigned others) {
            v = (others + v) / 9;
            v = v ? v : 1;
            return uint8_t(v);
        };
        for (int i = 0; i < 4; ++i) {
            p[2 * i] = next(even[i]);
            p[2 * i + 1] = next(odd[i]);
        }
    }
    left = v;
}

// The sum of the eight linear neighbours of k where some can fall outside the 64000
// bytes: those count as 0. Rows 0 and 199 are outside the contract, but column 0 of
// row 1 (k - 321) and column 319 of row 198 (k + 321) reach out too.
static unsigned edge_neighbour_sum(int k) {
    static const int offsets[8] = {-321, -320, -319, -1, 1, 319, 320, 321};
    unsigned sum = 0;
    for (int o : offsets) {
        const int n = k + o;
        if (n >= 0 && n < FRAME_BYTES) sum += screen_frame[n];
    }
    return sum;
}

// blur_at for those pixels.
static uint8_t blur_at_edge(int k) {
    const unsigned v = edge_neighbour_sum(k) / 9;
    return uint8_t(v ? v : 1);
}

// Non-key rule for eight pixels: floor((p + s) / 2) per byte as (p & s) + ((p ^ s)
// >> 1) with each byte's low bit masked off before the shift, then 0 written as 1.
static inline uint64_t blend_word(uint64_t p, uint64_t s) {
    const uint64_t v = (p & s) + (((p ^ s) & ~SWAR_ONES) >> 1);
    return v | (~swar_nonzero(v) & SWAR_ONES);
}

// One row of blit_blend from frame offset `start`, n pixels, on rows 1..198. On rows
// 1 and 198 (NEAR_EDGE) one pixel each, column 0 of row 1 and column 319 of row 198,
// has a linear neighbour outside the frame, and the wide sums of blur_word would read
// outside it too: there key pixels go one by one with the checked sum.
template <bool NEAR_EDGE>
static inline void blend_row(const uint8_t* src, uint8_t key, int start, int n) {
    uint8_t* p = screen_frame + start;
    const uint64_t keys = SWAR_ONES * key;
    // Key pixels read their left neighbour as just written and their right one as not
    // yet written, so the row runs strictly left to right. `left` is the byte before
    // pixel i as it now stands, carried in a register from key pixel to key pixel;
    // after non-key words it is read back once, when the next key pixel comes.
    constexpr unsigned FROM_MEMORY = ~0u;  // never a byte value
    unsigned left = FROM_MEMORY;
    auto pixel = [&](int i) {
        const uint8_t s = src[i];
        unsigned v;
        if (s != key) {
            v = (p[i] + s) >> 1;
            v = v ? v : 1;
        } else if (NEAR_EDGE) {
            const int k = start + i;
            v = k <= FRAME_W || k >= FRAME_BYTES - FRAME_W - 1 ? blur_at_edge(k) : blur_at(p + i, left);
        } else {
            v = blur_at(p + i, left);
        }
        p[i] = uint8_t(v);
        left = v;
    };
    // Eight non-key pixels read no neighbours and go as one word, eight key pixels as
    // another; a word holding both goes pixel by pixel (that branch follows the
    // sprite's shape).
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint64_t s8 = swar_load(src + i);
        if (swar_nonzero(s8 ^ keys) == ~uint64_t(0)) {
            swar_store(p + i, blend_word(swar_load(p + i), s8));
            left = FROM_MEMORY;
            continue;
        }
        if (left == FROM_MEMORY) left = p[i - 1];
        if (!NEAR_EDGE && s8 == keys) {
            blur_word(p + i, left);
        } else {
            for (int j = i; j < i + 8; ++j) pixel(j);
        }
    }
    if (i < n && left == FROM_MEMORY) left = p[i - 1];
    for (; i < n; ++i) pixel(i);
}

void blit_blend(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                uint16_t h) {
    const Span span = clip_rect(x, y, w, h);
    for (int r = 0; r < span.h; ++r, src += w) {
        const int row = y + r;
        const int start = row_offset[row] + x;
        if (row == 0 || row == FRAME_H - 1) {  // outside the contract: all checked
            uint8_t* p = screen_frame + start;
            for (int i = 0; i < span.w; ++i) {
                const uint8_t s = src[i];
                if (s != key) {
                    const unsigned v = (p[i] + s) >> 1;
                    p[i] = uint8_t(v ? v : 1);
                } else {
                    p[i] = blur_at_edge(start + i);
                }
            }
        } else if (row == 1 || row == FRAME_H - 2) {
            blend_row<true>(src, key, start, span.w);
        } else {
            blend_row<false>(src, key, start, span.w);
        }
    }
}

void blit_smudge(const uint8_t* src, uint8_t key, uint16_t x, uint16_t y, uint16_t w,
                 uint16_t h, uint8_t add) {
    const Span span = clip_rect(x, y, w, h);
    const uint64_t keys = SWAR_ONES * key;
    for (int r = 0; r < span.h; ++r, src += w) {
        const int start = row_offset[y + r] + x;
        uint8_t* p = screen_frame + start;
        // Only the sprite's own pixels change, so runs of eight key bytes are
        // skipped whole. The left and upper neighbours are read back from the frame
        // as this call has just written them.
        for (int i = 0; i < span.w;) {
            if (i + 8 <= span.w && swar_load(src + i) == keys) {
                i += 8;
                continue;
            }
            if (src[i] != key) {
                const int k = start + i;
                const unsigned sum = k <= FRAME_W || k >= FRAME_BYTES - FRAME_W - 1
                                         ? edge_neighbour_sum(k)
                                         : unsigned(p[i - 321] + p[i - 320] + p[i - 319] + p[i - 1] +
                                                    p[i + 1] + p[i + 319] + p[i + 320] + p[i + 321]);
                const uint8_t v = uint8_t(sum / 9 + add);  // wraps modulo 256
                p[i] = v ? v : 1;
            }
            ++i;
        }
    }
}

void blit_aligned(uint8_t* dst, const uint8_t* src, uint16_t x, uint16_t y, uint16_t w,
                  uint16_t h) {
    // 32-bit units: the frame is 80 units wide.
    const int ux = x / 4, uw = w / 4;
    if (ux >= FRAME_W / 4 || y >= FRAME_H) return;
    const int units = uw < FRAME_W / 4 - ux ? uw : FRAME_W / 4 - ux;
    const int rows = h < FRAME_H - y ? int(h) : FRAME_H - y;
    for (int r = 0; r < rows; ++r, src += uw * 4)
        memcpy(dst + (size_t(y + r) * (FRAME_W / 4) + ux) * 4, src, size_t(units) * 4);
}

void blit_keyed_clipped(const uint8_t* src, uint16_t w, uint16_t h, int16_t x, int16_t y,
                        uint8_t key) {
    // The clip window ends at column 318 and row 198: the last column and row are
    // never written.
    constexpr int CLIP_W = FRAME_W - 1, CLIP_H = FRAME_H - 1;
    if (x > CLIP_W || y > CLIP_H) return;
    if (x + w < 0 || y + h < 0) return;
    const int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    const int x1 = x + w < CLIP_W ? x + w : CLIP_W;
    const int y1 = y + h < CLIP_H ? y + h : CLIP_H;
    // Every row starts a full stride w after the last, so the clipped columns on
    // both sides are skipped.
    const uint8_t* s = src + size_t(y0 - y) * w + (x0 - x);
    const uint64_t keys = SWAR_ONES * key;
    const int n = x1 - x0;
    for (int r = y0; r < y1; ++r, s += w) {
        uint8_t* p = screen_frame + row_offset[r] + x0;
        int i = 0;
        for (; i + 8 <= n; i += 8) {
            const uint64_t v = swar_load(s + i);
            swar_store(p + i, swar_select(swar_nonzero(v ^ keys), v, swar_load(p + i)));
        }
        for (; i < n; ++i) p[i] = s[i] == key ? p[i] : s[i];
    }
}
