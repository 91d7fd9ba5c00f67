// The plain reading of the compressed format, kept as the reference the fast
// decoder is checked against: 16-bit peeks from three bytes, a search over the
// limits for every symbol, byte-by-byte copies through the window mask. Reads one
// entry's whole data area at once (zero past its end). Header-only.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/audio_predictor.h"

namespace refdec {

// The audio predictor read directly: eleven error sums one by one.
inline uint8_t plain_predict(AudioState& st, uint32_t s) {
    AudioPredictor& v = st.channel[st.current];
    v.count++;
    v.delta[3] = v.delta[2];
    v.delta[2] = v.delta[1];
    v.delta[1] = v.last_delta - v.delta[0];
    v.delta[0] = v.last_delta;
    const int32_t* w = v.weight;
    const int32_t* d = v.delta;
    int32_t p = 8 * v.last_byte + w[0] * d[0] + w[1] * d[1] + w[2] * d[2] + w[3] * d[3] + w[4] * st.cross_delta;
    p = (p >> 3) & 0xFF;
    int32_t out = p - int32_t(s);
    int32_t e = int32_t(int8_t(s)) * 8;
    int32_t trial[11] = {0, d[0], -d[0], d[1], -d[1], d[2], -d[2], d[3], -d[3], st.cross_delta, -st.cross_delta};
    for (int i = 0; i < 11; ++i) v.error_sum[i] += uint32_t(std::abs(e - trial[i]));
    v.last_delta = st.cross_delta = int8_t(out - v.last_byte);
    v.last_byte = out;
    if (v.count % 32 == 0) {
        int m = 0;
        for (int i = 1; i < 11; ++i)
            if (v.error_sum[i] < v.error_sum[m]) m = i;
        for (auto& x : v.error_sum) x = 0;
        if (m > 0) {
            int32_t& wt = v.weight[(m - 1) / 2];
            if (m % 2 == 1 && wt >= -16) wt--;
            if (m % 2 == 0 && wt < 16) wt++;
        }
    }
    return uint8_t(out);
}

struct Decoder {
    uint32_t count = 0;
    uint32_t limit[16] = {};
    uint32_t first[16] = {};
    std::vector<uint32_t> symbols;
};

inline void build(const uint8_t* len, Decoder& d, uint32_t count) {
    uint32_t c[16] = {};
    for (uint32_t i = 0; i < count; ++i) c[len[i] & 15]++;
    c[0] = 0;
    uint32_t code = 0;
    d.limit[0] = d.first[0] = 0;
    for (int l = 1; l < 16; ++l) {
        code = 2 * (code + c[l]);
        uint32_t lim = code << (15 - l);
        d.limit[l] = lim > 0xFFFF ? 0xFFFF : lim;
        d.first[l] = d.first[l - 1] + c[l - 1];
    }
    d.symbols.assign(count, 0);
    uint32_t next[16];
    std::memcpy(next, d.first, sizeof next);
    for (uint32_t i = 0; i < count; ++i)
        if (len[i] & 15) d.symbols[next[len[i] & 15]++] = i;
    d.count = count;
}

struct State {
    std::vector<uint8_t> window = std::vector<uint8_t>(0x100000, 0);
    uint32_t win_pos = 0;
    uint8_t old_len[1028] = {};
    uint32_t recent[4] = {}, recent_index = 0, last_dist = 0, last_len = 0;
    bool audio = false;
    AudioState astate{};
    Decoder lit, dist, rep, bitlen, aud[4];

    std::vector<uint8_t> in;
    uint32_t in_pos = 0, in_bit = 0;

    uint32_t peek() const {
        uint32_t v = uint32_t(in[in_pos]) << 16 | uint32_t(in[in_pos + 1]) << 8 | in[in_pos + 2];
        return (v >> (8 - in_bit)) & 0xFFFF;
    }
    void skip(uint32_t n) {
        in_bit += n;
        in_pos += in_bit / 8;
        in_bit %= 8;
    }
    uint32_t extra(uint32_t n) {
        if (n == 0) return 0;
        uint32_t v = peek() >> (16 - n);
        skip(n);
        return v;
    }
    uint32_t decode(const Decoder& d) {
        uint32_t b = peek() & 0xFFFE;
        uint32_t l = 1;
        while (l < 15 && b >= d.limit[l]) ++l;
        skip(l);
        uint32_t n = ((b - d.limit[l - 1]) >> (16 - l)) + d.first[l];
        if (n >= d.count) n = 0;
        return d.symbols[n];
    }
    void read_tables() {
        uint32_t b = peek();
        audio = (b & 0x8000) != 0;
        if (!(b & 0x4000)) std::memset(old_len, 0, sizeof old_len);
        skip(2);
        uint32_t size = 374;
        if (audio) {
            astate.channels = ((b >> 12) & 3) + 1;
            if (astate.current >= astate.channels) astate.current = 0;
            skip(2);
            size = 257 * astate.channels;
        }
        uint8_t bl[19];
        for (auto& x : bl) {
            x = uint8_t(peek() >> 12);
            skip(4);
        }
        build(bl, bitlen, 19);
        uint8_t fresh[1028];
        for (uint32_t i = 0; i < size;) {
            uint32_t s = decode(bitlen);
            if (s < 16) {
                fresh[i] = uint8_t((s + old_len[i]) & 15);
                ++i;
            } else if (s == 16) {
                uint32_t n = 3 + extra(2);
                for (; n && i < size; --n, ++i) fresh[i] = i ? fresh[i - 1] : 0;
            } else {
                uint32_t n = s == 17 ? 3 + extra(3) : 11 + extra(7);
                for (; n && i < size; --n) fresh[i++] = 0;
            }
        }
        if (audio)
            for (uint32_t c = 0; c < astate.channels; ++c) build(fresh + 257 * c, aud[c], 257);
        else {
            build(fresh, lit, 298);
            build(fresh + 298, dist, 48);
            build(fresh + 346, rep, 28);
        }
        std::memcpy(old_len, fresh, size);
    }
};

// Decodes one entry and returns every byte it produced, in order (possibly more
// than unp_size when the last match runs past it).
inline std::vector<uint8_t> unpack(State& st, const std::vector<uint8_t>& data, uint32_t unp_size,
                                   bool continues) {
    static const uint32_t lbase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,   10,  12,  14,  16,  20,
                                       24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
    static const uint32_t lbits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                       2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
    static const uint32_t dbits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                       7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                       15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
    static const uint32_t sbase[8] = {0, 4, 8, 16, 32, 64, 128, 192};
    static const uint32_t sbits[8] = {2, 2, 3, 4, 5, 6, 6, 6};
    uint32_t dbase[48];
    dbase[0] = 0;
    for (int i = 1; i < 48; ++i) dbase[i] = dbase[i - 1] + (1u << dbits[i - 1]);

    if (!continues) st = State{};
    st.in = data;
    st.in.resize(data.size() + 64, 0);
    st.in_pos = st.in_bit = 0;
    if (!continues) st.read_tables();
    std::vector<uint8_t> out;
    auto put = [&](uint8_t b) {
        st.window[st.win_pos] = b;
        st.win_pos = (st.win_pos + 1) & 0xFFFFF;
        out.push_back(b);
    };
    int64_t left = int64_t(unp_size) - 1;
    while (left >= 0 && st.in_pos < data.size() + 8) {
        if (st.audio) {
            uint32_t s = st.decode(st.aud[st.astate.current]);
            if (s == 256) {
                st.read_tables();
                continue;
            }
            put(plain_predict(st.astate, s));
            if (++st.astate.current >= st.astate.channels) st.astate.current = 0;
            --left;
            continue;
        }
        uint32_t s = st.decode(st.lit), len, dist;
        if (s < 256) {
            put(uint8_t(s));
            --left;
            continue;
        }
        if (s >= 270) {
            len = lbase[s - 270] + 3 + st.extra(lbits[s - 270]);
            uint32_t d = st.decode(st.dist);
            dist = dbase[d] + 1 + st.extra(dbits[d]);
            if (dist >= 0x40000) len++;
            if (dist >= 0x2000) len++;
        } else if (s == 269) {
            st.read_tables();
            continue;
        } else if (s == 256) {
            len = st.last_len;
            dist = st.last_dist;
        } else if (s < 261) {
            dist = st.recent[(st.recent_index - (s - 256)) & 3];
            uint32_t r = st.decode(st.rep);
            len = lbase[r] + 2 + st.extra(lbits[r]);
            if (dist >= 0x40000) len++;
            if (dist >= 0x2000) len++;
            if (dist >= 0x101) len++;
        } else {
            dist = sbase[s - 261] + 1 + st.extra(sbits[s - 261]);
            len = 2;
        }
        st.recent[st.recent_index & 3] = dist;
        st.recent_index++;
        st.last_dist = dist;
        st.last_len = len;
        left -= len;
        for (uint32_t i = 0; i < len; ++i) put(st.window[(st.win_pos - dist) & 0xFFFFF]);
    }
    if (st.in_pos + 5 <= data.size()) {
        uint32_t s = st.decode(st.audio ? st.aud[st.astate.current] : st.lit);
        if (s == (st.audio ? 256u : 269u)) st.read_tables();
    }
    return out;
}

}  // namespace refdec
