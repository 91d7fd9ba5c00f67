// Scene 10's palette work: the dimming of the palette's upper half while the
// sprites slide, and the closing fade of the music and the palette to black.
#pragma once

#include <cstdint>

constexpr int DIM_FIRST = 149;          // entries 149..255 dim; 0..148 never do
constexpr uint8_t DIM_LAST_LEVEL = 63;  // dim_level stops here
constexpr uint8_t FADE_STEPS = 64;      // palette steps to black
constexpr int32_t FADE_START_VOLUME = 64;

// The counters of the dimming and the fade, kept through the scene.
struct ClosingFades {
    // How far the next dim step lowers the upper half: +1 per step up to 63.
    uint8_t dim_level = 0;
    // Palette fade steps done so far: 0..64.
    uint8_t fade_level = 0;
    // Flips at every fade_step call; the step's body runs when it was 1 on entry.
    uint8_t fade_toggle = 0;
    // The next music level to set: 64 down to 0; 0 sets nothing.
    int32_t fade_volume = FADE_START_VOLUME;
};

// Uploads the scene palette with every channel of entries 149..255 lowered by
// dim_level but not below (11, 25, 32), then raises dim_level unless it is 63.
// Every sixth frame of the sliding phases.
void dim_step(ClosingFades& f);

// On every second call: the music level fade_volume while it is not 0 (then one
// lower), and the undimmed scene palette less fade_level on every channel (floored
// at 0) while fade_level < 64 (then one higher). Once per frame of the last phase,
// after its present.
void fade_step(ClosingFades& f);
