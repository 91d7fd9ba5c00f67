// Frame and phase arithmetic of a capture; see timing.h.
#include "timing.h"

#include <cstdio>

#include "scenes/timeline.h"

int64_t first_frame_at(int64_t ms, int32_t fps) { return (ms * fps + 999) / 1000; }

int64_t frame_on_screen_at(int64_t ms, int32_t fps) { return ms * fps / 1000; }

double frame_start_ms(int64_t frame, int32_t fps) { return double(frame) * 1000.0 / double(fps); }

int64_t sample_at_frame(int64_t frame, int32_t fps, int32_t rate) {
    return (frame * rate + fps - 1) / fps;
}

uint32_t cue_start_ms(int cue) { return cue <= 0 ? 0 : cue_table[cue - 1]; }

int64_t storyboard_frame(int cue, int32_t fps) {
    const int64_t middle = (int64_t(cue_start_ms(cue)) + int64_t(cue_table[cue])) / 2;
    return frame_on_screen_at(middle, fps);
}

void storyboard_label(double ms, int cue, int scene, char* text, int size) {
    snprintf(text, size_t(size), "%.2f s  cue %d  scene %d", ms / 1000.0, cue, scene);
}
