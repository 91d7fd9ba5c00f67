// The audio predictor: prediction, error bookkeeping and weight adaptation.
#include "archive/audio_predictor.h"

#include <cstdlib>

uint8_t predict_audio_byte(AudioState& state, uint32_t s) {
    AudioPredictor& v = state.channel[state.current & 3];
    int32_t* w = v.weight;
    int32_t* d = v.delta;
    v.count += 1;
    d[3] = d[2];
    d[2] = d[1];
    d[1] = v.last_delta - d[0];
    d[0] = v.last_delta;
    int32_t cross = state.cross_delta;
    int32_t p = 8 * v.last_byte + w[0] * d[0] + w[1] * d[1] + w[2] * d[2] + w[3] * d[3] + w[4] * cross;
    p = (p >> 3) & 0xFF;  // arithmetic shift, then the low byte
    int32_t out = p - int32_t(s);
    int32_t e = int32_t(int8_t(uint8_t(s))) * 8;

    uint32_t* sum = v.error_sum;
    sum[0] += uint32_t(std::abs(e));
    sum[1] += uint32_t(std::abs(e - d[0]));
    sum[2] += uint32_t(std::abs(e + d[0]));
    sum[3] += uint32_t(std::abs(e - d[1]));
    sum[4] += uint32_t(std::abs(e + d[1]));
    sum[5] += uint32_t(std::abs(e - d[2]));
    sum[6] += uint32_t(std::abs(e + d[2]));
    sum[7] += uint32_t(std::abs(e - d[3]));
    sum[8] += uint32_t(std::abs(e + d[3]));
    sum[9] += uint32_t(std::abs(e - cross));
    sum[10] += uint32_t(std::abs(e + cross));

    int32_t diff = int32_t(int8_t(uint8_t(out - v.last_byte)));  // low byte, sign-extended
    v.last_delta = diff;
    state.cross_delta = diff;
    v.last_byte = out;

    if ((v.count & 31) == 0) {
        // Lowest index wins a tie: only a strictly smaller sum replaces the best.
        uint32_t best = sum[0];
        int m = 0;
        for (int i = 1; i < 11; ++i) {
            if (sum[i] < best) {
                best = sum[i];
                m = i;
            }
        }
        for (int i = 0; i < 11; ++i) sum[i] = 0;
        if (m > 0) {
            int32_t& weight = w[(m - 1) / 2];
            if (m & 1) {
                if (weight >= -16) weight -= 1;
            } else {
                if (weight < 16) weight += 1;
            }
        }
    }
    return uint8_t(out);
}
