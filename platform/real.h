// The real back ends, assembled by app/main_sdl.cpp into the Platform the show
// runs on. Declared here without their libraries' headers.
#pragma once

#include "platform/platform.h"

struct SDL_Window;

// The show's window once display_start has created it; error boxes are owned by it.
extern SDL_Window* app_window;

extern const SystemDriver sdl_system;  // display/system_sdl.cpp
extern const Presenter sdl_presenter;  // display/presenter_sdl.cpp
