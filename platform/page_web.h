// The page around the show in a browser: what the web back ends ask of it. These
// are JavaScript functions (web/library.js, which hands each to web/page.js), run
// on the page's one thread between the show's own steps. Declared without
// emscripten's headers.
#pragma once

#include <cstdint>

extern "C" {

// Gives the browser its turn and returns at the next display refresh (events and
// audio requests are handled meanwhile); on the fixed clock of tests, as soon as
// the browser has handled what was waiting. The show's stack is suspended while it
// waits (Asyncify). Called once per message pump, and only there.
void page_wait();

// 1 once the viewer has asked to end the show (Escape released), else 0. Read by
// the message pump after each turn.
int page_quit_requested();

// The viewer's requests since the last call, as ViewerRequest bits (platform.h):
// Space asks for a pause or a resume. The page switches full screen itself (F11,
// Alt+Enter, a double click), as a browser lets only the page do. Read by the
// message pump after each turn.
int page_take_requests();

// Tells the page, on the fixed clock of tests, that a pump has reached show time
// ms, so it can read the screen as it is at that pump. Called by the message pump.
void page_pumped(double ms);

// Sets up the canvas: 320x200, the scale kept in whole pixels. 0 when the page has
// none. Called by the presenter as it opens.
int page_canvas_open();

// Where the presenter keeps the last presented frame (64000 palette indices) and
// the lookup in force (256 values 0x00RRGGBB), for the page to read at a pump.
void page_screen(const uint8_t* frame, const uint32_t* lookup);

// Puts 320x200 RGBA pixels (byte order red, green, blue, alpha; row 0 on top) on
// the canvas. Called by the presenter at the end of a frame that changed the screen.
void page_canvas_draw(const uint32_t* rgba);

// Releases the canvas: the page shows the end of the show there.
void page_canvas_close();

// Shows one line of error text on the page (stderr has it already for the console).
// Called by the error box.
void page_error(const char* line);

// The show has ended with this exit code: the page stops the music output and its
// turns. Called by the process end, which then ends the program.
void page_end(int code);

// The sample rate of the page's audio output, fixed when the viewer started the
// show; 0 when it has none. Read by the music driver as it opens output.
int page_audio_rate();

// Starts or stops the page asking the music driver for samples (audio_web_render).
void page_audio_start();
void page_audio_stop();

// Hands the page frames of rendered sound, one block per channel, to queue for output.
void page_audio_push(const float* left, const float* right, int frames);

// Releases the page's audio output.
void page_audio_close();
}
