// Match finder and parse. The parse runs a forward shortest-path search over a
// window of positions, each node carrying the match history of its best path (the
// recent-distance codes depend on it), then commits the path and moves on.
#include "lz_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rar_codes.h"

namespace rarw {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr unsigned kHashBits = 16;
constexpr uint32_t kMaxLen = 257;     // longest copy any kind can send at every distance
constexpr size_t kHorizon = 4096;     // positions weighed before a path is committed
constexpr uint32_t kGoodLen = 32;     // a match this long shortens the rest of the search

inline uint32_t hash3(const uint8_t* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

inline uint32_t hash4(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return (v * 2246822519u) >> (32 - kHashBits);
}

// Length of the common run of a and b, at most limit.
inline uint32_t common_length(const uint8_t* a, const uint8_t* b, uint32_t limit) {
    uint32_t n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        const uint64_t diff = x ^ y;
        if (diff) return n + static_cast<uint32_t>(__builtin_ctzll(diff) >> 3);
        n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

struct Candidate {
    uint32_t len;
    uint32_t dist;
};

// Three tables: the nearest earlier position of each 2-byte value (length-2
// matches), of each 3-byte hash (length-3 matches), and chains through a 4-byte hash
// for everything longer; 4-byte chains stay short on text where 3-byte ones do not.
class MatchFinder {
public:
    MatchFinder(const uint8_t* buf, size_t window_begin, size_t end, unsigned max_chain)
        : buf_(buf), begin_(window_begin), end_(end), max_chain_(max_chain), head2_(65536, kNone),
          head3_(size_t{1} << kHashBits, kNone), head4_(size_t{1} << kHashBits, kNone),
          prev_(end - window_begin, kNone) {}

    // Adds position p to the tables without searching.
    void insert(size_t p) {
        if (p + 1 < end_) head2_[key2(p)] = static_cast<uint32_t>(p);
        if (p + 2 < end_) head3_[hash3(buf_ + p)] = static_cast<uint32_t>(p);
        if (p + 3 < end_) {
            const uint32_t h = hash4(buf_ + p);
            prev_[p - begin_] = head4_[h];
            head4_[h] = static_cast<uint32_t>(p);
        }
    }

    // Matches of 3 bytes or more at p with strictly growing lengths (nearest distance
    // for each), and the nearest length-2 match within 256 bytes; then inserts p.
    void find(size_t p, uint32_t max_len, std::vector<Candidate>& out, Candidate& short_match) {
        out.clear();
        short_match = {0, 0};
        if (max_len >= 2 && p + 1 < end_) {
            const uint32_t c = head2_[key2(p)];
            if (c != kNone && p - c <= 256) short_match = {2, static_cast<uint32_t>(p - c)};
        }
        uint32_t best = 2;
        const uint8_t* here = buf_ + p;
        if (max_len >= 3 && p + 2 < end_) {
            const uint32_t c = head3_[hash3(here)];
            if (c != kNone && p - c <= kMaxDistance) {
                const uint32_t len = common_length(here, buf_ + c, max_len);
                if (len >= 3) {
                    best = len;
                    out.push_back({len, static_cast<uint32_t>(p - c)});
                }
            }
        }
        if (best < max_len && max_len >= 4 && p + 3 < end_) {
            uint32_t c = head4_[hash4(here)];
            unsigned budget = max_chain_;
            for (unsigned chain = 0; c != kNone && chain < budget; ++chain) {
                const size_t dist = p - c;
                if (dist > kMaxDistance) break;
                const uint8_t* there = buf_ + c;
                if (there[best] == here[best] && there[0] == here[0]) {
                    const uint32_t len = common_length(here, there, max_len);
                    if (len > best) {
                        best = len;
                        out.push_back({len, static_cast<uint32_t>(dist)});
                        if (len >= max_len) break;
                        // A long match already: farther candidates rarely beat it by enough.
                        if (len >= kGoodLen) budget = std::min(budget, chain + 1 + max_chain_ / 8);
                    }
                }
                c = prev_[c - begin_];
            }
        }
        insert(p);
    }

private:
    uint32_t key2(size_t p) const { return static_cast<uint32_t>(buf_[p]) << 8 | buf_[p + 1]; }

    const uint8_t* buf_;
    size_t begin_, end_;
    unsigned max_chain_;
    std::vector<uint32_t> head2_, head3_, head4_, prev_;
};

// Prices by length value, hoisted out of the parse's inner loops.
struct PriceTable {
    uint32_t fresh[256];        // new match: length symbol + extra bits, by value 0..255
    uint32_t rep[256];          // recent distance: repeat-length symbol + extra bits
    uint32_t short_price[256];  // length-2 match by distance - 1
};

void fill_price_table(const Prices& prices, PriceTable& t) {
    for (uint32_t v = 0; v < 256; ++v) {
        const unsigned s = length_slot(v);
        t.fresh[v] = prices.lit[kSymNewMatch + s] + kLengthExtra[s];
        t.rep[v] = prices.rep_len[s] + kLengthExtra[s];
        const unsigned k = short_slot(v);
        t.short_price[v] = prices.lit[kSymShort + k] + kShortExtra[k];
    }
}

struct Node {
    uint32_t cost;
    uint32_t from;  // node index the best path came from
    uint32_t len;   // token reaching this node (len 1 and dist 0: literal)
    uint32_t dist;
    MatchHistory hist;
};

}  // namespace

void initial_prices(const uint8_t* data, size_t count, Prices& prices) {
    uint32_t hist[256] = {};
    for (size_t i = 0; i < count; ++i) hist[data[i]]++;
    for (unsigned b = 0; b < 256; ++b) {
        double bits = hist[b] ? std::log2(static_cast<double>(count) / hist[b]) : 14.0;
        prices.lit[b] = static_cast<uint32_t>(std::clamp(bits + 0.5, 1.0, 14.0));
    }
    prices.lit[kSymRepeatLast] = 6;
    for (unsigned r = 0; r < 4; ++r) prices.lit[kSymRecent + r] = 6 + r;
    for (unsigned k = 0; k < 8; ++k) prices.lit[kSymShort + k] = 7;
    prices.lit[kSymSwitch] = 15;
    for (unsigned s = 0; s < 28; ++s) {
        prices.lit[kSymNewMatch + s] = 6 + s / 6;
        prices.rep_len[s] = 3 + s / 5;
    }
    for (unsigned d = 0; d < 48; ++d) prices.dist[d] = 4 + d / 12;
}

void prices_from_lengths(const uint8_t* lit_len, const uint8_t* dist_len, const uint8_t* rep_len, Prices& prices) {
    auto fill = [](const uint8_t* len, unsigned n, uint32_t* out) {
        unsigned longest = 0;
        for (unsigned i = 0; i < n; ++i) longest = std::max<unsigned>(longest, len[i]);
        const uint32_t unused = std::min<unsigned>(longest + 2, 17);
        for (unsigned i = 0; i < n; ++i) out[i] = len[i] ? len[i] : unused;
    };
    fill(lit_len, 298, prices.lit);
    fill(dist_len, 48, prices.dist);
    fill(rep_len, 28, prices.rep_len);
}

uint32_t code_match(const Prices& prices, const MatchHistory& h, uint32_t len, uint32_t dist, MatchCode* code) {
    uint32_t best = kNoPrice;
    MatchCode pick{};
    if (dist == 0 || dist > kMaxDistance) return kNoPrice;
    if (dist == h.rep[0] && len == h.last_len) {
        best = prices.lit[kSymRepeatLast];
        pick = MatchCode{static_cast<uint16_t>(kSymRepeatLast), 0, 0, 0, 0, 0, 0};
    }
    for (unsigned r = 0; r < 4; ++r) {
        if (h.rep[r] != dist) continue;
        const uint32_t bonus = recent_match_bonus(dist);
        if (len >= 2 + bonus && len - 2 - bonus <= 255) {
            const uint32_t v = len - 2 - bonus;
            const unsigned s = length_slot(v);
            const uint32_t price = prices.lit[kSymRecent + r] + prices.rep_len[s] + kLengthExtra[s];
            if (price < best) {
                best = price;
                pick = MatchCode{static_cast<uint16_t>(kSymRecent + r), 2, static_cast<uint8_t>(s), 0,
                                 kLengthExtra[s], 0, v - kLengthBase[s]};
            }
        }
        break;
    }
    if (len == 2 && dist <= 256) {
        const unsigned k = short_slot(dist - 1);
        const uint32_t price = prices.lit[kSymShort + k] + kShortExtra[k];
        if (price < best) {
            best = price;
            pick = MatchCode{static_cast<uint16_t>(kSymShort + k), 0, 0, kShortExtra[k], 0,
                             dist - 1 - kShortBase[k], 0};
        }
    }
    const uint32_t bonus = new_match_bonus(dist);
    if (len >= 3 + bonus && len - 3 - bonus <= 255) {
        const uint32_t v = len - 3 - bonus;
        const unsigned s = length_slot(v);
        const unsigned dc = dist_slot(dist - 1);
        const uint32_t price = prices.lit[kSymNewMatch + s] + kLengthExtra[s] + prices.dist[dc] + kDistExtra[dc];
        if (price < best) {
            best = price;
            pick = MatchCode{static_cast<uint16_t>(kSymNewMatch + s), 1, static_cast<uint8_t>(dc), kLengthExtra[s],
                             kDistExtra[dc], v - kLengthBase[s], dist - 1 - kDistBase[dc]};
        }
    }
    if (code && best != kNoPrice) *code = pick;
    return best;
}

std::vector<Token> lz_parse(const uint8_t* buf, size_t window_begin, size_t start, size_t end,
                            const MatchHistory& history, const std::vector<PriceSpan>& spans,
                            const LzOptions& options) {
    std::vector<Token> tokens;
    if (end <= start) return tokens;
    tokens.reserve((end - start) / 2);
    MatchFinder finder(buf, window_begin, end, options.max_chain);
    for (size_t p = window_begin; p < start; ++p) finder.insert(p);

    std::vector<Node> nodes(kHorizon + kMaxLen + 2);
    std::vector<Candidate> found;
    std::vector<Token> path;
    MatchHistory hist = history;
    size_t span = 0;
    const Prices* cur = &spans[0].prices;
    PriceTable table;
    fill_price_table(*cur, table);
    size_t pos = start;
    const uint32_t nice = std::max<uint32_t>(3, std::min<uint32_t>(options.nice_len, kMaxLen));

    while (pos < end) {
        const size_t horizon = std::min(end - pos, kHorizon);
        for (size_t i = 0; i <= horizon + kMaxLen && i < nodes.size(); ++i) nodes[i].cost = kNoPrice;
        nodes[0].cost = 0;
        nodes[0].hist = hist;
        size_t stop = horizon;
        Token forced{0, 0};

        for (size_t j = 0; j < horizon; ++j) {
            const size_t p = pos + j;
            if (span + 1 < spans.size() && p - start >= spans[span + 1].from) {
                while (span + 1 < spans.size() && p - start >= spans[span + 1].from) ++span;
                cur = &spans[span].prices;
                fill_price_table(*cur, table);
            }
            const Prices& prices = *cur;
            const Node& node = nodes[j];
            const uint32_t max_len = static_cast<uint32_t>(std::min<size_t>(kMaxLen, end - p));
            Candidate short_match;
            finder.find(p, max_len, found, short_match);
            const uint32_t base = node.cost;

            // Copies at the recent distances, measured once per node.
            uint32_t rep_len[4] = {0, 0, 0, 0};
            uint32_t best_rep = 0, best_rep_dist = 0;
            for (unsigned r = 0; r < 4; ++r) {
                const uint32_t d = node.hist.rep[r];
                if (d == 0 || d > p - window_begin || d > kMaxDistance) continue;
                bool seen = false;
                for (unsigned q = 0; q < r; ++q) seen |= node.hist.rep[q] == d;
                if (seen) continue;
                rep_len[r] = common_length(buf + p, buf + p - d, max_len);
                if (rep_len[r] > best_rep) {
                    best_rep = rep_len[r];
                    best_rep_dist = d;
                }
            }
            const uint32_t longest = found.empty() ? 0 : found.back().len;
            if (longest >= nice || best_rep >= nice) {
                forced = best_rep + 1 >= longest ? Token{best_rep, best_rep_dist} : Token{longest, found.back().dist};
                stop = j;
                break;
            }

            auto relax = [&](size_t to, uint32_t cost, uint32_t len, uint32_t dist) {
                Node& t = nodes[to];
                if (cost < t.cost) {
                    t.cost = cost;
                    t.from = static_cast<uint32_t>(j);
                    t.len = len;
                    t.dist = dist;
                    t.hist = node.hist;
                    if (dist) push_match(t.hist, len, dist);
                }
            };
            relax(j + 1, base + prices.lit[buf[p]], 1, 0);
            // Copies at a recent distance: every kind may apply, so price them in full.
            for (unsigned r = 0; r < 4; ++r) {
                if (rep_len[r] < 2) continue;
                const uint32_t d = node.hist.rep[r];
                const uint32_t rb = recent_match_bonus(d), nb = new_match_bonus(d);
                const unsigned dc = dist_slot(d - 1);
                const uint32_t dprice = prices.dist[dc] + kDistExtra[dc];
                const uint32_t rsym = prices.lit[kSymRecent + r];
                for (uint32_t len = 2; len <= rep_len[r]; ++len) {
                    uint32_t price = kNoPrice;
                    if (r == 0 && len == node.hist.last_len) price = prices.lit[kSymRepeatLast];
                    if (len >= 2 + rb) price = std::min(price, rsym + table.rep[len - 2 - rb]);
                    if (len >= 3 + nb) price = std::min(price, table.fresh[len - 3 - nb] + dprice);
                    if (len == 2 && d <= 256) price = std::min(price, table.short_price[d - 1]);
                    relax(j + len, base + price, len, d);
                }
            }
            if (short_match.len) {
                const uint32_t d = short_match.dist;
                if (d != node.hist.rep[0] && d != node.hist.rep[1] && d != node.hist.rep[2] && d != node.hist.rep[3])
                    relax(j + 2, base + table.short_price[d - 1], 2, d);
            }
            uint32_t done = 2;
            for (const Candidate& c : found) {
                const uint32_t d = c.dist;
                if (d != node.hist.rep[0] && d != node.hist.rep[1] && d != node.hist.rep[2] && d != node.hist.rep[3]) {
                    const uint32_t nb = new_match_bonus(d);
                    const unsigned dc = dist_slot(d - 1);
                    const uint32_t dprice = prices.dist[dc] + kDistExtra[dc];
                    for (uint32_t len = std::max(done + 1, 3 + nb); len <= c.len; ++len)
                        relax(j + len, base + table.fresh[len - 3 - nb] + dprice, len, d);
                }
                done = c.len;
            }
        }

        // Walk the best path back from the stopping node and commit it.
        path.clear();
        for (size_t at = stop; at > 0; at = nodes[at].from) path.push_back({nodes[at].len, nodes[at].dist});
        std::reverse(path.begin(), path.end());
        tokens.insert(tokens.end(), path.begin(), path.end());
        hist = nodes[stop].hist;
        pos += stop;
        if (forced.len) {
            tokens.push_back(forced);
            push_match(hist, forced.len, forced.dist);
            for (size_t q = pos + 1; q < pos + forced.len; ++q) finder.insert(q);
            pos += forced.len;
        }
    }
    return tokens;
}

}  // namespace rarw
