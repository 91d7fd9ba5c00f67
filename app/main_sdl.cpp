// The kelvora program: the show on the real platform.
#include "app/driver.h"
#include "app/setup_dialog.h"
#include "music/audio.h"
#include "platform/real.h"

int main() {
    platform_install({&sdl_system, &sdl_video, &sdl_music_driver, show_setup_dialog});
    return run_show();
}
