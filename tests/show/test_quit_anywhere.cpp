// A quit at the first, a middle and the last frame of every phase of the whole show,
// timed or counted: the process ends with code 1, the music is closed before the
// display is stopped, and (under LeakSanitizer) nothing is leaked.
//
// One run of the show finds the phases; a second run forks at each chosen pump and
// lets the child see the quit there, so each quit costs only its own way out.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <vector>

#include "app/driver.h"
#include "music/music.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "show_run.h"

namespace {

// What each pump of the show saw: the open cue, and whether that cue had already
// ended when the frame before it was drawn (a phase counted in frames).
struct PumpSeen {
    int cue;
    bool counted;
};

// A phase as the pumps show it: a run of pumps with the same cue and kind.
struct Phase {
    uint64_t first, last;
    int cue;
    bool counted;
};

SystemDriver wrapped_sys;
Presenter wrapped_presenter;
MusicDriver recording_music;
const SystemDriver* base_sys = nullptr;
const Presenter* base_presenter = nullptr;

uint64_t pumps = 0;
std::vector<PumpSeen> seen;
std::set<uint64_t> quit_at;  // pumps at which a child quits
struct Outcome {
    uint64_t pump;
    int status;
};
std::vector<Outcome> outcomes;

bool music_closed = false;

bool recording_init(int, int*) { return true; }
bool recording_load(const char*, int*) { return true; }
float recording_version() { return 3.40f; }
void recording_nothing() {}
void recording_volume(int) {}
void recording_close() { music_closed = true; }

// The display stops only after the music has closed; a child that gets this wrong
// ends with its own code.
void checked_stop() {
    if (!music_closed) _exit(7);
    base_presenter->close();
}

bool watching_poll_quit() {
    const uint32_t elapsed = base_sys->ticks() - start_ticks;
    const bool counted = cue_index >= 0 && cue_index < CUE_COUNT && elapsed >= cue_table[cue_index];
    const uint64_t pump = pumps++;
    const bool quit = base_sys->poll_quit();
    seen.push_back({cue_index, counted});
    if (quit_at.count(pump) == 0) return quit;
    fflush(stdout);
    fflush(stderr);
    const pid_t child = fork();
    if (child == 0) return true;  // the child quits here and ends in pump_messages
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child) status = -1;
    outcomes.push_back({pump, status});
    return quit;
}

// The show from cue 0 to its end on the headless platform, with sound "on" through
// a recording driver and the pump, the display's stop and the music watched.
void run_watched_show() {
    show_platform();
    base_sys = platform.sys;
    base_presenter = platform.presenter;
    wrapped_sys = *base_sys;
    wrapped_sys.poll_quit = watching_poll_quit;
    wrapped_presenter = *base_presenter;
    wrapped_presenter.close = checked_stop;
    recording_music = MusicDriver{recording_version, recording_init, recording_load, recording_nothing,
                                  recording_volume, recording_nothing, recording_nothing, recording_close};
    platform_install({&wrapped_sys, &wrapped_presenter, &recording_music, platform.setup_dialog});
    music_closed = false;
    music_open(RunSettings{true, true, 44100, 1});
    pumps = 0;
    seen.clear();
    scenes_reset_state();
    cue_index = 0;
    start_ticks = platform.sys->ticks();
    play_scenes();
    music_close();
}

std::vector<Phase> phases_of(const std::vector<PumpSeen>& pumps_seen) {
    std::vector<Phase> out;
    for (uint64_t p = 0; p < pumps_seen.size(); ++p) {
        const PumpSeen& s = pumps_seen[p];
        if (out.empty() || out.back().cue != s.cue || out.back().counted != s.counted)
            out.push_back({p, p, s.cue, s.counted});
        else
            out.back().last = p;
    }
    return out;
}

TEST(QuitAnywhere, FirstMiddleAndLastFrameOfEveryPhaseEndWithCodeOne) {
    quit_at.clear();
    run_watched_show();
    const std::vector<Phase> phases = phases_of(seen);
    const std::vector<PumpSeen> first_run = seen;
    // Every cue has a timed phase; counted ones come on top (and the opening fade,
    // counted inside cue 0, is covered by the first pumps).
    ASSERT_GE(phases.size(), size_t(CUE_COUNT));
    for (const Phase& ph : phases) {
        quit_at.insert(ph.first);
        quit_at.insert((ph.first + ph.last) / 2);
        quit_at.insert(ph.last);
    }
    for (uint64_t p : {1, 31, 62}) quit_at.insert(p);

    outcomes.clear();
    run_watched_show();
    EXPECT_EQ(seen.size(), first_run.size()) << "the forks changed the parent's show";
    ASSERT_EQ(outcomes.size(), quit_at.size());
    int counted_quits = 0;
    for (const Outcome& o : outcomes) {
        const PumpSeen& s = first_run[o.pump];
        counted_quits += s.counted;
        EXPECT_TRUE(WIFEXITED(o.status) && WEXITSTATUS(o.status) == 1)
            << "quit at pump " << o.pump << " (cue " << s.cue << (s.counted ? ", counted" : "")
            << "): status " << o.status << (WIFEXITED(o.status) && WEXITSTATUS(o.status) == 7
                                                ? " (display stopped before the music closed)"
                                                : "");
    }
    EXPECT_GT(counted_quits, 0);
}

}  // namespace
