// The kelvora program: the show on the real platform.
#include "app/driver.h"
#include "app/settings.h"
#include "music/audio.h"
#include "platform/real.h"

// PLACEHOLDER until the setup dialog exists: windowed, sound off, 44100 Hz, zoom 2.
static int fixed_settings(RunSettings* settings) {
    *settings = RunSettings{false, false, 44100, 2};
    return 1;
}

int main() {
    platform_install({&sdl_system, &sdl_video, &sdl_music_driver, fixed_settings});
    return run_show();
}
