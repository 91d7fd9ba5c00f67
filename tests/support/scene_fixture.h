// Test base for the pieces of a scene: the headless platform with the real
// resources and tables, every scene's state back at program start, and resource
// slots that a test may point at its own data (put back afterwards).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "archive/resources.h"
#include "display/display.h"
#include "scenes/scenes.h"
#include "show_run.h"

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        show_platform();
        scenes_reset_state();
        for (int i = 0; i < RESOURCE_COUNT; ++i) {
            saved_slot_[i] = resource_slot[i];
            saved_length_[i] = resource_length[i];
        }
    }
    void TearDown() override {
        for (int i = 0; i < RESOURCE_COUNT; ++i) {
            resource_slot[i] = saved_slot_[i];
            resource_length[i] = saved_length_[i];
        }
    }

    // Points a resource at a block owned by the test.
    void use_resource(ResourceId id, std::vector<uint8_t>& block) {
        resource_slot[id] = block.data();
        resource_length[id] = uint32_t(block.size());
    }

    std::vector<uint8_t> noise_block(size_t n) {
        std::vector<uint8_t> v(n);
        for (uint8_t& b : v) b = uint8_t(rng_());
        return v;
    }

    std::mt19937 rng_{20260};

private:
    uint8_t* saved_slot_[RESOURCE_COUNT] = {};
    uint32_t saved_length_[RESOURCE_COUNT] = {};
};

inline uint8_t& px(uint8_t* f, int x, int y) { return f[y * FRAME_W + x]; }

// The 0x00RRGGBB a viewer sees for a 6-bit palette entry.
inline uint32_t shown_rgb(const Palette& p, int i) {
    return uint32_t(p.rgb[i * 3] * 4) << 16 | uint32_t(p.rgb[i * 3 + 1] * 4) << 8 | uint32_t(p.rgb[i * 3 + 2] * 4);
}
