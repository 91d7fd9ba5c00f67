// The real display's connection, declared without SDL's or Xlib's types: which of
// SDL's video drivers count as a display, and what happens when the display goes.
// Implemented in display/connection_sdl.cpp; called by the SDL presenter's open.
#pragma once

// False for SDL's video drivers that show nothing to anyone (off-screen, dummy):
// with one of those the show has no window, whatever SDL reports. Called once SDL's
// video is up, before the window is made.
bool connection_shows_pictures();

// From now on the loss of the display (the X server gone, its connection broken)
// ends the process at once: one line on stderr, exit code 1, and no exit handler
// run, since every one of them would talk to the dead display. Called once SDL's
// video is up; does nothing on drivers other than X11.
void connection_watch();
