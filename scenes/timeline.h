// The show's timeline: 23 cue end times, the open cue, the clock's zero, and the
// per-frame message pump.
#pragma once

#include <cstdint>

constexpr int CUE_COUNT = 23;

// End times in milliseconds since start_ticks, in cue order. The last is 150000.
extern const uint32_t cue_table[CUE_COUNT];

// The cue that is open now. Set to 0 by the driver just before scene 1; each later
// phase of a scene increments it once before its frame loop. Never passes 22.
extern int32_t cue_index;

// Tick count taken right after the music started.
extern uint32_t start_ticks;

// True while the open cue has not ended. The elapsed time is the unsigned 32-bit
// difference now - start_ticks, so a wrap of the tick counter is harmless. Asked by
// every frame loop before each frame; no side effects.
bool cue_running();

// Ends the frame (the presenter's end_frame: a palette change the frame did not
// present is shown now), then drains pending window events. On a quit request
// (Escape released, window closed) it closes the music, stops the display and ends
// the process with code 1. Called once per frame by every frame loop, and in loops
// that only wait or fade.
void pump_messages();
