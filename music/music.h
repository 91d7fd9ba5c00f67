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

// Sets the master volume to (level & 0xFF) * 4 on the 0..256 scale when a module is
// loaded. Called by the closing fade.
void music_set_volume(int level);

// With sound on: stops and frees the module, then closes output. Called at the
// normal end and from the quit path.
void music_close();

// The text for a library error code; "Unknown error" for codes outside 0..19.
const char* sound_error_text(int code);
