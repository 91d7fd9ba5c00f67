// The music wrapper over a recording MusicDriver: error texts, what sound off
// leaves alone, the order and arguments of the library calls, and the fatal paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/settings.h"
#include "music/music.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace {

struct Recorder {
    std::vector<std::string> calls;
    float version = 3.40f;
    bool init_ok = true, load_ok = true;
    int error = 0;
};
Recorder rec;

float r_version() {
    rec.calls.push_back("version");
    return rec.version;
}
bool r_init(int rate, int* error) {
    rec.calls.push_back("init " + std::to_string(rate));
    *error = rec.error;
    return rec.init_ok;
}
bool r_load(const char* path, int* error) {
    rec.calls.push_back(std::string("load ") + path);
    *error = rec.error;
    return rec.load_ok;
}
void r_play() { rec.calls.push_back("play"); }
void r_set_volume(int v) { rec.calls.push_back("volume " + std::to_string(v)); }
void r_stop() { rec.calls.push_back("stop"); }
void r_free() { rec.calls.push_back("free"); }
void r_close() { rec.calls.push_back("close"); }
const char* r_needed() { return "0.6.9"; }
const MusicDriver recording_driver = {r_version, r_init,  r_load,  r_play,  r_set_volume,
                                      r_stop,    r_free, r_close, r_needed};

// What the show would hand the music: the settings install() asked for.
RunSettings settings;

void install(bool sound) {
    rec = Recorder{};
    HeadlessConfig config;
    config.music = &recording_driver;
    config.settings.sound = sound;
    config.settings.mix_rate = 22050;
    headless_install(config);
    settings = config.settings;
}

TEST(SoundErrorText, TableIsExact) {
    EXPECT_STREQ(sound_error_text(0), "No errors");
    EXPECT_STREQ(sound_error_text(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(sound_error_text(3), "Error initializing output device.");
    EXPECT_STREQ(sound_error_text(6),
                 "Soundcard does not support the features needed for this soundsystem (16bit stereo output)");
    EXPECT_STREQ(sound_error_text(9), "File not found");
    EXPECT_STREQ(sound_error_text(10), "Unknown file format");
    EXPECT_STREQ(sound_error_text(11), "Error loading file");
    EXPECT_STREQ(sound_error_text(12), "Not enough memory ");
    EXPECT_STREQ(sound_error_text(19), "Required Mediaplayer codec is not installed");
    for (int code : {20, 21, 1000, -1, -20, int(0x80000000)}) EXPECT_STREQ(sound_error_text(code), "Unknown error") << code;
}

TEST(Music, SoundOffCallsNothing) {
    install(false);
    music_open(settings);
    music_play();
    music_set_volume(32);
    music_close();
    EXPECT_TRUE(rec.calls.empty());
}

TEST(Music, SoundOnCallsInOrder) {
    install(true);
    music_open(settings);
    music_play();
    music_set_volume(64);
    music_set_volume(1);
    music_set_volume(0x1FF);  // only the low 8 bits count
    music_close();
    music_close();  // nothing left to release
    const std::vector<std::string> expected = {"version",    "init 22050", "load kelvora.xm", "play",
                                               "volume 256", "volume 4",   "volume 1020",     "stop",
                                               "free",       "close"};
    EXPECT_EQ(rec.calls, expected);
}

TEST(MusicDeath, OldLibraryStopsNamingTheReleaseTheBuildNeeds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    install(true);
    rec.version = 3.32f;
    EXPECT_EXIT(music_open(settings), testing::ExitedWithCode(1),
                "kelvora: Core Error: Sound error : You are using the wrong libopenmpt version! You "
                "should be using libopenmpt 0\\.6\\.9 or later\n$");
    // A driver that cannot say which release it needs still stops with the first sentence.
    MusicDriver unnamed = recording_driver;
    unnamed.needed_version = nullptr;
    HeadlessConfig config;
    config.music = &unnamed;
    headless_install(config);
    settings.sound = true;
    EXPECT_EXIT(music_open(settings), testing::ExitedWithCode(1),
                "kelvora: Core Error: Sound error : You are using the wrong libopenmpt version!\n$");
}

TEST(MusicDeath, InitAndLoadFailuresCarryTheirTexts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    install(true);
    rec.init_ok = false;
    rec.error = 3;
    EXPECT_EXIT(music_open(settings), testing::ExitedWithCode(1), "Sound error : Error initializing output device\\.");
    install(true);
    rec.load_ok = false;
    rec.error = 12;
    EXPECT_EXIT(music_open(settings), testing::ExitedWithCode(1), "Sound error : Not enough memory");
    install(true);
    rec.load_ok = false;
    rec.error = 77;
    EXPECT_EXIT(music_open(settings), testing::ExitedWithCode(1), "Sound error : Unknown error");
}

}  // namespace
