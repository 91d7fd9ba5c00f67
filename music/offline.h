// The module rendered into memory instead of a device, with the same volume
// behaviour: for the capture tool, which writes the show's sound track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One music_set_volume(level) call, at this many milliseconds after playback began.
struct VolumeEvent {
    double at_ms;
    int level;  // as passed to music_set_volume: the low 8 bits times 4 is the volume
};

// Receives count stereo frames (2 * count samples) of a render; false stops it.
using StereoSink = std::function<bool(const int16_t* stereo, size_t count)>;

// Renders the module at path at rate, as render_module_offline does, but hands only
// the stereo frames [first, first + count) of it to sink, block by block, and stops
// there: what it holds is one block, whatever the song's length. Fewer frames reach
// the sink when the song ends sooner. Returns false when the module cannot be
// loaded (*error: the text of its load error code) or the sink stopped the render
// (*error emptied: the sink knows why).
bool render_module_range(const char* path, int32_t rate, const VolumeEvent* events, size_t n_events,
                         uint64_t first, uint64_t count, const StereoSink& sink, std::string* error);

// Renders the module at path from its start to its end at rate, as interleaved
// 16-bit stereo frames appended to *stereo, in blocks of audio_block_frames(rate).
// Each event, in time order, is due at frame floor(at_ms * rate / 1000) and takes
// effect, as on the device, at the next block: the first that starts at or after
// that frame, ramping across it.
// On failure returns false and sets *error to the text of the load error code.
bool render_module_offline(const char* path, int32_t rate, const VolumeEvent* events,
                           size_t n_events, std::vector<int16_t>* stereo, std::string* error);
