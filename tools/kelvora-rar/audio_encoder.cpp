// Audio predictor: all arithmetic in signed 32 bits; the prediction is an
// arithmetic shift right by 3 of an 8x-scaled sum, reduced modulo 256.
#include "audio_encoder.h"

#include <cstdlib>

namespace rarw {

uint8_t audio_encode_byte(AudioState& state, unsigned ch, uint8_t byte) {
    AudioChannel& v = state.channel[ch];
    v.count += 1;
    v.delta[3] = v.delta[2];
    v.delta[2] = v.delta[1];
    v.delta[1] = v.last_delta - v.delta[0];
    v.delta[0] = v.last_delta;
    const int32_t d1 = v.delta[0], d2 = v.delta[1], d3 = v.delta[2], d4 = v.delta[3];
    const int32_t cross = state.cross_delta;
    int32_t p = 8 * v.last_byte + v.weight[0] * d1 + v.weight[1] * d2 + v.weight[2] * d3 + v.weight[3] * d4 +
                v.weight[4] * cross;
    p = (p >> 3) & 0xFF;
    // The decoder outputs the low byte of p - s, so s = p - byte modulo 256.
    const uint8_t s = static_cast<uint8_t>((p - byte) & 0xFF);
    const int32_t out = p - s;
    const int32_t e = static_cast<int32_t>(static_cast<int8_t>(s)) * 8;
    uint32_t* E = v.error_sum;
    E[0] += static_cast<uint32_t>(std::abs(e));
    E[1] += static_cast<uint32_t>(std::abs(e - d1));
    E[2] += static_cast<uint32_t>(std::abs(e + d1));
    E[3] += static_cast<uint32_t>(std::abs(e - d2));
    E[4] += static_cast<uint32_t>(std::abs(e + d2));
    E[5] += static_cast<uint32_t>(std::abs(e - d3));
    E[6] += static_cast<uint32_t>(std::abs(e + d3));
    E[7] += static_cast<uint32_t>(std::abs(e - d4));
    E[8] += static_cast<uint32_t>(std::abs(e + d4));
    E[9] += static_cast<uint32_t>(std::abs(e - cross));
    E[10] += static_cast<uint32_t>(std::abs(e + cross));
    // Low byte of the difference, sign-extended.
    const int32_t diff = static_cast<int32_t>(static_cast<int8_t>(static_cast<uint8_t>((out - v.last_byte) & 0xFF)));
    v.last_delta = diff;
    state.cross_delta = diff;
    v.last_byte = out;
    if ((v.count & 31u) == 0) {
        unsigned m = 0;
        uint32_t smallest = E[0];
        for (unsigned i = 1; i < 11; ++i) {
            if (E[i] < smallest) {
                smallest = E[i];
                m = i;
            }
        }
        for (unsigned i = 0; i < 11; ++i) E[i] = 0;
        if (m > 0) {
            int32_t& w = v.weight[(m - 1) / 2];
            if (m & 1u) {
                if (w >= -16) w -= 1;
            } else {
                if (w < 16) w += 1;
            }
        }
    }
    return s;
}

void audio_encode_run(AudioState& state, unsigned channels, unsigned first_channel, const uint8_t* bytes,
                      size_t count, uint8_t* symbols) {
    unsigned ch = first_channel;
    for (size_t i = 0; i < count; ++i) {
        symbols[i] = audio_encode_byte(state, ch, bytes[i]);
        if (++ch == channels) ch = 0;
    }
}

}  // namespace rarw
