// The browser back ends, assembled by app/main_web.cpp into the Platform the show
// runs on in a web page. Declared without emscripten's headers.
#pragma once

#include "platform/platform.h"

extern const SystemDriver web_system;       // display/system_web.cpp
extern const Presenter web_presenter;       // display/presenter_web.cpp
extern const MusicDriver web_music_driver;  // music/audio_web.cpp

// Puts the show on a fixed clock, as the headless back end does: the tick count
// starts at 0 and advances frame_ms at every message pump, and pumps no longer wait
// for the display, so that the show draws the native build's frames. Called by the
// entry point before the show starts, when the page asks for it.
void web_clock_fixed(double frame_ms);
