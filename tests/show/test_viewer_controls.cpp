// The viewer's controls on the headless platform, against a plain run of the show:
// pauses hold the clock, the cues, the counted phases and the music; a later start
// runs ahead unseen and then shows exactly what a run from the start shows; the
// full-screen switch keeps the picture and the palette.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/driver.h"
#include "display/display.h"
#include "music/music.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "show_run.h"

namespace {

// Thrown from the pump to leave the show once the run has seen enough.
struct Enough {};

// What the music driver was asked, in order: "play", "play_at 20.014", "pause 1".
std::vector<std::string> music_calls;
float r_version() { return 3.40f; }
bool r_init(int, int*) { return true; }
bool r_load(const char*, int*) { return true; }
void r_play() { music_calls.push_back("play"); }
void r_nothing() {}
void r_volume(int) {}
void r_pause(bool paused) { music_calls.push_back(paused ? "pause 1" : "pause 0"); }
void r_play_at(double seconds) {
    char text[32];
    snprintf(text, sizeof text, "play_at %.3f", seconds);
    music_calls.push_back(text);
}
const MusicDriver recording_music = {r_version, r_init,    r_load,    r_play,  r_volume, r_nothing,
                                     r_nothing, r_nothing, nullptr,   r_pause, r_play_at};

// What the viewer saw at each pump the show was not paused at.
struct Seen {
    std::vector<uint64_t> hashes;  // screen_hash
    std::vector<int> cues;         // cue_index
    std::vector<uint32_t> times;   // show time, show_ticks() - start_ticks
    uint64_t pumps = 0;            // every pump, paused or not
    uint64_t first_present_pump = 0;
    std::vector<std::string> music;
    bool fullscreen_at_end = false;
};

Seen seen;
uint64_t stop_after = 0;
// Pump ranges [first, last) whose screens are hashed; every pump when empty. Elsewhere
// the hash is left 0, so that long runs hash only what a test compares.
std::vector<std::pair<uint64_t, uint64_t>> hashed;

bool hashed_at(uint64_t pump) {
    if (hashed.empty()) return true;
    for (const auto& [first, last] : hashed)
        if (pump >= first && pump < last) return true;
    return false;
}

void watch(void*) {
    const HeadlessScreen& s = headless_screen();
    seen.pumps = s.pumps;
    if (seen.first_present_pump == 0 && s.presents > 0) seen.first_present_pump = s.pumps;
    if (!timeline_paused()) {
        seen.hashes.push_back(hashed_at(seen.hashes.size()) ? screen_hash(s) : 0);
        seen.cues.push_back(cue_index);
        seen.times.push_back(show_ticks() - start_ticks);
    }
    if (s.pumps >= stop_after) throw Enough{};
}

// Plays the show as the driver does from its clock's start, with sound on the
// recording driver, the viewer's requests and a later start, for `pumps` pumps.
Seen play(uint32_t start_ms, std::vector<HeadlessRequest> requests, uint64_t pumps, double frame_ms) {
    show_platform();  // loads the data and starts the display the first time
    HeadlessConfig c;
    c.frame_ms = frame_ms;
    c.settings = RunSettings{true, true, 44100, 1};
    c.music = &recording_music;
    c.requests = requests.data();
    c.request_count = int(requests.size());
    c.on_pump = watch;
    headless_install(c);
    seen = Seen{};
    music_calls.clear();
    stop_after = pumps;
    music_open(c.settings);
    scenes_reset_state();
    if (start_ms == 0) music_play();
    timeline_start(start_ms);
    try {
        play_scenes();
    } catch (const Enough&) {
    }
    music_close();
    seen.music = music_calls;
    seen.fullscreen_at_end = headless_screen().fullscreen;
    timeline_start(0);  // the clock of the next test starts on the platform's
    return seen;
}

TEST(ViewerControls, PausesHoldTheClockTheCuesAndTheMusicInStep) {
    // 10 ms frames: the virtual clock is exact, so the runs compare pump for pump.
    // 3600 pumps reach the logo and curves phases, which seed from the clock.
    const uint64_t pumps = 3600;
    const Seen plain = play(0, {}, pumps, 10.0);
    // A long pause in the opening picture's phase, one of a single pump, one across
    // a cue's end and one in the curves; a pause requested twice at once is one.
    const std::vector<HeadlessRequest> pauses = {
        {100, REQUEST_PAUSE},  {600, REQUEST_PAUSE},  {1000, REQUEST_PAUSE}, {1001, REQUEST_PAUSE},
        {1200, REQUEST_PAUSE}, {1450, REQUEST_PAUSE}, {2500, REQUEST_PAUSE}, {2510, REQUEST_PAUSE}};
    const Seen paused = play(0, pauses, pumps, 10.0);

    const uint64_t held = (600 - 100) + (1001 - 1000) + (1450 - 1200) + (2510 - 2500);
    EXPECT_EQ(paused.pumps, pumps);
    ASSERT_EQ(paused.hashes.size(), pumps - held);
    // Pump for pump after taking the pauses out: the same cue, show time and picture.
    for (size_t i = 0; i < paused.hashes.size(); ++i) {
        ASSERT_EQ(paused.cues[i], plain.cues[i]) << "pump " << i;
        ASSERT_EQ(paused.times[i], plain.times[i]) << "pump " << i;
        ASSERT_EQ(paused.hashes[i], plain.hashes[i]) << "pump " << i;
    }
    EXPECT_GE(plain.cues.back(), 4) << "the run reaches the curves phases";
    EXPECT_EQ(plain.music, (std::vector<std::string>{"play"}));
    EXPECT_EQ(paused.music, (std::vector<std::string>{"play", "pause 1", "pause 0", "pause 1", "pause 0",
                                                      "pause 1", "pause 0", "pause 1", "pause 0"}));
}

TEST(ViewerControls, ALaterStartShowsWhatARunFromTheStartShows) {
    // 20 s is in scene 1's curves, after both of its seeds; the run goes on into
    // the next phases.
    const uint64_t pumps = 2100;
    const Seen plain = play(0, {}, pumps, SHOW_FRAME_MS);
    const Seen later = play(20000, {}, pumps, SHOW_FRAME_MS);
    // Nothing reached the screen before the start; the pump that reaches it (the
    // virtual clock's 1400th or, rounded down, 1401st frame of 1/70 s) shows the frame
    // on screen then, and from there on the two runs show the same.
    EXPECT_GE(later.first_present_pump, 1401u);
    EXPECT_LE(later.first_present_pump, 1402u);
    for (uint64_t k = later.first_present_pump - 1; k < pumps; ++k) {
        ASSERT_EQ(later.hashes[k], plain.hashes[k]) << "pump " << k;
        ASSERT_EQ(later.times[k], plain.times[k]) << "pump " << k;
    }
    // The music starts once, at the show time reached.
    ASSERT_EQ(later.music.size(), 1u);
    EXPECT_EQ(later.music[0].rfind("play_at 20.0", 0), 0u) << later.music[0];

    // A pause asked for while running ahead holds the show from its first frame on.
    const Seen held = play(20000, {{100, REQUEST_PAUSE}, {1600, REQUEST_PAUSE}}, pumps, SHOW_FRAME_MS);
    EXPECT_EQ(held.first_present_pump, later.first_present_pump);
    // Paused from the pump after the start's up to the one that sees the resume
    // (pump 1600, counted from 0: the 1601st).
    ASSERT_EQ(held.hashes.size(), pumps - (1601 - (later.first_present_pump - 1)));
    // The frames after the resume are the ones after the start. (Further on, a pause
    // of frames of 1000/70 ms may move the millisecond clock's rounding, so a cue's
    // end by one frame; the exact comparison of pauses is the 10 ms test above.)
    for (uint64_t k = later.first_present_pump - 1; k < later.first_present_pump + 20; ++k)
        ASSERT_EQ(held.hashes[k], plain.hashes[k]) << "pump " << k;
    ASSERT_EQ(held.music.size(), 3u);
    EXPECT_EQ(held.music[0], later.music[0]);
    EXPECT_EQ(held.music[1], "pause 1");
    EXPECT_EQ(held.music[2], "pause 0");
}

TEST(ViewerControls, LaterStartsInEveryKindOfSceneShowWhatARunFromTheStartShows) {
    // Running ahead leaves unseen frames undrawn where nothing shown reads them: in
    // the scenes drawn afresh every frame (3, 8, 9), and in whole tube scenes (5, 7)
    // the start lies past. Starts inside each kind of scene, inside the feedback
    // scenes (2, 4, 6 and the tubes), in scene 8's counted fade, right after the last
    // cue of a skipped tube scene (97514 is the last start its frames are drawn for,
    // 97515 the first they are not) and in scene 10.
    const std::vector<uint32_t> starts = {38000, 45000, 62000, 67000, 72010, 90000, 97514,
                                          97515, 105000, 111500, 125000, 140000, 146000};
    constexpr uint64_t AFTER = 12;  // pumps compared from the first frame shown on
    hashed.clear();
    for (uint32_t ms : starts) {
        const uint64_t at = uint64_t(ms * 0.07);  // the start's pump, give or take one
        hashed.push_back({at - 2, at + AFTER + 2});
    }
    const uint64_t pumps = uint64_t(starts.back() * 0.07) + AFTER + 4;
    const Seen plain = play(0, {}, pumps, SHOW_FRAME_MS);
    for (uint32_t ms : starts) {
        const uint64_t at = uint64_t(ms * 0.07);
        const Seen later = play(ms, {}, at + AFTER + 2, SHOW_FRAME_MS);
        ASSERT_GE(later.first_present_pump, at) << ms;
        ASSERT_LE(later.first_present_pump, at + 2) << ms;
        for (uint64_t k = later.first_present_pump - 1; k < later.first_present_pump - 1 + AFTER; ++k) {
            ASSERT_EQ(later.hashes[k], plain.hashes[k]) << "start " << ms << ", pump " << k;
            ASSERT_EQ(later.cues[k], plain.cues[k]) << "start " << ms << ", pump " << k;
        }
    }
    hashed.clear();
}

TEST(ViewerControls, TheFullScreenSwitchKeepsThePictureAndThePace) {
    const uint64_t pumps = 400;
    const Seen plain = play(0, {}, pumps, SHOW_FRAME_MS);
    const Seen switched = play(0, {{100, REQUEST_FULLSCREEN}, {200, REQUEST_FULLSCREEN | REQUEST_PAUSE},
                                   {210, REQUEST_PAUSE}, {300, REQUEST_FULLSCREEN}},
                               pumps, SHOW_FRAME_MS);
    EXPECT_EQ(headless_screen().fullscreen_switches, 3u);
    EXPECT_FALSE(switched.fullscreen_at_end) << "started full screen, switched three times";
    ASSERT_EQ(switched.hashes.size(), pumps - 10);
    for (size_t i = 0; i < switched.hashes.size(); ++i) ASSERT_EQ(switched.hashes[i], plain.hashes[i]) << i;
}

}  // namespace
