// Frame, sample and show-time arithmetic of a capture, and the timeline's phases
// and scenes as the capture labels them.
//
// Frame k is what the screen shows from show time k * 1000 / fps ms (inclusive) to
// (k + 1) * 1000 / fps ms: the picture presented before the show's k-th pump
// (counted from 0) under the palette in force at that pump. All times are
// milliseconds from the start of the music, which is also the timeline's zero.
#pragma once

#include <cstdint>

// The first frame that starts at or after ms: ceil(ms * fps / 1000).
int64_t first_frame_at(int64_t ms, int32_t fps);

// The frame on screen at ms: floor(ms * fps / 1000).
int64_t frame_on_screen_at(int64_t ms, int32_t fps);

// The show time at which frame k starts, exact to the double's precision.
double frame_start_ms(int64_t frame, int32_t fps);

// The first audio sample frame (stereo pair) at or after frame k's start:
// ceil(frame * rate / fps), so that video frame and audio sample counts of a range
// both follow from its frame range and stay together.
int64_t sample_at_frame(int64_t frame, int32_t fps, int32_t rate);

// The time the phase of cue c opens: the previous cue's end, 0 for cue 0.
uint32_t cue_start_ms(int cue);

// The frame the storyboard shows for cue c: the one on screen at the middle of the
// cue's phase.
int64_t storyboard_frame(int cue, int32_t fps);

// The storyboard label under a frame: "12.34 s  cue 5  scene 1".
void storyboard_label(double ms, int cue, int scene, char* text, int size);
