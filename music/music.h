// The music wrapper: opening output and loading the module, the closing fade's
// volume, shutdown, and the library's error texts.
#pragma once

#include <cstdint>

#include "platform/settings.h"

// Called by the driver before the resources load, with the run's settings, which
// music_close follows too. With sound off it does nothing; otherwise it checks the
// library's version, opens output at mix_rate and loads "kelvora.xm". Every failure
// is fatal ("Sound error : %s"); an old library names the libopenmpt release the
// program was built against.
void music_open(const RunSettings& settings);

// Starts the loaded module at once. Called by the driver right before start_ticks;
// with sound off there is no module and nothing happens.
void music_play();

// Starts the loaded module at once from this show time, so that it plays in step
// with a show started later than its beginning; from the beginning where the driver
// cannot start elsewhere. Called by pump_messages when the show has run ahead to
// its start; with sound off nothing happens.
void music_play_at(uint32_t show_ms);

// Holds the playing module where it is (true) or lets it go on (false). Called by
// pump_messages as the viewer pauses and resumes; with sound off nothing happens.
void music_pause(bool paused);

// Sets the master volume to (level & 0xFF) * 4 on the 0..256 scale when a module is
// loaded. Called by the closing fade.
void music_set_volume(int level);

// With sound on: stops and frees the module, then closes output. Called at the
// normal end and from the quit path.
void music_close();

// The text for a library error code; "Unknown error" for codes outside 0..19.
const char* sound_error_text(int code);
