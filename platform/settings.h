// The four choices of the setup dialog, handed by the driver to the display and the
// music as they start.
#pragma once

#include <cstdint>

struct RunSettings {
    bool fullscreen = false;   // full-screen presenter instead of a window
    bool sound = false;        // music on
    int32_t mix_rate = 44100;  // output mixing rate in Hz: 11025, 22050, 44100 or 48000
    int32_t zoom = 2;          // enlargement factor: 1, 2 or 4
};
