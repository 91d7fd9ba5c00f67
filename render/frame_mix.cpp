// Averaging two blocks of palette indices, sixteen pixels at a time.
#include "render/frame_mix.h"

#include <cstring>

namespace {

typedef uint8_t Bytes16 __attribute__((vector_size(16)));

}  // namespace

void average_into(uint8_t* dst, const uint8_t* src, size_t n) {
    // floor((a + b) / 2) without leaving 8 bits: the bits both share, plus half of
    // those only one has.
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        Bytes16 a, b;
        memcpy(&a, dst + i, 16);
        memcpy(&b, src + i, 16);
        const Bytes16 v = (a & b) + ((a ^ b) >> 1);
        memcpy(dst + i, &v, 16);
    }
    for (; i < n; ++i) dst[i] = uint8_t((dst[i] + src[i]) >> 1);
}
