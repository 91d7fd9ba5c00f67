// The music wrapper over the installed MusicDriver.
#include "music/music.h"

#include "platform/fatal.h"
#include "platform/platform.h"

// The oldest library version the show accepts, as single precision (3.3299999...).
static const float required_version = 3.33f;

// The sound choice music_open was given; music_close follows it.
static bool sound_on = false;
// True once a module has been loaded.
static bool song_loaded = false;

static const char* const error_texts[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

const char* sound_error_text(int code) {
    if (code < 0 || code >= int(sizeof error_texts / sizeof error_texts[0])) return "Unknown error";
    return error_texts[code];
}

void music_open(const RunSettings& settings) {
    sound_on = settings.sound;
    if (!sound_on) return;
    const MusicDriver* m = platform.music;
    if (m->version() < required_version) {
        if (!m->needed_version) fatal_error("Sound error : You are using the wrong libopenmpt version!\n");
        fatal_error("Sound error : You are using the wrong libopenmpt version! You should be using "
                    "libopenmpt %s or later\n",
                    m->needed_version());
    }
    int error = 0;
    if (!m->init(settings.mix_rate, &error)) fatal_error("Sound error : %s", sound_error_text(error));
    if (!m->load("kelvora.xm", &error)) fatal_error("Sound error : %s", sound_error_text(error));
    song_loaded = true;
}

void music_play() {
    if (song_loaded) platform.music->play();
}

void music_play_at(uint32_t show_ms) {
    if (!song_loaded) return;
    if (platform.music->play_at)
        platform.music->play_at(double(show_ms) / 1000.0);
    else
        platform.music->play();
}

void music_pause(bool paused) {
    if (song_loaded && platform.music->pause) platform.music->pause(paused);
}

void music_set_volume(int level) {
    if (song_loaded) platform.music->set_volume((level & 0xFF) * 4);
}

void music_close() {
    if (!sound_on || !song_loaded) return;
    platform.music->stop();
    platform.music->free_song();
    platform.music->close();
    song_loaded = false;  // a second close has nothing left to release
}
