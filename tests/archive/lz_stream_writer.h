// A small writer of the archive format's compressed streams, the mirror of the
// decoder: MSB-first bits, canonical Huffman codes, code-length sets sent as
// differences with the 19-symbol bit-length code, literals, the four match kinds
// and audio symbols. Tests hand-assemble streams with it, or make whole streams
// with its greedy matching. Header-only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

#include "archive/audio_predictor.h"

namespace lzw {

constexpr uint32_t LIT = 298, DIST = 48, REP = 28, AUDIO = 257, LZ_TABLE = 374;

constexpr uint32_t length_base[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,   10,  12,  14,  16,  20,
                                      24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
constexpr uint32_t length_extra[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                       2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
constexpr uint32_t dist_extra[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                     7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                     15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
constexpr uint32_t short_base[8] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint32_t short_extra[8] = {2, 2, 3, 4, 5, 6, 6, 6};

inline uint32_t dist_base(uint32_t d) {
    uint32_t b = 0;
    for (uint32_t i = 0; i < d; ++i) b += 1u << dist_extra[i];
    return b;
}

struct BitWriter {
    std::vector<uint8_t> bytes;
    uint32_t used = 0;  // bits used in the last byte, 0..7
    void put(uint32_t value, uint32_t bits) {
        for (uint32_t i = bits; i-- > 0;) {
            if (used == 0) bytes.push_back(0);
            if ((value >> i) & 1) bytes.back() |= uint8_t(0x80 >> used);
            used = (used + 1) & 7;
        }
    }
};

// Canonical codes: by length, then by symbol value; length 0 means no code.
inline std::vector<uint32_t> canonical_codes(const std::vector<uint8_t>& len) {
    std::vector<uint32_t> code(len.size(), 0);
    uint32_t next = 0;
    for (uint32_t l = 1; l <= 15; ++l) {
        for (size_t s = 0; s < len.size(); ++s)
            if (len[s] == l) code[s] = next++;
        next <<= 1;
    }
    return code;
}

// Huffman code lengths (at most max_len bits) for these frequencies; a symbol of
// frequency 0 gets no code. At least two symbols always get one.
inline std::vector<uint8_t> huffman_lengths(std::vector<uint64_t> freq, uint32_t max_len = 15) {
    size_t n = freq.size();
    int present = 0;
    for (auto f : freq) present += f > 0;
    for (size_t i = 0; present < 2 && i < n; ++i)
        if (freq[i] == 0) freq[i] = 1, ++present;
    for (;;) {
        std::vector<int> parent(2 * n, -1);
        using Node = std::pair<uint64_t, int>;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> q;
        for (size_t i = 0; i < n; ++i)
            if (freq[i]) q.push({freq[i], int(i)});
        int next = int(n);
        while (q.size() > 1) {
            auto a = q.top(); q.pop();
            auto b = q.top(); q.pop();
            parent[a.second] = next;
            parent[b.second] = next;
            q.push({a.first + b.first, next++});
        }
        std::vector<uint8_t> len(n, 0);
        uint32_t longest = 0;
        for (size_t i = 0; i < n; ++i) {
            if (!freq[i]) continue;
            uint32_t l = 0;
            for (int p = parent[i]; p >= 0; p = parent[p]) ++l;
            len[i] = uint8_t(l);
            longest = std::max(longest, l);
        }
        if (longest <= max_len) return len;
        for (auto& f : freq)
            if (f) f = (f + 1) / 2;  // flatten and try again
    }
}

// Writes one entry's stream. Keeps the decoder's view of the previous lengths so
// sets can be sent as differences.
class LzStreamWriter {
public:
    BitWriter bits;
    std::vector<uint8_t> old_lengths = std::vector<uint8_t>(1028, 0);
    std::vector<uint8_t> lit_len, dist_len, rep_len;
    std::vector<uint32_t> lit_code, dist_code, rep_code;
    std::vector<uint8_t> audio_len[4];
    std::vector<uint32_t> audio_code[4];
    bool use_runs = true;  // code runs with symbols 16, 17, 18

    // Sends a code-length set. lengths holds 374 entries (literal/length, distance,
    // repeat-length) or 257 per audio channel. keep sets the 0x4000 bit.
    void tables(const std::vector<uint8_t>& lengths, bool audio = false, uint32_t channels = 1,
                bool keep = false) {
        bits.put(audio ? 1 : 0, 1);
        bits.put(keep ? 1 : 0, 1);
        if (!keep) std::fill(old_lengths.begin(), old_lengths.end(), 0);
        if (audio) bits.put(channels - 1, 2);
        // The bit-length code: every one of the 19 symbols 5 bits long.
        std::vector<uint8_t> bl(19, 5);
        auto blc = canonical_codes(bl);
        for (int i = 0; i < 19; ++i) bits.put(bl[i], 4);
        auto sym = [&](uint32_t s) { bits.put(blc[s], 5); };
        size_t n = lengths.size();
        for (size_t i = 0; i < n;) {
            size_t run = 1;
            while (i + run < n && lengths[i + run] == lengths[i]) ++run;
            if (use_runs && lengths[i] == 0 && run >= 11) {
                size_t r = std::min<size_t>(run, 138);
                sym(18);
                bits.put(uint32_t(r - 11), 7);
                i += r;
            } else if (use_runs && lengths[i] == 0 && run >= 3) {
                size_t r = std::min<size_t>(run, 10);
                sym(17);
                bits.put(uint32_t(r - 3), 3);
                i += r;
            } else if (use_runs && i > 0 && lengths[i] == lengths[i - 1] && run >= 3) {
                size_t r = std::min<size_t>(run, 6);
                sym(16);
                bits.put(uint32_t(r - 3), 2);
                i += r;
            } else {
                sym((lengths[i] - old_lengths[i]) & 15);
                ++i;
            }
        }
        std::copy(lengths.begin(), lengths.end(), old_lengths.begin());
        if (audio) {
            for (uint32_t c = 0; c < channels; ++c) {
                audio_len[c].assign(lengths.begin() + 257 * c, lengths.begin() + 257 * (c + 1));
                audio_code[c] = canonical_codes(audio_len[c]);
            }
        } else {
            lit_len.assign(lengths.begin(), lengths.begin() + LIT);
            dist_len.assign(lengths.begin() + LIT, lengths.begin() + LIT + DIST);
            rep_len.assign(lengths.begin() + LIT + DIST, lengths.begin() + LZ_TABLE);
            lit_code = canonical_codes(lit_len);
            dist_code = canonical_codes(dist_len);
            rep_code = canonical_codes(rep_len);
        }
    }

    // Flat codes: every literal/length symbol 9 bits, distances 6, repeat lengths 5.
    static std::vector<uint8_t> flat_lz_lengths() {
        std::vector<uint8_t> l(LZ_TABLE, 9);
        std::fill(l.begin() + LIT, l.begin() + LIT + DIST, 6);
        std::fill(l.begin() + LIT + DIST, l.end(), 5);
        return l;
    }

    void lit_symbol(uint32_t s) { bits.put(lit_code[s], lit_len[s]); }
    void literal(uint8_t b) { lit_symbol(b); }

    // A new match (symbols 270..297) of the length the decoder will copy.
    void match(uint32_t length, uint32_t distance) {
        uint32_t l = length - (distance >= 0x2000) - (distance >= 0x40000) - 3;
        uint32_t k = 27;
        while (length_base[k] > l) --k;
        lit_symbol(270 + k);
        bits.put(l - length_base[k], length_extra[k]);
        uint32_t d = 47, v = distance - 1;
        while (dist_base(d) > v) --d;
        bits.put(dist_code[d], dist_len[d]);
        bits.put(v - dist_base(d), dist_extra[d]);
    }

    // Symbol 256: the previous match again.
    void repeat_last() { lit_symbol(256); }

    // Symbols 257..260: the distance back + 1 slots in the recent ring, with a length.
    void recent(uint32_t back, uint32_t length, uint32_t distance) {
        uint32_t l = length - 2 - (distance >= 0x101) - (distance >= 0x2000) - (distance >= 0x40000);
        lit_symbol(256 + back);
        uint32_t r = 27;
        while (length_base[r] > l) --r;
        bits.put(rep_code[r], rep_len[r]);
        bits.put(l - length_base[r], length_extra[r]);
    }

    // Symbols 261..268: a two-byte match at distance 1..256.
    void short_match(uint32_t distance) {
        uint32_t v = distance - 1, k = 7;
        while (short_base[k] > v) --k;
        lit_symbol(261 + k);
        bits.put(v - short_base[k], short_extra[k]);
    }

    // Symbol 269 then a new set.
    void switch_tables(const std::vector<uint8_t>& lengths, bool audio = false, uint32_t channels = 1,
                       bool keep = false) {
        lit_symbol(269);
        tables(lengths, audio, channels, keep);
    }

    void audio_symbol(uint32_t channel, uint32_t s) { bits.put(audio_code[channel][s], audio_len[channel][s]); }

    std::vector<uint8_t> finish() const { return bits.bytes; }
};

// Audio-mode symbols for these bytes: s makes the predictor give the wanted byte.
// Runs its own predictor state, as the decoder will.
inline std::vector<uint8_t> audio_symbols(const std::vector<uint8_t>& data, uint32_t channels,
                                          AudioState& state) {
    std::vector<uint8_t> out(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        AudioState probe = state;
        uint8_t p = predict_audio_byte(probe, 0);  // symbol 0 gives the prediction itself
        uint8_t s = uint8_t(p - data[i]);
        predict_audio_byte(state, s);
        out[i] = s;
        if (++state.current >= channels) state.current = 0;
    }
    return out;
}

}  // namespace lzw

namespace lzw {

// Greedy LZ compression with a hash chain over the whole 1 MiB window: literals
// and new matches only, codes fitted to the symbol counts. Good enough to give the
// decoder realistic work; the archive writer's encoder does better.
inline std::vector<uint8_t> compress_lz(const std::vector<uint8_t>& data, int chain_depth = 16) {
    struct Token {
        uint32_t len, dist;  // len 0: literal dist
    };
    std::vector<Token> tokens;
    const size_t n = data.size();
    constexpr uint32_t HASH_BITS = 16;
    std::vector<int64_t> head(1u << HASH_BITS, -1), prev(n, -1);
    auto hash = [&](size_t i) {
        return ((uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8 | data[i + 2]) * 2654435761u) >>
               (32 - HASH_BITS);
    };
    auto insert = [&](size_t i) {
        if (i + 2 >= n) return;
        uint32_t h = hash(i);
        prev[i] = head[h];
        head[h] = int64_t(i);
    };
    for (size_t i = 0; i < n;) {
        uint32_t best_len = 0, best_dist = 0;
        if (i + 2 < n) {
            int64_t c = head[hash(i)];
            for (int depth = 0; c >= 0 && depth < chain_depth; ++depth, c = prev[c]) {
                uint32_t dist = uint32_t(i - size_t(c));
                if (dist > 0xFFFFF) break;
                uint32_t max = uint32_t(std::min<size_t>(258, n - i));
                uint32_t l = 0;
                while (l < max && data[size_t(c) + l] == data[i + l]) ++l;
                uint32_t need = 3 + (dist >= 0x2000) + (dist >= 0x40000);
                if (l >= need && l > best_len) best_len = l, best_dist = dist;
            }
        }
        if (best_len) {
            tokens.push_back({best_len, best_dist});
            for (uint32_t k = 0; k < best_len; ++k) insert(i + k);
            i += best_len;
        } else {
            tokens.push_back({0, data[i]});
            insert(i);
            ++i;
        }
    }
    std::vector<uint64_t> lit_freq(LIT, 0), dist_freq(DIST, 0);
    for (auto& t : tokens) {
        if (t.len == 0) {
            lit_freq[t.dist]++;
            continue;
        }
        uint32_t l = t.len - (t.dist >= 0x2000) - (t.dist >= 0x40000) - 3, k = 27;
        while (length_base[k] > l) --k;
        lit_freq[270 + k]++;
        uint32_t d = 47;
        while (dist_base(d) > t.dist - 1) --d;
        dist_freq[d]++;
    }
    std::vector<uint8_t> lengths = huffman_lengths(lit_freq);
    auto dl = huffman_lengths(dist_freq);
    lengths.insert(lengths.end(), dl.begin(), dl.end());
    lengths.resize(LZ_TABLE, 0);
    lengths[LIT + DIST] = 1;  // the repeat-length code is unused; give it two codes
    lengths[LIT + DIST + 1] = 1;
    LzStreamWriter w;
    w.tables(lengths);
    for (auto& t : tokens) {
        if (t.len == 0) w.literal(uint8_t(t.dist));
        else w.match(t.len, t.dist);
    }
    return w.finish();
}

// One audio block with codes fitted to the symbols of each channel.
inline std::vector<uint8_t> compress_audio(const std::vector<uint8_t>& data, uint32_t channels) {
    AudioState state{};
    state.channels = channels;
    std::vector<uint8_t> syms = audio_symbols(data, channels, state);
    std::vector<uint8_t> lengths;
    for (uint32_t c = 0; c < channels; ++c) {
        std::vector<uint64_t> freq(AUDIO, 0);
        for (size_t i = c; i < syms.size(); i += channels) freq[syms[i]]++;
        auto l = huffman_lengths(freq);
        lengths.insert(lengths.end(), l.begin(), l.end());
    }
    LzStreamWriter w;
    w.tables(lengths, true, channels);
    for (size_t i = 0; i < syms.size(); ++i) w.audio_symbol(uint32_t(i % channels), syms[i]);
    return w.finish();
}

}  // namespace lzw
