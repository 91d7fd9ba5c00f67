// Runs scenes, or the whole show, on the headless platform the way the driver does,
// with the full-screen presenter so that every palette upload is visible at once,
// and lets the caller look at the screen at every pump. Shared by the scene tests,
// the whole-show tests and the snapshot program.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/headless.h"

constexpr double SHOW_FRAME_MS = 1000.0 / 70.0;  // the fixed virtual frame period

// What a test or tool looks at after every pump (the clock has already advanced).
using PumpWatch = std::function<void(const HeadlessScreen&)>;

// Installs the headless platform (fixed frame period, no sound; full screen at zoom
// 1 unless told otherwise) with on_pump watching. The first time only: loads
// resource.rar from the current directory, builds the tables.
// Starts the display the first time and again whenever the presenter or the zoom
// asked for differs from the last call's.
void show_platform(PumpWatch on_pump = {}, bool fullscreen = true, int zoom = 1);

// Puts every scene's state back to program start, sets the clock so that the scene's
// first cue opens now (cue_index one before it, start_ticks that cue's start time
// ago) and runs scene 1..10 to its end. What the frames and the palette hold on
// entry is whatever the caller left there. on_pump sees the screen after every pump.
void run_scene(int scene, PumpWatch on_pump);

// Puts every scene's state back to program start, opens cue 0 now and plays the ten
// scenes to the end of cue 22, as the driver does after its start-up, on the
// presenter and at the zoom given.
void run_whole_show(PumpWatch on_pump, bool fullscreen = true, int zoom = 1);

// FNV-1a (64-bit) of the 64000 frame bytes, then of the 256 colours in force as
// three bytes each (red, green, blue): what a viewer sees.
uint64_t screen_hash(const HeadlessScreen& s);

// Writes the screen as a PNG (8-bit RGB, zlib stored blocks), each pixel scaled
// up `scale` times. Returns false when the file cannot be written.
bool write_png(const char* path, const uint32_t* pixels, int w, int h, int scale);
