// Offline rendering of the module with volume changes; see offline.h. Lives beside
// the device code in the real back end because it needs the library-backed module.
#include <cmath>
#include <vector>

#include "music/module.h"
#include "music/music.h"
#include "music/offline.h"
#include "music/volume.h"

// The frame an event is due at; times before the start count as the start.
static uint64_t event_frame(const VolumeEvent& e, int32_t rate) {
    const double frame = std::floor(e.at_ms * rate / 1000.0);
    return frame > 0.0 ? uint64_t(frame) : 0;
}

bool render_module_range(const char* path, int32_t rate, const VolumeEvent* events, size_t n_events,
                         uint64_t first, uint64_t count, const StereoSink& sink, std::string* error) {
    int code = 0;
    Module* module = module_load(path, &code);
    if (!module) {
        if (error) *error = sound_error_text(code);
        return false;
    }
    const size_t block = audio_block_frames(rate);
    std::vector<int16_t> buffer(block * 2);
    VolumeRamp ramp;
    int32_t volume = full_volume;
    size_t next_event = 0;
    uint64_t position = 0;  // frames rendered so far
    const uint64_t end = count > UINT64_MAX - first ? UINT64_MAX : first + count;
    bool ok = true;

    // Blocks always fall on the same grid, as the device's buffers do, so a volume
    // change never alters how the module itself is rendered. Everything before the
    // range is rendered too (the module's state depends on it) and dropped.
    while (position < end) {
        // Every event due by the start of this block sets the target; the last wins.
        while (next_event < n_events && event_frame(events[next_event], rate) <= position) {
            volume = (events[next_event].level & 0xFF) * 4;
            ++next_event;
        }
        const size_t got = module_render(module, rate, buffer.data(), block);
        apply_volume(&ramp, buffer.data(), got, volume);
        // The part of this block inside [first, end).
        const uint64_t from = first > position ? first - position : 0;
        const uint64_t to = end - position < got ? end - position : got;
        if (from < to && !sink(buffer.data() + from * 2, size_t(to - from))) {
            if (error) error->clear();
            ok = false;
            break;
        }
        position += got;
        if (got < block) break;
    }
    module_free(module);
    return ok;
}

bool render_module_offline(const char* path, int32_t rate, const VolumeEvent* events,
                           size_t n_events, std::vector<int16_t>* stereo, std::string* error) {
    const auto append = [stereo](const int16_t* samples, size_t frames) {
        stereo->insert(stereo->end(), samples, samples + frames * 2);
        return true;
    };
    return render_module_range(path, rate, events, n_events, 0, UINT64_MAX, append, error);
}
