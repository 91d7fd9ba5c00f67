// Full screen on the real platform (display/fullscreen_sdl.cpp), declared without
// SDL's types: the mode of the zoom taken and given back. The SDL presenter
// (display/presenter_sdl.cpp) opens through it; the error box of display/system_sdl.cpp
// calls fullscreen_leave. Frames go through the shared screen of display/screen.h.
#pragma once

#include <cstdint>

#include "platform/settings.h"

// Where the full-screen window goes before it is shown: the origin of the first
// display and the size of the mode that fullscreen_start will ask for (320x200 at
// zoom 1, 640x480 at 2, 1280x960 at 4, or the nearest larger mode the display has;
// the desktop's size when it has none). Called by the SDL presenter's open.
void fullscreen_window_rect(int zoom, int* x, int* y, int* w, int* h);

// Switches app_window to full screen in the mode of the zoom (or the nearest mode the
// display offers; the desktop's when none is large enough), sets up the renderer and
// the frame texture, hides the cursor and shows the frame of zeros through lookup.
// The picture fills the mode of the zoom; any other mode shows it in the largest
// centred 4:3 rectangle with black borders (16:10 with the square aspect, in every
// mode). Failures end the process through check_fatal with the show's set-up
// texts; a refused mode names the width and height asked for. Called by the SDL
// presenter's open.
void fullscreen_start(int zoom, Aspect aspect, const uint32_t* lookup);

// Switches the shown window, renderer and texture already made, to full screen as
// fullscreen_start does, without showing a frame. False, with the desktop's mode
// and the window as they were, when the display refuses. Called by the SDL
// presenter when the viewer asks for full screen.
bool fullscreen_enter(int zoom, Aspect aspect);

// Gives the desktop its mode and cursor back but keeps the window; used before an
// error box so that the user can see and answer it, and when the viewer asks for
// the window. Safe to call at any time.
void fullscreen_leave();
