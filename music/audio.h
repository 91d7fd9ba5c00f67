// The real music driver: the module rendered by music/module.h into an SDL2 audio
// device. Installed by app/main_sdl.cpp.
#pragma once

#include "platform/platform.h"

extern const MusicDriver sdl_music_driver;

// The version the driver reports when the running library is at least the one the
// program was built against; 0 otherwise, which fails the driver's check.
constexpr float sdl_music_version = 3.33f;
