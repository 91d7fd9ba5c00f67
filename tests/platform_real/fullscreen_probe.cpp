// Takes the screen with the full-screen presenter at the zoom given as argument,
// shows one frame, then fails the way a scene's fatal error does, so that a test
// can look at the screen while the error box waits for its answer.
#include <cstdlib>

#include "app/fatal.h"
#include "app/settings.h"
#include "display/display.h"
#include "platform/real.h"
#include "platform/silent_music.h"

int main(int argc, char** argv) {
    platform_install({&sdl_system, &sdl_video, &silent_music_driver, nullptr});
    run_settings.zoom = argc > 1 ? atoi(argv[1]) : 2;
    display_start(true);
    for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(i);
    present_frame(screen_frame);
    fatal_error("probe failure");
}
