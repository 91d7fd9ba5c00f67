// The headless back end: a virtual clock advanced one frame period per pump, a
// scripted quit, an in-memory screen, stderr for error boxes, and fixed settings in
// place of the setup dialog. The capture tool runs the show on it; the driver and
// the scenes cannot tell it from the real one.
#pragma once

#include <cstdint>

#include "platform/settings.h"

struct MusicDriver;

// A viewer's request scripted for one pump: the ViewerRequest bits take_requests
// gives after that pump (numbered from 0, as quit_at_pump).
struct HeadlessRequest {
    uint64_t pump;
    uint32_t requests;
};

struct HeadlessConfig {
    double frame_ms = 1000.0 / 70.0;  // virtual time added at every pump
    uint32_t first_tick = 0;          // tick count when the show starts
    int64_t quit_at_pump = -1;        // pump number (from 0) that sees a quit; never when < 0
    int dialog_result = 1;            // what the setup dialog answers: 1 = OK
    RunSettings settings;             // what OK stores
    bool window_fails = false;        // the presenter's open reports that no window can be had
    const MusicDriver* music = nullptr;  // silent driver when null
    // The viewer's requests in pump order; the array must outlive the run.
    const HeadlessRequest* requests = nullptr;
    int request_count = 0;
    // Called at every pump after the clock advanced, before the quit is looked at.
    void (*on_pump)(void* user) = nullptr;
    void* user = nullptr;
};

// What the in-memory screen holds at this moment.
struct HeadlessScreen {
    uint64_t pumps;                // pump_messages calls so far
    uint64_t presents;             // present_frame calls so far
    uint64_t palette_uploads;      // set_palette calls so far
    bool window_open;
    bool fullscreen;               // switched by set_fullscreen too
    uint64_t fullscreen_switches;  // set_fullscreen calls so far
    int zoom;
    RunSettings settings;          // all the settings the presenter was opened with
    uint8_t frame[64000];          // the last presented frame
    uint32_t rgb[256];             // 0x00RRGGBB in force for that frame, as a viewer sees it
};

// Installs the headless platform with this configuration and resets its screen.
void headless_install(const HeadlessConfig& config);

// The in-memory screen.
const HeadlessScreen& headless_screen();

// Virtual milliseconds since installation, unrounded.
double headless_time_ms();

// What a viewer would see now: the last presented frame under the palette in force,
// as 64000 pixels 0x00RRGGBB, row 0 on top.
void headless_snapshot(uint32_t* pixels);
