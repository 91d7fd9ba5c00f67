// The kelvora program in a web page. The page loads it, puts resource.rar and
// kelvora.xm in its file system, and starts the show through kelvora_run when the
// viewer clicks: the click answers the setup dialog (sound or none) and opens the
// page's audio output, as browsers allow only after a gesture.
#include <emscripten.h>

#include "app/driver.h"
#include "platform/page_web.h"
#include "platform/settings.h"
#include "platform/web.h"

static bool sound_chosen = false;

// The page's title frame stands in for the setup dialog: a window (the page's
// canvas), sound as the viewer chose, mixed at the page's audio rate.
static int page_choice(RunSettings* settings) {
    const int rate = page_audio_rate();
    *settings = RunSettings{false, sound_chosen, rate > 0 ? rate : 44100, 1};
    return 1;
}

// Plays the show: sound is 1 for music; fixed_frame_ms > 0 puts the show on the
// tests' fixed clock (platform/web.h). Never returns: the show ends through the
// process end, which hands its exit code to the page.
extern "C" EMSCRIPTEN_KEEPALIVE int kelvora_run(int sound, double fixed_frame_ms) {
    sound_chosen = sound != 0;
    if (fixed_frame_ms > 0.0) web_clock_fixed(fixed_frame_ms);
    platform_install({&web_system, &web_presenter, &web_music_driver, page_choice});
    platform.sys->exit_process(run_show());
    return 1;  // not reached: the process end unwinds the program
}
