// Runs the closing scene on the headless platform with a chosen frame period, a
// chosen lateness and a music driver that records the volumes it is given.
#pragma once

#include <functional>
#include <vector>

#include "music/music.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "scene_fixture.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"

// Every master volume the music was given since the last recording_music() call.
inline std::vector<int>& recorded_volumes() {
    static std::vector<int> v;
    return v;
}

// A music driver that plays nothing and keeps the volumes.
inline const MusicDriver* recording_music() {
    static const MusicDriver driver = {
        [] { return 3.33f; },
        [](int, int*) { return true; },
        [](const char*, int*) { return true; },
        [] {},
        [](int volume) { recorded_volumes().push_back(volume); },
        [] {},
        [] {},
        [] {},
    };
    recorded_volumes().clear();
    return &driver;
}

// What a watcher sees at every pump of a closing run.
using ClosingWatch = std::function<void(const HeadlessScreen&)>;

// Installs the headless platform at frame_ms per pump with sound on through the
// recording driver, opens cue 21's predecessor as the driver would when scene 9
// ends, `late_ms` after cue 20's end, and runs scene 10 to its end; then closes the
// music and puts the sound setting back. Call from a SceneTest (which set up the
// resources and tables).
inline void run_closing(double frame_ms, uint32_t late_ms, const ClosingWatch& watch) {
    static ClosingWatch hook;
    hook = watch;
    HeadlessConfig c;
    c.frame_ms = frame_ms;
    c.settings = RunSettings{true, true, 44100, 1};
    c.music = recording_music();
    c.on_pump = [](void*) {
        if (hook) hook(headless_screen());
    };
    headless_install(c);
    music_open(c.settings);
    cue_index = scene_first_cue[9] - 1;
    start_ticks = platform.sys->ticks() - cue_table[cue_index] - late_ms;
    scene_entry[9]();
    music_close();
    hook = nullptr;
}
