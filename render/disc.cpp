// The disc half-width table and the disc fill.
#include "render/disc.h"

#include <cstring>

#include "display/display.h"

namespace {

constexpr uint32_t isqrt(uint64_t n) {
    uint64_t r = 0, bit = uint64_t(1) << 62;
    while (bit > n) bit >>= 2;
    while (bit) {
        if (n >= r + bit) {
            n -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return uint32_t(r);
}

// 65536 * sqrt(1 - m^2 / 1024^2) = sqrt(4096 * (1024^2 - m^2)): the floor is the
// integer square root, with no rounding of a floating-point root to argue about.
constexpr std::array<uint32_t, DISC_TABLE_SIZE> build_half_widths() {
    std::array<uint32_t, DISC_TABLE_SIZE> t{};
    for (int m = 0; m < DISC_TABLE_SIZE; ++m)
        t[m] = isqrt(4096ull * uint64_t(DISC_TABLE_SIZE * DISC_TABLE_SIZE - m * m));
    return t;
}

}  // namespace

constinit const std::array<uint32_t, DISC_TABLE_SIZE> disc_half_width = build_half_widths();
static_assert(build_half_widths()[0] == 65536 && build_half_widths()[1023] == 2895);

namespace {

constexpr int MAX_DISC_ROWS = FRAME_W / 2;  // a <= 159 once the box fits the frame

// The octant walk, reduced to one half-width per row away from the centre. A step
// writes row j from column j out to i, and column j of rows j..i; because i never
// grows from one step to the next, every row it reaches is covered from the centre
// out, so its widest column is the whole story. The first step writes column 0 of
// every row, so a start at 0 loses nothing.
void disc_rows(int32_t a, int32_t* half) {
    for (int32_t r = 0; r < a; ++r) half[r] = 0;
    const int32_t step = 65536 / a;  // truncates; a >= 1 here
    int32_t i = a - 1, j = 0, acc = 0;
    do {
        if (half[j] < i) half[j] = i;
        for (int32_t k = j; k <= i; ++k)
            if (half[k] < j) half[k] = j;
        ++j;
        acc += step;
        // j * trunc(65536 / a) reaches 65536 (entry 1024, one past the table) only
        // when a divides 65536 and the walk gets to j = a, as it does for a = 1 and
        // 2. The half-width there is sqrt(1 - 1) = 0, which ends the walk.
        const int32_t m = acc >> 6;
        i = m < DISC_TABLE_SIZE ? int32_t((int64_t(a) * disc_half_width[m]) >> 16) : 0;
    } while (j <= i);
}

}  // namespace

void fill_disc(int32_t x, int32_t y, int32_t a) {
    // The radius first: a zero radius would divide by zero below.
    if (a < 1) return;
    // In 64 bits: projected points can sit anywhere in the 32-bit range.
    const int64_t x64 = x, y64 = y;
    if (x64 - a < 0 || y64 - a < 0 || x64 + a > FRAME_W - 1 || y64 + a > FRAME_H - 1) return;
    int32_t half[MAX_DISC_ROWS];
    disc_rows(a, half);
    for (int32_t j = 0; j < a; ++j) {
        const int32_t h = half[j];
        const size_t n = size_t(2 * h + 1);
        memset(screen_frame + row_offset[y - j] + x - h, DISC_INDEX, n);
        if (j) memset(screen_frame + row_offset[y + j] + x - h, DISC_INDEX, n);
    }
}
