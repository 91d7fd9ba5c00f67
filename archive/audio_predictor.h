// The audio predictor of the compressed format's audio mode: each decoded symbol
// is a prediction error that a per-channel linear predictor over recent byte
// differences turns into an output byte. Five weights per channel adapt every 32
// bytes of that channel. Inline: the decoder calls it once per output byte.
#pragma once

#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct AudioPredictor {
    int32_t weight[5];      // W1..W5, each within -17..16
    int32_t delta[4];       // D1..D4, past deltas
    int32_t last_delta;     // last byte-to-byte difference of this channel, -128..127
    uint32_t error_sum[11]; // E0..E10, running sums of the trial corrections' errors
    uint32_t count;         // bytes produced on this channel
    int32_t last_byte;      // previous output value before reduction to a byte
};

// Everything audio mode carries from byte to byte: zeroed when a non-solid entry
// starts, kept across entries of a solid archive and across table switches.
struct AudioState {
    AudioPredictor channel[4];
    int32_t cross_delta;   // last difference of whichever channel produced the previous byte
    uint32_t channels;     // 1..4 while in audio mode
    uint32_t current;      // channel of the next byte, 0..channels-1
};

// Every 32 bytes of a channel: moves one weight a step towards the trial
// correction with the smallest error sum (lowest index on a tie), clears the sums.
void adapt_audio_weights(AudioPredictor& v);

// Turns symbol s (0..255) into the next output byte of the current channel and
// updates that channel's predictor and cross_delta. The caller stores the byte and
// moves to the next channel. Signed 32-bit arithmetic, arithmetic right shifts;
// the result is the low 8 bits of the unreduced value.
__attribute__((always_inline)) inline uint8_t predict_audio_byte(AudioState& state, uint32_t s) {
    AudioPredictor& v = state.channel[state.current & 3];
    const int32_t* w = v.weight;
    int32_t* d = v.delta;
    v.count += 1;
    int32_t ld = v.last_delta;
    int32_t d1 = ld, d2 = ld - d[0], d3 = d[1], d4 = d[2];
    d[0] = d1;
    d[1] = d2;
    d[2] = d3;
    d[3] = d4;
    int32_t cross = state.cross_delta;
    int32_t p = 8 * v.last_byte + w[0] * d1 + w[1] * d2 + w[2] * d3 + w[3] * d4 + w[4] * cross;
    p = (p >> 3) & 0xFF;
    int32_t out = p - int32_t(s);
    int32_t e = int32_t(int8_t(uint8_t(s))) * 8;

    uint32_t* sum = v.error_sum;
    sum[0] += uint32_t(std::abs(e));
#if defined(__SSE2__)
    // E1..E8 are |e - D1|, |e + D1|, ..., |e + D4|: two vectors of four.
    __m128i x = _mm_set_epi32(d4, d3, d2, d1);
    __m128i nx = _mm_sub_epi32(_mm_setzero_si128(), x);
    __m128i ev = _mm_set1_epi32(e);
    __m128i lo = _mm_sub_epi32(ev, _mm_unpacklo_epi32(x, nx));  // e-D1 e+D1 e-D2 e+D2
    __m128i hi = _mm_sub_epi32(ev, _mm_unpackhi_epi32(x, nx));  // e-D3 e+D3 e-D4 e+D4
    __m128i slo = _mm_srai_epi32(lo, 31), shi = _mm_srai_epi32(hi, 31);
    lo = _mm_sub_epi32(_mm_xor_si128(lo, slo), slo);
    hi = _mm_sub_epi32(_mm_xor_si128(hi, shi), shi);
    __m128i* s14 = reinterpret_cast<__m128i*>(sum + 1);
    __m128i* s58 = reinterpret_cast<__m128i*>(sum + 5);
    _mm_storeu_si128(s14, _mm_add_epi32(_mm_loadu_si128(s14), lo));
    _mm_storeu_si128(s58, _mm_add_epi32(_mm_loadu_si128(s58), hi));
#else
    sum[1] += uint32_t(std::abs(e - d1));
    sum[2] += uint32_t(std::abs(e + d1));
    sum[3] += uint32_t(std::abs(e - d2));
    sum[4] += uint32_t(std::abs(e + d2));
    sum[5] += uint32_t(std::abs(e - d3));
    sum[6] += uint32_t(std::abs(e + d3));
    sum[7] += uint32_t(std::abs(e - d4));
    sum[8] += uint32_t(std::abs(e + d4));
#endif
    sum[9] += uint32_t(std::abs(e - cross));
    sum[10] += uint32_t(std::abs(e + cross));

    int32_t diff = int32_t(int8_t(uint8_t(out - v.last_byte)));  // low byte, sign-extended
    v.last_delta = diff;
    state.cross_delta = diff;
    v.last_byte = out;
    if ((v.count & 31) == 0) adapt_audio_weights(v);
    return uint8_t(out);
}
