// The music driver in a browser: the module rendered by music/module.h at the page's
// audio rate, into blocks the page queues for its audio output (an AudioWorklet, or
// a ScriptProcessor where there is none). The page asks for samples through
// audio_web_render whenever its queue runs low, between the show's own steps, so
// the music goes on while a scene waits for the display, and in a hidden page.
#include <emscripten.h>

#include <cstring>

#include "music/module.h"
#include "music/volume.h"
#include "platform/page_web.h"
#include "platform/web.h"

// One request renders at most this many frames.
constexpr int max_request_frames = 8192;

static int32_t output_rate = 0;  // the page's rate once output is open; 0 before
static Module* song = nullptr;
static bool playing = false;
static int32_t target_volume = full_volume;
static VolumeRamp ramp;

static int16_t rendered[max_request_frames * 2];  // interleaved stereo, as the library writes it
static float left[max_request_frames];
static float right[max_request_frames];

// Renders up to frames (at most max_request_frames) at the output rate, in the
// blocks the native device uses, each with its volume ramp, and hands them to the
// page as floats in -1..1 (sample / 32768). Returns the frames handed over: 0 once
// the song has ended or is not playing, and the page then stops asking.
extern "C" EMSCRIPTEN_KEEPALIVE int audio_web_render(int frames) {
    if (!playing || !song || frames <= 0) return 0;
    if (frames > max_request_frames) frames = max_request_frames;
    const size_t block = audio_block_frames(output_rate);
    size_t done = 0;
    bool ended = false;
    while (done < size_t(frames) && !ended) {
        const size_t want = size_t(frames) - done < block ? size_t(frames) - done : block;
        int16_t* out = rendered + done * 2;
        const size_t got = module_render(song, output_rate, out, want);
        // As on the native device, the song's end is followed by silence; the page
        // plays out what it has queued and asks no more.
        memset(out + got * 2, 0, (want - got) * 2 * sizeof(int16_t));
        apply_volume(&ramp, out, want, target_volume);
        done += want;
        ended = got < want;
    }
    for (size_t i = 0; i < done; ++i) {
        left[i] = float(rendered[2 * i]) * (1.0f / 32768.0f);
        right[i] = float(rendered[2 * i + 1]) * (1.0f / 32768.0f);
    }
    page_audio_push(left, right, int(done));
    if (ended) playing = false;
    return int(done);
}

// Seconds into the module at the last render; -1 when no module is loaded. Read by
// the page (kelvora.position()).
extern "C" EMSCRIPTEN_KEEPALIVE double audio_web_position() {
    return song ? module_position(song) : -1.0;
}

static float m_version() { return module_library_current() ? 3.33f : 0.0f; }

static bool m_init(int, int* error) {
    // The page opened its output when the viewer clicked to start, at a rate of the
    // browser's choosing; the module is rendered at that rate.
    output_rate = page_audio_rate();
    if (output_rate <= 0) {
        *error = 3;
        return false;
    }
    ramp.current = full_volume;
    target_volume = full_volume;
    return true;
}

static bool m_load(const char* path, int* error) {
    Module* loaded = module_load(path, error);
    if (!loaded) return false;
    module_free(song);
    song = loaded;
    return true;
}

static void m_play() {
    if (output_rate <= 0 || !song) return;
    playing = true;
    page_audio_start();
}

// The page stops asking for samples while held; what it has queued plays out.
static void m_pause(bool paused) {
    if (output_rate <= 0 || !song) return;
    playing = !paused;
    if (paused)
        page_audio_stop();
    else
        page_audio_start();
}

static void m_set_volume(int volume) {
    target_volume = volume < 0 ? 0 : volume > full_volume ? full_volume : volume;
}

static void m_stop() {
    playing = false;
    page_audio_stop();
}

static void m_free_song() {
    module_free(song);
    song = nullptr;
}

static void m_close() {
    if (output_rate <= 0) return;
    page_audio_close();
    output_rate = 0;
}

const MusicDriver web_music_driver = {m_version,    m_init, m_load,      m_play,
                                      m_set_volume, m_stop, m_free_song, m_close,
                                      module_library_needed, m_pause};
