// The seam between the show's logic and the machine it runs on. A back end fills
// one Platform and installs it once, before the driver starts; the logic reaches
// the clock, the event queue, the screen, the speakers and the error box only
// through it. Real back ends: app/main_sdl.cpp (SDL2, GTK, libopenmpt); headless:
// platform/headless.cpp.
#pragma once

#include <cstdint>

struct RunSettings;

// Clock, events, error box and process end.
struct SystemDriver {
    // Millisecond tick counter; wraps modulo 2^32. Read by the timeline, the random
    // seeds and the extraction log.
    uint32_t (*ticks)();
    // Drains every pending window event without blocking. Returns true when the user
    // asked to quit (Escape released, window closed). Called by pump_messages.
    bool (*poll_quit)();
    // Shows a blocking error report with this caption and text; owned by the show's
    // window once it exists. Called by fatal_error and check_fatal only.
    void (*error_box)(const char* caption, const char* text);
    // Ends the process with this exit code. Never returns.
    void (*exit_process)(int code);
};

// The screen. Called by display_start, present_frame, set_palette, display_stop.
struct VideoDriver {
    // Creates the show's window ("kelvora", zoom*320 x zoom*200 client area, centred)
    // and, for a window, what draws into it. Returns false when no window can be had.
    bool (*open_window)(int zoom, bool fullscreen);
    // Prepares windowed presenting. Returns false when its pixel buffer cannot be had.
    bool (*start_windowed)(int zoom);
    // Takes the whole screen in the mode of the zoom, grey-ramp palette, cursor hidden.
    // Reports its own failures through check_fatal.
    void (*start_fullscreen)(int zoom);
    // Windowed present: shows the frame converted through the 256-entry 0x00RRGGBB
    // lookup, enlarged by whole-pixel replication; waits for the display's refresh,
    // or stands in for one at 70 per second where the display offers none.
    void (*present_rgb)(const uint8_t* frame, const uint32_t* rgb_lookup);
    // Windowed palette change: shows the last presented frame again through the new
    // lookup at once (the frame of zeros before any present), paced like a present.
    void (*repaint_rgb)(const uint32_t* rgb_lookup);
    // Full-screen present: shows the frame under the hardware palette, paced like a
    // windowed present.
    void (*present_indexed)(const uint8_t* frame);
    // Full-screen palette: 256 entries of (r, g, b, 0), 8 bits each; visible at once,
    // also on the picture already shown.
    void (*set_hw_palette)(const uint8_t* entries);
    // Releases window, renderer and mode; the desktop is as it was before.
    void (*stop)();
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
};

struct Platform {
    const SystemDriver* sys;
    const VideoDriver* video;
    const MusicDriver* music;
    // Shows the setup dialog; fills *settings and returns 1 on OK, -1 otherwise.
    int (*setup_dialog)(RunSettings* settings);
};

// The installed back end. Set once by platform_install before anything else runs.
extern Platform platform;
void platform_install(const Platform& p);
