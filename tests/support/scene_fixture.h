// Test base for the pieces of a scene: the headless platform with the real
// resources and tables, every scene's state back at program start, and resource
// slots that a test may point at its own data (put back afterwards).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "archive/resources.h"
#include "display/display.h"
#include "frame_noise.h"
#include "scenes/scenes.h"
#include "show_run.h"

class SceneTest : public ::testing::Test, protected FrameNoise {
protected:
    SceneTest() : FrameNoise(20260) {}

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

private:
    uint8_t* saved_slot_[RESOURCE_COUNT] = {};
    uint32_t saved_length_[RESOURCE_COUNT] = {};
};

// The 0x00RRGGBB a viewer sees for a 6-bit palette entry.
inline uint32_t shown_rgb(const Palette& p, int i) {
    return uint32_t(p.rgb[i * 3] * 4) << 16 | uint32_t(p.rgb[i * 3 + 1] * 4) << 8 | uint32_t(p.rgb[i * 3 + 2] * 4);
}

// The 256 colours rgb holds (the screen's now, unless told) are palette p's.
inline ::testing::AssertionResult shows(const Palette& p, const uint32_t* rgb = headless_screen().rgb) {
    for (int i = 0; i < 256; ++i)
        if (rgb[i] != shown_rgb(p, i))
            return ::testing::AssertionFailure() << "entry " << i;
    return ::testing::AssertionSuccess();
}
