// The kelvora program: the show on the real platform.
#include "app/driver.h"
#include "app/setup_dialog.h"
#include "platform/real.h"
#include "platform/silent_music.h"

int main() {
    platform_install({&sdl_system, &sdl_video, &silent_music_driver, show_setup_dialog});
    return run_show();
}
