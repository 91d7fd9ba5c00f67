// Code-length tables: tries sending plain lengths or differences to the previous
// set, with and without the repeat-previous run symbol, and keeps the cheapest.
#include "table_coder.h"

#include <vector>

#include "huffman.h"

namespace rarw {

namespace {

struct LengthItem {
    uint8_t symbol;   // 0..18 of the bit-length code
    uint8_t extra_bits;
    uint8_t extra;
};

void make_items(const uint8_t* lengths, unsigned size, const uint8_t* old_lengths, bool delta,
                bool use_repeat, std::vector<LengthItem>& items) {
    items.clear();
    unsigned i = 0;
    while (i < size) {
        const uint8_t v = lengths[i];
        if (v == 0) {
            unsigned run = 0;
            while (i + run < size && lengths[i + run] == 0) ++run;
            if (run >= 3) {
                while (run >= 3) {
                    if (run >= 11) {
                        const unsigned n = run > 138 ? 138 : run;
                        items.push_back({18, 7, static_cast<uint8_t>(n - 11)});
                        i += n;
                        run -= n;
                    } else {
                        const unsigned n = run > 10 ? 10 : run;
                        items.push_back({17, 3, static_cast<uint8_t>(n - 3)});
                        i += n;
                        run -= n;
                    }
                }
                continue;
            }
        } else if (use_repeat && i > 0 && lengths[i - 1] == v) {
            // Symbol 16 copies the length just decoded; never used at position 0.
            unsigned run = 0;
            while (i + run < size && lengths[i + run] == v) ++run;
            if (run >= 3) {
                const unsigned n = run > 6 ? 6 : run;
                items.push_back({16, 2, static_cast<uint8_t>(n - 3)});
                i += n;
                continue;
            }
        }
        const uint8_t base = delta ? old_lengths[i] : 0;
        items.push_back({static_cast<uint8_t>((v - base) & 15u), 0, 0});
        ++i;
    }
}

struct Plan {
    bool delta = false;
    std::vector<LengthItem> items;
    uint8_t bl_lengths[19] = {};
    uint64_t bits = ~0ull;
};

Plan best_plan(const TableHeader& header, const uint8_t* lengths, unsigned size,
               const uint8_t* old_lengths, unsigned old_known) {
    Plan best;
    std::vector<LengthItem> items;
    for (int delta = 0; delta < 2; ++delta) {
        if (delta && size > old_known) continue;
        for (int rep = 0; rep < 2; ++rep) {
            make_items(lengths, size, old_lengths, delta != 0, rep != 0, items);
            uint32_t freq[19] = {};
            for (const LengthItem& it : items) freq[it.symbol]++;
            uint8_t bl[19];
            build_code_lengths(freq, 19, 15, bl);
            uint64_t bits = 2 + (header.audio ? 2 : 0) + 19 * 4;
            for (const LengthItem& it : items) bits += bl[it.symbol] + it.extra_bits;
            if (bits < best.bits) {
                best.bits = bits;
                best.delta = delta != 0;
                best.items = items;
                for (int k = 0; k < 19; ++k) best.bl_lengths[k] = bl[k];
            }
        }
    }
    return best;
}

}  // namespace

uint64_t code_lengths_cost(const TableHeader& header, const uint8_t* lengths, unsigned size,
                           const uint8_t* old_lengths, unsigned old_known) {
    return best_plan(header, lengths, size, old_lengths, old_known).bits;
}

uint64_t write_code_lengths(BitWriter& out, const TableHeader& header, const uint8_t* lengths,
                            unsigned size, const uint8_t* old_lengths, unsigned old_known) {
    const Plan plan = best_plan(header, lengths, size, old_lengths, old_known);
    const uint64_t start = out.bit_count();
    // Header bits: 0x8000 audio, 0x4000 keep the old lengths as the basis.
    out.put((header.audio ? 2u : 0u) | (plan.delta ? 1u : 0u), 2);
    if (header.audio) out.put(header.channels - 1u, 2);
    for (int k = 0; k < 19; ++k) out.put(plan.bl_lengths[k], 4);
    uint16_t codes[19];
    assign_codes(plan.bl_lengths, 19, codes);
    for (const LengthItem& it : plan.items) {
        out.put(codes[it.symbol], plan.bl_lengths[it.symbol]);
        if (it.extra_bits) out.put(it.extra, it.extra_bits);
    }
    return out.bit_count() - start;
}

}  // namespace rarw
