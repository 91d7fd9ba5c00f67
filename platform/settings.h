// The choices of the setup dialog, handed by the driver to the display and the
// music as they start, and the command line's further choices.
#pragma once

#include <cstdint>

// The shape the picture is shown in.
enum class Aspect : int32_t {
    standard = 0,  // square pixels in a window, 4:3 full screen
    four_three,    // 4:3 everywhere, as on the displays the show was made for
    square,        // whole square pixels everywhere: 16:10
};

struct RunSettings {
    bool fullscreen = false;   // full-screen presenter instead of a window
    bool sound = false;        // music on
    int32_t mix_rate = 44100;  // output mixing rate in Hz: 11025, 22050, 44100 or 48000
    int32_t zoom = 2;          // enlargement factor: 1, 2 or 4
    Aspect aspect = Aspect::standard;
    uint32_t start_ms = 0;     // show time the viewer starts at, 0..149999
};
