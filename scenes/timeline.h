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

// Show clock reading (show_ticks) taken right after the music started.
extern uint32_t start_ticks;

// The show's clock in milliseconds: the platform's tick count, less the time the
// viewer kept the show paused; while the show runs ahead to a later start, a virtual
// clock of one 1/70 s frame per pump (1000/70 ms summed as a double, truncated).
// Wraps modulo 2^32. Read by cue_running and by the scenes' random seeds.
uint32_t show_ticks();

// Starts the timeline: cue 0 open and start_ticks taken. With start_ms > 0 the show
// runs ahead without showing anything or sounding: every frame before start_ms is
// drawn on the virtual clock, then the pump that reaches it shows the frame on
// screen, starts the music there and goes on on the real clock; what the viewer
// asked meanwhile (a pause, a screenshot) is acted on then. Called by the driver
// right after music_play (start_ms == 0) or instead of it.
void timeline_start(uint32_t start_ms);

// True while the show runs ahead to its start.
bool timeline_running_ahead();

// True while running ahead when the pump after the frame being drawn will not reach
// the start: the frame is never shown. A frame loop whose every frame is drawn from
// scratch, and whose pictures no later phase reads, leaves its pixels alone then and
// keeps only its state (counters, turns, random draws). Asked by scenes 3, 8 and 9.
bool timeline_frame_unseen();

// True while running ahead when no pump up to the first one past the end of cue
// `cue` reaches the start, so no frame drawn until then is shown. A feedback scene
// that ends with that cue, and whose pictures the next scene does not read, skips
// its drawing then. False for a cue outside 0..22. Asked by scenes 5 and 7 with
// their last cue while it (or an earlier one) is open.
bool timeline_unseen_through_cue(int cue);

// True while the viewer keeps the show paused.
bool timeline_paused();

// True while the open cue has not ended. The elapsed time is the unsigned 32-bit
// difference now - start_ticks, so a wrap of the tick counter is harmless. Asked by
// every frame loop before each frame; no side effects.
bool cue_running();

// Ends the frame (the presenter's end_frame: a palette change the frame did not
// present is shown now), then drains pending window events. On a quit request
// (Escape released, window closed) it closes the music, stops the display and ends
// the process with code 1. Acts on the viewer's other requests: switches full
// screen, writes a screenshot, and pauses: then it holds the clock and the music and
// shows the last frame again at every refresh until the viewer resumes (or quits).
// Called once per frame by every frame loop, and in loops that only wait or fade.
void pump_messages();
