// The audio predictor: the byte-at-a-time step, the weight adaptation, and the run
// decoder. The run decoder keeps each channel's predictor in locals and its eleven
// error sums in two SIMD registers of 16-bit lanes, so that the adaptation every
// 32 bytes (which the next byte of the channel waits for) is a few vector
// operations instead of a scan through memory. It is built twice, for the
// baseline instruction set and for AVX2 with BMI2, chosen at run time.
#include "archive/audio_predictor.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Helpers of the run loop are always inlined: a call that takes the address of a
// channel's locals would keep them in memory.
#define AUDIO_INLINE inline __attribute__((always_inline))

constexpr int SUMS = 11;
constexpr uint32_t PERIOD = 32;  // bytes of a channel between weight adaptations

// Index of the smallest of the eleven sums; only a strictly smaller sum replaces
// the best so far, so the lowest index wins a tie.
AUDIO_INLINE int smallest_sum(const uint32_t* sum) {
    uint32_t best = sum[0];
    int m = 0;
    for (int i = 1; i < SUMS; ++i) {
        bool smaller = sum[i] < best;
        best = smaller ? sum[i] : best;
        m = smaller ? i : m;
    }
    return m;
}

// The weight step for trial m: odd m lowers W((m+1)/2) unless it is below -16, even
// m > 0 raises W(m/2) unless it is 16 or more. Constant indices only, so weights
// held in locals stay there.
AUDIO_INLINE void step_weight(int32_t& w, int m, int k) {
    w -= int32_t(m == 2 * k + 1 && w >= -16);
    w += int32_t(m == 2 * k + 2 && w < 16);
}
AUDIO_INLINE void step_weights(int32_t* w, int m) {
    step_weight(w[0], m, 0);
    step_weight(w[1], m, 1);
    step_weight(w[2], m, 2);
    step_weight(w[3], m, 3);
    step_weight(w[4], m, 4);
}

}  // namespace

void adapt_audio_weights(AudioPredictor& v) {
    int m = smallest_sum(v.error_sum);
    std::memset(v.error_sum, 0, sizeof v.error_sum);
    step_weights(v.weight, m);
}

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
    p = (p >> 3) & 0xFF;
    int32_t out = p - int32_t(s);
    int32_t e = int32_t(int8_t(uint8_t(s))) * 8;
    const int32_t trial[SUMS] = {0, d[0], -d[0], d[1], -d[1], d[2], -d[2], d[3], -d[3], cross, -cross};
    for (int i = 0; i < SUMS; ++i) v.error_sum[i] += uint32_t(std::abs(e - trial[i]));
    int32_t diff = int32_t(int8_t(uint8_t(out - v.last_byte)));  // low byte, sign-extended
    v.last_delta = diff;
    state.cross_delta = diff;
    v.last_byte = out;
    if ((v.count & (PERIOD - 1)) == 0) adapt_audio_weights(v);
    return uint8_t(out);
}

namespace {

// The error sums of one channel during a run. Within a period a sum gathers at
// most 32 errors of at most 1279 (e within -1024..1016, the deltas within
// -255..255), at most 40928: 16 unsigned bits hold every sum exactly, and the sums
// a channel carries between runs are such partial sums too.
#if defined(__SSE2__)

// Per-byte constants by table: e (the symbol as a signed byte, times 8) in all
// eight lanes, by symbol; [v, -v, v, -v] for the new D1 and D2 and [0, v, -v, 0]
// for the cross delta, by the signed byte v (8-byte rows, loaded into the low
// half of a register, so that a signed index scales straight into the address).
struct alignas(16) Lanes8 {
    int16_t v[8];
};
struct alignas(8) Lanes4 {
    int16_t v[4];
};
struct AudioTables {
    Lanes8 e[256];
    Lanes4 delta[256], cross[256];  // row v + 128
    constexpr AudioTables() : e{}, delta{}, cross{} {
        for (int i = 0; i < 256; ++i) {
            int16_t ev = int16_t(int8_t(uint8_t(i)) * 8);
            for (auto& x : e[i].v) x = ev;
            int16_t d = int16_t(i - 128);
            delta[i] = Lanes4{{d, int16_t(-d), d, int16_t(-d)}};
            cross[i] = Lanes4{{0, d, int16_t(-d), 0}};
        }
    }
};
constexpr AudioTables audio_tables;

AUDIO_INLINE __m128i table_row(const Lanes8& row) { return _mm_load_si128(reinterpret_cast<const __m128i*>(row.v)); }
// Row v (-128..127) of a signed table, the upper four lanes zero.
AUDIO_INLINE __m128i signed_row(const Lanes4 (&table)[256], int64_t v) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(table[128 + v].v));
}

struct TrialSums {
    __m128i trial;   // D1, -D1, D2, -D2, D3, -D3, D4, -D4 of the channel's last byte
    __m128i sum18;   // E1..E8
    __m128i sum0x;   // E0, E9, E10, then lanes of no meaning
};

AUDIO_INLINE void load_sums(TrialSums& t, const AudioPredictor& v) {
    const int32_t* d = v.delta;
    const uint32_t* s = v.error_sum;
    t.trial = _mm_setr_epi16(int16_t(d[0]), int16_t(-d[0]), int16_t(d[1]), int16_t(-d[1]), int16_t(d[2]),
                             int16_t(-d[2]), int16_t(d[3]), int16_t(-d[3]));
    t.sum18 = _mm_setr_epi16(int16_t(s[1]), int16_t(s[2]), int16_t(s[3]), int16_t(s[4]), int16_t(s[5]),
                             int16_t(s[6]), int16_t(s[7]), int16_t(s[8]));
    t.sum0x = _mm_setr_epi16(int16_t(s[0]), int16_t(s[9]), int16_t(s[10]), 0, 0, 0, 0, 0);
}

AUDIO_INLINE void store_sums(const TrialSums& t, AudioPredictor& v) {
    alignas(16) uint16_t a[8], b[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(a), t.sum18);
    _mm_store_si128(reinterpret_cast<__m128i*>(b), t.sum0x);
    v.error_sum[0] = b[0];
    for (int i = 0; i < 8; ++i) v.error_sum[1 + i] = a[i];
    v.error_sum[9] = b[1];
    v.error_sum[10] = b[2];
}

// |v| per 16-bit lane. Wide: written with generic vector operations, which the
// compiler turns into one instruction where the function being built allows
// SSSE3 (the AVX2 build); the baseline build takes the larger of v and -v.
template <bool Wide>
AUDIO_INLINE __m128i abs16(__m128i v) {
    if constexpr (Wide) {
        typedef short Short8 __attribute__((vector_size(16)));
        Short8 x = Short8(v);
        return __m128i(x < 0 ? -x : x);
    } else {
        return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
    }
}

// Adds the errors of one byte: symbol s, last_delta before the byte (the new D1),
// cross delta x; both deltas within -128..127 (64-bit, so that they index the
// tables as they are). The trial vector shifts as the deltas do: D4 = D3,
// D3 = D2, and the new D2 = D1new - D1old comes from swapping the old (D1, -D1)
// pair into (-D1, D1) and adding (D1new, -D1new).
template <bool Wide>
AUDIO_INLINE void add_errors(TrialSums& t, int32_t s, int64_t last_delta, int64_t x) {
    __m128i e = table_row(audio_tables.e[s & 255]);
    __m128i shifted = _mm_shufflelo_epi16(_mm_slli_si128(t.trial, 4), _MM_SHUFFLE(2, 3, 1, 0));
    t.trial = _mm_add_epi16(shifted, signed_row(audio_tables.delta, last_delta));
    __m128i cross = signed_row(audio_tables.cross, x);
    t.sum18 = _mm_add_epi16(t.sum18, abs16<Wide>(_mm_sub_epi16(e, t.trial)));
    t.sum0x = _mm_add_epi16(t.sum0x, abs16<Wide>(_mm_sub_epi16(e, cross)));
}

// The index of the smallest sum (lowest index on a tie), with the sums cleared.
AUDIO_INLINE int take_smallest(TrialSums& t) {
    // Unsigned order through signed compares: flip the top bit. Lanes 3..7 of
    // sum0x become the largest value, which no real sum reaches.
    const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
    const __m128i unused = _mm_setr_epi16(0, 0, 0, -1, -1, -1, -1, -1);
    __m128i a = _mm_xor_si128(t.sum18, flip);
    __m128i b = _mm_or_si128(_mm_xor_si128(t.sum0x, flip), unused);
    b = _mm_andnot_si128(_mm_and_si128(unused, flip), b);  // unused lanes: 0x7FFF
    __m128i m = _mm_min_epi16(a, b);
    m = _mm_min_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_min_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
    m = _mm_min_epi16(m, _mm_or_si128(_mm_srli_epi32(m, 16), _mm_slli_epi32(m, 16)));
    uint32_t in18 = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi16(a, m)));
    uint32_t in0x = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi16(b, m))) & 0x3F;
    t.sum18 = _mm_setzero_si128();
    t.sum0x = _mm_setzero_si128();
    // Two mask bits per lane: E0 is bit 0 of in0x, E1..E8 pairs of in18, E9 and
    // E10 bits 2 and 4 of in0x.
    if (in0x & 1) return 0;
    if (in18) return 1 + __builtin_ctz(in18) / 2;
    return 8 + __builtin_ctz(in0x) / 2;
}

#else

struct TrialSums {
    int32_t d[4];
    uint32_t sum[SUMS];
};

AUDIO_INLINE void load_sums(TrialSums& t, const AudioPredictor& v) {
    std::memcpy(t.d, v.delta, sizeof t.d);
    std::memcpy(t.sum, v.error_sum, sizeof t.sum);
}

AUDIO_INLINE void store_sums(const TrialSums& t, AudioPredictor& v) { std::memcpy(v.error_sum, t.sum, sizeof t.sum); }

template <bool Wide>
AUDIO_INLINE void add_errors(TrialSums& t, int32_t s, int64_t last_delta, int64_t x) {
    t.d[3] = t.d[2];
    t.d[2] = t.d[1];
    t.d[1] = int32_t(last_delta) - t.d[0];
    t.d[0] = int32_t(last_delta);
    int32_t e = int32_t(int8_t(uint8_t(s))) * 8;
    const int32_t xs = int32_t(x);
    const int32_t trial[SUMS] = {0, t.d[0], -t.d[0], t.d[1], -t.d[1], t.d[2], -t.d[2], t.d[3], -t.d[3], xs, -xs};
    for (int i = 0; i < SUMS; ++i) t.sum[i] += uint32_t(std::abs(e - trial[i]));
}

AUDIO_INLINE int take_smallest(TrialSums& t) {
    int m = smallest_sum(t.sum);
    std::memset(t.sum, 0, sizeof t.sum);
    return m;
}

#endif

// Bits most significant first through a 64-bit buffer: the top `count` bits of buf
// are the next ones (the bits below them are zero or already the right ones), next
// is the first byte not yet loaded. A refill leaves 56 to 63 bits, enough for three
// codes of at most 15 bits, without a branch; its load depends only on the
// previous refill, so it does not hold up the decoding.
struct BitReader {
    uint64_t buf;
    uint32_t count;
    const uint8_t* next;

    AUDIO_INLINE void refill() {
        uint64_t v;
        std::memcpy(&v, next, 8);
        buf |= __builtin_bswap64(v) >> count;
        next += (63 - count) >> 3;
        count |= 56;
    }
    // Skips the code of a decoding entry: its length is the entry's low 6 bits.
    AUDIO_INLINE void skip_entry(uint32_t e) {
        buf <<= (e & HUFF_LENGTH_MASK);
        count -= e & HUFF_LENGTH_MASK;
    }
};

// One channel's predictor while a run lasts.
struct Lane {
    int32_t w[5];
    int32_t d1, d2, d3, d4;
    int64_t last_delta;  // 64-bit: also a table index
    int32_t last_byte;
    int32_t own_weight;  // W1 + W2 + W5
    uint32_t pos;        // position of the next byte in the channel's 32-byte period
    const HuffDecoder* dec;
    TrialSums sums;
};

// One byte of lane l: decode, predict, add the errors, adapt at the end of the
// period. False (nothing written) when the symbol is the table switch.
// OwnCross: the cross delta is the lane's own last difference (one channel, after
// its first byte of the run); the prediction then needs one multiply less and
// waits only for that difference: with D1 = last_delta and D2 = last_delta - D1old,
// p = 8 x last_byte + W3 x D3 + W4 x D4 - W2 x D1old + (W1 + W2 + W5) x last_delta,
// the same integer as the sum in the plain order (no term comes near overflow).
template <bool OwnCross, bool Wide>
AUDIO_INLINE bool audio_step(Lane& l, BitReader& br, int64_t& cross, uint8_t*& out) {
    uint32_t e = l.dec->fast[br.buf >> (64 - HUFF_FAST_BITS)];
    if (__builtin_expect(e == 0, 0)) e = decode_entry_long(*l.dec, uint32_t(br.buf >> 48));
    br.skip_entry(e);
    int32_t s = int32_t(e >> HUFF_SYMBOL_SHIFT);
    if (__builtin_expect(s == 256, 0)) return false;
    int32_t x = int32_t(cross);
    add_errors<Wide>(l.sums, s, l.last_delta, cross);
    int32_t d1 = int32_t(l.last_delta), d2 = d1 - l.d1, d3 = l.d2, d4 = l.d3;
    int32_t p;
    if constexpr (OwnCross) {
        int32_t early = 8 * l.last_byte + l.w[2] * d3 + l.w[3] * d4 - l.w[1] * l.d1;
        p = early + l.own_weight * d1;
    } else {
        // The cross delta comes from the byte just before: its product is added last.
        int32_t early = 8 * l.last_byte + l.w[0] * d1 + l.w[1] * d2 + l.w[2] * d3 + l.w[3] * d4;
        p = early + l.w[4] * x;
    }
    l.d1 = d1;
    l.d2 = d2;
    l.d3 = d3;
    l.d4 = d4;
    int32_t q = p >> 3;
    int32_t v = (q & 0xFF) - s;
    // v - last_byte modulo 256, taken from q directly so the next byte need not
    // wait for v.
    int64_t diff = int8_t(uint8_t(q - (s + l.last_byte)));
    l.last_delta = diff;
    cross = diff;
    l.last_byte = v;
    *out++ = uint8_t(v);
    if (__builtin_expect(++l.pos == PERIOD, 0)) {
        l.pos = 0;
        step_weights(l.w, take_smallest(l.sums));
        l.own_weight = l.w[0] + l.w[1] + l.w[4];
    }
    return true;
}

AUDIO_INLINE void load_lane(Lane& l, const AudioState& st, const HuffDecoder* decoders, uint32_t channel) {
    const AudioPredictor& v = st.channel[channel];
    // Written out: an index that varies would keep the lane in memory.
    l.w[0] = v.weight[0];
    l.w[1] = v.weight[1];
    l.w[2] = v.weight[2];
    l.w[3] = v.weight[3];
    l.w[4] = v.weight[4];
    l.own_weight = l.w[0] + l.w[1] + l.w[4];
    l.d1 = v.delta[0];
    l.d2 = v.delta[1];
    l.d3 = v.delta[2];
    l.d4 = v.delta[3];
    l.last_delta = int8_t(v.last_delta);  // a byte difference already: kept in range
    l.last_byte = v.last_byte;
    l.pos = v.count & (PERIOD - 1);
    l.dec = decoders + channel;
    load_sums(l.sums, v);
}

AUDIO_INLINE void store_lane(const Lane& l, AudioState& st, uint32_t channel, size_t bytes) {
    AudioPredictor& v = st.channel[channel];
    v.weight[0] = l.w[0];
    v.weight[1] = l.w[1];
    v.weight[2] = l.w[2];
    v.weight[3] = l.w[3];
    v.weight[4] = l.w[4];
    v.delta[0] = l.d1;
    v.delta[1] = l.d2;
    v.delta[2] = l.d3;
    v.delta[3] = l.d4;
    v.last_delta = int32_t(l.last_delta);
    v.last_byte = l.last_byte;
    v.count += uint32_t(bytes);
    store_sums(l.sums, v);
}

// Lane J of four, chosen at compile time so that the lanes stay separate
// variables (a choice at run time would take their addresses).
template <int J>
AUDIO_INLINE Lane& pick_lane(Lane& l0, Lane& l1, Lane& l2, Lane& l3) {
    if constexpr (J == 0) return l0;
    else if constexpr (J == 1) return l1;
    else if constexpr (J == 2) return l2;
    else return l3;
}

// The run for C channels, C known at compile time: lane j holds channel
// (first + j) mod C, so the bytes go lane 0, 1, ..., C-1, 0, ... and each step
// knows its lane. The lanes are separate variables so that they can live in
// registers. Blocks of three bytes (one channel) or C bytes share one refill.
template <int C, bool Wide>
AUDIO_INLINE size_t run_channels(AudioState& st, const HuffDecoder* decoders, const uint8_t* in, uint32_t* bit,
                                 uint8_t* dst, size_t n, uint32_t last_start, bool* table_switch) {
    BitReader br{0, 0, in + (*bit >> 3)};
    br.refill();
    br.skip_entry(*bit & 7);
    uint8_t* out = dst;
    uint8_t* const end = dst + n;
    bool switched = false;
    const uint32_t first = st.current % C;

    Lane l0, l1, l2, l3;  // the first C are used
    load_lane(l0, st, decoders, first);
    if constexpr (C > 1) load_lane(l1, st, decoders, (first + 1) % C);
    if constexpr (C > 2) load_lane(l2, st, decoders, (first + 2) % C);
    if constexpr (C > 3) load_lane(l3, st, decoders, (first + 3) % C);
    int64_t cross = int8_t(st.cross_delta);  // as last_delta

    constexpr size_t BLOCK = C == 1 ? 3 : C;
    // After a refill the read position is at most next * 8 - 56 and a block's
    // symbols start within 15 x (BLOCK - 1) bits of it: a block may go while next
    // stays at or below this.
    // (Addresses compared as integers: the bound may lie far past the buffer.)
    const int64_t next_room = (int64_t(last_start) + 56 - 15 * int64_t(BLOCK - 1)) / 8;
    const uintptr_t next_limit = uintptr_t(in) + uintptr_t(next_room < 0 ? 0 : next_room);
    // With one channel the cross delta is the channel's own last difference
    // after one byte.
    if (C == 1 && cross != l0.last_delta && out < end) {
        br.refill();
        if (uintptr_t(br.next) > next_limit) goto finished;
        if (!audio_step<false, Wide>(l0, br, cross, out)) {
            switched = true;
            goto finished;
        }
    }
#define KELVORA_AUDIO_STEP(j)                                                       \
    if (!audio_step<C == 1, Wide>(pick_lane<(j) % C>(l0, l1, l2, l3), br, cross, out)) { \
        switched = true;                                                            \
        goto finished;                                                              \
    }
    while (size_t(end - out) >= BLOCK) {
        br.refill();
        if (uintptr_t(br.next) > next_limit) goto finished;
        KELVORA_AUDIO_STEP(0)
        if constexpr (BLOCK > 1) KELVORA_AUDIO_STEP(1)
        if constexpr (BLOCK > 2) KELVORA_AUDIO_STEP(2)
        if constexpr (BLOCK > 3) {
            br.refill();
            KELVORA_AUDIO_STEP(3)
        }
    }
    // Fewer than a block left: at most three bytes, one refill.
    if (out < end) {
        br.refill();
        if (uintptr_t(br.next) > next_limit) goto finished;
        KELVORA_AUDIO_STEP(0)
        if constexpr (BLOCK > 2)
            if (out < end) KELVORA_AUDIO_STEP(1)
        if constexpr (BLOCK > 3)
            if (out < end) KELVORA_AUDIO_STEP(2)
    }
#undef KELVORA_AUDIO_STEP
finished:
    const size_t made = size_t(out - dst);
    store_lane(l0, st, first, (made + C - 1) / C);
    if constexpr (C > 1) store_lane(l1, st, (first + 1) % C, (made + C - 2) / C);
    if constexpr (C > 2) store_lane(l2, st, (first + 2) % C, (made + C - 3) / C);
    if constexpr (C > 3) store_lane(l3, st, (first + 3) % C, (made + C - 4) / C);
    st.cross_delta = int32_t(cross);
    st.current = uint32_t((first + made) % C);
    *bit = uint32_t(br.next - in) * 8 - br.count;
    *table_switch = switched;
    return made;
}

// The run decoder built twice: for the baseline instruction set, and for
// processors with AVX2 and BMI2, where three-operand vector instructions and
// shifts by a register without flags make the same loop shorter. Same results.
size_t run_baseline(AudioState& state, const HuffDecoder* decoders, const uint8_t* in, uint32_t* bit, uint8_t* dst,
                    size_t n, uint32_t last_start, bool* table_switch) {
    switch (state.channels) {
    case 2: return run_channels<2, false>(state, decoders, in, bit, dst, n, last_start, table_switch);
    case 3: return run_channels<3, false>(state, decoders, in, bit, dst, n, last_start, table_switch);
    case 4: return run_channels<4, false>(state, decoders, in, bit, dst, n, last_start, table_switch);
    default: return run_channels<1, false>(state, decoders, in, bit, dst, n, last_start, table_switch);
    }
}

#if defined(__x86_64__) && defined(__SSE2__)
#define AUDIO_HAVE_AVX2_BUILD 1
__attribute__((target("avx2,bmi2"))) size_t run_avx2(AudioState& state, const HuffDecoder* decoders,
                                                      const uint8_t* in, uint32_t* bit, uint8_t* dst, size_t n,
                                                      uint32_t last_start, bool* table_switch) {
    switch (state.channels) {
    case 2: return run_channels<2, true>(state, decoders, in, bit, dst, n, last_start, table_switch);
    case 3: return run_channels<3, true>(state, decoders, in, bit, dst, n, last_start, table_switch);
    case 4: return run_channels<4, true>(state, decoders, in, bit, dst, n, last_start, table_switch);
    default: return run_channels<1, true>(state, decoders, in, bit, dst, n, last_start, table_switch);
    }
}

bool detect_avx2() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2"); }
bool use_avx2 = detect_avx2();
#endif

}  // namespace

void audio_run_use_baseline(bool baseline) {
#if defined(AUDIO_HAVE_AVX2_BUILD)
    use_avx2 = !baseline && detect_avx2();
#else
    (void)baseline;
#endif
}

size_t decode_audio_run(AudioState& state, const HuffDecoder* decoders, const uint8_t* in, uint32_t* bit,
                        uint8_t* dst, size_t n, uint32_t last_start, bool* table_switch) {
#if defined(AUDIO_HAVE_AVX2_BUILD)
    if (use_avx2) return run_avx2(state, decoders, in, bit, dst, n, last_start, table_switch);
#endif
    return run_baseline(state, decoders, in, bit, dst, n, last_start, table_switch);
}
