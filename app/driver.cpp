// run_show: setup dialog, music, resources, tables, display, then the scenes.
#include "app/driver.h"

#include "archive/resources.h"
#include "display/display.h"
#include "music/music.h"
#include "platform/platform.h"
#include "render/tables.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"

int32_t scene_playing = 0;

void play_scenes() {
    for (int s = 0; s < SCENE_COUNT; ++s) {
        scene_playing = s + 1;
        scene_entry[s]();
    }
    scene_playing = 0;
}

void prepare_show() {
    load_catalogue();
    build_lookup_tables();
}

int run_show() {
    RunSettings settings;
    if (platform.setup_dialog(&settings) != 1) return 1;
    music_open(settings);
    prepare_show();
    display_start(settings);

    // The music and the clock start together; nothing resynchronises them later. A
    // show that starts later runs ahead first, and its pump starts the music there.
    if (settings.start_ms == 0) music_play();
    timeline_start(settings.start_ms);

    play_scenes();

    music_close();
    return 0;
}
