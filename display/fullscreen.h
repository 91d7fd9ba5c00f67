// The full-screen presenter of the real platform (display/fullscreen_sdl.cpp),
// declared without SDL's types. display/video_sdl.cpp wires it into sdl_video;
// the error box of app/system_sdl.cpp calls fullscreen_leave. It draws through the
// shared screen of display/screen.h.
#pragma once

#include <cstdint>

// Where the full-screen window goes before it is shown: the origin of the first
// display and the size of the mode that fullscreen_start will ask for (320x200 at
// zoom 1, 640x480 at 2, 1280x960 at 4, or the nearest larger mode the display has;
// the desktop's size when it has none). Called by sdl_video.open_window.
void fullscreen_window_rect(int zoom, int* x, int* y, int* w, int* h);

// Switches app_window to full screen in the mode of the zoom (or the nearest mode the
// display offers; the desktop's when none is large enough), sets up the renderer and
// the frame texture, puts the grey ramp in force and hides the cursor. The picture
// fills the mode of the zoom; any other mode shows it in the largest centred 4:3
// rectangle with black borders. Failures end the process through check_fatal with
// the show's set-up texts; a refused mode names the width and height asked for.
// Called by display_start through sdl_video.start_fullscreen.
void fullscreen_start(int zoom);

// Shows the frame under the current palette and waits for the display's refresh (or
// the stand-in refresh where the display offers none). After a lost or reset render
// target it restores and drops this one frame. Called through present_frame.
void fullscreen_present(const uint8_t* frame);

// Puts 256 entries (r, g, b, 0) in force and shows the last presented picture under
// them at once, paced like a present (so a fade that only sets palettes runs at one
// step per refresh). Called by set_palette.
void fullscreen_set_palette(const uint8_t* entries);

// Gives the desktop its mode and cursor back but keeps the window; used before an
// error box so that the user can see and answer it. Safe to call at any time.
void fullscreen_leave();
