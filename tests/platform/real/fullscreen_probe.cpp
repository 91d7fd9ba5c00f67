// Takes the screen with the full-screen presenter at the zoom given as first
// argument and shows frames, then ends the way the second argument says: "fatal"
// (the default) fails like a scene's fatal error, so that a test can look at the
// screen while the error box waits; "end" presents for a second and a half and
// returns from main like the show's normal end.
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "platform/fatal.h"
#include "platform/real.h"
#include "platform/settings.h"
#include "platform/silent_music.h"
#include "scenes/timeline.h"

int main(int argc, char** argv) {
    platform_install({&sdl_system, &sdl_presenter, &silent_music_driver, nullptr});
    const int zoom = argc > 1 ? atoi(argv[1]) : 2;
    const bool normal_end = argc > 2 && strcmp(argv[2], "end") == 0;
    display_start(RunSettings{true, false, 44100, zoom});
    for (int i = 0; i < FRAME_BYTES; ++i) screen_frame[i] = uint8_t(i);
    present_frame(screen_frame);
    if (!normal_end) fatal_error("probe failure");

    const uint32_t start = platform.sys->ticks();
    while (platform.sys->ticks() - start < 1500) {
        present_frame(screen_frame);
        pump_messages();
    }
    return 0;  // no display_stop, as at the show's end
}
