// The decompressor: bit input, code-length tables, the main decoding loop, match
// copies and flushing the window into the output block.
#include "archive/lz_unpack.h"
#include "archive/rar20_tables.h"

#include <algorithm>
#include <cstring>

#include "archive/audio_predictor.h"
#include "archive/extract_log.h"
#include "archive/huff_decoder.h"
#include "archive/reader_state.h"

namespace {

// Input buffer: packed bytes in 8 KiB pieces with a 32-byte carry, so a symbol
// never needs a bounds check; the padding covers the look-ahead of the bit reader.
constexpr uint32_t IN_SIZE = 8192;
constexpr uint32_t IN_CARRY = 32;
constexpr uint32_t IN_PAD = 64;
// Refill points (byte positions): before a main-loop symbol, at the start of a
// code-length set, before a code-length symbol.
constexpr int32_t REFILL_MAIN = IN_SIZE - 30;
constexpr int32_t REFILL_TABLES = IN_SIZE - 25;
constexpr int32_t REFILL_LENGTHS = IN_SIZE - 5;
// Decoding stops once the read position is this many bytes past the entry's data:
// a sound stream never gets there, and a broken one would otherwise spin on stale
// bytes (table switches and empty repeats produce no output).
constexpr int32_t OVERREAD_SLACK = 2;

constexpr uint32_t LIT_SYMBOLS = 298, DIST_SYMBOLS = 48, REP_SYMBOLS = 28, BITLEN_SYMBOLS = 19;
constexpr uint32_t AUDIO_SYMBOLS = 257;
constexpr uint32_t LZ_TABLE = LIT_SYMBOLS + DIST_SYMBOLS + REP_SYMBOLS;  // 374
constexpr uint32_t ALL_LENGTHS = 4 * AUDIO_SYMBOLS;                      // 1028
// A flush is due when the write position has come this close behind the flush
// position; longer than the longest match (260 bytes).
constexpr uint32_t FLUSH_MARGIN = 270;

struct UnpackState {
    uint8_t in_buf[IN_SIZE + IN_PAD];
    uint32_t bitpos;     // read position in bits: in_pos * 8 + in_bit
    int32_t in_top;      // valid bytes after the latest fill, as the final table check sees it
    int32_t data_end;    // where the entry's real data ends in the buffer (may be <= 0)
    uint8_t* window;     // the window of the current call
    uint32_t dirty;      // window bytes from position 0 on that may be non-zero (0..WINDOW_SIZE)
    uint32_t win_pos;
    uint32_t flush_pos;
    HuffDecoder lit, dist, rep, bitlen;
    HuffDecoder audio_dec[4];
    uint8_t old_lengths[ALL_LENGTHS];
    uint32_t recent_dist[4];
    uint32_t recent_index;
    uint32_t last_dist;
    uint32_t last_len;
    bool audio_mode;
    AudioState audio;
};

UnpackState u;

inline uint32_t in_pos() { return u.bitpos >> 3; }

// The 32 bits at bit position bit, most significant first; the top 25 are valid.
inline uint32_t peek32(const uint8_t* buf, uint32_t bit) {
    uint32_t v;
    std::memcpy(&v, buf + (bit >> 3), 4);
    return __builtin_bswap32(v) << (bit & 7);
}

// The bits from bit position bit on, most significant first, left-aligned in 64
// bits; the top 57 are valid.
inline uint64_t load_bits(const uint8_t* buf, uint32_t bit) {
    uint64_t v;
    std::memcpy(&v, buf + (bit >> 3), 8);
    return __builtin_bswap64(v) << (bit & 7);
}

// Takes an extra value of n bits (0..16) off the top of bb; 0 bits give 0 (the
// first shift keeps the second below 64).
inline uint32_t take_bits(uint64_t& bb, uint32_t& bit, uint32_t n) {
    uint32_t v = uint32_t((bb >> 1) >> (63 - n));
    bb <<= n;
    bit += n;
    return v;
}

inline uint32_t peek_bits() { return peek32(u.in_buf, u.bitpos) >> 16; }
inline void skip_bits(uint32_t n) { u.bitpos += n; }

// An extra value of n bits (0..16); 0 bits read nothing.
inline uint32_t get_bits(uint32_t n) {
    if (n == 0) return 0;
    uint32_t v = peek32(u.in_buf, u.bitpos) >> (32 - n);
    u.bitpos += n;
    return v;
}

inline uint32_t decode_symbol(const HuffDecoder& d) {
    uint32_t e = decode_entry(d, peek_bits());
    u.bitpos += e & HUFF_LENGTH_MASK;
    return e >> HUFF_SYMBOL_SHIFT;
}

// Bytes of the buffer past what a fill wrote are cleared, so whatever a broken
// stream reads there is the same on every run.
void clear_tail(uint32_t from) { std::memset(u.in_buf + from, 0, IN_SIZE + IN_PAD - from); }

void fill_input(bool first) {
    if (first) {
        size_t n = read_packed(u.in_buf, IN_SIZE);
        u.in_top = int32_t(n);
        u.data_end = int32_t(n);
        u.bitpos = 0;
        clear_tail(uint32_t(n));
        return;
    }
    std::memmove(u.in_buf, u.in_buf + IN_SIZE - IN_CARRY, IN_CARRY);
    u.bitpos -= (IN_SIZE - IN_CARRY) * 8;
    size_t n = read_packed(u.in_buf + IN_CARRY, IN_SIZE - IN_CARRY);
    u.in_top = n > 0 ? int32_t(n + IN_CARRY) : int32_t(in_pos());
    u.data_end = u.data_end - int32_t(IN_SIZE - IN_CARRY) + int32_t(n);
    clear_tail(uint32_t(IN_CARRY + n));
}

// Refills when the read position passed limit. False (and decoding ends) once the
// read position has run past the entry's data.
bool need_input(int32_t limit) {
    int32_t pos = int32_t(in_pos());
    if (pos > u.data_end + OVERREAD_SLACK) {
        reader.bytes_left = -1;
        return false;
    }
    if (pos > limit) fill_input(false);
    return true;
}

// The position beyond which the main loop has to look at its input.
inline int32_t main_input_limit() {
    int32_t end = u.data_end + OVERREAD_SLACK;
    return end < REFILL_MAIN ? end : REFILL_MAIN;
}

void read_code_lengths() {
    if (!need_input(REFILL_TABLES)) return;
    uint32_t b = peek_bits();
    u.audio_mode = (b & 0x8000) != 0;
    if (!(b & 0x4000)) std::memset(u.old_lengths, 0, sizeof u.old_lengths);
    skip_bits(2);
    uint32_t table_size;
    if (u.audio_mode) {
        u.audio.channels = ((b >> 12) & 3) + 1;
        if (u.audio.current >= u.audio.channels) u.audio.current = 0;
        skip_bits(2);
        table_size = AUDIO_SYMBOLS * u.audio.channels;
    } else {
        table_size = LZ_TABLE;
    }
    uint8_t bit_lengths[BITLEN_SYMBOLS];
    for (uint32_t i = 0; i < BITLEN_SYMBOLS; ++i) {
        bit_lengths[i] = uint8_t(peek_bits() >> 12);
        skip_bits(4);
    }
    build_decoder(bit_lengths, u.bitlen, BITLEN_SYMBOLS);

    // The new set is built over the old one in place: position i is read as the
    // old length before it is written, and a repeat reads the new length before it.
    uint8_t* len = u.old_lengths;
    for (uint32_t i = 0; i < table_size;) {
        if (!need_input(REFILL_LENGTHS)) return;
        uint32_t s = decode_symbol(u.bitlen);
        if (s < 16) {
            len[i] = uint8_t((s + len[i]) & 15);
            ++i;
        } else if (s == 16) {
            uint32_t n = 3 + get_bits(2);
            uint8_t prev = i > 0 ? len[i - 1] : 0;  // a repeat at position 0 repeats 0
            for (; n > 0 && i < table_size; --n) len[i++] = prev;
        } else {
            uint32_t n = s == 17 ? 3 + get_bits(3) : 11 + get_bits(7);
            for (; n > 0 && i < table_size; --n) len[i++] = 0;
        }
    }
    if (u.audio_mode) {
        for (uint32_t c = 0; c < u.audio.channels; ++c)
            build_decoder(len + AUDIO_SYMBOLS * c, u.audio_dec[c], AUDIO_SYMBOLS);
    } else {
        build_decoder(len, u.lit, LIT_SYMBOLS);
        build_decoder(len + LIT_SYMBOLS, u.dist, DIST_SYMBOLS);
        build_decoder(len + LIT_SYMBOLS + DIST_SYMBOLS, u.rep, REP_SYMBOLS);
    }
}

void reset_unpack_state(uint8_t* window) {
    u.audio = AudioState{};
    u.audio_mode = false;
    std::memset(u.recent_dist, 0, sizeof u.recent_dist);
    u.recent_index = 0;
    u.last_dist = 0;
    u.last_len = 0;
    u.win_pos = 0;
    u.flush_pos = 0;
    // Only what was written since the last reset is cleared: an archive of many
    // small entries would otherwise clear a whole megabyte per entry.
    std::memset(window, 0, u.dirty);
    u.dirty = 0;
    std::memset(u.old_lengths, 0, sizeof u.old_lengths);
    // Decoders start empty, so an entry that claims to continue a state this call
    // never built decodes the same way every time.
    build_decoder(u.old_lengths, u.lit, LIT_SYMBOLS);
    build_decoder(u.old_lengths, u.dist, DIST_SYMBOLS);
    build_decoder(u.old_lengths, u.rep, REP_SYMBOLS);
    for (HuffDecoder& d : u.audio_dec) build_decoder(u.old_lengths, d, AUDIO_SYMBOLS);
}

// Moves the bytes from flush_pos up to win_pos on: to the output of the wanted
// entry (at most two pieces when the window has wrapped), nowhere for others.
void flush_window() {
    uint32_t wp = u.win_pos & WINDOW_MASK;
    uint32_t fp = u.flush_pos;
    u.flush_pos = wp;
    if (!reader.found || reader.overrun || reader.sink_failed) return;
    uint32_t n = (wp - fp) & WINDOW_MASK;
    if (uint64_t(reader.out_count) + n > reader.file_header.unp_size) {
        READER_LOG("Fatal! Buffer overrun during decompression!");
        reader.bytes_left = -1;
        reader.overrun = true;
        return;
    }
    const uint8_t* win = u.window;
    bool ok = wp < fp ? emit_output(win + fp, WINDOW_SIZE - fp) && emit_output(win, wp)
                      : emit_output(win + fp, n);
    if (!ok) reader.bytes_left = -1;
}

// Copies len bytes from distance dist back (modulo the window) to wp, byte by byte
// in effect: a distance shorter than the length repeats the bytes just written.
inline uint32_t copy_match(uint8_t* win, uint32_t wp, uint32_t dist, uint32_t len) {
    uint32_t src = (wp - dist) & WINDOW_MASK;
    if (wp + len <= WINDOW_SIZE && src + len <= WINDOW_SIZE) {
        uint8_t* d = win + wp;
        const uint8_t* s = win + src;
        if (dist >= len || src > wp) {
            // No overlap, or the source lies ahead: a forward copy is a move. Short
            // ones as two overlapping pieces, both loaded before either is stored.
            if (len <= 16) {
                if (len >= 8) {
                    uint64_t a, b;
                    std::memcpy(&a, s, 8);
                    std::memcpy(&b, s + len - 8, 8);
                    std::memcpy(d, &a, 8);
                    std::memcpy(d + len - 8, &b, 8);
                } else if (len >= 4) {
                    uint32_t a, b;
                    std::memcpy(&a, s, 4);
                    std::memcpy(&b, s + len - 4, 4);
                    std::memcpy(d, &a, 4);
                    std::memcpy(d + len - 4, &b, 4);
                } else {
                    for (uint32_t i = 0; i < len; ++i) d[i] = s[i];
                }
            } else if (len <= 32) {
                uint64_t a[2], b[2];
                std::memcpy(a, s, 16);
                std::memcpy(b, s + len - 16, 16);
                std::memcpy(d, a, 16);
                std::memcpy(d + len - 16, b, 16);
            } else {
                std::memmove(d, s, len);
            }
        } else if (dist == 1) {
            std::memset(d, *s, len);
        } else if (dist >= 8) {
            // Each 8-byte step reads only bytes already final.
            uint32_t i = 0;
            for (; i + 8 <= len; i += 8) std::memcpy(d + i, s + i, 8);
            for (; i < len; ++i) d[i] = s[i];
        } else {
            for (uint32_t i = 0; i < len; ++i) d[i] = s[i];
        }
    } else {
        for (uint32_t i = 0; i < len; ++i) {
            win[wp] = win[(wp - dist) & WINDOW_MASK];
            wp = (wp + 1) & WINDOW_MASK;
        }
        return wp;
    }
    return (wp + len) & WINDOW_MASK;
}

void check_final_tables() {
    if (int32_t(in_pos()) + 5 > u.in_top) return;
    if (u.audio_mode) {
        if (decode_symbol(u.audio_dec[u.audio.current]) == 256) read_code_lengths();
    } else {
        if (decode_symbol(u.lit) == 269) read_code_lengths();
    }
}

}  // namespace

void note_clean_window() { u.dirty = 0; }

void lz_unpack(uint8_t* window) {
    bool continues = (reader.file_header.flags & ENTRY_SOLID) != 0;
    u.window = window;
    if (!continues || !reader.unpack_ready) reset_unpack_state(window);
    reader.unpack_ready = true;
    // Positions written run on from 0 since the reset, and at most the entry's
    // size plus one longest match more (the loop ends once bytes_left is below 0).
    int64_t most = reader.bytes_left < 0 ? 0 : int64_t(reader.bytes_left) + 261;
    u.dirty = uint32_t(std::min<int64_t>(WINDOW_SIZE, int64_t(u.dirty) + most));
    fill_input(true);
    if (!continues) read_code_lengths();

    // The loop keeps its working values in locals: window stores may alias any
    // byte, so fields of the global state would be reloaded after each one.
    const uint8_t* in = u.in_buf;
    uint8_t* win = window;
    uint32_t bit = u.bitpos;
    uint32_t wp = u.win_pos;
    uint32_t fp = u.flush_pos;
    // bytes_left -= 1; a negative count (sizes of 2^31 and up) stays negative.
    int32_t left = reader.bytes_left < 0 ? -1 : reader.bytes_left - 1;
    int32_t limit = main_input_limit();
    bool audio = u.audio_mode;
#define SAVE()                   \
    do {                         \
        u.bitpos = bit;          \
        u.win_pos = wp;          \
        reader.bytes_left = left; \
    } while (0)
#define LOAD()                    \
    do {                          \
        bit = u.bitpos;           \
        wp = u.win_pos;           \
        fp = u.flush_pos;         \
        left = reader.bytes_left; \
        limit = main_input_limit(); \
        audio = u.audio_mode;     \
    } while (0)

    while (left >= 0) {
        if (int32_t(bit >> 3) > limit) {
            SAVE();
            bool more = need_input(REFILL_MAIN);
            LOAD();
            if (!more) break;
        }
        if (((fp - wp) & WINDOW_MASK) < FLUSH_MARGIN && fp != wp) {
            SAVE();
            flush_window();
            LOAD();
        }
        if (audio) {
            // Runs of audio bytes on a private copy of the predictor state, which
            // window stores cannot alias. A run ends before the step above would
            // have something to do (refill, flush, end or window wrap), so the
            // bytes inside need no checks; a table switch ends it early.
            AudioState a = u.audio;
            const HuffDecoder* dec = u.audio_dec;
            bool switch_tables = false;
            bool exact = false;
            for (;;) {
                int64_t n = int64_t(left) + 1;
                int64_t input_end = int64_t(limit) * 8 + 7;  // last bit a symbol may start at
                int64_t by_input = input_end >= bit ? (input_end - bit) / 15 + 1 : 0;
                uint32_t room = (fp - wp) & WINDOW_MASK;
                int64_t by_flush = room == 0 ? WINDOW_SIZE - FLUSH_MARGIN + 1
                                             : int64_t(room) - int64_t(FLUSH_MARGIN) + 1;
                n = std::min({n, by_flush, int64_t(WINDOW_SIZE - wp)});
                if (n <= 0 || by_input <= 0) break;
                // Far from the end of the input the run watches it itself; close to
                // it (or when the run could not start) the count is bounded instead.
                uint32_t last_start = uint32_t(input_end);
                if (exact || by_input < 64) {
                    n = std::min(n, by_input);
                    last_start = AUDIO_NO_INPUT_LIMIT;
                }
                uint32_t produced = uint32_t(
                    decode_audio_run(a, dec, in, &bit, win + wp, size_t(n), last_start, &switch_tables));
                wp = (wp + produced) & WINDOW_MASK;
                left -= int32_t(produced);
                if (switch_tables) break;
                exact = produced == 0;
            }
            u.audio = a;
            if (switch_tables) {
                SAVE();
                read_code_lengths();
                LOAD();
            }
            continue;
        }
        // LZ tokens without the checks above, as long as none of them could fire:
        // the flush would become due once the bytes written since flush_pos pass
        // WINDOW_SIZE - FLUSH_MARGIN, and bytes written equal the drop in left, so
        // one bound on left covers both the end of the entry and the flush.
        // Audio mode changes only at a table switch, which leaves this loop.
        int64_t written = int64_t((wp - fp) & WINDOW_MASK);
        int64_t flush_bound = int64_t(left) - (int64_t(WINDOW_SIZE - FLUSH_MARGIN) - written);
        int32_t stop = int32_t(std::max<int64_t>(0, flush_bound));
        bool switch_tables = false;
        while (left >= stop && int32_t(bit >> 3) <= limit) {
            // At least 57 valid bits, more than a whole token takes (51 at most);
            // the read lies inside the padded buffer as the position is <= limit.
            uint64_t bb = load_bits(in, bit);
            uint32_t e = decode_entry(u.lit, uint32_t(bb >> 48));
            uint32_t s = e >> HUFF_SYMBOL_SHIFT;
            if (s < 256) {
                bit += e & HUFF_LENGTH_MASK;
                win[wp] = uint8_t(s);
                wp = (wp + 1) & WINDOW_MASK;
                --left;
                // A second literal from the same bits when the checks still pass.
                if (left < stop || int32_t(bit >> 3) > limit) break;
                bb <<= e & HUFF_LENGTH_MASK;
                e = decode_entry(u.lit, uint32_t(bb >> 48));
                s = e >> HUFF_SYMBOL_SHIFT;
                if (s < 256) {
                    bit += e & HUFF_LENGTH_MASK;
                    win[wp] = uint8_t(s);
                    wp = (wp + 1) & WINDOW_MASK;
                    --left;
                    continue;
                }
                bb = load_bits(in, bit);
            }
            bb <<= e & HUFF_LENGTH_MASK;
            bit += e & HUFF_LENGTH_MASK;
            uint32_t len, dist;
            if (s >= 270) {
                uint32_t k = s - 270;
                len = length_base[k] + 3 + take_bits(bb, bit, length_extra[k]);
                uint32_t de = decode_entry(u.dist, uint32_t(bb >> 48));
                bb <<= de & HUFF_LENGTH_MASK;
                bit += de & HUFF_LENGTH_MASK;
                uint32_t d = de >> HUFF_SYMBOL_SHIFT;
                dist = dist_base[d] + 1 + take_bits(bb, bit, dist_extra[d]);
                if (dist >= 0x2000) {
                    ++len;
                    if (dist >= 0x40000) ++len;
                }
            } else if (s == 269) {
                switch_tables = true;
                break;
            } else if (s == 256) {
                len = u.last_len;
                dist = u.last_dist;
            } else if (s <= 260) {
                dist = u.recent_dist[(u.recent_index - (s - 256)) & 3];
                uint32_t re = decode_entry(u.rep, uint32_t(bb >> 48));
                bb <<= re & HUFF_LENGTH_MASK;
                bit += re & HUFF_LENGTH_MASK;
                uint32_t r = re >> HUFF_SYMBOL_SHIFT;
                len = length_base[r] + 2 + take_bits(bb, bit, length_extra[r]);
                if (dist >= 0x101) {
                    ++len;
                    if (dist >= 0x2000) {
                        ++len;
                        if (dist >= 0x40000) ++len;
                    }
                }
            } else {
                uint32_t k = s - 261;
                dist = short_base[k] + 1 + take_bits(bb, bit, short_extra[k]);
                len = 2;
            }
            u.recent_dist[u.recent_index & 3] = dist;
            ++u.recent_index;
            u.last_dist = dist;
            u.last_len = len;
            left -= int32_t(len);
            wp = copy_match(win, wp, dist, len);
        }
        if (switch_tables) {
            SAVE();
            read_code_lengths();
            LOAD();
        }
    }
    SAVE();
#undef SAVE
#undef LOAD

    check_final_tables();
    flush_window();
}
