// LZ77 side of the encoder: hash-chain match finding over the 1 MB window and a
// price-driven parse (shortest path over bit costs) that knows every match kind the
// decoder has: new matches, the previous match again, the four recent distances and
// the short length-2 matches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rarw {

// One parsed step: a literal (dist == 0, len == 1) or a copy of len bytes from dist back.
struct Token {
    uint32_t len;
    uint32_t dist;
};

// The decoder's match history: rep[0] is the distance pushed last (which is also the
// previous match's distance), rep[3] the oldest; last_len the previous match's length.
struct MatchHistory {
    uint32_t rep[4] = {0, 0, 0, 0};
    uint32_t last_len = 0;
};

// Records a copy as the decoder does after every kind of match.
inline void push_match(MatchHistory& h, uint32_t len, uint32_t dist) {
    h.rep[3] = h.rep[2];
    h.rep[2] = h.rep[1];
    h.rep[1] = h.rep[0];
    h.rep[0] = dist;
    h.last_len = len;
}

// Bit prices of the symbols of the literal/length, distance and repeat-length codes.
struct Prices {
    uint32_t lit[298];
    uint32_t dist[48];
    uint32_t rep_len[28];
};

// Initial guesses from the byte statistics of `data`, for the first parse.
void initial_prices(const uint8_t* data, size_t count, Prices& prices);

// Prices from code lengths; unused symbols get a price above every used one.
void prices_from_lengths(const uint8_t* lit_len, const uint8_t* dist_len, const uint8_t* rep_len,
                         Prices& prices);

// How one copy is sent.
struct MatchCode {
    uint16_t main;        // literal/length symbol
    uint8_t aux_table;    // 0 none, 1 distance code, 2 repeat-length code
    uint8_t aux;          // symbol of that code
    uint8_t extra_a_bits; // extra bits right after the main symbol
    uint8_t extra_b_bits; // extra bits right after the aux symbol
    uint32_t extra_a;
    uint32_t extra_b;
};

constexpr uint32_t kNoPrice = 0x3FFFFFFF;

// The cheapest way to send a copy (len, dist) from history `h`; returns its price in
// bits, or kNoPrice when no kind can express it. Used by the parse and by the symbol
// writer, which must agree.
uint32_t code_match(const Prices& prices, const MatchHistory& h, uint32_t len, uint32_t dist, MatchCode* code);

struct LzOptions {
    unsigned max_chain = 128;  // candidates looked at per position
    unsigned nice_len = 160;   // a match this long is taken without weighing alternatives
};

// Prices in force from entry offset `from` on, up to the next span's start.
struct PriceSpan {
    size_t from;
    Prices prices;
};

// Parses buf[start, end) into tokens. buf[window_begin, start) is what the decoder's
// window holds before the entry (its most recent bytes, at most 1 MB), `history` its
// match history; `spans` (first one from 0, ascending) give the prices by position.
// Called per entry, once per pricing pass.
std::vector<Token> lz_parse(const uint8_t* buf, size_t window_begin, size_t start, size_t end,
                            const MatchHistory& history, const std::vector<PriceSpan>& spans,
                            const LzOptions& options);

}  // namespace rarw
