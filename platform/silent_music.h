// A music driver that accepts everything and plays nothing: the headless default.
#pragma once

#include "platform/platform.h"

extern const MusicDriver silent_music_driver;
