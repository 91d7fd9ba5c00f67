// Entry encoding: three price passes of the LZ parse (guessed prices, the entry's
// own statistics, then each block's own), a bottom-up merge of small chunks into
// blocks (LZ or audio, whichever costs fewer bits including the code lengths), then
// each block sent both ways where the two are close and the smaller kept.
#include "stream_encoder.h"

#include <algorithm>
#include <cstring>

#include "huffman.h"
#include "rar_codes.h"

namespace rarw {

namespace {

constexpr size_t kZeroPad = 16;  // zero bytes of a fresh window the parse may copy from
constexpr unsigned kDistOffset = kLiteralSymbols;                 // 298
constexpr unsigned kRepOffset = kLiteralSymbols + kDistSymbols;   // 346

// Sends symbol `sym` of a code whose lengths are `lengths[0..count)`.
void put_symbol(BitWriter& out, const uint8_t* lengths, const uint16_t* codes, unsigned sym) {
    out.put(codes[sym], lengths[sym]);
}

// Maps tokens to codes from history `hist` (advanced), counting into freq[374] and
// summing the extra bits; codes go to `out` when it is not null.
uint64_t symbolize(const Prices& prices, MatchHistory& hist, const Token* tokens, size_t count, const uint8_t* bytes,
                   uint32_t* freq, std::vector<MatchCode>* out) {
    uint64_t extra = 0;
    size_t at = 0;
    for (size_t i = 0; i < count; ++i) {
        const Token& t = tokens[i];
        MatchCode code{};
        if (t.dist == 0) {
            code.main = bytes[at];
        } else {
            code_match(prices, hist, t.len, t.dist, &code);
            push_match(hist, t.len, t.dist);
            extra += code.extra_a_bits + code.extra_b_bits;
            if (code.aux_table == 1) freq[kDistOffset + code.aux]++;
            if (code.aux_table == 2) freq[kRepOffset + code.aux]++;
        }
        freq[code.main]++;
        if (out) out->push_back(code);
        at += t.len;
    }
    return extra;
}

void lz_lengths(const uint32_t* freq, uint8_t* table) {
    build_code_lengths(freq, kLiteralSymbols, kMaxCodeBits, table);
    build_code_lengths(freq + kDistOffset, kDistSymbols, kMaxCodeBits, table + kDistOffset);
    build_code_lengths(freq + kRepOffset, kRepLenSymbols, kMaxCodeBits, table + kRepOffset);
}

uint64_t lz_block_cost(const uint32_t* freq, uint64_t extra) {
    uint8_t table[kLzTableSize];
    lz_lengths(freq, table);
    return coded_bits(freq, table, kLzTableSize) + extra + code_lengths_cost(TableHeader{}, table, kLzTableSize, nullptr, 0);
}

uint64_t audio_block_cost(const uint32_t* freq, unsigned channels) {
    uint8_t table[kLengthTableSize];
    for (unsigned c = 0; c < channels; ++c) build_code_lengths(freq + 257 * c, 257, kMaxCodeBits, table + 257 * c);
    const unsigned size = 257 * channels;
    return coded_bits(freq, table, size) + code_lengths_cost(TableHeader{true, channels}, table, size, nullptr, 0);
}

// Sends the table switch with the decoder now in use.
void put_switch(BitWriter& out, const StreamState& st) {
    uint16_t codes[kLengthTableSize];
    if (st.audio) {
        const uint8_t* len = st.old_lengths + 257 * st.cur_channel;
        assign_codes(len, 257, codes);
        put_symbol(out, len, codes, kAudioSwitch);
    } else {
        assign_codes(st.old_lengths, kLiteralSymbols, codes);
        put_symbol(out, st.old_lengths, codes, kSymSwitch);
    }
}

void send_table(BitWriter& out, StreamState& st, const TableHeader& header, const uint8_t* table, unsigned size) {
    write_code_lengths(out, header, table, size, st.old_lengths, st.old_known);
    std::memcpy(st.old_lengths, table, size);
    // Positions past `size` are left as each decoder chooses; trust only what was sent.
    st.old_known = size;
    st.audio = header.audio;
    if (header.audio) {
        st.channels = header.channels;
        if (st.cur_channel >= st.channels) st.cur_channel = 0;
    }
}

struct BlockSpec {
    size_t t0, t1;  // token range
    size_t b0, b1;  // byte range within the entry
    bool switch_after;
    bool last;
};

// One LZ block: switch (unless first), code lengths, symbols.
void emit_lz_block(BitWriter& out, StreamState& st, const Prices& prices, const std::vector<Token>& tokens,
                   const uint8_t* data, const BlockSpec& b, bool first) {
    std::vector<MatchCode> codes;
    codes.reserve(b.t1 - b.t0);
    uint32_t freq[kLzTableSize] = {};
    MatchHistory hist = st.history;
    symbolize(prices, hist, tokens.data() + b.t0, b.t1 - b.t0, data + b.b0, freq, &codes);
    if (b.switch_after) freq[kSymSwitch]++;
    uint8_t table[kLzTableSize];
    lz_lengths(freq, table);
    if (!first) put_switch(out, st);
    send_table(out, st, TableHeader{}, table, kLzTableSize);
    uint16_t lit_codes[kLiteralSymbols], dist_codes[kDistSymbols], rep_codes[kRepLenSymbols];
    assign_codes(table, kLiteralSymbols, lit_codes);
    assign_codes(table + kDistOffset, kDistSymbols, dist_codes);
    assign_codes(table + kRepOffset, kRepLenSymbols, rep_codes);
    for (const MatchCode& c : codes) {
        put_symbol(out, table, lit_codes, c.main);
        if (c.extra_a_bits) out.put(c.extra_a, c.extra_a_bits);
        if (c.aux_table == 1) put_symbol(out, table + kDistOffset, dist_codes, c.aux);
        if (c.aux_table == 2) put_symbol(out, table + kRepOffset, rep_codes, c.aux);
        if (c.extra_b_bits) out.put(c.extra_b, c.extra_b_bits);
    }
    st.history = hist;
}

// One audio block with `channels` channels.
void emit_audio_block(BitWriter& out, StreamState& st, unsigned channels, const uint8_t* data, const BlockSpec& b,
                      bool first) {
    const size_t n = b.b1 - b.b0;
    unsigned ch = st.cur_channel >= channels ? 0 : st.cur_channel;
    std::vector<uint8_t> syms(n);
    std::vector<uint8_t> chan(n);
    uint32_t freq[kLengthTableSize] = {};
    AudioState audio = st.audio_state;
    for (size_t i = 0; i < n; ++i) {
        chan[i] = static_cast<uint8_t>(ch);
        syms[i] = audio_encode_byte(audio, ch, data[b.b0 + i]);
        freq[257 * ch + syms[i]]++;
        if (++ch == channels) ch = 0;
    }
    if (b.switch_after) freq[257 * ch + kAudioSwitch]++;
    if (b.last) {
        // The decoder may read one more symbol after the entry; it must exist and not be a switch.
        bool any = false;
        for (unsigned s = 0; s < 256; ++s) any |= freq[257 * ch + s] != 0;
        if (!any) freq[257 * ch]++;
    }
    uint8_t table[kLengthTableSize];
    for (unsigned c = 0; c < channels; ++c) build_code_lengths(freq + 257 * c, 257, kMaxCodeBits, table + 257 * c);
    if (!first) put_switch(out, st);
    send_table(out, st, TableHeader{true, channels}, table, 257 * channels);
    uint16_t codes[4][257];
    for (unsigned c = 0; c < channels; ++c) assign_codes(table + 257 * c, 257, codes[c]);
    for (size_t i = 0; i < n; ++i) put_symbol(out, table + 257 * chan[i], codes[chan[i]], syms[i]);
    st.audio_state = audio;
    st.cur_channel = ch;
}

// A symbol of the decoder in use that is not the switch, sent after the last one so
// that the decoder's look past the end of an entry finds nothing to act on.
void put_harmless(BitWriter& out, const StreamState& st) {
    const unsigned size = st.audio ? 257 : kLiteralSymbols;
    const uint8_t* len = st.audio ? st.old_lengths + 257 * st.cur_channel : st.old_lengths;
    const unsigned sw = st.audio ? kAudioSwitch : kSymSwitch;
    uint16_t codes[kLiteralSymbols];
    assign_codes(len, size, codes);
    for (unsigned s = 0; s < size; ++s) {
        if (s != sw && len[s]) {
            put_symbol(out, len, codes, s);
            return;
        }
    }
}

struct Segment {
    size_t t0, t1, b0, b1;
    std::vector<uint32_t> lz;     // 374 counts
    uint64_t lz_extra = 0;
    std::vector<uint32_t> au;     // 1028 counts (empty when audio is off)
    uint64_t cost = 0;
};

uint64_t segment_cost(const Segment& s, unsigned channels) {
    uint64_t c = lz_block_cost(s.lz.data(), s.lz_extra);
    if (!s.au.empty()) c = std::min(c, audio_block_cost(s.au.data(), channels));
    return c + 8;  // the switch symbol in front of every block but the first
}

Segment merged(const Segment& a, const Segment& b) {
    Segment m;
    m.t0 = a.t0;
    m.t1 = b.t1;
    m.b0 = a.b0;
    m.b1 = b.b1;
    m.lz = a.lz;
    for (size_t i = 0; i < m.lz.size(); ++i) m.lz[i] += b.lz[i];
    m.lz_extra = a.lz_extra + b.lz_extra;
    m.au = a.au;
    for (size_t i = 0; i < m.au.size(); ++i) m.au[i] += b.au[i];
    return m;
}

const Prices& prices_at(const std::vector<PriceSpan>& spans, size_t offset) {
    size_t k = 0;
    while (k + 1 < spans.size() && spans[k + 1].from <= offset) ++k;
    return spans[k].prices;
}

// Chunks of whole tokens, then neighbours merged while that saves bits.
std::vector<Segment> split_blocks(const std::vector<Token>& tokens, const uint8_t* data, size_t count,
                                  const MatchHistory& start_history, const Prices& prices, unsigned channels,
                                  const std::vector<uint8_t>& audio_syms) {
    const size_t chunk_bytes = std::max<size_t>(2048, count / 1024);
    std::vector<Segment> segs;
    {
        MatchHistory hist = start_history;
        size_t t = 0, b = 0;
        while (t < tokens.size()) {
            Segment s;
            s.t0 = t;
            s.b0 = b;
            while (t < tokens.size() && b - s.b0 < chunk_bytes) b += tokens[t++].len;
            s.t1 = t;
            s.b1 = b;
            s.lz.assign(kLzTableSize, 0);
            s.lz_extra = symbolize(prices, hist, tokens.data() + s.t0, s.t1 - s.t0, data + s.b0, s.lz.data(), nullptr);
            if (channels) {
                s.au.assign(kLengthTableSize, 0);
                for (size_t i = s.b0; i < s.b1; ++i) s.au[257 * (i % channels) + audio_syms[i]]++;
            }
            s.cost = segment_cost(s, channels);
            segs.push_back(std::move(s));
        }
    }
    {
        std::vector<int64_t> gain(segs.size(), 0);  // gain[i]: merging segs[i] and segs[i+1]
        std::vector<uint64_t> merged_cost(segs.size(), 0);
        auto eval = [&](size_t i) {
            const Segment m = merged(segs[i], segs[i + 1]);
            merged_cost[i] = segment_cost(m, channels);
            gain[i] = static_cast<int64_t>(segs[i].cost + segs[i + 1].cost) - static_cast<int64_t>(merged_cost[i]);
        };
        for (size_t i = 0; i + 1 < segs.size(); ++i) eval(i);
        while (segs.size() > 1) {
            size_t best = 0;
            for (size_t i = 1; i + 1 < segs.size(); ++i)
                if (gain[i] > gain[best]) best = i;
            if (gain[best] < 0) break;
            const uint64_t c = merged_cost[best];
            segs[best] = merged(segs[best], segs[best + 1]);
            segs[best].cost = c;
            segs.erase(segs.begin() + static_cast<std::ptrdiff_t>(best) + 1);
            gain.erase(gain.begin() + static_cast<std::ptrdiff_t>(best) + 1);
            merged_cost.erase(merged_cost.begin() + static_cast<std::ptrdiff_t>(best) + 1);
            if (best + 1 < segs.size()) eval(best);
            if (best > 0) eval(best - 1);
        }
    }

    return segs;
}

}  // namespace

StreamState fresh_stream_state() {
    StreamState st;
    st.window.assign(kZeroPad, 0);
    return st;
}

std::vector<uint8_t> encode_stream(StreamState& state, const uint8_t* data, size_t count,
                                   const StreamOptions& options, StreamStats* stats) {
    // The window stays out of the state while blocks are tried, so trial copies are cheap.
    std::vector<uint8_t> window = std::move(state.window);
    state.window.clear();
    if (window.empty()) window.assign(kZeroPad, 0);
    // buf = the window's most recent bytes, then the entry.
    const size_t keep = std::min<size_t>(window.size(), kMaxDistance);
    std::vector<uint8_t> buf(keep + count);
    std::memcpy(buf.data(), window.data() + window.size() - keep, keep);
    std::memcpy(buf.data() + keep, data, count);
    const size_t start = keep, end = keep + count;

    // Audio: the channel count whose symbols cost least, judged on the first 32 KB;
    // then the chosen count runs over everything.
    unsigned channels = 0;
    std::vector<uint8_t> audio_syms;
    uint64_t audio_total = ~0ull;
    if (options.allow_audio && count >= 64) {
        const size_t sample = std::min<size_t>(count, 32768);
        uint64_t best = ~0ull;
        std::vector<uint8_t> syms(sample);
        for (unsigned ch = 1; ch <= 4; ++ch) {
            AudioState trial = state.audio_state;
            audio_encode_run(trial, ch, 0, data, sample, syms.data());
            uint32_t freq[kLengthTableSize] = {};
            for (size_t i = 0; i < sample; ++i) freq[257 * (i % ch) + syms[i]]++;
            const uint64_t c = audio_block_cost(freq, ch);
            if (c < best) {
                best = c;
                channels = ch;
            }
        }
        audio_syms.resize(count);
        AudioState trial = state.audio_state;
        audio_encode_run(trial, channels, 0, data, count, audio_syms.data());
        std::vector<uint32_t> freq(kLengthTableSize, 0);
        for (size_t i = 0; i < count; ++i) freq[257 * (i % channels) + audio_syms[i]]++;
        audio_total = audio_block_cost(freq.data(), channels);
    }

    // Pass 1 with guessed prices and a shallow search, only for statistics; pass 2 with
    // the prices pass 1's symbols give; pass 3 with each block's own prices. Where audio
    // wins by far, the first pass is all the LZ side needs.
    Prices prices;
    initial_prices(data, count, prices);
    LzOptions quick = options.lz;
    quick.max_chain = std::max(4u, options.lz.max_chain / 8);
    LzOptions middle = options.lz;
    middle.max_chain = std::max(4u, options.lz.max_chain / 4);
    std::vector<Token> tokens = lz_parse(buf.data(), 0, start, end, state.history, {PriceSpan{0, prices}}, quick);
    uint64_t lz_total;
    {
        uint32_t freq[kLzTableSize] = {};
        MatchHistory hist = state.history;
        const uint64_t extra = symbolize(prices, hist, tokens.data(), tokens.size(), data, freq, nullptr);
        lz_total = lz_block_cost(freq, extra);
        uint8_t table[kLzTableSize];
        lz_lengths(freq, table);
        prices_from_lengths(table, table + kDistOffset, table + kRepOffset, prices);
    }
    const bool audio_dominates = audio_total < lz_total / 4 * 3;
    if (!audio_dominates)
        tokens = lz_parse(buf.data(), 0, start, end, state.history, {PriceSpan{0, prices}}, middle);
    std::vector<Segment> segs = split_blocks(tokens, data, count, state.history, prices, channels, audio_syms);

    std::vector<PriceSpan> spans;
    for (const Segment& sg : segs) {
        uint8_t table[kLzTableSize];
        lz_lengths(sg.lz.data(), table);
        PriceSpan ps{sg.b0, {}};
        prices_from_lengths(table, table + kDistOffset, table + kRepOffset, ps.prices);
        spans.push_back(ps);
    }
    if (!audio_dominates) {
        tokens = lz_parse(buf.data(), 0, start, end, state.history, spans, options.lz);
        segs = split_blocks(tokens, data, count, state.history, prices, channels, audio_syms);
    }

    // Send the blocks; where audio is possible, keep whichever form is smaller.
    BitWriter out;
    for (size_t k = 0; k < segs.size(); ++k) {
        BlockSpec b{segs[k].t0, segs[k].t1, segs[k].b0, segs[k].b1,
                    k + 1 < segs.size() || options.more_entries_follow, k + 1 == segs.size()};
        const bool first = !state.started && k == 0;
        // Both forms are sent on trial only when their estimates are within a quarter.
        bool try_lz = true, try_audio = channels != 0;
        if (channels) {
            const uint64_t lz_est = lz_block_cost(segs[k].lz.data(), segs[k].lz_extra);
            const uint64_t audio_est = audio_block_cost(segs[k].au.data(), channels);
            try_audio = audio_est < lz_est + lz_est / 4;
            try_lz = lz_est < audio_est + audio_est / 4;
        }
        BitWriter lz_bits, audio_bits;
        StreamState lz_state, audio_state;
        if (try_lz) {
            lz_state = state;
            emit_lz_block(lz_bits, lz_state, prices_at(spans, b.b0), tokens, data, b, first);
        }
        if (try_audio) {
            audio_state = state;
            emit_audio_block(audio_bits, audio_state, channels, data, b, first);
        }
        const bool use_audio = try_audio && (!try_lz || audio_bits.bit_count() < lz_bits.bit_count());
        if (use_audio) {
            out.append(audio_bits);
            state = std::move(audio_state);
            if (stats) stats->audio_blocks++;
        } else {
            out.append(lz_bits);
            state = std::move(lz_state);
            if (stats) stats->lz_blocks++;
        }
        state.started = true;
    }
    if (options.pad_to_cipher_block) put_harmless(out, state);
    std::vector<uint8_t> bytes = out.finish();
    if (options.pad_to_cipher_block) bytes.resize((bytes.size() + 15) / 16 * 16, 0);

    window.insert(window.end(), data, data + count);
    if (window.size() > 2 * kWindowSize)
        window.erase(window.begin(), window.end() - static_cast<std::ptrdiff_t>(kWindowSize));
    state.window = std::move(window);
    return bytes;
}

}  // namespace rarw
