// Encoder building blocks checked against plain references: slot lookups against a
// search of the base tables, Huffman lengths against the length limit and the
// prefix property, the audio predictor against the decoder's documented values.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "audio_encoder.h"
#include "huffman.h"
#include "rar_codes.h"

namespace {

template <class T>
unsigned plain_slot(const T* base, unsigned n, uint32_t v) {
    unsigned s = 0;
    while (s + 1 < n && base[s + 1] <= v) ++s;
    return s;
}

TEST(RarCodes, SlotsMatchTheBaseTables) {
    for (uint32_t v = 0; v < 256; ++v) {
        const unsigned s = rarw::length_slot(v);
        ASSERT_EQ(s, plain_slot(rarw::kLengthBase, 28, v)) << v;
        ASSERT_LT(v - rarw::kLengthBase[s], 1u << rarw::kLengthExtra[s]);
        ASSERT_EQ(rarw::short_slot(v), plain_slot(rarw::kShortBase, 8, v)) << v;
    }
    for (uint32_t d0 = 0; d0 <= rarw::kMaxDistance; d0 += (d0 < 70000 ? 1 : 97)) {
        const unsigned s = rarw::dist_slot(d0);
        ASSERT_EQ(s, plain_slot(rarw::kDistBase, 48, d0)) << d0;
        ASSERT_LT(d0 - rarw::kDistBase[s], 1u << rarw::kDistExtra[s]);
    }
    EXPECT_EQ(rarw::dist_slot(rarw::kMaxDistance), 47u);
}

// Checks the canonical codes are prefix-free and fill no more than the code space.
void expect_valid_code(const std::vector<uint8_t>& len) {
    std::vector<uint16_t> codes(len.size());
    rarw::assign_codes(len.data(), static_cast<unsigned>(len.size()), codes.data());
    double kraft = 0;
    for (size_t i = 0; i < len.size(); ++i) {
        if (!len[i]) continue;
        ASSERT_LE(len[i], rarw::kMaxCodeBits);
        kraft += 1.0 / (1u << len[i]);
        for (size_t j = 0; j < len.size(); ++j) {
            if (j == i || !len[j] || len[j] < len[i]) continue;
            ASSERT_NE(codes[j] >> (len[j] - len[i]), codes[i]) << i << " prefixes " << j;
        }
    }
    EXPECT_LE(kraft, 1.0 + 1e-12);
}

TEST(RarCodes, HuffmanLengthsAreLimitedAndPrefixFree) {
    // Fibonacci weights would need 40 bits unlimited.
    std::vector<uint32_t> fib(40);
    fib[0] = fib[1] = 1;
    for (size_t i = 2; i < fib.size(); ++i) fib[i] = std::min<uint32_t>(fib[i - 1] + fib[i - 2], 1u << 30);
    std::vector<uint8_t> len(fib.size());
    rarw::build_code_lengths(fib.data(), 40, 15, len.data());
    EXPECT_EQ(*std::max_element(len.begin(), len.end()), 15);
    expect_valid_code(len);

    // Unlimited case: the known optimum for these weights.
    const uint32_t w[6] = {5, 9, 12, 13, 16, 45};
    uint8_t l6[6];
    rarw::build_code_lengths(w, 6, 15, l6);
    EXPECT_EQ(rarw::coded_bits(w, l6, 6), 224u);

    // One used symbol gets a 1-bit code; none gets nothing.
    const uint32_t one[4] = {0, 0, 7, 0};
    uint8_t l4[4];
    rarw::build_code_lengths(one, 4, 15, l4);
    EXPECT_EQ(std::vector<uint8_t>(l4, l4 + 4), (std::vector<uint8_t>{0, 0, 1, 0}));
    const uint32_t none[4] = {};
    rarw::build_code_lengths(none, 4, 15, l4);
    EXPECT_EQ(std::accumulate(l4, l4 + 4, 0), 0);
}

TEST(RarCodes, CanonicalCodesFollowLengthThenSymbol) {
    const std::vector<uint8_t> len = {3, 3, 3, 3, 3, 2, 4, 4};
    std::vector<uint16_t> codes(len.size());
    rarw::assign_codes(len.data(), 8, codes.data());
    EXPECT_EQ(codes, (std::vector<uint16_t>{0b010, 0b011, 0b100, 0b101, 0b110, 0b00, 0b1110, 0b1111}));
    expect_valid_code(len);
}

TEST(RarAudio, PredictorFromResetState) {
    rarw::AudioState st;
    EXPECT_EQ(rarw::audio_encode_byte(st, 0, 0), 0);  // prediction 0, output 0
    rarw::AudioState st2;
    EXPECT_EQ(rarw::audio_encode_byte(st2, 0, 255), 1);  // p = 0, v = -1
    EXPECT_EQ(st2.channel[0].last_byte, -1);
    EXPECT_EQ(st2.cross_delta, -1);
    // A constant signal is predicted exactly once the deltas settle.
    rarw::AudioState st3;
    std::vector<uint8_t> flat(200, 77), syms(200);
    rarw::audio_encode_run(st3, 1, 0, flat.data(), flat.size(), syms.data());
    EXPECT_TRUE(std::all_of(syms.begin() + 3, syms.end(), [](uint8_t s) { return s == 0; }));
}

TEST(RarAudio, WeightsMoveByOneStepPer32BytesAndStayInRange) {
    rarw::AudioState st;
    const std::vector<uint8_t> ramp = [] {
        std::vector<uint8_t> v(32 * 200);
        for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>((i * 7) ^ (i >> 3));
        return v;
    }();
    std::vector<uint8_t> syms(ramp.size());
    int32_t prev[5] = {};
    for (size_t at = 0; at < ramp.size(); at += 32) {
        rarw::audio_encode_run(st, 1, 0, ramp.data() + at, 32, syms.data() + at);
        int moved = 0;
        for (int k = 0; k < 5; ++k) {
            moved += std::abs(st.channel[0].weight[k] - prev[k]);
            EXPECT_GE(st.channel[0].weight[k], -17);
            EXPECT_LE(st.channel[0].weight[k], 16);
            prev[k] = st.channel[0].weight[k];
        }
        EXPECT_LE(moved, 1);
    }
}

}  // namespace
