// The recording music driver and the offline sound track; see soundtrack.h.
#include "soundtrack.h"

#include <algorithm>

#include "platform/headless.h"
#include "platform/platform.h"
#include "timing.h"

static MusicRecord record;

MusicRecord& music_record() { return record; }

// The version the show's check asks for; the module itself is played offline.
static float r_version() { return 3.33f; }
static bool r_init(int, int*) { return true; }
static bool r_load(const char*, int*) {
    record.loaded = true;
    return true;
}
// The frame on screen is the number of pumps so far. Frame counts, not the
// clock's summed milliseconds, so that a change lands on its frame's exact sample.
static void r_play() {
    record.played = true;
    record.play_frame = int64_t(headless_screen().pumps);
}
// The show passes level * 4; the offline renderer wants the level back.
static void r_set_volume(int volume) {
    record.changes.push_back({int64_t(headless_screen().pumps), volume / 4});
}
static void r_nothing() {}

static const MusicDriver recording_driver = {r_version, r_init, r_load, r_play, r_set_volume,
                                             r_nothing, r_nothing, r_nothing};

const MusicDriver* recording_music_driver() { return &recording_driver; }

std::vector<VolumeEvent> volume_events(const MusicRecord& rec, int32_t fps, int32_t rate) {
    std::vector<VolumeEvent> events;
    const int64_t start = sample_at_frame(rec.play_frame, fps, rate);
    for (const VolumeChange& c : rec.changes) {
        // The renderer takes floor(at_ms * rate / 1000); a millionth of a millisecond
        // (far below one sample) keeps that floor on the intended sample.
        const int64_t sample = sample_at_frame(c.frame, fps, rate) - start;
        events.push_back({double(sample) * 1000.0 / double(rate) + 1e-6, c.level});
    }
    return events;
}

// Hands count frames of silence to sink, a block at a time.
static bool give_silence(int64_t count, const StereoSink& sink) {
    static const int16_t zeros[2 * 1024] = {};
    while (count > 0) {
        const size_t n = size_t(std::min<int64_t>(count, 1024));
        if (!sink(zeros, n)) return false;
        count -= int64_t(n);
    }
    return true;
}

bool render_soundtrack(const std::string& path, int32_t rate, int32_t fps, const MusicRecord& rec, int64_t first,
                       int64_t count, const StereoSink& sink, std::string* error) {
    const std::vector<VolumeEvent> events = volume_events(rec, fps, rate);
    count = std::max<int64_t>(count, 0);
    // Before the music starts: silence, then the module from its own start.
    const int64_t lead = std::clamp<int64_t>(-first, 0, count);
    if (!give_silence(lead, sink)) {
        error->clear();
        return false;
    }
    const int64_t left = count - lead;
    int64_t given = 0;
    const auto pass = [&](const int16_t* s, size_t n) {
        given += int64_t(n);
        return sink(s, n);
    };
    // With nothing of the module in the range it is still loaded, as it would play.
    const uint64_t from = uint64_t(std::max<int64_t>(first + lead, 0));
    if (!render_module_range(path.c_str(), rate, events.data(), events.size(), from, uint64_t(left), pass, error))
        return false;
    // After the song's end: silence to the end of the range.
    if (!give_silence(left - given, sink)) {
        error->clear();
        return false;
    }
    return true;
}

bool render_soundtrack(const std::string& path, int32_t rate, int32_t fps, const MusicRecord& rec, int64_t first,
                       int64_t count, std::vector<int16_t>* stereo, std::string* error) {
    stereo->clear();
    stereo->reserve(size_t(std::max<int64_t>(count, 0)) * 2);
    const auto append = [stereo](const int16_t* s, size_t n) {
        stereo->insert(stereo->end(), s, s + n * 2);
        return true;
    };
    return render_soundtrack(path, rate, fps, rec, first, count, append, error);
}

std::vector<uint8_t> wav_header(uint32_t data_bytes, int32_t rate) {
    std::vector<uint8_t> out(44);
    uint8_t* p = out.data();
    auto tag = [&p](const char* t) { for (int i = 0; i < 4; ++i) *p++ = uint8_t(t[i]); };
    auto put_le = [&p](uint32_t v, int bytes) { for (int i = 0; i < bytes; ++i) *p++ = uint8_t(v >> (8 * i)); };
    tag("RIFF");
    put_le(36 + data_bytes, 4);
    tag("WAVE");
    tag("fmt ");
    put_le(16, 4);                   // format chunk size
    put_le(1, 2);                    // PCM
    put_le(2, 2);                    // channels
    put_le(uint32_t(rate), 4);
    put_le(uint32_t(rate) * 4, 4);   // bytes per second
    put_le(4, 2);                    // bytes per frame
    put_le(16, 2);                   // bits per sample
    tag("data");
    put_le(data_bytes, 4);
    return out;
}

std::vector<uint8_t> encode_wav(const std::vector<int16_t>& stereo, int32_t rate) {
    const uint32_t data_bytes = uint32_t(stereo.size() * 2);
    std::vector<uint8_t> out = wav_header(data_bytes, rate);
    out.reserve(44 + size_t(data_bytes));
    for (int16_t s : stereo) {  // little-endian samples
        out.push_back(uint8_t(uint16_t(s)));
        out.push_back(uint8_t(uint16_t(s) >> 8));
    }
    return out;
}
