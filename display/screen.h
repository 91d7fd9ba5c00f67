// The picture on a real screen, drawn by the SDL presenter in a window and full
// screen alike (display/presenter_sdl.cpp, display/fullscreen_sdl.cpp): a renderer on the
// show's window, one 320x200 streaming texture that the GPU enlarges nearest-
// neighbour, the frame last shown (so that a palette change can show it again
// without a present), and presents paced by the display's refresh or by the stand-in refresh of
// display/pacer.h. Declared without SDL's types.
#pragma once

#include <cstdint>

// Makes the renderer for app_window, waiting for the refresh where the display
// offers that. False when no renderer can be had. Called while the window is still
// hidden: SDL may make the window anew for a renderer.
bool screen_create_renderer();

// Makes the frame texture and forgets any frame shown before (the screen holds the
// frame of zeros). False when it cannot be had.
bool screen_create_texture();

// Where the picture goes from now on: the whole output when it is the full-screen
// mode asked for (fit_mode_w x fit_mode_h; 0 x 0 asks for none), otherwise the
// largest centred rectangle of the shape shape_w:shape_h, black around it. Also
// reads the display's refresh rate again. Called by each presenter as it starts or
// switches, once the window (or the full-screen mode) is in place.
void screen_set_fit(int fit_mode_w, int fit_mode_h, int shape_w, int shape_h);

// Shows the frame through lookup (index -> 0x00RRGGBB) with black borders, then
// waits for the refresh or the stand-in. After a lost or reset render target the
// frame is dropped (nothing shown, nothing remembered) and the targets restored.
void screen_show(const uint8_t* frame, const uint32_t* lookup);

// Shows the frame last shown (the frame of zeros after screen_create_texture) through
// lookup at once, paced like screen_show. Called as the presenter opens.
void screen_show_again(const uint32_t* lookup);

// Holds a copy of lookup as the palette to show the last frame through: the next
// screen_show shows its frame through the lookup it is given anyway, and
// screen_frame_end shows the held one when its frame presented nothing. Does
// nothing while the render target is lost. Called on a palette change.
void screen_reshow(const uint32_t* lookup);

// Ends a frame: when the frame presented nothing and a palette change is held, shows
// the last frame through it, paced like screen_show. A change held in a frame that
// did present waits for the next frame. The presenter's end_frame.
void screen_frame_end();

// Releases the texture and the renderer; safe when never created.
void screen_close();
