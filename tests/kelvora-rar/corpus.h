// Test data for the archive writer: the kinds of file the show packs (text,
// 320x200 palette pictures, smooth maps, sampled sound) and the hard cases (random
// bytes, long runs, a 3 MB entry, empty entries). Deterministic.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace corpus {

// Small linear congruential generator: the same sequence on every machine.
struct Lcg {
    uint32_t state;
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

inline std::vector<uint8_t> text(size_t size, uint32_t seed = 1) {
    static const char* const words[] = {"the", "scene", "picture", "palette", "tube", "knot", "lens", "warp",
                                        "frame", "cue", "timeline", "glow", "curve", "sprite", "fade", "of",
                                        "and", "into", "with", "every", "row", "pixel", "table", "index"};
    Lcg rng(seed);
    std::string s;
    while (s.size() < size) {
        s += words[rng.next() % 24];
        s += (rng.next() % 11 == 0) ? ".\n" : " ";
    }
    s.resize(size);
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Flat-shaded shapes on a gradient, like a drawn 320x200 picture.
inline std::vector<uint8_t> drawn_picture(uint32_t seed = 2) {
    Lcg rng(seed);
    std::vector<uint8_t> px(64000);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) px[y * 320 + x] = static_cast<uint8_t>(y / 4);
    for (int k = 0; k < 12; ++k) {
        const int cx = rng.next() % 320, cy = rng.next() % 200, r = 10 + rng.next() % 40;
        const uint8_t c = static_cast<uint8_t>(64 + rng.next() % 128);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) px[y * 320 + x] = c;
    }
    return px;
}

// A smooth height map with a little noise: what the audio predictor suits.
inline std::vector<uint8_t> smooth_map(size_t w = 320, size_t h = 200, uint32_t seed = 3) {
    Lcg rng(seed);
    std::vector<uint8_t> px(w * h);
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) {
            const double v = 128 + 60 * std::sin(x / 23.0 + y / 37.0) + 40 * std::cos(y / 13.0 - x / 50.0);
            px[y * w + x] = static_cast<uint8_t>(static_cast<int>(v) + static_cast<int>(rng.next() % 5) - 2);
        }
    return px;
}

// Stereo 8-bit sampled sound, channels interleaved.
inline std::vector<uint8_t> sound(size_t frames, uint32_t seed = 4) {
    Lcg rng(seed);
    std::vector<uint8_t> s(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        s[2 * i] = static_cast<uint8_t>(128 + static_cast<int>(90 * std::sin(i * 0.031)) + static_cast<int>(rng.next() % 3));
        s[2 * i + 1] = static_cast<uint8_t>(128 + static_cast<int>(70 * std::sin(i * 0.017 + 1)) + static_cast<int>(rng.next() % 3));
    }
    return s;
}

inline std::vector<uint8_t> random_bytes(size_t size, uint32_t seed = 5) {
    Lcg rng(seed);
    std::vector<uint8_t> v(size);
    for (auto& b : v) b = static_cast<uint8_t>(rng.next());
    return v;
}

inline std::vector<uint8_t> runs(size_t size) {
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i < size; ++i) v[i] = static_cast<uint8_t>((i / 5000) % 3 == 0 ? 0 : 'a' + (i / 5000) % 7);
    return v;
}

// 3 MB: random 200 KB and 700 KB pieces that come back at distances near and beyond
// the 0x2000 and 0x40000 steps and, later, beyond the 1 MB window.
inline std::vector<uint8_t> large(uint32_t seed = 6) {
    const std::vector<uint8_t> a = random_bytes(200 * 1024, seed);
    const std::vector<uint8_t> b = text(700 * 1024, seed + 1);
    std::vector<uint8_t> v;
    while (v.size() < 3 * 1024 * 1024) {
        v.insert(v.end(), a.begin(), a.end());
        v.insert(v.end(), b.begin(), b.begin() + 9000);
        v.insert(v.end(), b.begin(), b.end());
    }
    v.resize(3 * 1024 * 1024);
    return v;
}

}  // namespace corpus
