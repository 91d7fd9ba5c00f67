// Frames, row offsets and lookup tables for the render kit tests, plus small
// helpers to fill frames with reproducible noise.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "display/display.h"

// Allocates the three shared frames (exactly 64000 bytes each, so the sanitizer
// sees any stray access), fills row_offset and builds the lookup tables once.
class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    std::vector<uint8_t> screen_, back_, work_;
    std::mt19937 rng_{12345};

    void noise(uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) p[i] = uint8_t(rng_());
    }
    std::vector<uint8_t> noise_block(size_t n) {
        std::vector<uint8_t> v(n);
        noise(v.data(), n);
        return v;
    }
    std::vector<uint8_t> frame_copy(const uint8_t* f) { return {f, f + FRAME_BYTES}; }
};

// The pixel at (x, y) of a frame.
inline uint8_t& px(uint8_t* f, int x, int y) { return f[y * FRAME_W + x]; }
