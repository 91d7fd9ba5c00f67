// The kelvora program: the show on the real platform, set up by the dialog or by
// the command line.
#include <cstdio>
#include <string>

#include "app/driver.h"
#include "app/options.h"
#include "app/setup_dialog.h"
#include "music/audio.h"
#include "platform/data_folder.h"
#include "platform/real.h"

// The dialog, with the options it does not ask for added to its answer.
static int dialog_and_options(RunSettings* settings) {
    const int result = show_setup_dialog(settings);
    if (result == 1) add_unasked_options(settings);
    return result;
}

int main(int argc, char** argv) {
    ShowOptions options;
    std::string error;
    if (!parse_show_options(argc, argv, &options, &error)) {
        fprintf(stderr, "kelvora: %s\n", error.c_str());
        return 1;
    }
    if (options.help || options.version) {
        fputs(options.help ? show_usage() : show_version(), stdout);
        return 0;
    }
    // Where the data lies decides nothing else; a missing file is reported by the
    // show itself, as its loaders do.
    enter_data_folder();
    platform_install({&sdl_system, &sdl_presenter, &sdl_music_driver,
                      options.answered ? answered_setup_dialog : dialog_and_options});
    return run_show();
}
