// The real device path under SDL's dummy audio driver: open, play, volume, close;
// sound off touches neither SDL nor the file. Leaks are ASan's to find.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/settings.h"
#include "music/audio.h"
#include "music/music.h"
#include "music_test_util.h"
#include "platform/headless.h"

namespace {

// What the show would hand the music: the settings install_real() asked for.
RunSettings settings;

void install_real(bool sound) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    HeadlessConfig config;
    config.music = &sdl_music_driver;
    config.settings.sound = sound;
    config.settings.mix_rate = 44100;
    headless_install(config);
    settings = config.settings;
}

// Runs in the folder, then goes back.
struct InDir {
    char previous[4096];
    explicit InDir(const std::string& dir) {
        if (!getcwd(previous, sizeof previous) || chdir(dir.c_str()) != 0) abort();
    }
    ~InDir() {
        if (chdir(previous) != 0) abort();
    }
};

TEST(Device, SoundOffTouchesNothing) {
    install_real(false);
    const std::string empty = make_scratch_dir();
    InDir here(empty);  // no kelvora.xm here: opening it would be fatal
    music_open(settings);
    music_play();
    music_set_volume(10);
    music_close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST(Device, OpenPlayFadeClose) {
    install_real(true);
    InDir here(module_dir());
    music_open(settings);
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    music_play();
    SDL_Delay(120);
    for (int level = 64; level > 0; level -= 8) {
        music_set_volume(level);
        SDL_Delay(10);
    }
    music_close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    music_close();  // a second close has nothing to release

    // And again: the device can be had a second time in the same process.
    music_open(settings);
    music_play();
    SDL_Delay(30);
    music_close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST(Device, VersionPassesTheCheck) { EXPECT_GE(sdl_music_driver.version(), 3.33f); }

}  // namespace
