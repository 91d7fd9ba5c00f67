// The audio predictor's weight adaptation (the per-byte step is inline in the header).
#include "archive/audio_predictor.h"

void adapt_audio_weights(AudioPredictor& v) {
    uint32_t* sum = v.error_sum;
    // Only a strictly smaller sum replaces the best, so the lowest index wins a tie.
    uint32_t best = sum[0];
    int m = 0;
    for (int i = 1; i < 11; ++i) {
        if (sum[i] < best) {
            best = sum[i];
            m = i;
        }
    }
    for (int i = 0; i < 11; ++i) sum[i] = 0;
    if (m == 0) return;
    int32_t& weight = v.weight[(m - 1) / 2];
    if (m & 1) {
        if (weight >= -16) weight -= 1;
    } else {
        if (weight < 16) weight += 1;
    }
}
