// The SDL2 audio device that plays the module; see audio.h. The device's callback
// runs on SDL's audio thread and is the only place the module is rendered while
// playing; the show's thread shares just the target volume with it, as an atomic.
#include <SDL.h>

#include <atomic>
#include <cstring>

#include "music/audio.h"
#include "music/module.h"
#include "music/volume.h"

static SDL_AudioDeviceID device = 0;
static int32_t output_rate = 0;
static Module* song = nullptr;  // written only while the callback is locked out
static std::atomic<int32_t> target_volume{full_volume};
static VolumeRamp ramp;  // the callback's own

static void fill_audio(void*, Uint8* stream, int length) {
    auto* out = reinterpret_cast<int16_t*>(stream);
    const size_t frames = size_t(length) / (2 * sizeof(int16_t));
    const size_t got = song ? module_render(song, output_rate, out, frames) : 0;
    memset(out + got * 2, 0, (frames - got) * 2 * sizeof(int16_t));
    apply_volume(&ramp, out, frames, target_volume.load(std::memory_order_relaxed));
}

static float m_version() { return module_library_current() ? sdl_music_version : 0.0f; }

static bool m_init(int mix_rate, int* error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *error = 3;
        return false;
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = mix_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = Uint16(audio_block_frames(mix_rate));
    want.callback = fill_audio;
    SDL_AudioSpec have;
    // No changes allowed: SDL converts to whatever the hardware takes, so the
    // callback always renders at mix_rate in 16-bit stereo. The device opens paused.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        *error = 3;
        return false;
    }
    output_rate = mix_rate;
    ramp.current = full_volume;
    target_volume.store(full_volume, std::memory_order_relaxed);
    return true;
}

static bool m_load(const char* path, int* error) {
    Module* loaded = module_load(path, error);
    if (!loaded) return false;
    SDL_LockAudioDevice(device);
    module_free(song);
    song = loaded;
    SDL_UnlockAudioDevice(device);
    return true;
}

static void m_play() {
    if (device != 0 && song) SDL_PauseAudioDevice(device, 0);
}

static void m_play_at(double seconds) {
    if (device == 0 || !song) return;
    module_seek(song, seconds);  // the device is paused until now: the callback is idle
    SDL_PauseAudioDevice(device, 0);
}

// The module is rendered only in the callback, so a paused device holds its position.
static void m_pause(bool paused) {
    if (device != 0 && song) SDL_PauseAudioDevice(device, paused ? 1 : 0);
}

static void m_set_volume(int volume) {
    target_volume.store(volume < 0 ? 0 : volume > full_volume ? full_volume : volume,
                        std::memory_order_relaxed);
}

static void m_stop() {
    // Returns once the callback has finished its current block.
    if (device != 0) SDL_PauseAudioDevice(device, 1);
}

static void m_free_song() {
    if (device != 0) SDL_LockAudioDevice(device);
    module_free(song);
    song = nullptr;
    if (device != 0) SDL_UnlockAudioDevice(device);
}

static void m_close() {
    if (device == 0) return;
    SDL_CloseAudioDevice(device);
    device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

const MusicDriver sdl_music_driver = {m_version,    m_init, m_load,      m_play,
                                      m_set_volume, m_stop, m_free_song, m_close,
                                      module_library_needed, m_pause, m_play_at};
