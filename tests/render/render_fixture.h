// Frames, row offsets and lookup tables for the render kit tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "frame_noise.h"

// Allocates the three shared frames (exactly 64000 bytes each, so the sanitizer
// sees any stray access) and builds the lookup tables once.
class RenderTest : public ::testing::Test, protected FrameNoise {
protected:
    RenderTest() : FrameNoise(12345) {}

    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    std::vector<uint8_t> screen_, back_, work_;
    std::vector<uint8_t> frame_copy(const uint8_t* f) { return {f, f + FRAME_BYTES}; }
};
