// Huffman code lengths by the two-queue method over sorted leaves, limited to a
// maximum length by halving the frequencies until the tree is shallow enough.
#include "huffman.h"

#include <algorithm>
#include <vector>

namespace rarw {

namespace {

// Plain Huffman depths for the used symbols; returns the greatest depth.
unsigned huffman_depths(const std::vector<uint64_t>& weight, const std::vector<unsigned>& order,
                        std::vector<unsigned>& depth) {
    const size_t leaves = order.size();
    // Nodes 0..leaves-1 are leaves in ascending weight order; internal nodes follow.
    std::vector<uint64_t> w(2 * leaves);
    std::vector<size_t> parent(2 * leaves, 0);
    for (size_t i = 0; i < leaves; ++i) w[i] = weight[order[i]];
    size_t next_leaf = 0, next_inner = leaves, made = leaves;
    auto take = [&]() {
        // Leaves win ties so that the tree stays as shallow as the method allows.
        if (next_leaf < leaves && (next_inner >= made || w[next_leaf] <= w[next_inner])) return next_leaf++;
        return next_inner++;
    };
    while (made < 2 * leaves - 1) {
        const size_t a = take();
        const size_t b = take();
        w[made] = w[a] + w[b];
        parent[a] = made;
        parent[b] = made;
        ++made;
    }
    const size_t root = made - 1;
    std::vector<unsigned> node_depth(2 * leaves, 0);
    unsigned deepest = 0;
    for (size_t n = root; n-- > 0;) {
        node_depth[n] = node_depth[parent[n]] + 1;
        if (n < leaves) deepest = std::max(deepest, node_depth[n]);
    }
    depth.assign(leaves, 0);
    for (size_t i = 0; i < leaves; ++i) depth[i] = node_depth[i];
    return deepest;
}

}  // namespace

void build_code_lengths(const uint32_t* freq, unsigned count, unsigned max_bits, uint8_t* lengths) {
    std::vector<unsigned> used;
    for (unsigned i = 0; i < count; ++i) {
        lengths[i] = 0;
        if (freq[i] > 0) used.push_back(i);
    }
    if (used.empty()) return;
    if (used.size() == 1) {
        lengths[used[0]] = 1;
        return;
    }
    std::vector<uint64_t> weight(count, 0);
    for (unsigned s : used) weight[s] = freq[s];
    for (;;) {
        std::vector<unsigned> order = used;
        std::stable_sort(order.begin(), order.end(),
                         [&](unsigned a, unsigned b) { return weight[a] < weight[b]; });
        std::vector<unsigned> depth;
        if (huffman_depths(weight, order, depth) <= max_bits) {
            for (size_t i = 0; i < order.size(); ++i) lengths[order[i]] = static_cast<uint8_t>(depth[i]);
            return;
        }
        // Too deep: flatten the distribution and try again (rounds up, keeps every symbol).
        for (unsigned s : used) weight[s] = (weight[s] + 1) / 2;
    }
}

void assign_codes(const uint8_t* lengths, unsigned count, uint16_t* codes) {
    unsigned per_length[kMaxCodeBits + 1] = {};
    for (unsigned i = 0; i < count; ++i) per_length[lengths[i] & 15u]++;
    per_length[0] = 0;
    uint32_t next[kMaxCodeBits + 2] = {};
    uint32_t code = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + per_length[len - 1]) << 1;
        next[len] = code;
    }
    for (unsigned i = 0; i < count; ++i) {
        const unsigned len = lengths[i] & 15u;
        codes[i] = len ? static_cast<uint16_t>(next[len]++) : 0;
    }
}

uint64_t coded_bits(const uint32_t* freq, const uint8_t* lengths, unsigned count) {
    uint64_t bits = 0;
    for (unsigned i = 0; i < count; ++i) bits += static_cast<uint64_t>(freq[i]) * lengths[i];
    return bits;
}

}  // namespace rarw
