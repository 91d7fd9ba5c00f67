// Runs scene 1 on the headless platform the way the driver does, with the
// full-screen presenter so that every palette upload is visible at once, and lets
// the caller look at the screen at every pump. Shared by the tests and the
// snapshot program.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/headless.h"

constexpr double SCENE1_FRAME_MS = 1000.0 / 70.0;  // the fixed virtual frame period

// What a test or tool looks at after every pump (the clock has already advanced).
using PumpWatch = std::function<void(const HeadlessScreen&)>;

// Installs the headless platform (fixed frame period, full screen, no sound) with
// on_pump watching, and the first time only: loads resource.rar from the current
// directory, fills row_offset, builds the tables and starts the display.
void scene1_platform(PumpWatch on_pump = {});

// Puts the scene's state back to program start, opens cue 0 at the current tick and
// runs scene_opening to its end. on_pump sees the screen after every pump.
void scene1_run(PumpWatch on_pump);

// FNV-1a (64-bit) of the 64000 frame bytes, then of the 256 colours in force as
// three bytes each (red, green, blue): what a viewer sees.
uint64_t screen_hash(const HeadlessScreen& s);

// Writes the screen as a PNG (8-bit RGB, zlib stored blocks), each pixel scaled
// up `scale` times. Returns false when the file cannot be written.
bool write_png(const char* path, const uint32_t* pixels, int w, int h, int scale);
