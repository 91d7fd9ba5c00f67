// The seam between the show's logic and the machine it runs on. A back end fills
// one Platform and installs it once, before the driver starts; the logic reaches
// the clock, the event queue, the screen, the speakers and the error box only
// through it. Real back ends: app/main_sdl.cpp (SDL2, GTK, libopenmpt); headless:
// platform/headless.cpp.
#pragma once

#include <cstdint>

struct RunSettings;

// What the viewer asked of the running show besides quitting, as bits of the mask
// SystemDriver::take_requests returns. Acted on by pump_messages.
enum ViewerRequest : uint32_t {
    REQUEST_FULLSCREEN = 1u << 0,  // switch between the window and full screen (Alt+Enter, F11)
    REQUEST_PAUSE = 1u << 1,       // pause the show and its music, or resume them (Space)
    REQUEST_SCREENSHOT = 1u << 2,  // write the frame on screen as a picture file (F12)
};

// Clock, events, error box and process end.
struct SystemDriver {
    // Millisecond tick counter; wraps modulo 2^32. Read by the timeline, the random
    // seeds and the extraction log.
    uint32_t (*ticks)();
    // Drains every pending window event without blocking. Returns true when the user
    // asked to quit (Escape released, window closed). Called by pump_messages, right
    // after the presenter's end_frame.
    bool (*poll_quit)();
    // Shows a blocking error report with this caption and text; owned by the show's
    // window once it exists. Called by fatal_error and check_fatal only.
    void (*error_box)(const char* caption, const char* text);
    // Ends the process with this exit code. Never returns.
    void (*exit_process)(int code);
    // Returns the ViewerRequest bits seen by poll_quit since the last call and forgets
    // them; a request made twice counts once. Called by pump_messages right after
    // poll_quit. Null where the viewer has no such keys.
    uint32_t (*take_requests)();
};

// The presenter: puts 320x200 frames of palette indices on a screen through a
// 256-entry lookup (index -> 0x00RRGGBB). Each back end implements it once
// (display/presenter_sdl.cpp, platform/headless.cpp); display/display.cpp is its
// only caller, and owns the lookup in force.
//
// A frame's life:
//   1. Draw. A scene draws into its frames; nothing reaches the screen.
//   2. Present (present_frame -> present): the frame goes on screen through the
//      lookup in force. A real screen shows it at its next refresh.
//   3. Palette (set_palette -> set_palette), before or after the present, any
//      number of times: the new colours apply to the picture on screen, as on a
//      256-colour display. A frame that presents shows them with its present or the
//      next frame's; a frame that presents nothing (a fade, a flash) shows the last
//      presented picture under them at its end.
//   4. Pump (pump_messages, once per frame, also in loops that only wait or fade):
//      end_frame first, then the event queue is drained (SystemDriver::poll_quit),
//      and a quit request ends the show there; the viewer's other requests
//      (SystemDriver::take_requests: full screen, pause, screenshot) are acted on
//      there too. While paused the pump shows the last frame again, paced, until the
//      viewer resumes; the show's clock stands still meanwhile.
//   5. Pacing: a real screen holds each present, and each end of a frame that shows
//      a palette change, until the display's refresh, or 1/70 s where it has none;
//      a frame that presents and changes the palette costs one refresh, not two.
//      Nothing else in the show waits. The headless presenter never waits: its
//      clock advances one frame period per pump instead.
struct Presenter {
    // Opens the show's window ("kelvora", centred, resizable; its client area starts
    // at zoom*320 x zoom*200, or zoom*320 x zoom*240 with the 4:3 aspect) or takes the
    // whole screen in the mode of the zoom, as settings say, and shows the frame of
    // zeros through lookup. The picture keeps the shape settings.aspect gives it,
    // centred on black, however the window is sized. Returns false when no window can be had;
    // reports its other set-up failures itself (fatal_error, check_fatal).
    bool (*open)(const RunSettings& settings, const uint32_t* lookup);
    // Shows the frame through lookup, enlarged by whole-pixel replication; paced.
    void (*present)(const uint8_t* frame, const uint32_t* lookup);
    // Puts lookup in force for the picture on screen; the presenter keeps a copy.
    void (*set_palette)(const uint32_t* lookup);
    // Ends a frame: shows a palette change that no present has shown yet on the last
    // presented picture, paced like a present. Called by pump_messages only.
    void (*end_frame)();
    // Releases window, renderer and mode; the desktop is as it was before.
    void (*close)();
    // Switches the open presenter to full screen in the mode of the zoom (true) or to
    // the window (false) and shows the last presented frame through lookup there.
    // Returns false, staying as it was, when the switch cannot be made. Called by
    // display_toggle_fullscreen while the show runs. Null where the mode is fixed.
    bool (*set_fullscreen)(bool fullscreen, const uint32_t* lookup);
};

// The music library. Codes are the error codes of sound_error_text.
struct MusicDriver {
    // Library version as a number (3.33 and up pass the check).
    float (*version)();
    // Opens sound output at this rate. Returns false and sets *error on failure.
    bool (*init)(int mix_rate, int* error);
    // Loads the module at this path. Returns false and sets *error on failure.
    bool (*load)(const char* path, int* error);
    // Starts the loaded module at once; does nothing when none is loaded.
    void (*play)();
    // Master volume 0..256, linear; 256 is the module's own loudness.
    void (*set_volume)(int volume);
    // Stops and frees the module, then closes output.
    void (*stop)();
    void (*free_song)();
    void (*close)();
    // The library release the program was built against ("0.6.9"), named when the
    // version check fails. Drivers whose version always passes may leave it null.
    const char* (*needed_version)();
    // Holds the playing module where it is (true) or lets it go on from there (false).
    // Called by music_pause. Null where the music cannot be held.
    void (*pause)(bool paused);
    // Starts the loaded module at once from this many seconds into it; does nothing
    // when none is loaded. Called instead of play by a show started later than its
    // beginning. Null where the music can only start from its beginning.
    void (*play_at)(double seconds);
};

struct Platform {
    const SystemDriver* sys;
    const Presenter* presenter;
    const MusicDriver* music;
    // Shows the setup dialog; fills *settings and returns 1 on OK, -1 otherwise.
    int (*setup_dialog)(RunSettings* settings);
};

// The installed back end. Set once by platform_install before anything else runs.
extern Platform platform;
void platform_install(const Platform& p);
