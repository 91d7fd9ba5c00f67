// Pixels by position, and reproducible noise for frames and blocks: shared by the
// render kit's tests and the scene tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "display/display.h"

// The pixel at (x, y) of a frame.
inline uint8_t& px(uint8_t* f, int x, int y) { return f[y * FRAME_W + x]; }

// A test fixture's noise: the same bytes on every run for the seed it is given.
class FrameNoise {
protected:
    explicit FrameNoise(uint32_t seed) : rng_(seed) {}

    void noise(uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) p[i] = uint8_t(rng_());
    }
    std::vector<uint8_t> noise_block(size_t n) {
        std::vector<uint8_t> v(n);
        noise(v.data(), n);
        return v;
    }

    std::mt19937 rng_;
};
